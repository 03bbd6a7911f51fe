// Ringing and snoozing on stored values: any ring kind, play setting, delay text and alarm
// time a database file or the delay boxes may hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "alarms/core/alarm_time.h"
#include "alarms/core/ring_plan.h"
#include "fuzz/fuzz_support.h"
#include "storage/time_text.h"

using namespace zorvel;
using zorvel::fuzz::Check;

namespace {

// Minutes of local wall-clock time since 1970 of a time text in the stored form.
std::int64_t WallMinutes(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    Check(std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) == 6,
          "time text not in the stored form", text);
    // Days from civil (proleptic Gregorian).
    const std::int64_t yy = y - (mo <= 2);
    const std::int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
    const std::int64_t yoe = yy - era * 400;
    const std::int64_t doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    return days * 1440 + h * 60 + mi;
}

void CheckDelayText(const std::u16string& text) {
    const int value = ReadDelayNumber(text);
    Check(std::abs(value) <= 999'999'999, "delay beyond nine digits");
    // For plain ASCII the boxes read like C's atoi.
    std::string narrow;
    for (char16_t c : text) {
        if (c == 0 || c > 0x7F)
            return;
        narrow += static_cast<char>(c);
    }
    const long expected = text.size() >= 10 ? 0 : std::strtol(narrow.c_str(), nullptr, 10);
    Check(value == expected, "delay text not read like atoi", narrow);
}

void CheckPlan(const AlarmClockRecord& alarm, int playType) {
    const std::string s1 = "/s/1.mp3", s2 = "/s/2.mp3";
    const RingPlan plan = PlanRing(alarm, playType, s1, s2);
    Check(plan.needsPlayType == plan.song.has_value(), "play setting read without a song");
    const int effects =
        plan.restart + !plan.program.empty() + plan.shake + plan.powerOff + plan.song.has_value();
    Check(effects <= 1, "more than one effect of a ring");
    Check(fuzz::IsUtf8(plan.program), "program line is not UTF-8");
    if (!alarm.isRing) {
        Check(effects == 0, "an alarm without ringing does something");
        return;
    }
    const bool known = alarm.ringType >= kRingSystemSong1 && alarm.ringType <= kRingCustomSong;
    if (!known) {
        // A damaged ring kind still rings, with the first song.
        Check(plan.song && plan.song->path == s1, "damaged ring kind does not ring");
    }
    if (plan.song) {
        Check(fuzz::IsUtf8(plan.song->path), "song path is not UTF-8");
        const SongPlayMode mode = playType == kPlayOnce    ? kSongOnce
                                  : playType == kPlayTwice ? kSongTwice
                                                           : kSongLoop;
        Check(plan.song->mode == mode && plan.song->loop == (mode == kSongLoop),
              "song played another way than the setting says");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseChinaTime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    AlarmClockRecord alarm;
    alarm.isEveryday = in.ConsumeBool();
    alarm.isRing = in.ConsumeBool();
    alarm.ringType = in.ConsumeIntegral<int>();
    const int playType = in.ConsumeIntegral<int>();
    // Delays as typed or as any number at all.
    int hours, minutes;
    if (in.ConsumeBool()) {
        const std::u16string h = fuzz::Utf16(in.ConsumeRandomLengthString(24));
        const std::u16string m = fuzz::Utf16(in.ConsumeRandomLengthString(24));
        CheckDelayText(h);
        CheckDelayText(m);
        hours = ReadDelayNumber(h);
        minutes = ReadDelayNumber(m);
    } else {
        hours = in.ConsumeIntegral<int>();
        minutes = in.ConsumeIntegral<int>();
    }
    const std::time_t now =
        in.ConsumeIntegralInRange<std::int64_t>(-2'500'000'000, 253'402'300'799);  // to 9999
    alarm.content = in.ConsumeRandomLengthString(64);
    alarm.ring = in.ConsumeRandomLengthString(64);
    alarm.alarmTime = in.ConsumeRemainingBytesAsString();

    CheckPlan(alarm, playType);

    const auto t = ReadAlarmTime(alarm.alarmTime);
    const std::int64_t delay = std::int64_t(hours) * 60 + minutes;
    const auto moved = SnoozedAlarmTime(alarm.alarmTime, hours, minutes);
    Check(!moved || t, "snoozed a time that cannot be read");
    if (moved) {
        const auto at = ParseTimeText(*moved);
        Check(at.has_value(), "snoozed time cannot be read back", *moved);
        const std::int64_t moves = WallMinutes(*moved) - WallMinutes(FormatTimeText(*t));
        Check(moves == delay || (std::abs(moves - delay) == 60 && fuzz::NearOffsetChange(*at)),
              "snooze moved the time by another delay", *moved);
    } else if (t) {
        // Within the years a stored time holds, a snooze is never refused.
        const std::int64_t target = WallMinutes(FormatTimeText(*t)) + delay;
        const std::int64_t first = WallMinutes("1900-01-02 00:00:00");
        const std::int64_t last = WallMinutes("9999-12-30 00:00:00");
        Check(target < first || target > last, "snooze refused within the stored years",
              alarm.alarmTime);
    }

    const auto until = SnoozeUntil(alarm.alarmTime, alarm.isEveryday, hours, minutes, now);
    Check(!until || t, "snoozed until a time from a time that cannot be read");
    if (until) {
        const auto at = ParseTimeText(*until);
        Check(at.has_value(), "snooze-until time cannot be read back", *until);
        if (delay > 0)
            Check(*at > now, "a snooze rings in the past", *until);
        // Counted from the minute it rang, or from the click when that is later (a one-off
        // alarm's minute may lie ahead after the clock was put back).
        const std::time_t from = alarm.isEveryday ? now : std::max(now, *t);
        Check(*at <= from + delay * 60 + 3600, "a snooze rings later than its delay", *until);
    } else if (t && delay > 0 && delay <= 366 * 1440 && now > -2'000'000'000 &&
               now < 253'370'000'000) {
        Check(false, "snooze lost", alarm.alarmTime);
    }
    return 0;
}
