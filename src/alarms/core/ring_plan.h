#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "storage/records.h"

namespace zorvel {

// What an alarm does when it rings (the alarm's ringType).
enum RingType {
    kRingSystemSong1 = 0,
    kRingSystemSong2 = 1,
    kRingShake = 2,
    kRingSilent = 3,
    kRingRunProgram = 4,
    kRingRestart = 5,
    kRingPowerOff = 6,
    kRingCustomSong = 7,
};

// How long a ring song plays (the ringPlayType setting).
enum RingPlayType { kPlayOnce = 0, kPlayTwice = 1, kPlayUntilClosed = 2 };

// How the ring window plays its current song: in a loop, once, or twice in all.
enum SongPlayMode { kSongLoop = 0, kSongOnce = 1, kSongTwice = 2 };

struct SongRequest {
    std::string path;  // UTF-8
    SongPlayMode mode = kSongOnce;
    bool loop = false;
};

// The effects of one ring, decided from the alarm alone (plus the play setting).
struct RingPlan {
    bool restart = false;  // after a two-second pause
    std::string program;   // UTF-8 command line to start; empty for none
    bool shake = false;    // once, half a second after the window opens
    bool powerOff = false;
    bool needsPlayType = false;  // the song setting must be read
    std::optional<SongRequest> song;
};

// `songDir` is where "mp3/1.mp3" and "mp3/2.mp3" live, with a trailing '/'.
RingPlan PlanRing(const AlarmClockRecord& alarm, int ringPlayType, const std::string& systemSong1,
                  const std::string& systemSong2);

// The song-end watch: what to do when the player has stopped by itself.
enum class SongEndAction { kNothing, kPlayLastTime, kPlayLoopAgain };
SongEndAction OnSongStopped(SongPlayMode mode);

// The snooze delay as typed: read like C's atoi (leading blanks, optional sign, digits),
// 0 for a text of ten or more characters.
int ReadDelayNumber(const std::u16string& text);

// The alarm time moved by the delay, as stored text. Nothing when the time cannot be read or
// the result would fall outside the years a stored time can hold.
std::optional<std::string> SnoozedAlarmTime(const std::string& alarmTime, int hours, int minutes);

// When a snoozed alarm rings again, as stored text. The delay is added to the minute the alarm
// rang in (today's for an every-day alarm) while that still lies ahead; after a late click,
// when it does not, the delay counts from the minute of the click, so a snooze is never lost.
std::optional<std::string> SnoozeUntil(const std::string& rangTime, bool isEveryday, int hours,
                                       int minutes, std::time_t now);

// The positions of one shake, starting from the window's top-left corner (left, top):
// ten rounds of eight offsets, then back where it started.
std::vector<std::pair<int, int>> ShakePath(int left, int top);

}  // namespace zorvel
