#include "cli/core/ical.h"

#include <libical/ical.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "alarms/core/alarm_editor_logic.h"
#include "alarms/core/alarm_operations.h"
#include "alarms/core/repeat_rule.h"
#include "alarms/core/ring_plan.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {
namespace {

constexpr const char* kDayCodes[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

std::string Utf8(const std::string& stored) {
    return Utf16ToUtf8(FromStored(stored));
}

std::string Base64(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += {kDigits[v >> 18], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], kDigits[v & 63]};
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += {kDigits[v >> 18], kDigits[(v >> 12) & 63],
                i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=', '='};
    }
    return out;
}

std::string FromBase64(std::string_view text) {
    std::string out;
    unsigned v = 0;
    int bits = 0;
    for (char c : text) {
        int d;
        if (c >= 'A' && c <= 'Z')
            d = c - 'A';
        else if (c >= 'a' && c <= 'z')
            d = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            d = c - '0' + 52;
        else if (c == '+')
            d = 62;
        else if (c == '/')
            d = 63;
        else
            continue;
        v = (v << 6) | static_cast<unsigned>(d);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((v >> bits) & 0xFF);
        }
    }
    return out;
}

// A local ("floating") date and time: the alarm rings at that hour wherever the computer is.
icaltimetype Floating(int y, int mo, int d, int h, int mi) {
    icaltimetype t = icaltime_null_time();
    t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = 0;
    t.is_date = 0;
    return t;
}

void AddX(icalcomponent* c, const char* name, const std::string& value) {
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(c, p);
}

std::string XValue(icalcomponent* c, const char* name) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char* x = icalproperty_get_x_name(p);
        if (x && std::strcmp(x, name) == 0) {
            const char* v = icalproperty_get_x(p);
            return v ? v : "";
        }
    }
    return {};
}

// The official exceptions of a weekly rule in the years the schedule knows, from `from` on:
// days the rule's weekdays include that are off (EXDATE) and days it leaves out that are
// working (RDATE), for a workday rule; the other way round for a holiday rule.
void AddOfficialExceptions(icalcomponent* event, const HolidaySchedule& schedule, bool workdays,
                           const CivilDate& from, int hour, int minute) {
    const long first = DaysFromCivil(from.year, from.month, from.day);
    for (int year : schedule.years()) {
        for (long d = DaysFromCivil(year, 1, 1); d < DaysFromCivil(year + 1, 1, 1); ++d) {
            if (d < first)
                continue;
            const CivilDate date = CivilFromDays(d);
            const DayStatus status = schedule.StatusOf(date.year, date.month, date.day);
            if (!status.official)
                continue;
            const bool weekend = IsoWeekday(date.year, date.month, date.day) >= 6;
            const bool ringsByWeekday = workdays ? !weekend : weekend;
            const bool rings = workdays ? status.workday : !status.workday;
            const icaltimetype t = Floating(date.year, date.month, date.day, hour, minute);
            if (ringsByWeekday && !rings) {
                icalcomponent_add_property(event, icalproperty_new_exdate(t));
            } else if (!ringsByWeekday && rings) {
                icaldatetimeperiodtype p{};
                p.time = t;
                p.period = icalperiodtype_null_period();
                icalcomponent_add_property(event, icalproperty_new_rdate(p));
            }
        }
    }
}

std::string WeeklyRule(unsigned weekdays) {
    std::string rule = "FREQ=WEEKLY;BYDAY=";
    bool first = true;
    for (int d = 0; d < 7; ++d) {
        if (weekdays & (1u << d)) {
            rule += std::string(first ? "" : ",") + kDayCodes[d];
            first = false;
        }
    }
    return rule;
}

