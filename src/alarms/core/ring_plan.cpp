#include "alarms/core/ring_plan.h"

#include <cstdint>
#include <ctime>

#include "alarms/core/alarm_time.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

namespace zorvel {

namespace {
std::optional<SongRequest> SongFor(const std::string& path, int ringPlayType) {
    switch (ringPlayType) {
        case kPlayOnce:
            return SongRequest{path, kSongOnce, false};
        case kPlayTwice:
            return SongRequest{path, kSongTwice, false};
        default:
            // Playing until the window closes is the setting's default: a damaged or unknown
            // value must never silence the alarm.
            return SongRequest{path, kSongLoop, true};
    }
}
}  // namespace

RingPlan PlanRing(const AlarmClockRecord& alarm, int ringPlayType, const std::string& systemSong1,
                  const std::string& systemSong2) {
    RingPlan plan;
    if (!alarm.isRing)
        return plan;
    switch (alarm.ringType) {
        case kRingRestart:
            plan.restart = true;
            break;
        case kRingRunProgram:
            plan.program = Utf16ToUtf8(FromStored(alarm.content));
            break;
        case kRingShake:
            plan.shake = true;
            break;
        case kRingPowerOff:
            plan.powerOff = true;
            break;
        case kRingSystemSong1:
            plan.needsPlayType = true;
            plan.song = SongFor(systemSong1, ringPlayType);
            break;
        case kRingSystemSong2:
            plan.needsPlayType = true;
            plan.song = SongFor(systemSong2, ringPlayType);
            break;
        case kRingCustomSong:
            plan.needsPlayType = true;
            plan.song = SongFor(Utf16ToUtf8(FromStored(alarm.ring)), ringPlayType);
            break;
        case kRingSilent:
            break;
        default:
            // An unknown kind (a damaged or hand-edited file) rings like a new alarm does, with
            // the first built-in song, rather than not at all.
            plan.needsPlayType = true;
            plan.song = SongFor(systemSong1, ringPlayType);
            break;
    }
    return plan;
}

SongEndAction OnSongStopped(SongPlayMode mode) {
    switch (mode) {
        case kSongTwice:
            return SongEndAction::kPlayLastTime;
        case kSongLoop:
            return SongEndAction::kPlayLoopAgain;
        default:
            return SongEndAction::kNothing;
    }
}

int ReadDelayNumber(const std::u16string& text) {
    if (text.size() >= 10)
        return 0;
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    int64_t value = 0;  // at most nine digits, so no overflow
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        value = value * 10 + (text[i++] - u'0');
    return static_cast<int>(negative ? -value : value);
}

std::optional<std::string> SnoozedAlarmTime(const std::string& alarmTime, int hours, int minutes) {
    auto t = ReadAlarmTime(alarmTime);
    if (!t)
        return std::nullopt;
    // Whole days plus the rest, added on the local calendar so the wall-clock time moves by
    // exactly the delay.
    int64_t totalMinutes = int64_t(hours) * 60 + minutes;
    std::tm tm{};
    localtime_r(&*t, &tm);
    int64_t days = totalMinutes / 1440;
    int64_t rest = totalMinutes % 1440;
    if (days > 3000000 || days < -3000000)
        return std::nullopt;
    tm.tm_mday += static_cast<int>(days);
    tm.tm_min += static_cast<int>(rest);
    tm.tm_isdst = -1;
    std::time_t moved = std::mktime(&tm);
    if (moved == static_cast<std::time_t>(-1))
        return std::nullopt;
    std::tm check{};
    localtime_r(&moved, &check);
    if (check.tm_year + 1900 < 1900 || check.tm_year + 1900 > 9999)
        return std::nullopt;
    return FormatTimeText(moved);
}

std::optional<std::string> SnoozeUntil(const std::string& rangTime, bool isEveryday, int hours,
                                       int minutes, std::time_t now) {
    AlarmClockRecord rang;
    rang.alarmTime = rangTime;
    rang.isEveryday = isEveryday;
    auto minute = AlarmMinuteAtOrBefore(rang, now);
    if (!minute)
        return std::nullopt;
    if (auto moved = SnoozedAlarmTime(FormatTimeText(*minute), hours, minutes)) {
        auto at = ParseTimeText(*moved);
        if (at && *at > now)
            return moved;
    }
    std::tm click{};
    localtime_r(&now, &click);
    return SnoozedAlarmTime(FormatTimeText(now - click.tm_sec), hours, minutes);
}

std::vector<std::pair<int, int>> ShakePath(int left, int top) {
    static const int offsets[8][2] = {{-3, 3}, {-3, 0}, {-3, -3}, {0, -3},
                                      {3, -3}, {3, 0},  {3, 3},   {3, 6}};
    std::vector<std::pair<int, int>> path;
    path.reserve(10 * 9);
    for (int round = 0; round < 10; ++round) {
        for (const auto& o : offsets)
            path.emplace_back(left + o[0], top + o[1]);
        path.emplace_back(left, top);
    }
    return path;
}

}  // namespace zorvel
