// Stored alarm times: any text a database file may hold in the alarm time field, read against
// any moment a clock may show.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "alarms/core/alarm_time.h"
#include "fuzz/fuzz_support.h"
#include "storage/time_text.h"

using namespace zorvel;
using zorvel::fuzz::Check;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseChinaTime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    AlarmClockRecord alarm;
    alarm.isEveryday = in.ConsumeBool();
    // A moment anywhere from before 1900 to after 9999: clocks can be set to anything.
    const std::time_t now =
        in.ConsumeIntegralInRange<std::int64_t>(-3'000'000'000'000, 300'000'000'000);
    alarm.alarmTime = in.ConsumeRemainingBytesAsString();

    const auto t = ReadAlarmTime(alarm.alarmTime);
    Check(IsExpiredAlarm(alarm, now) == (!t || (!alarm.isEveryday && *t <= now)),
          "expiry disagrees with the time read", alarm.alarmTime);
    Check(fuzz::IsUtf8(AlarmTimeListText(alarm)), "list text is not UTF-8", alarm.alarmTime);

    const auto minute = AlarmMinuteAtOrBefore(alarm, now);
    Check(minute.has_value() == t.has_value(), "alarm minute without a time", alarm.alarmTime);
    if (!t)
        return 0;

    // What was read is written back in the stored form, and reading that gives the same moment.
    const std::string text = FormatTimeText(*t);
    const auto again = ParseTimeText(text);
    Check(again.has_value(), "written time cannot be read", text);
    Check(FormatTimeText(*again) == text, "time text not settled after one trip", text);
    if (!fuzz::NearOffsetChange(*t))
        Check(*again == *t, "written time reads as another moment", text);
    std::tm local{};
    localtime_r(&*t, &local);
    Check(local.tm_year + 1900 >= 1900 && local.tm_year + 1900 <= 10000, "year out of range", text);

    // A text already in the stored form means what it says.
    std::string trimmed = alarm.alarmTime;
    trimmed.erase(0, trimmed.find_first_not_of(" \t\n\v\f\r"));
    trimmed.erase(trimmed.find_last_not_of(" \t\n\v\f\r") + 1);
    if (trimmed.size() == 19 && !fuzz::NearOffsetChange(*t))
        Check(trimmed == text, "stored form read as another time", alarm.alarmTime);

    if (alarm.isEveryday) {
        // Today's or yesterday's minute of the alarm's hour and minute, never later than now.
        Check(*minute <= now, "every-day minute after now", alarm.alarmTime);
        Check(now - *minute < 2 * 86400 + 3600, "every-day minute too long ago", alarm.alarmTime);
        std::tm at{};
        localtime_r(&*minute, &at);
        Check(at.tm_sec == 0, "every-day minute not at second 0", alarm.alarmTime);
        if (!fuzz::NearOffsetChange(*minute))
            Check(at.tm_hour == local.tm_hour && at.tm_min == local.tm_min,
                  "every-day minute at another hour or minute", alarm.alarmTime);
    } else {
        Check(*minute == *t - local.tm_sec, "one-off minute is not the stored one",
              alarm.alarmTime);
    }

    // The same time under each kind of rule, paused until the stored day: the ring before now is
    // not later than now, the next one later, and looking back from that one finds it.
    char pause[48];
    std::snprintf(pause, sizeof pause, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    for (const char* rule : {"workdays", "holidays", "weekly:2,7"}) {
        AlarmClockRecord ruled = alarm;
        ruled.isEveryday = true;
        ruled.rule = rule;
        ruled.pauseUntil = pause;
        const auto before = AlarmMinuteAtOrBefore(ruled, now);
        const auto after = AlarmMinuteAfter(ruled, now);
        Check(!before || *before <= now, "a rule's ring before now is later", alarm.alarmTime);
        Check(!after || *after > now, "a rule's next ring is not later", alarm.alarmTime);
        if (after && !fuzz::NearOffsetChange(*after))
            Check(AlarmMinuteAtOrBefore(ruled, *after) == after, "a rule's rings disagree",
                  alarm.alarmTime);
    }
    return 0;
}
