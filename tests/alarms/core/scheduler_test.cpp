#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "alarms/core/alarm_time.h"
#include "alarms/core/ring_plan.h"
#include "alarms/core/scheduler.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"

namespace {

using namespace zorvel;
using std::chrono::milliseconds;
using std::chrono::seconds;

TimePoint T(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return MakeLocalTime(y, mo, d, h, mi, s) + milliseconds(ms);
}

AlarmClockPtr Alarm(const std::string& id, const std::string& time, bool everyday) {
    auto a = std::make_shared<AlarmClockRecord>();
    a->id = id;
    a->alarmTime = time;
    a->isEveryday = everyday;
    a->isRing = true;
    return a;
}

// Ticks once a second, just after each whole second, and collects what rang when.
struct TickRun {
    AlarmSchedule schedule;
    std::vector<std::pair<std::string, std::string>> rang;  // (id, clock line)
    explicit TickRun(TimePoint start) : schedule(start) {}
    void TickAt(TimePoint now) {
        for (auto& r : schedule.CheckDueAlarms(now))
            rang.emplace_back(r->id, ClockLineText(std::chrono::system_clock::to_time_t(now)));
    }
    void TickEverySecond(TimePoint from, TimePoint to) {
        for (TimePoint t = from; t <= to; t += seconds(1))
            TickAt(t);
    }
};

TEST(AlarmScheduleTest, RingsOncePerMinuteAtTheStartOfIt) {
    TimePoint start = T(2011, 9, 18, 8, 29, 50, 400);
    TickRun run(start);
    run.schedule.ReloadAlarmList({Alarm("daily", "2001-01-01 08:30:00", true),
                                  Alarm("once", "2011-09-18 08:30:45", false),
                                  Alarm("other-day", "2011-09-19 08:30:00", false),
                                  Alarm("later", "2011-09-18 08:31:00", false)});
    run.TickEverySecond(T(2011, 9, 18, 8, 29, 51, 10), T(2011, 9, 18, 8, 31, 30, 10));
    using P = std::pair<std::string, std::string>;
    // Both alarms of 08:30 ring in list order in second 0; the seconds of a stored time
    // do not count.
    EXPECT_EQ(run.rang, (std::vector<P>{{"daily", "2011-09-18 08:30:00"},
                                        {"once", "2011-09-18 08:30:00"},
                                        {"later", "2011-09-18 08:31:00"}}));
}

TEST(AlarmScheduleTest, StartInsideTheFirstSecondsStillRings) {
    for (int second : {0, 1, 2, 3, 10}) {
        // Started in `second`; the first tick comes just after the next whole second.
        TimePoint start = T(2011, 9, 18, 8, 30, second, 600);
        TickRun run(start);
        run.schedule.ReloadAlarmList({Alarm("a", "2011-09-18 08:30:00", false)});
        run.TickEverySecond(T(2011, 9, 18, 8, 30, second + 1, 10), T(2011, 9, 18, 8, 31, 5, 10));
        EXPECT_EQ(run.rang.size(), second <= 2 ? 1u : 0u) << "started in second " << second;
    }
}

TEST(AlarmScheduleTest, LateTickStillRingsButAStaleOneDoesNot) {
    TickRun run(T(2011, 9, 18, 8, 0, 0));
    run.schedule.ReloadAlarmList(
        {Alarm("a", "2011-09-18 08:30:00", false), Alarm("b", "2011-09-18 09:30:00", true)});
    run.TickAt(T(2011, 9, 18, 8, 29, 59, 10));
    run.TickAt(T(2011, 9, 18, 8, 30, 7, 500));  // the UI thread was busy for eight seconds
    ASSERT_EQ(run.rang.size(), 1u);
    EXPECT_EQ(run.rang[0].first, "a");
    // After a suspend the alarm's minute is long gone: it must not ring hours late.
    run.TickAt(T(2011, 9, 18, 9, 29, 0, 10));
    run.TickAt(T(2011, 9, 18, 11, 0, 0, 10));
    EXPECT_EQ(run.rang.size(), 1u);
}

TEST(AlarmScheduleTest, EverydayAlarmRingsOnConsecutiveDaysWithoutReload) {
    TickRun run(T(2011, 9, 18, 7, 0, 0));
    run.schedule.ReloadAlarmList({Alarm("d", "2011-09-01 23:59:00", true)});
    for (int day = 18; day <= 20; ++day) {
        run.TickEverySecond(T(2011, 9, day, 23, 58, 58, 10), T(2011, 9, day, 23, 59, 3, 10));
        run.TickAt(T(2011, 9, day, 23, 59, 30, 10));
        run.TickAt(T(2011, 9, day + 1, 0, 0, 0, 10));  // the next day begins
    }
    ASSERT_EQ(run.rang.size(), 3u);
    EXPECT_EQ(run.rang[2].second, "2011-09-20 23:59:00");
}

TEST(AlarmScheduleTest, SnoozeMovesTheSharedRecordOnly) {
    TickRun run(T(2011, 9, 18, 8, 29, 0));
    AlarmClockPtr a = Alarm("a", "2011-09-18 08:30:00", false);
    run.schedule.ReloadAlarmList({a});
    run.TickAt(T(2011, 9, 18, 8, 30, 0, 10));
    ASSERT_TRUE(a->hasRung);
    // Snoozed by the default 0 hours 1 minute, as the ring window does it.
    a->alarmTime = *SnoozedAlarmTime(a->alarmTime, ReadDelayNumber(u"0"), ReadDelayNumber(u"1"));
    a->hasRung = false;
    EXPECT_EQ(a->alarmTime, "2011-09-18 08:31:00");
    run.TickEverySecond(T(2011, 9, 18, 8, 30, 1, 10), T(2011, 9, 18, 8, 32, 0, 10));
    EXPECT_EQ(run.rang.size(), 2u);
    EXPECT_EQ(run.rang[1].second, "2011-09-18 08:31:00");

    // Snoozed only after the new minute has begun: seconds 0 to 2 still ring, later ones not.
    for (int pressedAt : {2, 3}) {
        TickRun late(T(2011, 9, 18, 8, 29, 0));
        AlarmClockPtr b = Alarm("b", "2011-09-18 08:30:00", false);
        late.schedule.ReloadAlarmList({b});
        late.TickEverySecond(T(2011, 9, 18, 8, 30, 0, 10),
                             T(2011, 9, 18, 8, 31, pressedAt - 1, 10));
        b->alarmTime = *SnoozedAlarmTime(b->alarmTime, 0, 1);
        b->hasRung = false;
        late.TickEverySecond(T(2011, 9, 18, 8, 31, pressedAt, 10), T(2011, 9, 18, 8, 32, 0, 10));
        EXPECT_EQ(late.rang.size(), pressedAt < 3 ? 2u : 1u) << "pressed at second " << pressedAt;
    }
}

TEST(AlarmScheduleTest, AJumpOverAnAlarmReportsItOnceInsteadOfRingingItLate) {
    TickRun run(T(2011, 9, 18, 8, 0, 0));
    AlarmClockPtr once = Alarm("once", "2011-09-18 09:00:00", false);
    AlarmClockPtr daily = Alarm("daily", "2001-01-01 10:30:00", true);
    AlarmClockPtr later = Alarm("later", "2011-09-18 12:00:00", false);
    AlarmClockPtr justNow = Alarm("now", "2011-09-18 11:00:00", false);
    run.schedule.ReloadAlarmList({once, daily, later, justNow});
    run.TickAt(T(2011, 9, 18, 8, 0, 1, 10));
    EXPECT_TRUE(run.schedule.MissedAlarms(T(2011, 9, 18, 8, 0, 2, 10)).empty());
    // Three hours asleep, woken in second 1 of 11:00.
    const TimePoint woke = T(2011, 9, 18, 11, 0, 1, 10);
    AlarmClockList missed = run.schedule.MissedAlarms(woke);
    ASSERT_EQ(missed.size(), 2u);
    EXPECT_EQ(missed[0]->id, "once");
    EXPECT_EQ(missed[1]->id, "daily");
    run.TickAt(woke);  // the alarm of this very minute still rings, the others do not
    ASSERT_EQ(run.rang.size(), 1u);
    EXPECT_EQ(run.rang[0].first, "now");
    // Days asleep list an every-day alarm once.
    TickRun days(T(2011, 9, 18, 8, 0, 0));
    days.schedule.ReloadAlarmList({daily});
    days.TickAt(T(2011, 9, 18, 8, 0, 1));
    EXPECT_EQ(days.schedule.MissedAlarms(T(2011, 9, 21, 8, 0, 1)).size(), 1u);
}

TEST(AlarmScheduleTest, OneOffAlarmsDueWhileTheProgramWasNotRunning) {
    AlarmSchedule schedule(T(2011, 9, 18, 12, 0, 0));  // started at noon
    schedule.ReloadAlarmList({Alarm("before", "2011-09-18 07:00:00", false),
                              Alarm("away", "2011-09-18 09:00:00", false),
                              Alarm("daily", "2001-01-01 10:00:00", true),
                              Alarm("ahead", "2011-09-18 13:00:00", false)});
    const std::time_t lastSeen = std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 0, 0));
    AlarmClockList away = schedule.DueWhileAway(lastSeen);
    ASSERT_EQ(away.size(), 1u);
    EXPECT_EQ(away[0]->id, "away");
}

