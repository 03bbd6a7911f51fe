#include <gtest/gtest.h>

#include "alarms/core/ring_plan.h"
#include "platform/core/clock.h"
#include "storage/text_codec.h"

namespace {

using namespace zorvel;

AlarmClockRecord Ringing(int ringType, bool isRing = true) {
    AlarmClockRecord a;
    a.isRing = isRing;
    a.ringType = ringType;
    a.content = ToStored(u"touch /tmp/闹钟");
    a.ring = ToStored(u"/home/me/音乐/wake.mp3");
    return a;
}

TEST(RingPlanTest, EffectsFollowTheRingType) {
    const std::string s1 = "/opt/zorvel/mp3/1.mp3", s2 = "/opt/zorvel/mp3/2.mp3";
    RingPlan p = PlanRing(Ringing(kRingSystemSong1), kPlayTwice, s1, s2);
    ASSERT_TRUE(p.song);
    EXPECT_EQ(p.song->path, s1);
    EXPECT_EQ(p.song->mode, kSongTwice);
    EXPECT_FALSE(p.song->loop);
    EXPECT_FALSE(p.shake || p.restart || p.powerOff || !p.program.empty());

    p = PlanRing(Ringing(kRingSystemSong2), kPlayOnce, s1, s2);
    EXPECT_EQ(p.song->path, s2);
    EXPECT_EQ(p.song->mode, kSongOnce);

    p = PlanRing(Ringing(kRingCustomSong), kPlayUntilClosed, s1, s2);
    EXPECT_EQ(p.song->path, "/home/me/音乐/wake.mp3");
    EXPECT_EQ(p.song->mode, kSongLoop);
    EXPECT_TRUE(p.song->loop);

    // A damaged play setting or ring kind never silences an alarm: it plays until closed,
    // and an unknown kind plays the first built-in song.
    for (int damaged : {3, -1, 99}) {
        RingPlan d = PlanRing(Ringing(kRingSystemSong1), damaged, s1, s2);
        ASSERT_TRUE(d.song) << damaged;
        EXPECT_EQ(d.song->mode, kSongLoop);
        EXPECT_TRUE(d.song->loop);
        RingPlan unknownKind = PlanRing(Ringing(damaged == 3 ? 8 : damaged), kPlayOnce, s1, s2);
        ASSERT_TRUE(unknownKind.song) << damaged;
        EXPECT_EQ(unknownKind.song->path, s1);
        EXPECT_FALSE(unknownKind.shake || unknownKind.restart || unknownKind.powerOff);
    }

    EXPECT_TRUE(PlanRing(Ringing(kRingShake), 2, s1, s2).shake);
    EXPECT_EQ(PlanRing(Ringing(kRingRunProgram), 2, s1, s2).program, "touch /tmp/闹钟");
    EXPECT_TRUE(PlanRing(Ringing(kRingRestart), 2, s1, s2).restart);
    EXPECT_TRUE(PlanRing(Ringing(kRingPowerOff), 2, s1, s2).powerOff);
    RingPlan silent = PlanRing(Ringing(kRingSilent), 2, s1, s2);
    EXPECT_FALSE(silent.song || silent.shake || silent.restart || silent.powerOff);

    // With isRing off nothing happens, power-off included.
    for (int type = 0; type <= 7; ++type) {
        RingPlan off = PlanRing(Ringing(type, false), 2, s1, s2);
        EXPECT_FALSE(off.song || off.shake || off.restart || off.powerOff || off.needsPlayType ||
                     !off.program.empty())
            << type;
    }
}

TEST(RingPlanTest, SongEndWatch) {
    EXPECT_EQ(OnSongStopped(kSongTwice), SongEndAction::kPlayLastTime);
    EXPECT_EQ(OnSongStopped(kSongLoop), SongEndAction::kPlayLoopAgain);
    EXPECT_EQ(OnSongStopped(kSongOnce), SongEndAction::kNothing);
}

TEST(SnoozeTest, DelayTextsReadLikeAtoi) {
    EXPECT_EQ(ReadDelayNumber(u"90"), 90);
    EXPECT_EQ(ReadDelayNumber(u"  7"), 7);
    EXPECT_EQ(ReadDelayNumber(u"12abc"), 12);
    EXPECT_EQ(ReadDelayNumber(u"abc"), 0);
    EXPECT_EQ(ReadDelayNumber(u""), 0);
    EXPECT_EQ(ReadDelayNumber(u"-5"), -5);
    EXPECT_EQ(ReadDelayNumber(u"+5"), 5);
    EXPECT_EQ(ReadDelayNumber(u"999999999"), 999999999);
    EXPECT_EQ(ReadDelayNumber(u"1000000000"), 0);  // ten characters
    EXPECT_EQ(ReadDelayNumber(u"0000000001"), 0);
    EXPECT_EQ(ReadDelayNumber(u"１２"), 0);  // full-width digits are not digits to atoi
}

TEST(SnoozeTest, DelayIsAddedToTheAlarmTime) {
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 08:30:00", 0, 1), "2011-09-18 08:31:00");
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 08:30:00", 0, 90), "2011-09-18 10:00:00");
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 07:00:00", 1, 0), "2011-09-18 08:00:00");
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 23:59:00", 23, 59), "2011-09-19 23:58:00");
    EXPECT_EQ(SnoozedAlarmTime("2012-02-28 23:30:00", 0, 45), "2012-02-29 00:15:00");
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 08:30:00", 0, 0), "2011-09-18 08:30:00");
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 08:30:00", 0, -31), "2011-09-18 07:59:00");
    EXPECT_EQ(SnoozedAlarmTime("2011-09-18 08:30:00", 100000, 0), "2023-02-14 00:30:00");
    // A delay beyond what a stored time can hold leaves the time alone.
    EXPECT_FALSE(SnoozedAlarmTime("2011-09-18 08:30:00", 999999999, 999999999));
    EXPECT_FALSE(SnoozedAlarmTime("not a time", 0, 1));
}

TEST(SnoozeTest, ALateSnoozeCountsFromTheClick) {
    const auto at = [](int h, int m, int s) {
        return std::chrono::system_clock::to_time_t(MakeLocalTime(2011, 9, 18, h, m, s));
    };
    // In time: the delay is added to the alarm's own minute.
    EXPECT_EQ(SnoozeUntil("2011-09-18 08:30:00", false, 0, 1, at(8, 30, 20)),
              "2011-09-18 08:31:00");
    EXPECT_EQ(SnoozeUntil("2011-09-18 08:30:00", false, 0, 10, at(8, 35, 0)),
              "2011-09-18 08:40:00");
    // Late: from the minute of the click.
    EXPECT_EQ(SnoozeUntil("2011-09-18 08:30:00", false, 0, 1, at(8, 45, 10)),
              "2011-09-18 08:46:00");
    EXPECT_EQ(SnoozeUntil("2011-09-18 08:30:00", false, 0, 1, at(8, 31, 0)), "2011-09-18 08:32:00");
    EXPECT_EQ(SnoozeUntil("2011-09-18 23:59:00", false, 1, 0, at(23, 59, 0) + 3600),
              "2011-09-19 01:59:00");
    // Every day: today's minute counts, whatever date the stored time carries.
    EXPECT_EQ(SnoozeUntil("2001-01-01 08:30:00", true, 0, 1, at(8, 30, 5)), "2011-09-18 08:31:00");
    EXPECT_EQ(SnoozeUntil("2001-01-01 08:30:00", true, 0, 1, at(9, 10, 5)), "2011-09-18 09:11:00");
    EXPECT_FALSE(SnoozeUntil("??", false, 0, 1, at(8, 30, 5)));
}

TEST(ShakeTest, TenRoundsOfEightOffsetsEndingWhereItStarted) {
    auto path = ShakePath(100, 200);
    ASSERT_EQ(path.size(), 90u);
    EXPECT_EQ(path.back(), std::make_pair(100, 200));
    const std::pair<int, int> firstRound[] = {{97, 203},  {97, 200},  {97, 197},
                                              {100, 197}, {103, 197}, {103, 200},
                                              {103, 203}, {103, 206}, {100, 200}};
    for (int round = 0; round < 10; ++round)
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(path[round * 9 + i], firstRound[i]);
}

}  // namespace
