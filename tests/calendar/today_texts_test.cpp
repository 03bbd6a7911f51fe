#include "calendar/today_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calendar/day_report.h"
#include "calendar/double_hours.h"

using zorvel::ComputeTodayTexts;
using zorvel::TodayTexts;

namespace {

std::vector<std::string> Lines(const TodayTexts& t) {
    return {t.greeting, t.lunarDate, t.solarTerm, t.springFestival, t.pillars, t.dayStatus};
}

}  // namespace

TEST(TodayTexts, KnownDays) {
    EXPECT_EQ(Lines(ComputeTodayTexts(2011, 9, 18, 12, 0, 0)),
              (std::vector<std::string>{"您好，今天是星期天", "辛卯 兔年　八月廿一", "节气：---",
                                        "2012年春节：2012-01-23", "辛卯 丁酉 丙子 甲午",
                                        "今天：休息日"}));
    EXPECT_EQ(Lines(ComputeTodayTexts(2026, 12, 9, 12, 0, 0)),
              (std::vector<std::string>{"您好，今天是星期三", "丙午 马年十一月初一", "节气：---",
                                        "2027年春节：2027-02-06", "丙午 庚子 丁巳 丙午",
                                        "今天：工作日"}));
    EXPECT_EQ(Lines(ComputeTodayTexts(2011, 1, 6, 8, 30)),
              (std::vector<std::string>{"您好，今天是星期四", "庚寅 虎年十二月初三", "节气：小寒",
                                        "2011年春节：2011-02-03", "庚寅 己丑 辛酉 壬辰",
                                        "今天：工作日"}));
    // The year pillar has turned at 立春, the lunar year not yet.
    EXPECT_EQ(Lines(ComputeTodayTexts(2026, 2, 10, 12, 0)),
              (std::vector<std::string>{"您好，今天是星期二", "乙巳 蛇年十二月廿三", "节气：---",
                                        "2026年春节：2026-02-17", "丙午 庚寅 乙卯 壬午",
                                        "今天：工作日"}));
    // The official schedule: a holiday, an adjusted working Saturday.
    EXPECT_EQ(ComputeTodayTexts(2026, 10, 1, 8, 0).dayStatus, "今天：国庆节 休");
    EXPECT_EQ(ComputeTodayTexts(2026, 10, 10, 8, 0).dayStatus, "今天：调休上班");
}

TEST(TodayTexts, WeekdaysFromSundayToSaturday) {
    const char* names[] = {"星期天", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(ComputeTodayTexts(2011, 9, 18 + i, 12, 0).greeting,
                  std::string("您好，今天是") + names[i]);
    }
}

TEST(TodayTexts, LeapMonthsAreMarked) {
    EXPECT_EQ(ComputeTodayTexts(2012, 5, 20, 12, 0).lunarDate, "壬辰 龙年　四月三十");
    EXPECT_EQ(ComputeTodayTexts(2012, 5, 21, 12, 0).lunarDate, "壬辰 龙年闰四月初一");
    EXPECT_EQ(ComputeTodayTexts(2033, 11, 22, 12, 0).lunarDate, "癸丑 牛年十一月初一");
    EXPECT_EQ(ComputeTodayTexts(2033, 12, 22, 12, 0).lunarDate, "癸丑 牛年闰十一月初一");
    EXPECT_EQ(ComputeTodayTexts(2034, 1, 20, 12, 0).lunarDate, "癸丑 牛年十二月初一");
    EXPECT_EQ(ComputeTodayTexts(2011, 2, 3, 12, 0).lunarDate, "辛卯 兔年　正月初一");
}