TEST(AlarmScheduleTest, AlarmsBeyondTheClocksYearsStayAhead) {
    // Later than 2262 a moment no longer fits the clock's time points; such alarms must not
    // wrap round into the past and look missed or due.
    TickRun run(T(2011, 9, 18, 8, 29, 0));
    run.schedule.ReloadAlarmList(
        {Alarm("far", "3000-01-01 08:30:00", false), Alarm("last", "9999-12-31 23:59:00", false)});
    run.TickEverySecond(T(2011, 9, 18, 8, 29, 58), T(2011, 9, 18, 8, 30, 3));
    EXPECT_TRUE(run.rang.empty());
    EXPECT_TRUE(run.schedule.MissedAlarms(T(2011, 9, 19, 8, 30, 0)).empty());
    EXPECT_TRUE(run.schedule.DueWhileAway(0).empty());
}

TEST(AlarmScheduleTest, UnreadableTimesAreSkippedAndListEditsKeepRecordsAlive) {
    TickRun run(T(2011, 9, 18, 8, 29, 0));
    AlarmClockPtr held = Alarm("x", "2011-09-18 08:30:00", false);
    run.schedule.ReloadAlarmList({Alarm("bad", "next tuesday", false), Alarm("empty", "", true),
                                  held, Alarm("x", "", false)});
    run.TickEverySecond(T(2011, 9, 18, 8, 29, 58, 10), T(2011, 9, 18, 8, 30, 3, 10));
    ASSERT_EQ(run.rang.size(), 1u);
    run.schedule.RemoveFromList("x");  // only the first record with that id
    ASSERT_EQ(run.schedule.alarmList.size(), 3u);
    EXPECT_EQ(run.schedule.alarmList[2]->alarmTime, "");
    EXPECT_EQ(held->id, "x");  // still alive for a ring window that holds it
    run.schedule.ReloadAlarmList({held});
    EXPECT_FALSE(held->hasRung);  // the same record reloaded counts as fresh
}

