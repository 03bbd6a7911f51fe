#pragma once

#include <string>
#include <vector>

#include "platform/core/clock.h"

namespace zorvel {

// The voice clips of one spoken-time announcement, in playing order, as data-file paths
// relative to the data directory ("sound/zhong.wav"; look them up with DataFilePath).
//
// bell, lead-in, part of the day, the hour on a 12-hour dial, the hour word, and unless the
// minute is 0 its tens, its units (none for whole tens) and the minute word: 5 to 9 clips.
// Midnight and noon both say zero. An hour outside 0-23 or a minute outside 0-59 is an
// unknown time: both are then taken as -1, which leaves out the part of the day and the
// hour and says the minute as "zero minutes".
std::vector<std::string> TimeVoiceClips(int hour, int minute);

// The clips for a moment, read in local time (an unknown time when it cannot be converted).
std::vector<std::string> TimeVoiceClipsAt(TimePoint when);

// Every clip an announcement can use, each once.
std::vector<std::string> AllTimeVoiceClips();

}  // namespace zorvel
