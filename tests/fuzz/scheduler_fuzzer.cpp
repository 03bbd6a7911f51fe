// The alarm, chime and rest tests on stored values: alarms with any stored time, the rest
// interval from the settings row, and a clock that ticks, stalls and jumps.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "alarms/core/alarm_time.h"
#include "alarms/core/ring_plan.h"
#include "alarms/core/scheduler.h"
#include "fuzz/fuzz_support.h"
#include "storage/time_text.h"

using namespace zorvel;
using zorvel::fuzz::Check;

namespace {

TimePoint At(std::int64_t t) {
    return std::chrono::system_clock::from_time_t(static_cast<std::time_t>(t));
}

// A stored alarm time: any text, or a well-formed one near `around` or anywhere in its years.
std::string AlarmTimeText(FuzzedDataProvider& in, std::int64_t around) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return in.ConsumeRandomLengthString(24);
        case 1:
            return FormatTimeText(static_cast<std::time_t>(
                around + in.ConsumeIntegralInRange<std::int64_t>(-3 * 86400, 3 * 86400)));
        default:
            return FormatTimeText(static_cast<std::time_t>(
                in.ConsumeIntegralInRange<std::int64_t>(-2'208'988'800, 253'402'300'799)));
    }
}

AlarmClockList MakeAlarms(FuzzedDataProvider& in, std::int64_t around) {
    AlarmClockList list;
    const int count = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        auto a = std::make_shared<AlarmClockRecord>();
        a->id = std::to_string(in.ConsumeIntegralInRange(0, 7));
        a->isEveryday = in.ConsumeBool();
        a->alarmTime = AlarmTimeText(in, around);
        list.push_back(a);
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseChinaTime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // A clock anywhere from 1901 to 2200.
    std::int64_t now = in.ConsumeIntegralInRange<std::int64_t>(-2'177'452'800, 7'258'118'400);
    AlarmSchedule schedule(At(now));
    ChimeTrigger chimes(At(now));
    RestCounter rest;
    const bool restOn = in.ConsumeBool();
    const int interval = in.ConsumeIntegral<int>();  // as stored, damaged or not
    const bool zdbs = in.ConsumeBool(), bdbs = in.ConsumeBool();
    // The minute each alarm last rang in. An alarm is what the list shows (here id, time and
    // whether every day): records that share an id but not a time are two alarms, a record
    // listed twice is one. What rang is forgotten when the alarm is dropped or changed, not
    // when the clock goes back: a minute lived again must not ring again.
    using Key = std::tuple<std::string, std::string, bool>;
    auto keyOf = [](const AlarmClockPtr& a) { return Key{a->id, a->alarmTime, a->isEveryday}; };
    std::map<Key, std::time_t> rangIn;
    auto reload = [&](AlarmClockList list) {
        std::map<Key, std::time_t> kept;
        for (const AlarmClockPtr& a : list) {
            const bool listed =
                std::any_of(schedule.alarmList.begin(), schedule.alarmList.end(),
                            [&](const AlarmClockPtr& o) { return keyOf(o) == keyOf(a); });
            if (auto rang = rangIn.find(keyOf(a)); listed && rang != rangIn.end())
                kept.insert(*rang);
        }
        rangIn = std::move(kept);
        schedule.ReloadAlarmList(std::move(list));
    };
    reload(MakeAlarms(in, now));
    long ticks = 0;

    while (in.remaining_bytes() > 0 && ticks < 4000) {
        const std::int64_t previous = now;
        // Mostly one second, sometimes a stall, a jump back, or a resume after hours.
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                now += in.ConsumeIntegralInRange<std::int64_t>(-90000, 90000);
                break;
            case 1:
                now += in.ConsumeIntegralInRange(0, 59);
                break;
            case 2:
                reload(MakeAlarms(in, now));
                continue;
            case 3:
                if (!schedule.alarmList.empty()) {
                    // A snooze on one of them, as the ring window makes it.
                    AlarmClockPtr a = schedule.alarmList[in.ConsumeIntegralInRange<size_t>(
                        0, schedule.alarmList.size() - 1)];
                    if (auto until = SnoozeUntil(a->alarmTime, a->isEveryday, 0,
                                                 in.ConsumeIntegralInRange(1, 120), now)) {
                        a->alarmTime = *until;
                    }
                    a->hasRung = false;
                }
                continue;
            default:
                now += 1;
                break;
        }
        ++ticks;
        const auto missed = schedule.MissedAlarms(At(now));
        const auto due = schedule.CheckDueAlarms(At(now));
        for (const AlarmClockPtr& a : due) {
            const auto minute = AlarmMinuteAtOrBefore(*a, now);
            Check(minute && *minute <= now && now - *minute < 60, "rang outside its minute",
                  a->alarmTime);
            Check(a->hasRung, "rang without being marked");
            auto [it, fresh] = rangIn.try_emplace(keyOf(a), *minute);
            Check(fresh || it->second != *minute, "rang twice in one minute", a->alarmTime);
            it->second = *minute;
            // After a jump of more than a day an every-day alarm may have missed yesterday's
            // minute and ring in today's; never both for one minute.
            for (const AlarmClockPtr& m : missed)
                Check(m != a || AlarmMinuteAtOrBefore(*a, now - 60) != minute,
                      "both missed and rung in one minute", a->alarmTime);
        }
        // With the clock going forwards by less than a minute, every alarm whose minute began
        // since the previous check rings now, unless it already rang in that minute.
        if (now > previous && now - previous < 60) {
            for (const AlarmClockPtr& a : schedule.alarmList) {
                const auto minute = AlarmMinuteAtOrBefore(*a, now);
                if (!minute || *minute <= previous || *minute > now)
                    continue;
                const auto rang = rangIn.find(keyOf(a));
                const bool rangThisMinute = rang != rangIn.end() && rang->second == *minute;
                Check(rangThisMinute, "an alarm's minute passed without ringing", a->alarmTime);
            }
        }

        if (auto chime = chimes.Tick(At(now), zdbs, bdbs)) {
            Check(chime->hour >= 0 && chime->hour <= 23, "chime hour out of range");
            Check((chime->minute == 0 && zdbs) || (chime->minute == 30 && bdbs),
                  "chime that is switched off or not on the hour or half hour");
        }
        // The rest reminder comes after the stored number of hours (one for a damaged value),
        // counted in minute ticks.
        if (rest.Tick(restOn, interval)) {
            Check(restOn, "rest reminder while switched off");
            Check(rest.restMinutes >= 60 * std::int64_t(interval >= 1 ? interval : 1),
                  "rest reminder too early");
            rest.ReminderShown();
        } else if (ticks % 97 == 0) {
            rest.ReminderClosed();
        }
    }
    return 0;
}