icalcomponent* AlarmEvent(const AlarmClockRecord& a, const HolidaySchedule& schedule,
                          icaltimetype stamp) {
    const auto fields = ReadTimeFields(a.alarmTime);
    if (!fields)
        return nullptr;
    const RepeatRule rule = RuleOf(a);
    icalcomponent* event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(a.id.c_str()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(
        event, icalproperty_new_dtstart(Floating(fields->year, fields->month, fields->day,
                                                 fields->hour, fields->minute)));
    icalcomponent_add_property(event, icalproperty_new_duration(icaldurationtype_from_int(60)));
    const std::string text = Utf8(a.content);
    icalcomponent_add_property(event, icalproperty_new_summary(text.c_str()));
    std::string rrule;
    switch (rule.kind) {
        case RepeatKind::kOnce:
            break;
        case RepeatKind::kDaily:
            rrule = "FREQ=DAILY";
            break;
        case RepeatKind::kWorkdays:
            rrule = WeeklyRule(kMondayToFriday);
            break;
        case RepeatKind::kHolidays:
            rrule = WeeklyRule(0x60);
            break;
        case RepeatKind::kWeekly:
            rrule = WeeklyRule(rule.weekdays);
            break;
    }
    if (!rrule.empty())
        icalcomponent_add_property(
            event, icalproperty_new_rrule(icalrecurrencetype_from_string(rrule.c_str())));
    if (rule.kind == RepeatKind::kWorkdays || rule.kind == RepeatKind::kHolidays)
        AddOfficialExceptions(event, schedule, rule.kind == RepeatKind::kWorkdays,
                              {fields->year, fields->month, fields->day}, fields->hour,
                              fields->minute);
    AddX(event, "X-ZORVEL-RULE", RepeatRuleText(rule));
    AddX(event, "X-ZORVEL-RING-TYPE", std::to_string(a.ringType));
    if (!a.ring.empty())
        AddX(event, "X-ZORVEL-RING", Utf8(a.ring));
    AddX(event, "X-ZORVEL-IS-RING", a.isRing ? "1" : "0");
    if (!a.skipDate.empty())
        AddX(event, "X-ZORVEL-SKIP-DATE", a.skipDate);
    if (!a.pauseUntil.empty())
        AddX(event, "X-ZORVEL-PAUSE-UNTIL", a.pauseUntil);

    icalcomponent* alarm = icalcomponent_new_valarm();
    const bool song = a.ringType == kRingSystemSong1 || a.ringType == kRingSystemSong2 ||
                      a.ringType == kRingCustomSong;
    icalcomponent_add_property(
        alarm, icalproperty_new_action(song ? ICAL_ACTION_AUDIO : ICAL_ACTION_DISPLAY));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(0);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    if (!song)
        icalcomponent_add_property(alarm, icalproperty_new_description(text.c_str()));
    icalcomponent_add_component(event, alarm);
    return event;
}

icalcomponent* Journal(const std::string& id, const std::string& added, const std::string& text,
                       icaltimetype stamp) {
    icalcomponent* journal = icalcomponent_new_vjournal();
    icalcomponent_add_property(journal, icalproperty_new_uid(id.c_str()));
    icalcomponent_add_property(journal, icalproperty_new_dtstamp(stamp));
    if (auto f = ReadTimeFields(added))
        icalcomponent_add_property(journal, icalproperty_new_dtstart(Floating(
                                                f->year, f->month, f->day, f->hour, f->minute)));
    icalcomponent_add_property(journal, icalproperty_new_description(text.c_str()));
    return journal;
}

}  // namespace

