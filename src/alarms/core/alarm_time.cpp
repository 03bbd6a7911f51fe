#include "alarms/core/alarm_time.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>

#include "alarms/core/repeat_rule.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {

std::optional<std::time_t> ReadAlarmTime(const std::string& storedText) {
    return ParseTimeText(storedText);  // the stored form is plain ASCII in every code page
}

namespace {
// How far either way the occurrences of a repeating alarm are looked for. Every rule has one
// within a few weeks (the longest run of official days off or on is well under one); only a
// pause, or a schedule with no day for the rule, reaches the end.
constexpr long kSearchDays = 400;

long LocalDay(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return DaysFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

// The days a repeating alarm rings on, at its hour and minute.
class Occurrences {
public:
    Occurrences(const AlarmClockRecord& alarm, TimeFields at)
        : rule_(RuleOf(alarm)), at_(at), schedule_(CurrentHolidaySchedule()) {
        // Skipping and pausing apply to repeating alarms only; an unreadable date is none.
        if (auto skip = ReadDateText(alarm.skipDate))
            skipDay_ = DaysFromCivil(skip->year, skip->month, skip->day);
        if (auto pause = ReadDateText(alarm.pauseUntil))
            pauseDay_ = DaysFromCivil(pause->year, pause->month, pause->day);
    }
    bool RingsOn(long day) const {
        if (day == skipDay_ || day < pauseDay_)
            return false;
        const CivilDate d = CivilFromDays(day);
        return Includes(rule_, *schedule_, d.year, d.month, d.day);
    }
    std::optional<std::time_t> MinuteOn(long day) const {
        const CivilDate d = CivilFromDays(day);
        return LocalMoment(d.year, d.month, d.day, at_.hour, at_.minute, 0);
    }
    long pauseDay() const { return pauseDay_; }

private:
    RepeatRule rule_;
    TimeFields at_;
    std::shared_ptr<const HolidaySchedule> schedule_;
    long skipDay_ = std::numeric_limits<long>::min();
    long pauseDay_ = std::numeric_limits<long>::min();
};
}  // namespace

std::optional<std::time_t> AlarmMinuteAtOrBefore(const AlarmClockRecord& alarm, std::time_t now) {
    if (!RuleOf(alarm).Repeats()) {
        auto t = ReadAlarmTime(alarm.alarmTime);
        if (!t)
            return std::nullopt;
        std::tm at{};
        localtime_r(&*t, &at);
        return *t - at.tm_sec;
    }
    // Hour and minute as written: the stored day may be one whose clock skipped or repeated
    // them, and the alarm still means that time on every other day.
    auto at = ReadTimeFields(alarm.alarmTime);
    if (!at)
        return std::nullopt;
    const Occurrences occurrences(alarm, *at);
    const long today = LocalDay(now);
    for (long day = today; day > today - kSearchDays && day >= occurrences.pauseDay(); --day) {
        if (!occurrences.RingsOn(day))
            continue;
        if (auto m = occurrences.MinuteOn(day); m && *m <= now)
            return m;
    }
    return std::nullopt;
}

std::optional<std::time_t> AlarmMinuteAfter(const AlarmClockRecord& alarm, std::time_t after) {
    if (!RuleOf(alarm).Repeats()) {
        auto m = AlarmMinuteAtOrBefore(alarm, after);
        if (m && *m > after)
            return m;
        return std::nullopt;
    }
    auto at = ReadTimeFields(alarm.alarmTime);
    if (!at)
        return std::nullopt;
    const Occurrences occurrences(alarm, *at);
    const long first = std::max(LocalDay(after), occurrences.pauseDay());
    for (long day = first; day < first + kSearchDays; ++day) {
        if (!occurrences.RingsOn(day))
            continue;
        if (auto m = occurrences.MinuteOn(day); m && *m > after)
            return m;
    }
    return std::nullopt;
}

bool IsExpiredAlarm(const AlarmClockRecord& alarm, std::time_t now) {
    auto t = ReadAlarmTime(alarm.alarmTime);
    // A time that cannot be read never rings, every day or not: it must not look active.
    if (!t)
        return true;
    return !alarm.isEveryday && *t <= now;
}

std::string AlarmTimeListText(const AlarmClockRecord& alarm) {
    // A snooze shows as its alarm does, at the snooze's hour and minute.
    AlarmClockRecord shown = alarm;
    shown.atSnooze = false;
    const RepeatRule rule = RuleOf(shown);
    if (!rule.Repeats())
        return Utf16ToUtf8(FromStored(alarm.alarmTime));
    const std::string name = RepeatRuleName(rule);
    auto at = ReadTimeFields(alarm.alarmTime);
    if (!at)
        return name + " " + Utf16ToUtf8(FromStored(alarm.alarmTime));
    if (rule.kind == RepeatKind::kDaily)
        return name + " " + std::to_string(at->hour) + ":" + std::to_string(at->minute);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%d:%02d", at->hour, at->minute);
    return name + " " + clock;
}

namespace {
constexpr const char* kWeekdayNames[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};

std::string MonthDay(const CivilDate& d) {
    return std::to_string(d.month) + "月" + std::to_string(d.day) + "日";
}
}  // namespace

std::string NextRingText(const AlarmClockRecord& alarm, std::time_t now, bool withRule) {
    const RepeatRule rule = RuleOf(alarm);
    if (!rule.Repeats())
        return {};
    std::string text = withRule ? RepeatRuleName(rule) : "";
    const long today = LocalDay(now);
    if (auto pause = ReadDateText(alarm.pauseUntil);
        pause && DaysFromCivil(pause->year, pause->month, pause->day) > today)
        text += (text.empty() ? "" : " · ") + ("暂停到" + MonthDay(*pause));
    if (auto skip = SkippedDate(alarm, now))
        text += (text.empty() ? "" : " · ") + ("跳过" + MonthDay(*skip));
    if (!text.empty())
        text += " · ";
    auto next = AlarmMinuteAfter(alarm, now);
    if (!next)
        return text + "下次：无";
    std::tm tm{};
    localtime_r(&*next, &tm);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d", tm.tm_hour, tm.tm_min);
    const CivilDate day{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    return text + "下次：" + MonthDay(day) + " " +
           kWeekdayNames[IsoWeekday(day.year, day.month, day.day) - 1] + " " + clock;
}

std::optional<CivilDate> SkippedDate(const AlarmClockRecord& alarm, std::time_t now) {
    const RepeatRule rule = RuleOf(alarm);
    auto skip = ReadDateText(alarm.skipDate);
    auto at = ReadTimeFields(alarm.alarmTime);
    if (!rule.Repeats() || !skip || !at ||
        !Includes(rule, *CurrentHolidaySchedule(), skip->year, skip->month, skip->day))
        return std::nullopt;
    // Once its minute has passed, a skip no longer stands for anything coming.
    auto m = LocalMoment(skip->year, skip->month, skip->day, at->hour, at->minute, 0);
    if (!m || *m <= now)
        return std::nullopt;
    return skip;
}

std::string UnpublishedYearNote(const AlarmClockRecord& alarm, std::time_t now) {
    const RepeatRule rule = RuleOf(alarm);
    if (rule.kind != RepeatKind::kWorkdays && rule.kind != RepeatKind::kHolidays)
        return {};
    auto next = AlarmMinuteAfter(alarm, now);
    if (!next)
        return {};
    std::tm tm{};
    localtime_r(&*next, &tm);
    return UnpublishedYearNote(tm.tm_year + 1900);
}

std::string UnpublishedYearNote(int year) {
    if (CurrentHolidaySchedule()->HasYear(year))
        return {};
    return std::to_string(year) + "年放假安排尚未公布，暂按周一至周五";
}

}  // namespace zorvel