// The Spring Festival line names the first festival on or after today: this year's until its
// day, the next year's from the day after.
TEST(TodayTexts, SpringFestivalLineAcrossTheRange) {
    auto line = [](int y, int m, int d) {
        return ComputeTodayTexts(y, m, d, 12, 0).springFestival;
    };
    EXPECT_EQ(line(2026, 1, 10), "2026年春节：2026-02-17");
    EXPECT_EQ(line(2026, 2, 17), "2026年春节：2026-02-17");
    EXPECT_EQ(line(2026, 2, 18), "2027年春节：2027-02-06");
    EXPECT_EQ(line(2012, 1, 1), "2012年春节：2012-01-23");
    EXPECT_EQ(line(2012, 12, 31), "2013年春节：2013-02-10");
    // The edges of engine B's lunar years 1921-2101: every day of 2100 names its festival.
    EXPECT_EQ(line(1919, 6, 1), "1920年春节：---");
    EXPECT_EQ(line(1920, 2, 20), "1920年春节：---");
    EXPECT_EQ(line(1920, 2, 21), "1921年春节：1921-02-08");
    EXPECT_EQ(line(2100, 2, 9), "2100年春节：2100-02-09");
    EXPECT_EQ(line(2100, 2, 10), "2101年春节：2101-01-29");
    EXPECT_EQ(line(2100, 12, 31), "2101年春节：2101-01-29");
    EXPECT_EQ(line(2101, 1, 29), "2101年春节：2101-01-29");
    // After it, lunar 2101 tells the year of the next one, which no table holds; beyond lunar
    // 2101 the year is told by the festival's window only.
    EXPECT_EQ(line(2101, 1, 30), "2102年春节：---");
    EXPECT_EQ(line(2102, 2, 16), "2102年春节：---");
    EXPECT_EQ(line(2102, 2, 17), "春节：---");
    EXPECT_EQ(line(2102, 2, 21), "2103年春节：---");
    EXPECT_EQ(line(1900, 1, 20), "1900年春节：---");
}

TEST(TodayTexts, OutsideTheTablesEachLineShowsItsLabelOnly) {
    EXPECT_EQ(Lines(ComputeTodayTexts(1900, 12, 31, 12, 0)),
              (std::vector<std::string>{"您好，今天是星期一", "---", "节气：---", "1901年春节：---",
                                        "---", "今天：工作日"}));
    EXPECT_EQ(Lines(ComputeTodayTexts(2101, 6, 1, 12, 0)),
              (std::vector<std::string>{"您好，今天是星期三", "---", "节气：---", "2102年春节：---",
                                        "---", "今天：工作日"}));
    EXPECT_EQ(Lines(ComputeTodayTexts(2011, 2, 29, 12, 0)),
              (std::vector<std::string>{"您好，今天是---", "---", "节气：---", "春节：---", "---",
                                        "今天：---"}));
    EXPECT_EQ(ComputeTodayTexts(2011, 9, 18, 24, 0).pillars, "---");
}

TEST(DoubleHourTable, TwelveCorrectedLinesThenABlank) {
    const std::string text(zorvel::DoubleHourTableText());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
    EXPECT_EQ(text.rfind("\n "), text.size() - 2);
    EXPECT_EQ(text.find("【子时】夜半，又名子夜、中夜："), 0u);
    for (const char* fixed :
         {"（北京时间09时至11时）", "（北京时间15时至17时）", "（北京时间17时至19时）",
          "人定也就是人静。（北京时间21时至23时）。\n"}) {
        EXPECT_NE(text.find(fixed), std::string::npos) << fixed;
    }
    for (const char* slip : {"09 时", "15食", "17是"}) {
        EXPECT_EQ(text.find(slip), std::string::npos) << slip;
    }
    // Every line ends with its hours.
    size_t start = 0;
    for (int line = 0; line < 12; ++line) {
        const size_t end = text.find('\n', start);
        EXPECT_EQ(text.substr(end - 6, 6), "）。") << line + 1;
        start = end + 1;
    }
}

TEST(DayReport, RowsInsideAndOutsideTheEngines) {
    zorvel::CalendarDayReport report;
    EXPECT_EQ(
        report.Row(2011, 9, 18),
        "2011-09-18\t2011\t8\t21\t0\t0\t2011\t8\t21\t0\t8\t21\t2012-01-23\t辛卯 丁酉 丙子 甲午");
    EXPECT_EQ(
        report.Row(2012, 5, 21),
        "2012-05-21\t2012\t4\t1\t1\t0\t2012\t4\t1\t1\t-4\t1\t2013-02-10\t壬辰 乙巳 壬午 丙午");
    EXPECT_EQ(
        report.Row(2011, 1, 6),
        "2011-01-06\t2010\t12\t3\t0\t1\t2010\t12\t3\t0\t12\t3\t2011-02-03\t庚寅 己丑 辛酉 甲午");
    EXPECT_EQ(report.Row(1901, 1, 1),
              "1901-01-01\t1900\t11\t11\t0\t0\t-\t-\t-\t-\t11\t11\t-\t庚子 戊子 己卯 庚午");
    EXPECT_EQ(report.Row(2101, 1, 1),
              "2101-01-01\t-\t-\t-\t-\t-\t2100\t12\t2\t0\t-\t-\t2101-01-29\t-");
}