TEST(AlarmScheduleTest, ReloadInTheRingingMinuteDoesNotRingTwice) {
    TickRun run(T(2011, 9, 18, 8, 29, 0));
    run.schedule.ReloadAlarmList(
        {Alarm("a", "2011-09-18 08:30:00", false), Alarm("b", "2011-01-01 08:30:00", true)});
    run.TickAt(T(2011, 9, 18, 8, 30, 0, 10));
    ASSERT_EQ(run.rang.size(), 2u);
    // The page rebuilds its list from storage (fresh records) a second later; "b" was edited.
    run.schedule.ReloadAlarmList(
        {Alarm("a", "2011-09-18 08:30:00", false), Alarm("b", "2011-01-02 08:30:00", true)});
    run.TickAt(T(2011, 9, 18, 8, 30, 1, 10));
    ASSERT_EQ(run.rang.size(), 3u);  // only the edited alarm rings again
    EXPECT_EQ(run.rang[2].first, "b");
}

TEST(AlarmScheduleTest, AClockSetBackOverARungMinuteDoesNotRingItAgain) {
    TickRun run(T(2011, 9, 18, 10, 0, 0));
    run.schedule.ReloadAlarmList({Alarm("once", "2011-09-18 10:03:00", false),
                                  Alarm("daily", "2001-01-01 10:05:00", true),
                                  Alarm("later", "2011-09-18 10:09:00", false)});
    run.TickEverySecond(T(2011, 9, 18, 10, 0, 1, 10), T(2011, 9, 18, 10, 7, 0, 10));
    ASSERT_EQ(run.rang.size(), 2u);
    // Set back ten minutes, and reloaded unchanged on the way (a save of another alarm).
    run.TickEverySecond(T(2011, 9, 18, 9, 57, 0, 10), T(2011, 9, 18, 10, 4, 0, 10));
    run.schedule.ReloadAlarmList({Alarm("once", "2011-09-18 10:03:00", false),
                                  Alarm("daily", "2001-01-01 10:05:00", true),
                                  Alarm("later", "2011-09-18 10:09:00", false)});
    run.TickEverySecond(T(2011, 9, 18, 10, 4, 1, 10), T(2011, 9, 18, 10, 10, 0, 10));
    ASSERT_EQ(run.rang.size(), 3u);
    EXPECT_EQ(run.rang[2].first, "later");
    // The next day is another minute.
    run.TickEverySecond(T(2011, 9, 19, 10, 4, 58, 10), T(2011, 9, 19, 10, 5, 1, 10));
    ASSERT_EQ(run.rang.size(), 4u);
    EXPECT_EQ(run.rang[3].first, "daily");
}

