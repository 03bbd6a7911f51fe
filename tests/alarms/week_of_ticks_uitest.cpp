#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "alarms/alarm_engine.h"
#include "alarms/core/alarm_editor_logic.h"
#include "alarms/core/alarm_operations.h"
#include "alarms/core/alarm_time.h"
#include "alarms/core/repeat_rule.h"
#include "alarms/core/ring_plan.h"
#include "calendar/holiday_tables.h"
#include "platform/second_ticker.h"
#include "settings/settings_service.h"
#include "storage/clock_manager.h"
#include "support/test_app.h"

// Seven days of the alarm engine on the fake clock, ticked as a busy desktop ticks it: every
// tick late by up to one and a half seconds, now and then a few seconds with no tick at all, one
// suspend of three hours and the clock set back ten minutes once. What it rings, chimes, lists
// as missed and reminds of is compared with what the ticked minutes call for.

namespace {

using namespace zorvel;
using namespace std::chrono;

std::time_t Local(int day, int hour, int minute) {  // day 18 is Sunday 2011-09-18
    return system_clock::to_time_t(MakeLocalTime(2011, 9, day, hour, minute, 0));
}
std::time_t MinuteOf(TimePoint t) {
    std::time_t s = system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&s, &tm);
    return s - tm.tm_sec;
}

struct Planned {
    std::string content;
    bool everyday;
    int day;  // one-off alarms only
    int hour, minute;
};

const std::vector<Planned> kAlarms = {
    {"wake", true, 0, 7, 0},           // snoozed five minutes every morning
    {"midnight", true, 0, 0, 0},       // across the turn of the day
    {"half", true, 0, 9, 30},          // in the same minute as a chime
    {"ten", true, 0, 10, 0},           // rings before the clock is set back over it
    {"lunch", true, 0, 12, 0},         //
    {"tea", true, 0, 15, 0},           // asleep on Wednesday
    {"meeting", false, 19, 9, 0},      // snoozed twice, each time after it expired
    {"lunch-once", false, 21, 12, 0},  // with "lunch"
    {"nap", false, 20, 14, 0},         // asleep
    {"back", false, 20, 16, 40},       // the minute of the wake-up
    {"recheck", false, 22, 10, 5},     // lived twice: the clock is set back at 10:07:30
    {"after", false, 22, 10, 12},      //
    {"saturday", false, 24, 23, 59},   //
    {"past", false, 1, 8, 0},          // passed before the week began
};

// Alarms with repeat rules, under a schedule that makes Wednesday 21 a day off and Saturday 24
// a working day.
struct PlannedRule {
    std::string content;
    std::string rule;
    int hour, minute;
    std::string skipDate, pauseUntil;
};

const std::vector<PlannedRule> kRuleAlarms = {
    {"workday", "workdays", 14, 30, "", ""},                 // asleep on Tuesday
    {"weekly", "weekly:3,4,6", 8, 30, "", ""},               //
    {"off", "holidays", 23, 50, "", ""},                     // snoozed past midnight into a workday
    {"paused", "daily", 14, 0, "2011-09-20", "2011-09-19"},  // skipped while asleep
};

class WeekOfTicksTest : public test::AppTest {
protected:
    using Ring = std::pair<std::string, std::time_t>;  // content, start of the ringing minute

    // Runs `action` `ticks` ticks from now.
    void Later(int ticks, std::function<void()> action) {
        pending.emplace_back(tickCount + ticks, std::move(action));
    }

    // What a ring window's "延迟再响" does.
    void ClickSnooze(const RingSnapshot& ring, int minutes) {
        const AlarmClockRecord& alarm = ring.alarm;
        auto until = SnoozeUntil(alarm.alarmTime, alarm.isEveryday, 0, minutes, clock.NowTimeT());
        ASSERT_TRUE(until);
        context().engine().SnoozeRing(ring.ring, 0, minutes);
        snoozedTo.emplace_back(alarm.content, *ReadAlarmTime(*until));
    }

    long tickCount = 0;
    std::vector<std::pair<long, std::function<void()>>> pending;
    std::vector<Ring> rang;
    std::vector<Ring> snoozedTo;
    std::vector<std::string> missed;
    std::vector<std::time_t> chimed;  // start of the chime's minute
    std::vector<int> restAfter;       // seconds of work from a closed reminder to the next
};

