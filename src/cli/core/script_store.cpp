#include "cli/core/script_store.h"

#include "alarms/core/alarm_operations.h"
#include "alarms/core/alarm_time.h"
#include "cli/core/json_text.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {
namespace {

std::string Utf8(const std::string& stored) {
    return Utf16ToUtf8(FromStored(stored));
}

// One line of a list for the terminal: the text's line breaks shown as spaces.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    return text;
}

bool HasAlarm(CClockManager& manager, const std::string& id) {
    AlarmClockRecord record;
    manager.GetAlarmClock(id, &record);
    return !record.id.empty();
}

}  // namespace

std::vector<ScriptAlarmRow> ScriptAlarmRows(CClockManager& manager, std::time_t now) {
    AlarmClockList alarms;
    manager.GetAllAlarmClocks(alarms);
    std::vector<ScriptAlarmRow> rows;
    for (const auto& a : alarms) {
        ScriptAlarmRow row;
        row.id = a->id;
        row.time = IsoLocalTime(a->alarmTime);
        if (auto next = AlarmMinuteAfter(*a, now))
            row.next = IsoLocalTime(*next);
        row.rule = RepeatRuleText(RuleOf(*a));
        row.text = Utf8(a->content);
        row.ring = RingWord(a->ringType, Utf8(a->ring));
        if (auto skipped = SkippedDate(*a, now))
            row.skipDate = DateText(*skipped);
        row.pauseUntil = a->pauseUntil;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string AlarmsJson(const std::vector<ScriptAlarmRow>& rows) {
    std::vector<std::string> items;
    for (const auto& r : rows)
        items.push_back(json::Object()
                            .Text("id", r.id)
                            .Text("time", r.time)
                            .TextOrNull("next", r.next)
                            .Text("rule", r.rule)
                            .Text("text", r.text)
                            .Text("ring", r.ring)
                            .TextOrNull("skipDate", r.skipDate)
                            .TextOrNull("pauseUntil", r.pauseUntil)
                            .Str());
    return json::Array(items) + "\n";
}

std::string AlarmsText(const std::vector<ScriptAlarmRow>& rows) {
    std::string out;
    for (const auto& r : rows) {
        out += r.id + "  " + (r.next.empty() ? "-" : r.next) + "  " + r.rule;
        if (!r.skipDate.empty())
            out += "  跳过 " + r.skipDate;
        if (!r.pauseUntil.empty())
            out += "  暂停到 " + r.pauseUntil;
        out += "  " + OneLine(r.text) + "\n";
    }
    return out;
}

std::string NotesJson(const std::vector<NoteRecord>& notes) {
    std::vector<std::string> items;
    for (const auto& n : notes)
        items.push_back(json::Object()
                            .Text("id", n.id)
                            .Text("text", Utf8(n.content))
                            .Bool("onDesktop", n.isShowOnDesktop)
                            .Text("added", IsoLocalTime(n.addTime))
                            .Str());
    return json::Array(items) + "\n";
}

std::string NotesText(const std::vector<NoteRecord>& notes) {
    std::string out;
    for (const auto& n : notes)
        out += n.id + "  " + OneLine(Utf8(n.content)) + "\n";
    return out;
}

std::string MemosJson(const std::vector<EventRecord>& memos) {
    std::vector<std::string> items;
    for (const auto& m : memos)
        items.push_back(json::Object()
                            .Text("id", m.id)
                            .Text("text", Utf8(m.content1))
                            .Text("added", IsoLocalTime(m.addTime))
                            .TextOrNull("updated", IsoLocalTime(m.lastUpdateTime))
                            .Str());
    return json::Array(items) + "\n";
}

std::string MemosText(const std::vector<EventRecord>& memos) {
    std::string out;
    for (const auto& m : memos)
        out += m.id + "  " + OneLine(Utf8(m.content1)) + "\n";
    return out;
}

ScriptOutcome AddScriptAlarm(CClockManager& manager, const ScriptAlarm& alarm) {
    AlarmValues values;
    values.alarmTime = alarm.alarmTime;
    values.isEveryday = alarm.rule.Repeats();
    values.isRing = true;
    values.content = alarm.text;
    values.ring = alarm.ring;
    values.ringType = alarm.ringType;
    if (alarm.rule.Repeats())
        values.rule = RepeatRuleText(alarm.rule);
    ScriptOutcome outcome;
    if (AddAlarm(manager, values, &outcome.id) == SaveResult::kRefused) {
        outcome.message = "闹钟没有保存：内容太长";
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

ScriptOutcome DeleteScriptAlarm(CClockManager& manager, const std::string& id) {
    ScriptOutcome outcome;
    outcome.id = id;
    if (!HasAlarm(manager, id)) {
        outcome.message = "没有编号为 " + id + " 的闹钟";
        return outcome;
    }
    outcome.ok = DeleteAlarmByUser(manager, id);
    if (!outcome.ok)
        outcome.message = "闹钟 " + id + " 没有删除";
    return outcome;
}

ScriptOutcome SkipScriptAlarm(CClockManager& manager, const std::string& id, std::time_t now) {
    ScriptOutcome outcome;
    outcome.id = id;
    switch (ToggleSkipNext(manager, id, now)) {
        case SkipResult::kSkipped:
            outcome.ok = true;
            outcome.message = "已跳过下一次";
            break;
        case SkipResult::kUnskipped:
            outcome.ok = true;
            outcome.message = "已取消跳过";
            break;
        case SkipResult::kNotRepeating:
            outcome.message = "闹钟 " + id + " 不重复，无法跳过下一次（可编辑或删除它）";
            break;
        case SkipResult::kGone:
            outcome.message = "没有编号为 " + id + " 的闹钟";
            break;
    }
    return outcome;
}

ScriptOutcome AddScriptNote(CClockManager& manager, const std::string& text, std::time_t now) {
    ScriptOutcome outcome;
    if (std::string why = ScriptTextRefusal(text, CClockManager::kMaxContentUnits); !why.empty()) {
        outcome.message = why;
        return outcome;
    }
    std::u16string id;
    // As the note window stores it: shown on the desktop, its ring time the moment it was made.
    if (!manager.AddNote(id, Utf8ToUtf16(text), 1, Utf8ToUtf16(FormatTimeText(now)), true)) {
        outcome.message = "便签没有保存";
        return outcome;
    }
    outcome.ok = true;
    outcome.id = Utf16ToUtf8(id);
    return outcome;
}

}  // namespace zorvel