// A damaged file may hold rows that share an id: those that differ are separate alarms, each
// ringing at its own minute and none again when the clock is set back; a row stored twice
// rings once.
TEST(AlarmScheduleTest, RowsSharingAnIdRingEachOnce) {
    auto list = [] {
        auto worded = Alarm("7", "2011-09-18 10:03:00", false);
        worded->content = "开会";
        return AlarmClockList{Alarm("7", "2011-09-18 10:03:00", false), worded,
                              Alarm("7", "2011-09-18 10:03:00", false),
                              Alarm("7", "2001-01-01 10:05:00", true)};
    };
    TickRun run(T(2011, 9, 18, 10, 0, 0));
    run.schedule.ReloadAlarmList(list());
    run.TickEverySecond(T(2011, 9, 18, 10, 0, 1, 10), T(2011, 9, 18, 10, 6, 0, 10));
    ASSERT_EQ(run.rang.size(), 3u);
    EXPECT_EQ(run.rang[0].second, "2011-09-18 10:03:00");
    EXPECT_EQ(run.rang[1].second, "2011-09-18 10:03:00");
    EXPECT_EQ(run.rang[2].second, "2011-09-18 10:05:00");
    // Set back over both minutes, reloaded on the way: nothing rings twice.
    run.TickEverySecond(T(2011, 9, 18, 10, 2, 0, 10), T(2011, 9, 18, 10, 4, 0, 10));
    run.schedule.ReloadAlarmList(list());
    run.TickEverySecond(T(2011, 9, 18, 10, 4, 1, 10), T(2011, 9, 18, 10, 6, 0, 10));
    EXPECT_EQ(run.rang.size(), 3u);
}

TEST(ChimeTriggerTest, HourAndHalfHourFollowTheirSwitches) {
    struct Case {
        bool ZDBS, BDBS;
        std::vector<std::pair<int, int>> expected;
    };
    for (const Case& c : {Case{true, false, {{9, 0}}}, Case{false, true, {{8, 30}}},
                          Case{true, true, {{8, 30}, {9, 0}}}, Case{false, false, {}}}) {
        ChimeTrigger chime(T(2011, 9, 18, 8, 29, 0));
        std::vector<std::pair<int, int>> got;
        for (TimePoint t = T(2011, 9, 18, 8, 29, 1, 5); t < T(2011, 9, 18, 9, 1, 0);
             t += seconds(1))
            if (auto c2 = chime.Tick(t, c.ZDBS, c.BDBS))
                got.emplace_back(c2->hour, c2->minute);
        EXPECT_EQ(got, c.expected) << c.ZDBS << c.BDBS;
    }
}