TEST_F(WeekOfTicksTest, EveryAlarmAndChimeOnceInItsMinuteThroughSleepAndAClockSetBack) {
    const TimePoint start = clock.Now();  // where the engine was made: Sunday 10:15:30
    const TimePoint end = start + hours(24 * 7);
    const TimePoint sleepAt = MakeLocalTime(2011, 9, 20, 13, 40, 10);
    const TimePoint setBackAt = MakeLocalTime(2011, 9, 22, 10, 7, 30);
    const TimePoint autoDeleteOffAt = MakeLocalTime(2011, 9, 22, 0, 0, 0);
    for (const Planned& p : kAlarms) {
        const std::time_t at =
            p.everyday ? Local(1, p.hour, p.minute) : Local(p.day, p.hour, p.minute);
        std::tm tm{};
        localtime_r(&at, &tm);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
        std::u16string time(text, text + std::strlen(text));
        std::u16string content(p.content.begin(), p.content.end());
        manager().AddAlarmClock(time, p.everyday, false, content, u"", 0);
    }
    SetCurrentHolidaySchedule(std::make_shared<const HolidaySchedule>(
        std::vector<OfficialDay>{{2011, 9, 21, true, "假日"}, {2011, 9, 24, false, ""}},
        std::set<int>{2011}));
    struct Restore {
        ~Restore() { SetCurrentHolidaySchedule(ShippedHolidaySchedule()); }
    } restore;
    for (const PlannedRule& p : kRuleAlarms) {
        const std::u16string time = BuildAlarmTime(2011, 9, 1, p.hour, p.minute);
        const std::u16string content(p.content.begin(), p.content.end());
        AddAlarm(manager(), AlarmValues{time, true, false, content, u"", 0, p.rule});
        AlarmClockList all;
        manager().GetAllAlarmClocks(all);
        database().WriteAlarmSkipAndPause(all.back()->id, p.rule, p.skipDate, p.pauseUntil);
    }
    database().SetAutoDelAlarmClock(true);
    database().SetBDBS(true);  // the hour is on in the shipped row
    database().SetRestRemind(1);
    database().SetRestRemindInterval(1);
    app->Start();
    CAlarmEngine& service = context().engine();
    service.ticker().Stop();  // the test brings every tick

    QObject::disconnect(&service, &CAlarmEngine::AlarmsMissed, nullptr, nullptr);
    QObject::disconnect(&service, &CAlarmEngine::RingDue, nullptr, nullptr);
    QObject::disconnect(&service, &CAlarmEngine::ChimeDue, nullptr, nullptr);
    QObject::disconnect(&service, &CAlarmEngine::RestDue, nullptr, nullptr);

    std::mt19937 random(20300107);
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int meetingSnoozes = 0;
    QObject::connect(&service, &CAlarmEngine::RingDue, [&](const RingSnapshot& r) {
        const AlarmClockRecord& a = r.alarm;
        rang.emplace_back(a.content, MinuteOf(clock.Now()));
        // The user comes back a while later; the one-off meeting has been deleted as expired.
        // "wake" is snoozed when it rings at its own time, not when a snooze rings.
        if (a.content == "wake" && a.alarmTime.substr(11, 5) == "07:00")
            Later(between(20, 200), [=, this] { ClickSnooze(r, 5); });
        if (a.content == "off" && a.alarmTime.substr(11, 5) == "23:50")
            Later(between(20, 200), [=, this] { ClickSnooze(r, 15); });
        if (a.content == "meeting" && meetingSnoozes++ < 2)
            Later(between(90, 150), [=, this] { ClickSnooze(r, 1); });
    });
    QObject::connect(&service, &CAlarmEngine::AlarmsMissed, [&](const AlarmRecords& list) {
        for (const AlarmClockRecord& a : list)
            missed.push_back(a.content);
    });
    QObject::connect(&service, &CAlarmEngine::ChimeDue, [&](int hour, int minute) {
        const std::time_t at = MinuteOf(clock.Now());
        std::tm tm{};
        localtime_r(&at, &tm);
        EXPECT_EQ(std::make_pair(hour, minute), std::make_pair(tm.tm_hour, tm.tm_min));
        chimed.push_back(at);
    });
    bool restShowing = false;
    duration<double> work{0};
    QObject::connect(&service, &CAlarmEngine::RestDue, [&] {
        EXPECT_FALSE(restShowing) << "a second rest reminder over the first";
        restShowing = true;
        restAfter.push_back(static_cast<int>(work.count()));
        Later(between(10, 600), [&] {
            restShowing = false;
            work = duration<double>(0);
            service.RestReminderClosed();
        });
    });

    const auto begun = steady_clock::now();
    std::set<std::time_t> tickedMinutes;
    bool slept = false, setBack = false, autoDeleteOff = false;
    TimePoint previous = start;
    std::time_t second = system_clock::to_time_t(start);
    std::uniform_real_distribution<double> late(0.0, 1.5);
    std::bernoulli_distribution skip(0.01);
    while (previous < end) {
        // The ticker is armed for just after the next whole second, and is late.
        second += skip(random) ? between(2, 4) : 1;
        TimePoint t = system_clock::from_time_t(second) + milliseconds(15) +
                      duration_cast<milliseconds>(duration<double>(late(random)));
        if (!slept && t >= sleepAt) {
            slept = true;
            t += hours(3);
        } else if (!setBack && t >= setBackAt) {
            setBack = true;
            t -= minutes(10);
        }
        if (!autoDeleteOff && t >= autoDeleteOffAt) {
            autoDeleteOff = true;
            context().settings().SetAutoDelAlarmClock(false);
        }
        if (t > previous && t - previous < seconds(10))
            work += t - previous;
        previous = t;
        second = system_clock::to_time_t(t);
        clock.Set(t);
        tickedMinutes.insert(MinuteOf(t));
        ++tickCount;
        emit service.ticker().Tick();
        FlushChanges();
        for (size_t i = 0; i < pending.size();) {
            if (pending[i].first > tickCount) {
                ++i;
                continue;
            }
            auto action = std::move(pending[i].second);
            pending.erase(pending.begin() + static_cast<long>(i));
            action();
            FlushChanges();
        }
    }
    const double took = duration<double>(steady_clock::now() - begun).count();
    // How long it took is reported, not judged: speed belongs to the benchmarks.
    RecordProperty("seconds", std::to_string(took));

    // What the ticked minutes call for: each alarm and snooze once in every minute that was
    // ticked, and listed as missed in every minute that was slept through.
    const std::time_t first = system_clock::to_time_t(start), last = MinuteOf(previous);
    std::vector<Ring> dueRings;
    std::vector<std::string> dueMissed;
    auto expect = [&](const std::string& content, std::time_t minute) {
        if (minute < first || minute > last)
            return;
        if (tickedMinutes.count(minute))
            dueRings.emplace_back(content, minute);
        else
            dueMissed.push_back(content);
    };
    for (const Planned& p : kAlarms) {
        if (!p.everyday)
            expect(p.content, Local(p.day, p.hour, p.minute));
        else
            for (int day = 18; day <= 25; ++day)
                expect(p.content, Local(day, p.hour, p.minute));
    }
    for (const PlannedRule& p : kRuleAlarms) {
        AlarmClockRecord alarm;
        alarm.rule = p.rule;
        alarm.isEveryday = true;
        const RepeatRule rule = RuleOf(alarm);
        for (int day = 18; day <= 25; ++day) {
            const std::string date = DateText({2011, 9, day});
            if (Includes(rule, *CurrentHolidaySchedule(), 2011, 9, day) && date != p.skipDate &&
                date >= p.pauseUntil)
                expect(p.content, Local(day, p.hour, p.minute));
        }
    }
    for (const Ring& s : snoozedTo)
        expect(s.first, s.second);
    std::sort(rang.begin(), rang.end());
    std::sort(dueRings.begin(), dueRings.end());
    EXPECT_EQ(rang, dueRings);
    std::sort(missed.begin(), missed.end());
    std::sort(dueMissed.begin(), dueMissed.end());
    EXPECT_EQ(missed, (std::vector<std::string>{"nap", "tea", "workday"}));
    EXPECT_EQ(missed, dueMissed);
    // Every morning, the meeting twice, the nights of the days off (Sunday and Wednesday).
    EXPECT_EQ(snoozedTo.size(), 7u + 2u + 2u);

    std::vector<std::time_t> dueChimes;
    for (std::time_t b = Local(18, 10, 30); b <= last; b += 1800)
        if (tickedMinutes.count(b))
            dueChimes.push_back(b);
    std::sort(chimed.begin(), chimed.end());
    EXPECT_EQ(chimed, dueChimes);
    EXPECT_GT(dueChimes.size(), 300u);

    // A reminder after each hour of work (the first counts from the start).
    ASSERT_GT(restAfter.size(), 100u);
    for (int seconds : restAfter) {
        EXPECT_GE(seconds, 57 * 60);
        EXPECT_LE(seconds, 62 * 60);
    }
}

}  // namespace