std::string ExportIcal(CClockManager& manager, const HolidaySchedule& schedule, std::time_t now) {
    Component cal(icalcomponent_new_vcalendar());
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Zorvel//Zorvel//ZH"));
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    const icaltimetype stamp =
        icaltime_from_timet_with_zone(now, 0, icaltimezone_get_utc_timezone());

    AlarmClockList alarms;
    manager.GetAllAlarmClocks(alarms);
    for (const auto& a : alarms)
        if (icalcomponent* event = AlarmEvent(*a, schedule, stamp))
            icalcomponent_add_component(cal.get(), event);

    std::vector<NoteRecord> notes;
    manager.GetAllNotes(notes);
    for (const auto& n : notes) {
        icalcomponent* j = Journal(n.id, n.addTime, Utf8(n.content), stamp);
        AddX(j, "X-ZORVEL-KIND", "note");
        AddX(j, "X-ZORVEL-ON-DESKTOP", n.isShowOnDesktop ? "1" : "0");
        icalcomponent_add_component(cal.get(), j);
    }
    std::vector<EventRecord> memos;
    manager.GetAllEvents(memos);
    for (const auto& m : memos) {
        icalcomponent* j = Journal(m.id, m.addTime, Utf8(m.content1), stamp);
        AddX(j, "X-ZORVEL-KIND", "memo");
        const std::string rtf = Base64(Utf8(m.content));
        icalattach* attach = icalattach_new_from_data(rtf.c_str(), nullptr, nullptr);
        icalproperty* p = icalproperty_new_attach(attach);
        icalattach_unref(attach);
        icalproperty_add_parameter(p, icalparameter_new_fmttype("application/rtf"));
        icalproperty_add_parameter(p, icalparameter_new_encoding(ICAL_ENCODING_BASE64));
        icalproperty_add_parameter(p, icalparameter_new_value(ICAL_VALUE_BINARY));
        icalcomponent_add_property(j, p);
        icalcomponent_add_component(cal.get(), j);
    }
    char* text = icalcomponent_as_ical_string_r(cal.get());
    std::string out = text ? text : "";
    free(text);
    return out;
}

std::string IdForUid(const std::string& uid) {
    // Zorvel's own ids: "{8-4-4-4-12}" of hex digits.
    const bool own = uid.size() == 38 && uid.front() == '{' && uid.back() == '}' &&
                     uid.find_first_not_of("0123456789abcdefABCDEF-", 1) == 37;
    if (own)
        return uid;
    // Two FNV-1a hashes of the UID, 128 bits, in the same form.
    auto hash = [&](std::uint64_t seed) {
        std::uint64_t h = seed;
        for (unsigned char c : uid) {
            h ^= c;
            h *= 1099511628211ull;
        }
        return h;
    };
    const std::uint64_t a = hash(14695981039346656037ull), b = hash(0x9E3779B97F4A7C15ull);
    char id[40];
    std::snprintf(id, sizeof id, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                  static_cast<unsigned>(b >> 48),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return id;
}

namespace {

// The local moment an iCalendar time names, whatever its zone.
std::optional<TimeFields> LocalFields(icaltimetype t) {
    if (icaltime_is_null_time(t) || t.is_date)
        return std::nullopt;
    if (t.zone || icaltime_is_utc(t)) {
        const std::time_t when = icaltime_as_timet_with_zone(t, t.zone);
        std::tm local{};
        localtime_r(&when, &local);
        return TimeFields{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour,        local.tm_min,     0};
    }
    return TimeFields{t.year, t.month, t.day, t.hour, t.minute, 0};
}

// The repeat rule of a foreign event, or why it has none Zorvel can keep.
std::optional<RepeatRule> ForeignRule(icalcomponent* c, const TimeFields& start, std::string* why) {
    icalproperty* p = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
    if (!p)
        return RepeatRule{};
    const icalrecurrencetype r = icalproperty_get_rrule(p);
    if (icalcomponent_get_next_property(c, ICAL_RRULE_PROPERTY) ||
        icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY) ||
        icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY)) {
        *why = "例外日期或多条重复规则无法表示";
        return std::nullopt;
    }
    if (r.freq != ICAL_DAILY_RECURRENCE && r.freq != ICAL_WEEKLY_RECURRENCE) {
        *why = r.freq == ICAL_MONTHLY_RECURRENCE  ? "按月重复无法表示"
               : r.freq == ICAL_YEARLY_RECURRENCE ? "按年重复无法表示"
                                                  : "这种重复规则无法表示";
        return std::nullopt;
    }
    if (r.interval > 1 || r.count > 0 || !icaltime_is_null_time(r.until)) {
        *why = "带间隔或结束日期的重复无法表示";
        return std::nullopt;
    }
    if (r.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
        r.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX ||
        r.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX) {
        *why = "这种重复规则无法表示";
        return std::nullopt;
    }
    if (r.freq == ICAL_DAILY_RECURRENCE && r.by_day[0] == ICAL_RECURRENCE_ARRAY_MAX)
        return RepeatRule{RepeatKind::kDaily, 0};
    {
        unsigned days = 0;
        for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            if (icalrecurrencetype_day_position(r.by_day[i]) != 0) {
                *why = "这种重复规则无法表示";
                return std::nullopt;
            }
            // iCalendar counts Sunday as 1.
            const int sundayFirst = icalrecurrencetype_day_day_of_week(r.by_day[i]);
            days |= 1u << ((sundayFirst + 5) % 7);
        }
        if (days == 0)
            days = 1u << (IsoWeekday(start.year, start.month, start.day) - 1);
        return days == 0x7F ? RepeatRule{RepeatKind::kDaily, 0}
                            : RepeatRule{RepeatKind::kWeekly, days};
    }
    *why = "这种重复规则无法表示";
    return std::nullopt;
}

