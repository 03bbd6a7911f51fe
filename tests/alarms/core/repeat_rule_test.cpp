#include "alarms/core/repeat_rule.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "alarms/core/alarm_time.h"
#include "alarms/core/scheduler.h"
#include "calendar/civil_date.h"
#include "calendar/holiday_tables.h"
#include "platform/core/clock.h"

namespace {

using namespace zorvel;

std::time_t At(int y, int mo, int d, int h, int mi, int s = 0) {
    return std::chrono::system_clock::to_time_t(MakeLocalTime(y, mo, d, h, mi, s));
}

AlarmClockRecord Repeating(const std::string& rule,
                           const std::string& time = "2020-05-05 07:30:00") {
    AlarmClockRecord a;
    a.id = rule;
    a.alarmTime = time;
    a.isEveryday = true;
    a.isRing = true;
    a.rule = rule;
    return a;
}

std::string DayOf(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateText({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday});
}

// Puts a schedule in force for one test and the shipped one back afterwards.
struct ScheduleInForce {
    explicit ScheduleInForce(std::shared_ptr<const HolidaySchedule> s) {
        SetCurrentHolidaySchedule(std::move(s));
    }
    ~ScheduleInForce() { SetCurrentHolidaySchedule(ShippedHolidaySchedule()); }
};

TEST(RepeatRuleTest, TextsReadAndWriteBackAndGarbageIsRefused) {
    for (const char* text : {"once", "daily", "workdays", "holidays", "weekly:1", "weekly:7",
                             "weekly:1,2,3,4,5", "weekly:1,2,3,4,5,6,7"}) {
        auto rule = ParseRepeatRule(text);
        ASSERT_TRUE(rule) << text;
        EXPECT_EQ(RepeatRuleText(*rule), text);
    }
    EXPECT_EQ(RepeatRuleText(*ParseRepeatRule("weekly:5,1,5")), "weekly:1,5");
    for (const char* text :
         {"", "Daily", "weekly", "weekly:", "weekly:0", "weekly:8", "weekly:1,,2", "weekly:1,",
          "weekly: 1", "weekly:a", "weekly:-1", "weekly:00001", "workdays ", "weekly:1;2"})
        EXPECT_FALSE(ParseRepeatRule(text)) << '"' << text << '"';
}

TEST(RepeatRuleTest, WeeklyNamesJoinRunsOfDays) {
    auto name = [](const char* text) { return RepeatRuleName(*ParseRepeatRule(text)); };
    EXPECT_EQ(name("weekly:1,2,3,4,5"), "每周一至周五");
    EXPECT_EQ(name("weekly:1,2,3,5,6,7"), "每周一至周三、五至周日");
}

// An alarm of one stored row follows whatever rule its row gives only while it is stored
// every-day: an older release that made it one-off has the last word.
TEST(RepeatRuleTest, TheStoredFlagDecidesWhenTheRuleRowCannot) {
    AlarmClockRecord a = Repeating("workdays");
    EXPECT_EQ(RuleOf(a).kind, RepeatKind::kWorkdays);
    a.isEveryday = false;
    EXPECT_EQ(RuleOf(a).kind, RepeatKind::kOnce);
    a.isEveryday = true;
    for (const char* garbage : {"", "once", "weekly:", "\xff\xfe"}) {
        a.rule = garbage;
        EXPECT_EQ(RuleOf(a).kind, RepeatKind::kDaily) << garbage;
    }
}

// Every day of the shipped years: each rule includes exactly the days it should, and an alarm
// walked from one ring to the next rings on each of them and on no other day.
TEST(RepeatRuleTest, EveryDayOfTheShippedYears) {
    auto schedule = ShippedHolidaySchedule();
    ASSERT_TRUE(schedule->HasYear(2007) && schedule->HasYear(2026));
    struct Case {
        const char* rule;
        bool (*expected)(const DayStatus&, int isoWeekday);
    };
    const Case cases[] = {
        {"daily", [](const DayStatus&, int) { return true; }},
        {"workdays", [](const DayStatus& s, int) { return s.workday; }},
        {"holidays", [](const DayStatus& s, int) { return !s.workday; }},
        {"weekly:1,2,3,4,5", [](const DayStatus&, int w) { return w <= 5; }},
        {"weekly:2,6", [](const DayStatus&, int w) { return w == 2 || w == 6; }},
    };
    const long first = DaysFromCivil(2007, 1, 1), last = DaysFromCivil(2026, 12, 31);
    for (const Case& c : cases) {
        const RepeatRule rule = *ParseRepeatRule(c.rule);
        const AlarmClockRecord alarm = Repeating(c.rule);
        std::vector<std::string> expected, rang;
        for (long day = first; day <= last; ++day) {
            const CivilDate d = CivilFromDays(day);
            const bool in = c.expected(schedule->StatusOf(d.year, d.month, d.day),
                                       IsoWeekday(d.year, d.month, d.day));
            ASSERT_EQ(Includes(rule, *schedule, d.year, d.month, d.day), in)
                << c.rule << " " << DateText(d);
            if (in)
                expected.push_back(DateText(d));
        }
        std::time_t t = At(2006, 12, 31, 23, 0);
        std::optional<std::time_t> previous = AlarmMinuteAtOrBefore(alarm, t);
        while (auto next = AlarmMinuteAfter(alarm, t)) {
            if (*next > At(2026, 12, 31, 23, 59))
                break;
            // Looking back from any moment finds the ring just before it.
            ASSERT_EQ(AlarmMinuteAtOrBefore(alarm, *next), *next);
            ASSERT_EQ(AlarmMinuteAtOrBefore(alarm, *next - 1), previous) << c.rule;
            rang.push_back(DayOf(*next));
            previous = next;
            t = *next;
        }
        EXPECT_EQ(rang, expected) << c.rule;
    }
    // A few days everyone knows.
    const RepeatRule workdays{RepeatKind::kWorkdays};
    EXPECT_TRUE(Includes(workdays, *schedule, 2026, 10, 10));  // Saturday, worked
    EXPECT_FALSE(Includes(workdays, *schedule, 2026, 10, 5));  // Monday, 国庆节
    EXPECT_TRUE(Includes(workdays, *schedule, 2026, 1, 4));    // Sunday, worked
    EXPECT_FALSE(Includes(workdays, *schedule, 2026, 2, 16));  // Monday, 春节
    EXPECT_TRUE(Includes(workdays, *schedule, 2025, 1, 26));   // Sunday, worked
    EXPECT_FALSE(Includes(workdays, *schedule, 2008, 5, 1));   // 劳动节
}

TEST(RepeatRuleTest, NextRingSkipAndPause) {
    AlarmClockRecord a = Repeating("workdays");
    EXPECT_EQ(NextRingText(a, At(2026, 10, 1, 8, 0)), "法定工作日 · 下次：10月8日 周四 07:30");
    const std::time_t oct9 = At(2026, 10, 9, 8, 0);
    EXPECT_EQ(NextRingText(a, oct9), "法定工作日 · 下次：10月10日 周六 07:30");

    // Skipping the Saturday: the Monday after rings, and the Saturday is no ring to miss.
    a.skipDate = "2026-10-10";
    EXPECT_EQ(*AlarmMinuteAfter(a, oct9), At(2026, 10, 12, 7, 30));
    EXPECT_EQ(*AlarmMinuteAtOrBefore(a, At(2026, 10, 11, 9, 0)), At(2026, 10, 9, 7, 30));
    EXPECT_EQ(NextRingText(a, oct9), "法定工作日 · 跳过10月10日 · 下次：10月12日 周一 07:30");
    ASSERT_TRUE(SkippedDate(a, oct9));
    // Once that minute is over the skip stands for nothing more.
    EXPECT_FALSE(SkippedDate(a, At(2026, 10, 10, 7, 30)));

    // A pause: nothing before its date, the date itself rings.
    a.skipDate.clear();
    a.pauseUntil = "2026-10-14";
    EXPECT_EQ(*AlarmMinuteAfter(a, oct9), At(2026, 10, 14, 7, 30));
    EXPECT_FALSE(AlarmMinuteAtOrBefore(a, At(2026, 10, 13, 23, 0)));
    EXPECT_EQ(NextRingText(a, oct9), "法定工作日 · 暂停到10月14日 · 下次：10月14日 周三 07:30");

    // Damaged dates are none; a one-off alarm ignores both.
    a.pauseUntil = "2026-13-01";
    a.skipDate = "garbage";
    EXPECT_EQ(*AlarmMinuteAfter(a, oct9), At(2026, 10, 10, 7, 30));
    AlarmClockRecord once = Repeating("once", "2026-10-02 07:30:00");
    once.isEveryday = false;
    once.skipDate = "2026-10-02";
    once.pauseUntil = "2026-11-01";
    EXPECT_EQ(*AlarmMinuteAfter(once, At(2026, 10, 1, 8, 0)), At(2026, 10, 2, 7, 30));
    EXPECT_EQ(NextRingText(once, At(2026, 10, 1, 8, 0)), "");
}

TEST(RepeatRuleTest, AYearWithoutDataFallsBackToTheWeekAndSaysSo) {
    AlarmClockRecord a = Repeating("workdays");
    // 2027 is not shipped: Friday 1 January rings as a plain weekday.
    EXPECT_EQ(*AlarmMinuteAfter(a, At(2026, 12, 31, 8, 0)), At(2027, 1, 1, 7, 30));
    EXPECT_EQ(UnpublishedYearNote(a, At(2026, 12, 31, 8, 0)),
              "2027年放假安排尚未公布，暂按周一至周五");
    EXPECT_EQ(UnpublishedYearNote(a, At(2026, 12, 30, 8, 0)), "");
    EXPECT_EQ(UnpublishedYearNote(Repeating("weekly:1,2,3,4,5"), At(2026, 12, 31, 8, 0)), "");
    EXPECT_EQ(*AlarmMinuteAfter(Repeating("holidays"), At(2026, 12, 31, 8, 0)),
              At(2027, 1, 2, 7, 30));
}

// A new schedule (a year published later) moves the rings the scheduler already worked out.
TEST(RepeatRuleTest, TheSchedulerFollowsANewSchedule) {
    AlarmSchedule schedule(MakeLocalTime(2026, 10, 10, 7, 29, 0));
    auto alarm = std::make_shared<AlarmClockRecord>(Repeating("workdays"));
    schedule.ReloadAlarmList({alarm});
    EXPECT_TRUE(schedule.CheckDueAlarms(MakeLocalTime(2026, 10, 10, 7, 29, 58)).empty());
    // The Saturday becomes a day off.
    ScheduleInForce off(std::make_shared<const HolidaySchedule>(
        std::vector<OfficialDay>{{2026, 10, 10, true, "x"}}, std::set<int>{2026}));
    EXPECT_TRUE(schedule.CheckDueAlarms(MakeLocalTime(2026, 10, 10, 7, 30, 1)).empty());
    EXPECT_EQ(schedule.CheckDueAlarms(MakeLocalTime(2026, 10, 12, 7, 30, 1)).size(), 1u);
}

}  // namespace
