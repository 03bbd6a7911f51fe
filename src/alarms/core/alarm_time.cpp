#include "alarms/core/alarm_time.h"

#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {

std::optional<std::time_t> ReadAlarmTime(const std::string& storedText) {
    return ParseTimeText(storedText);  // the stored form is plain ASCII in every code page
}

namespace {
std::time_t LocalAt(const std::tm& day, int dayOffset, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = day.tm_year;
    tm.tm_mon = day.tm_mon;
    tm.tm_mday = day.tm_mday + dayOffset;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}
}  // namespace

std::optional<std::time_t> AlarmMinuteAtOrBefore(const AlarmClockRecord& alarm, std::time_t now) {
    auto t = ReadAlarmTime(alarm.alarmTime);
    if (!t)
        return std::nullopt;
    std::tm at{};
    localtime_r(&*t, &at);
    if (!alarm.isEveryday)
        return *t - at.tm_sec;
    std::tm today{};
    localtime_r(&now, &today);
    std::time_t m = LocalAt(today, 0, at.tm_hour, at.tm_min);
    if (m > now)
        m = LocalAt(today, -1, at.tm_hour, at.tm_min);
    return m;
}

bool IsExpiredAlarm(const AlarmClockRecord& alarm, std::time_t now) {
    auto t = ReadAlarmTime(alarm.alarmTime);
    // A time that cannot be read never rings, every day or not: it must not look active.
    if (!t)
        return true;
    return !alarm.isEveryday && *t <= now;
}

std::string AlarmTimeListText(const AlarmClockRecord& alarm) {
    if (!alarm.isEveryday)
        return Utf16ToUtf8(FromStored(alarm.alarmTime));
    auto t = ReadAlarmTime(alarm.alarmTime);
    if (!t)
        return "每天 " + Utf16ToUtf8(FromStored(alarm.alarmTime));
    std::tm tm{};
    localtime_r(&*t, &tm);
    return "每天 " + std::to_string(tm.tm_hour) + ":" + std::to_string(tm.tm_min);
}

}  // namespace zorvel