std::string Text(icalcomponent* c, bool descriptionFirst) {
    const char* summary = icalcomponent_get_summary(c);
    const char* description = icalcomponent_get_description(c);
    const char* first = descriptionFirst ? description : summary;
    const char* second = descriptionFirst ? summary : description;
    return first && *first ? first : second ? second : "";
}

bool ReadAlarm(icalcomponent* c, std::time_t now, AlarmClockRecord* a, std::string* why) {
    icaltimetype start = icalcomponent_get_dtstart(c);
    if (icalcomponent_isa(c) == ICAL_VTODO_COMPONENT && icaltime_is_null_time(start))
        start = icalcomponent_get_due(c);
    const auto fields = LocalFields(start);
    if (!fields) {
        *why = start.is_date ? "全天的项目没有时刻" : "没有开始时间";
        return false;
    }
    std::optional<RepeatRule> rule;
    if (const std::string own = XValue(c, "X-ZORVEL-RULE"); !own.empty()) {
        rule = ParseRepeatRule(own);
        if (!rule)
            *why = "无法识别的规则 " + own;
    } else {
        rule = ForeignRule(c, *fields, why);
    }
    if (!rule)
        return false;
    const std::string text = Text(c, false);
    if (text.empty() || Utf8ToUtf16(text).size() > CClockManager::kMaxContentUnits) {
        *why = text.empty() ? "没有内容" : "内容太长";
        return false;
    }
    char stored[32];
    std::snprintf(stored, sizeof stored, "%04d-%02d-%02d %02d:%02d:00", fields->year, fields->month,
                  fields->day, fields->hour, fields->minute);
    a->alarmTime = stored;
    a->isEveryday = rule->Repeats();
    a->rule = rule->Repeats() ? RepeatRuleText(*rule) : "";
    if (!rule->Repeats()) {
        const auto when = ParseTimeText(stored);
        if (!when || *when <= now) {
            *why = "时间已经过去";
            return false;
        }
    }
    a->content = ToStored(Utf8ToUtf16(text));
    a->isRing = XValue(c, "X-ZORVEL-IS-RING") != "0";
    a->skipDate = XValue(c, "X-ZORVEL-SKIP-DATE");
    a->pauseUntil = XValue(c, "X-ZORVEL-PAUSE-UNTIL");
    const std::string type = XValue(c, "X-ZORVEL-RING-TYPE");
    if (type.empty()) {
        a->ringType = kRingSystemSong1;
    } else {
        a->ringType = std::atoi(type.c_str());
        // A file must never make an alarm that runs a program or stops the computer.
        if (a->ringType == kRingRunProgram || a->ringType == kRingRestart ||
            a->ringType == kRingPowerOff || a->ringType < 0 || a->ringType > kRingCustomSong) {
            *why = "运行程序、重启和关机的闹钟不能导入";
            return false;
        }
    }
    if (a->ringType == kRingCustomSong)
        a->ring = ToStored(Utf8ToUtf16(XValue(c, "X-ZORVEL-RING")));
    else
        a->ring = ToStored(kRingListEntries[static_cast<std::size_t>(a->ringType)]);
    return true;
}

std::string NameOf(icalcomponent* c) {
    std::string text = Text(c, false);
    const std::u16string wide = Utf8ToUtf16(text);
    if (wide.size() > 20)
        text = Utf16ToUtf8(wide.substr(0, 20)) + "…";
    return "「" + text + "」";
}

}  // namespace

