#include "chimes/core/time_voice_clips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zorvel {
namespace {

// Short names ("AM1") to keep the expected sequences readable.
std::vector<std::string> Clips(std::initializer_list<const char*> names) {
    std::vector<std::string> out;
    for (const char* n : names)
        out.push_back(std::string("sound/") + n + ".wav");
    return out;
}

TEST(TimeVoiceClips, WholeHoursSayNoMinutes) {
    EXPECT_EQ(TimeVoiceClips(0, 0), Clips({"zhong", "TIMENOW", "AM0", "T00", "POINT"}));
    EXPECT_EQ(TimeVoiceClips(12, 0), Clips({"zhong", "TIMENOW", "PM", "T00", "POINT"}));
    EXPECT_EQ(TimeVoiceClips(8, 0), Clips({"zhong", "TIMENOW", "AM1", "T08", "POINT"}));
}

TEST(TimeVoiceClips, MinutesAreSaidAsTensAndUnits) {
    EXPECT_EQ(TimeVoiceClips(9, 5),
              Clips({"zhong", "TIMENOW", "AM1", "T09", "POINT", "T00", "T05", "MIN"}));
    EXPECT_EQ(TimeVoiceClips(11, 11),
              Clips({"zhong", "TIMENOW", "AM1", "T10", "T01", "POINT", "T10", "T01", "MIN"}));
    EXPECT_EQ(TimeVoiceClips(14, 30),
              Clips({"zhong", "TIMENOW", "PM", "T02", "POINT", "T30", "MIN"}));
    EXPECT_EQ(TimeVoiceClips(22, 40),
              Clips({"zhong", "TIMENOW", "EM", "T10", "POINT", "T40", "MIN"}));
    EXPECT_EQ(TimeVoiceClips(23, 59),
              Clips({"zhong", "TIMENOW", "EM", "T10", "T01", "POINT", "T50", "T09", "MIN"}));
    EXPECT_EQ(TimeVoiceClips(10, 17),
              Clips({"zhong", "TIMENOW", "AM1", "T10", "POINT", "T10", "T07", "MIN"}));
}

TEST(TimeVoiceClips, PartOfDaySwitchesAtItsHours) {
    auto part = [](int hour) { return TimeVoiceClips(hour, 0)[2]; };
    EXPECT_EQ(part(4), "sound/AM0.wav");
    EXPECT_EQ(TimeVoiceClips(4, 59)[2], "sound/AM0.wav");
    EXPECT_EQ(part(5), "sound/AM1.wav");
    EXPECT_EQ(part(11), "sound/AM1.wav");
    EXPECT_EQ(part(12), "sound/PM.wav");
    EXPECT_EQ(TimeVoiceClips(18, 59)[2], "sound/PM.wav");
    EXPECT_EQ(part(20), "sound/EM.wav");
}

TEST(TimeVoiceClips, SevenInTheEveningIsEvening) {
    EXPECT_EQ(TimeVoiceClips(19, 0), Clips({"zhong", "TIMENOW", "EM", "T07", "POINT"}));
    EXPECT_EQ(TimeVoiceClips(19, 25),
              Clips({"zhong", "TIMENOW", "EM", "T07", "POINT", "T20", "T05", "MIN"}));
}

TEST(TimeVoiceClips, UnknownTimeLeavesOutDayAndHour) {
    const auto unknown = Clips({"zhong", "TIMENOW", "POINT", "T00", "MIN"});
    EXPECT_EQ(TimeVoiceClips(-1, -1), unknown);
    // One field out of range makes the whole time unknown, never half a time.
    EXPECT_EQ(TimeVoiceClips(24, 0), unknown);
    EXPECT_EQ(TimeVoiceClips(8, 60), unknown);
    EXPECT_EQ(TimeVoiceClips(8, -1), unknown);
}

TEST(TimeVoiceClips, EveryMinuteOfTheDayUsesFiveToNineKnownClips) {
    const auto all = AllTimeVoiceClips();
    EXPECT_EQ(all.size(), 23u);
    std::vector<std::string> used;
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            auto clips = TimeVoiceClips(h, m);
            ASSERT_GE(clips.size(), 5u) << h << ":" << m;
            ASSERT_LE(clips.size(), 9u) << h << ":" << m;
            for (const auto& c : clips) {
                ASSERT_NE(std::find(all.begin(), all.end(), c), all.end()) << c;
                used.push_back(c);
            }
        }
    }
    // And no clip is shipped that no time ever uses.
    for (const auto& c : all)
        EXPECT_NE(std::find(used.begin(), used.end(), c), used.end()) << c;
}

TEST(TimeVoiceClips, MomentIsReadInLocalTime) {
    // The test main runs in China Standard Time (UTC+8).
    EXPECT_EQ(TimeVoiceClipsAt(MakeLocalTime(2024, 3, 1, 10, 17, 42)), TimeVoiceClips(10, 17));
    EXPECT_EQ(TimeVoiceClipsAt(std::chrono::system_clock::from_time_t(0)), TimeVoiceClips(8, 0));
}

}  // namespace
}  // namespace zorvel
