#include "alarms/core/alarm_operations.h"

#include "alarms/core/alarm_editor_logic.h"
#include "alarms/core/alarm_time.h"
#include "alarms/core/repeat_rule.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"

namespace zorvel {

std::u16string AddedAlarmLogLine(const std::u16string& timeText) {
    return u"添加了一个闹钟 " + timeText;
}

std::u16string UpdatedAlarmLogLine(const std::u16string& timeText) {
    return u"更新了一个闹钟 " + timeText;
}

std::u16string DeletedAlarmLogLine(const std::u16string& timeText, bool automatic) {
    return (automatic ? u"自动删除了一个过期闹钟 " : u"手动删除了一个闹钟 ") + timeText;
}

namespace {
// The time as the log names it: a repeating alarm's rule in front ("每天 ", "法定工作日 ").
std::u16string RuleLogTimeText(const AlarmValues& v) {
    auto rule = ParseRepeatRule(v.rule);
    if (!v.isEveryday || !rule || !rule->Repeats() || rule->kind == RepeatKind::kDaily)
        return LogTimeText(v.alarmTime, v.isEveryday);
    return Utf8ToUtf16(RepeatRuleName(*rule)) + u" " + v.alarmTime;
}

// Stores the rule beside the alarm. Plain once and every-day alarms need no row (the alarm's
// flag says as much), so a file whose rule table could not be made still takes them.
void StoreRule(CClockManager& manager, const std::string& id, const AlarmValues& v) {
    if (v.rule.empty())
        return;
    auto rule = ParseRepeatRule(v.rule);
    const bool plain = !rule || rule->kind == RepeatKind::kOnce || rule->kind == RepeatKind::kDaily;
    if (plain && !manager.Database().HasRuleTable())
        return;
    manager.Database().WriteAlarmRule(id, rule ? RepeatRuleText(*rule) : "once");
}

bool Insert(CClockManager& manager, const AlarmValues& v, std::string* newId = nullptr) {
    std::string id;
    if (!manager.AddAlarmClock(v.alarmTime, v.isEveryday, v.isRing, v.content, v.ring, v.ringType,
                               &id))
        return false;
    StoreRule(manager, id, v);
    if (newId)
        *newId = id;
    return true;
}
}  // namespace

SaveResult AddAlarm(CClockManager& manager, const AlarmValues& v, std::string* newId) {
    CTransaction transaction(manager.Database());
    if (!Insert(manager, v, newId))
        return SaveResult::kRefused;
    manager.AddLog(AddedAlarmLogLine(RuleLogTimeText(v)));
    transaction.Commit();
    return SaveResult::kAdded;
}

SaveResult UpdateAlarm(CClockManager& manager, const std::string& id, const AlarmValues& v) {
    CTransaction transaction(manager.Database());
    SaveResult result = SaveResult::kUpdated;
    if (!manager.ModifyAlarmClock(id, v.alarmTime, v.isEveryday, v.isRing, v.content, v.ring,
                                  v.ringType)) {
        if (!Insert(manager, v))
            return SaveResult::kRefused;
        result = SaveResult::kStoredAnew;
    } else {
        StoreRule(manager, id, v);
    }
    const std::u16string timeText = RuleLogTimeText(v);
    manager.AddLog(result == SaveResult::kUpdated ? UpdatedAlarmLogLine(timeText)
                                                  : AddedAlarmLogLine(timeText));
    transaction.Commit();
    return result;
}

bool DeleteAlarmByUser(CClockManager& manager, const std::string& id) {
    CTransaction transaction(manager.Database());
    AlarmClockRecord alarm;
    manager.GetAlarmClock(id, &alarm);
    if (!manager.RemoveAlarmClock(FromStored(id)))
        return false;
    manager.AddLog(
        DeletedAlarmLogLine(LogTimeText(FromStored(alarm.alarmTime), alarm.isEveryday), false));
    transaction.Commit();
    return true;
}

SkipResult ToggleSkipNext(CClockManager& manager, const std::string& id, std::time_t now) {
    CTransaction transaction(manager.Database());
    AlarmClockRecord alarm;
    manager.GetAlarmClock(id, &alarm);
    if (alarm.id.empty())
        return SkipResult::kGone;
    const RepeatRule rule = RuleOf(alarm);
    if (!rule.Repeats())
        return SkipResult::kNotRepeating;
    SkipResult result = SkipResult::kUnskipped;
    std::string skipDate;
    if (!SkippedDate(alarm, now)) {
        AlarmClockRecord unskipped = alarm;
        unskipped.skipDate.clear();
        auto next = AlarmMinuteAfter(unskipped, now);
        if (!next)
            return SkipResult::kNotRepeating;
        std::tm tm{};
        localtime_r(&*next, &tm);
        skipDate = DateText({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday});
        result = SkipResult::kSkipped;
    }
    manager.Database().WriteAlarmSkipAndPause(id, RepeatRuleText(rule), skipDate, alarm.pauseUntil);
    transaction.Commit();
    return result;
}

bool PauseAlarmUntil(CClockManager& manager, const std::string& id, const std::string& until) {
    if (!until.empty() && !ReadDateText(until))
        return false;
    CTransaction transaction(manager.Database());
    AlarmClockRecord alarm;
    manager.GetAlarmClock(id, &alarm);
    const RepeatRule rule = RuleOf(alarm);
    if (alarm.id.empty() || !rule.Repeats())
        return false;
    manager.Database().WriteAlarmSkipAndPause(id, RepeatRuleText(rule), alarm.skipDate, until);
    transaction.Commit();
    return true;
}

std::vector<AlarmClockRecord> AutoDeleteExpiredAlarms(CClockManager& manager, std::time_t now,
                                                      const std::set<std::string>& keep) {
    AlarmClockList alarms;
    manager.GetAllAlarmClocks(alarms);
    std::vector<AlarmClockRecord> deleted;
    for (const AlarmClockPtr& a : alarms) {
        if (a->isEveryday || keep.count(a->id))
            continue;
        auto t = ReadAlarmTime(a->alarmTime);
        if (!t || *t >= now)
            continue;
        CTransaction transaction(manager.Database());
        if (!manager.RemoveAlarmClock(FromStored(a->id)))
            continue;
        manager.AddLog(DeletedAlarmLogLine(FromStored(a->alarmTime), true));
        transaction.Commit();
        deleted.push_back(*a);
    }
    return deleted;
}

bool MayHaveExpiredAlarms(const AlarmClockList& list, std::time_t now,
                          const std::set<std::string>& deleted) {
    for (const AlarmClockPtr& a : list) {
        if (a->isEveryday || deleted.count(a->id))
            continue;
        auto t = ReadAlarmTime(a->alarmTime);
        if (t && *t < now)
            return true;
    }
    return false;
}

}  // namespace zorvel