bool ReadIcal(const std::string& text, CClockManager& manager, std::time_t now, IcalImport* import,
              std::string* error) {
    Component cal(icalparser_parse_string(text.c_str()));
    if (!cal || icalcomponent_isa(cal.get()) != ICAL_VCALENDAR_COMPONENT) {
        *error = "不是 iCalendar 文件";
        return false;
    }
    std::set<std::string> known;
    {
        AlarmClockList alarms;
        manager.GetAllAlarmClocks(alarms);
        for (const auto& a : alarms)
            known.insert(a->id);
        std::vector<NoteRecord> notes;
        manager.GetAllNotes(notes);
        for (const auto& n : notes)
            known.insert(n.id);
        std::vector<EventRecord> memos;
        manager.GetAllEvents(memos);
        for (const auto& m : memos)
            known.insert(m.id);
    }
    const std::string added = FormatTimeText(now);
    for (icalcomponent* c = icalcomponent_get_first_component(cal.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(cal.get(), ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT &&
            kind != ICAL_VJOURNAL_COMPONENT)
            continue;
        const char* uid = icalcomponent_get_uid(c);
        if (!uid || !*uid) {
            import->refused.push_back(NameOf(c) + "：没有 UID");
            continue;
        }
        const std::string id = IdForUid(uid);
        if (!known.insert(id).second) {
            ++import->alreadyStored;
            continue;
        }
        if (kind != ICAL_VJOURNAL_COMPONENT) {
            AlarmClockRecord a;
            a.id = id;
            a.addTime = added;
            std::string why;
            if (ReadAlarm(c, now, &a, &why))
                import->alarms.push_back(std::move(a));
            else
                import->refused.push_back(NameOf(c) + "：" + why);
            continue;
        }
        const std::string body = Text(c, true);
        icalproperty* attach = icalcomponent_get_first_property(c, ICAL_ATTACH_PROPERTY);
        icalattach* data = attach ? icalproperty_get_attach(attach) : nullptr;
        const bool memo =
            XValue(c, "X-ZORVEL-KIND") == "memo" || (data && !icalattach_get_is_url(data));
        if (body.empty()) {
            import->refused.push_back(NameOf(c) + "：没有内容");
        } else if (memo) {
            EventRecord m;
            m.id = id;
            m.addTime = added;
            m.content1 = ToStored(Utf8ToUtf16(body));
            const char* rtf = data && !icalattach_get_is_url(data)
                                  ? reinterpret_cast<const char*>(icalattach_get_data(data))
                                  : nullptr;
            m.content = rtf ? ToStored(Utf8ToUtf16(FromBase64(rtf))) : m.content1;
            import->memos.push_back(std::move(m));
        } else if (Utf8ToUtf16(body).size() > CClockManager::kMaxContentUnits) {
            import->refused.push_back(NameOf(c) + "：内容太长");
        } else {
            NoteRecord n;
            n.id = id;
            n.addTime = added;
            n.content = ToStored(Utf8ToUtf16(body));
            n.isRing = true;
            n.ringTime = added;
            n.isShowOnDesktop = XValue(c, "X-ZORVEL-ON-DESKTOP") != "0";
            import->notes.push_back(std::move(n));
        }
    }
    return true;
}

void StoreIcalImport(CClockManager& manager, const IcalImport& import) {
    CClockDatabase& db = manager.Database();
    CTransaction transaction(db);
    for (const AlarmClockRecord& a : import.alarms) {
        db.InsertAlarmClock(a);
        if (!a.rule.empty() || !a.skipDate.empty() || !a.pauseUntil.empty())
            db.WriteAlarmSkipAndPause(a.id, a.rule.empty() ? "once" : a.rule, a.skipDate,
                                      a.pauseUntil);
        if (!a.rule.empty())
            db.WriteAlarmRule(a.id, a.rule);
        manager.AddLog(AddedAlarmLogLine(LogTimeText(FromStored(a.alarmTime), a.isEveryday)));
    }
    for (const NoteRecord& n : import.notes)
        db.InsertNote(n);
    for (const EventRecord& m : import.memos)
        db.InsertEvent(m);
    transaction.Commit();
}

}  // namespace zorvel
