#include "chimes/core/time_voice_clips.h"

#include <ctime>

namespace zorvel {

namespace {

const char* const kBell = "sound/zhong.wav";
const char* const kLeadIn = "sound/TIMENOW.wav";
const char* const kSmallHours = "sound/AM0.wav";
const char* const kMorning = "sound/AM1.wav";
const char* const kAfternoon = "sound/PM.wav";
const char* const kEvening = "sound/EM.wav";
const char* const kHourWord = "sound/POINT.wav";
const char* const kMinuteWord = "sound/MIN.wav";

// "sound/T00.wav" ... "sound/T09.wav", "sound/T10.wav" ... "sound/T50.wav".
std::string Number(int n) {
    return "sound/T" + std::string(1, char('0' + n / 10)) + char('0' + n % 10) + ".wav";
}

}  // namespace

std::vector<std::string> TimeVoiceClips(int hour, int minute) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        hour = -1;
        minute = -1;
    }
    std::vector<std::string> clips{kBell, kLeadIn};
    if (hour >= 0) {
        if (hour <= 4) {
            clips.emplace_back(kSmallHours);
        } else if (hour <= 11) {
            clips.emplace_back(kMorning);
        } else if (hour <= 18) {
            clips.emplace_back(kAfternoon);
        } else {
            clips.emplace_back(kEvening);  // 19 included: seven in the evening is evening
        }
        int dial = hour % 12;
        if (dial == 11) {
            clips.emplace_back(Number(10));
            clips.emplace_back(Number(1));
        } else {
            clips.emplace_back(Number(dial));
        }
    }
    clips.emplace_back(kHourWord);
    if (minute == 0)
        return clips;
    // An unknown minute (-1) comes out as tens 0 and no units: "zero minutes".
    int tens = minute < 0 ? 0 : minute / 10;
    int units = minute < 0 ? 0 : minute % 10;
    clips.emplace_back(Number(tens * 10));
    if (units != 0)
        clips.emplace_back(Number(units));
    clips.emplace_back(kMinuteWord);
    return clips;
}

std::vector<std::string> TimeVoiceClipsAt(TimePoint when) {
    std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return TimeVoiceClips(-1, -1);
    return TimeVoiceClips(local.tm_hour, local.tm_min);
}

std::vector<std::string> AllTimeVoiceClips() {
    std::vector<std::string> all{kBell,      kLeadIn,  kSmallHours, kMorning,
                                 kAfternoon, kEvening, kHourWord,   kMinuteWord};
    for (int n = 0; n <= 10; ++n)
        all.push_back(Number(n));
    for (int n = 20; n <= 50; n += 10)
        all.push_back(Number(n));
    return all;
}

}  // namespace zorvel