TEST(ChimeTriggerTest, LateTicksWithinTheMinuteAndOnceOnly) {
    ChimeTrigger chime(T(2011, 9, 18, 7, 0, 0));
    EXPECT_FALSE(chime.Tick(T(2011, 9, 18, 7, 59, 59, 10), true, true));
    auto c = chime.Tick(T(2011, 9, 18, 8, 0, 44, 900), true, true);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->hour, 8);
    EXPECT_EQ(c->minute, 0);
    EXPECT_FALSE(chime.Tick(T(2011, 9, 18, 8, 0, 45, 10), true, true));  // not twice
    // The clock set back ten minutes lives 08:00 again: it has been spoken already.
    EXPECT_FALSE(chime.Tick(T(2011, 9, 18, 7, 50, 45, 10), true, true));
    EXPECT_FALSE(chime.Tick(T(2011, 9, 18, 8, 0, 0, 10), true, true));
    EXPECT_TRUE(chime.Tick(T(2011, 9, 18, 8, 30, 0, 10), true, true));

    ChimeTrigger stale(T(2011, 9, 18, 7, 0, 0));
    EXPECT_FALSE(stale.Tick(T(2011, 9, 18, 8, 29, 59, 10), true, true));
    EXPECT_FALSE(stale.Tick(T(2011, 9, 18, 8, 31, 0, 10), true, true));

    // Started in the first seconds of the hour, the first tick still chimes (like alarms).
    ChimeTrigger fresh(T(2011, 9, 18, 23, 59, 59, 500));
    auto midnight = fresh.Tick(T(2011, 9, 19, 0, 0, 0, 10), true, false);
    ASSERT_TRUE(midnight);
    EXPECT_EQ(midnight->hour, 0);
}

TEST(RestCounterTest, CountsMinutesWhileOnAndDoesNotStackReminders) {
    RestCounter counter;
    for (int i = 1; i < 60; ++i)
        ASSERT_FALSE(counter.Tick(true, 1)) << i;
    // Off: the count holds; on again: it continues.
    EXPECT_FALSE(counter.Tick(false, 1));
    EXPECT_EQ(counter.restMinutes, 59);
    EXPECT_TRUE(counter.Tick(true, 1));
    counter.ReminderShown();
    EXPECT_FALSE(counter.Tick(true, 1));  // still open: no second reminder on top
    EXPECT_FALSE(counter.Tick(true, 1));
    counter.ReminderClosed();
    EXPECT_EQ(counter.restMinutes, 0);

    // An interval changed from 1 to 3 hours counts at the next tick.
    for (int i = 0; i < 100; ++i)
        counter.Tick(true, 1 + 2 * (i >= 50));
    EXPECT_EQ(counter.restMinutes, 100);
    for (int i = 101; i < 180; ++i)
        ASSERT_FALSE(counter.Tick(true, 3));
    EXPECT_TRUE(counter.Tick(true, 3));
    // Shortening the interval below the count shows the reminder at once.
    RestCounter shortened;
    for (int i = 0; i < 150; ++i)
        shortened.Tick(true, 3);
    EXPECT_TRUE(shortened.Tick(true, 2));
    // A damaged interval counts as the default hour, not as "every minute".
    for (int damaged : {0, -5}) {
        RestCounter c;
        for (int i = 0; i < 59; ++i)
            EXPECT_FALSE(c.Tick(true, damaged));
        EXPECT_TRUE(c.Tick(true, damaged));
    }
    // So does no huge one: its minutes do not wrap round to a reminder every minute.
    RestCounter huge;
    EXPECT_FALSE(huge.Tick(true, 2147483647));
    EXPECT_FALSE(huge.Tick(true, 40000000));
}

TEST(AlarmTimeTest, ListTextsAndExpiry) {
    AlarmClockRecord daily;
    daily.isEveryday = true;
    daily.alarmTime = "2011-09-18 08:05:00";
    EXPECT_EQ(AlarmTimeListText(daily), "每天 8:5");
    AlarmClockRecord once = daily;
    once.isEveryday = false;
    EXPECT_EQ(AlarmTimeListText(once), "2011-09-18 08:05:00");

    std::time_t at = std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 5, 0));
    EXPECT_FALSE(IsExpiredAlarm(daily, at + 86400 * 365));
    EXPECT_TRUE(IsExpiredAlarm(once, at));  // not later than now
    EXPECT_FALSE(IsExpiredAlarm(once, at - 1));
    once.alarmTime = "??";
    EXPECT_TRUE(IsExpiredAlarm(once, at - 1000));
    daily.alarmTime = "??";  // never rings, so never shown as active
    EXPECT_TRUE(IsExpiredAlarm(daily, at - 1000));
}

}  // namespace
