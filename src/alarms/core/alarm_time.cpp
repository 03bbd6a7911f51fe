#include "alarms/core/alarm_time.h"

#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {

std::optional<std::time_t> ReadAlarmTime(const std::string& storedText) {
    return ParseTimeText(storedText);  // the stored form is plain ASCII in every code page
}

std::optional<std::time_t> AlarmMinuteAtOrBefore(const AlarmClockRecord& alarm, std::time_t now) {
    if (!alarm.isEveryday) {
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
    std::tm today{};
    localtime_r(&now, &today);
    auto on = [&](int dayOffset) {
        return LocalMoment(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday + dayOffset,
                           at->hour, at->minute, 0);
    };
    std::optional<std::time_t> m = on(0);
    if (!m || *m > now)
        m = on(-1);
    return m;
}

std::optional<std::time_t> AlarmMinuteAfter(const AlarmClockRecord& alarm, std::time_t after) {
    if (!alarm.isEveryday) {
        auto m = AlarmMinuteAtOrBefore(alarm, after);
        if (m && *m > after)
            return m;
        return std::nullopt;
    }
    auto at = ReadTimeFields(alarm.alarmTime);
    if (!at)
        return std::nullopt;
    std::tm today{};
    localtime_r(&after, &today);
    // Two days ahead at most: a day whose clock skips the minute has none.
    for (int dayOffset = 0; dayOffset <= 2; ++dayOffset) {
        auto m = LocalMoment(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday + dayOffset,
                             at->hour, at->minute, 0);
        if (m && *m > after)
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
    if (!alarm.isEveryday)
        return Utf16ToUtf8(FromStored(alarm.alarmTime));
    auto at = ReadTimeFields(alarm.alarmTime);
    if (!at)
        return "每天 " + Utf16ToUtf8(FromStored(alarm.alarmTime));
    return "每天 " + std::to_string(at->hour) + ":" + std::to_string(at->minute);
}

}  // namespace zorvel
