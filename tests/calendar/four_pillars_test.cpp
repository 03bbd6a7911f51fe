#include "calendar/four_pillars.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

namespace {

std::string PillarsAt(int y, int m, int d, int h, int min = 0) {
    CFourPillars p;
    p.Set(y, m, d, h, min);
    p.BuildPillars();
    return p.pillarText;
}

// The pair of pillar `i` (0 year, 1 month, 2 day, 3 hour) at noon.
std::string PillarOf(int i, int y, int m, int d) {
    const std::string text = PillarsAt(y, m, d, 12);
    return text.substr(i * 7, 6);  // two three-byte characters and a blank per pillar
}

}  // namespace

TEST(FourPillars, FieldsAndTextOfAKnownDay) {
    CFourPillars p;
    p.Set(2011, 9, 18, 12, 0);
    EXPECT_EQ(p.chineseYear, 4707);
    EXPECT_EQ(p.chineseMonth, 8);
    EXPECT_EQ(p.chineseDate, 21);
    EXPECT_EQ(p.dayCycle % 60, 12);  // 丙子
    EXPECT_EQ(p.sectionalTerm, 8);   // 白露
    EXPECT_EQ(p.principleTerm, 23);  // 秋分
    EXPECT_EQ(p.pillarText, "辛卯 丁酉 丙子 甲午");
}

TEST(FourPillars, LeapMonthsAreNegative) {
    CFourPillars p;
    p.Set(2012, 5, 21, 12, 0);
    EXPECT_EQ(p.chineseMonth, -4);
    EXPECT_EQ(p.chineseDate, 1);
    p.Set(2033, 12, 22, 12, 0);
    EXPECT_EQ(p.chineseMonth, -11);
    p.Set(2034, 1, 20, 12, 0);
    EXPECT_EQ(p.chineseMonth, 12);
    EXPECT_EQ(p.chineseYear - 4596 + 1900, 2033);
}

TEST(FourPillars, HourPillarAndTheDayThatStartsAt23) {
    EXPECT_EQ(PillarsAt(2011, 9, 18, 0, 59), "辛卯 丁酉 丙子 戊子");
    EXPECT_EQ(PillarsAt(2011, 9, 18, 1, 0), "辛卯 丁酉 丙子 己丑");
    EXPECT_EQ(PillarsAt(2011, 9, 18, 22, 59), "辛卯 丁酉 丙子 己亥");
    // From 23:00 the day is already 09-19 (丁丑) and the hour a 子 hour of that day.
    EXPECT_EQ(PillarsAt(2011, 9, 18, 23, 30), "辛卯 丁酉 丁丑 庚子");
    EXPECT_EQ(PillarsAt(2011, 9, 19, 0, 30), "辛卯 丁酉 丁丑 庚子");
    // ... and on the last day of a lunar month, the lunar date moves on too.
    CFourPillars p;
    p.Set(2011, 9, 26, 23, 0);  // lunar 2011-08-29, the last day of month 8
    EXPECT_EQ(p.chineseMonth, 9);
    EXPECT_EQ(p.chineseDate, 1);
}

TEST(FourPillars, MonthPillarChangesOnTheSectionalTermDay) {
    EXPECT_EQ(PillarsAt(2011, 9, 7, 12), "辛卯 丙申 乙丑 壬午");
    EXPECT_EQ(PillarsAt(2011, 9, 8, 12), "辛卯 丁酉 丙寅 甲午");
    // Before 小寒 January is a 子 month of the lunar year that is still running.
    EXPECT_EQ(PillarsAt(2011, 1, 5, 12), "庚寅 戊子 庚申 壬午");
    EXPECT_EQ(PillarsAt(2011, 1, 6, 12), "庚寅 己丑 辛酉 甲午");
}

// The year pillar turns on the day of 立春, whichever side of it the Spring Festival falls, and the
// month pillar's stem follows the year pillar's.
TEST(FourPillars, YearAndMonthPillarsTurnOnTheDayOfLichun) {
    // 立春 2026-02-04 comes before the Spring Festival of 2026-02-17.
    EXPECT_EQ(PillarsAt(2026, 2, 3, 12), "乙巳 己丑 戊申 戊午");
    EXPECT_EQ(PillarsAt(2026, 2, 3, 23, 30), "乙巳 己丑 己酉 甲子");  // the day turns first
    EXPECT_EQ(PillarsAt(2026, 2, 4, 0, 0), "丙午 庚寅 己酉 甲子");
    EXPECT_EQ(PillarsAt(2026, 2, 10, 12), "丙午 庚寅 乙卯 壬午");
    EXPECT_EQ(PillarsAt(2026, 2, 16, 12), "丙午 庚寅 辛酉 甲午");
    EXPECT_EQ(PillarsAt(2026, 2, 17, 12), "丙午 庚寅 壬戌 丙午");
    // The Spring Festival of 2028-01-26 comes before 立春 2028-02-04.
    EXPECT_EQ(PillarOf(0, 2028, 1, 25) + PillarOf(1, 2028, 1, 25), "丁未癸丑");
    EXPECT_EQ(PillarOf(0, 2028, 1, 26) + PillarOf(1, 2028, 1, 26), "丁未癸丑");
    EXPECT_EQ(PillarOf(0, 2028, 2, 3) + PillarOf(1, 2028, 2, 3), "丁未癸丑");
    EXPECT_EQ(PillarOf(0, 2028, 2, 4) + PillarOf(1, 2028, 2, 4), "戊申甲寅");
    CFourPillars p;
    p.Set(2028, 1, 26, 12, 0);
    EXPECT_EQ(p.chineseYear - 4596 + 1900, 2028);  // the lunar year has already turned
    EXPECT_EQ(p.PillarYear() - 4596 + 1900, 2027);
    // 甲己之年丙作首: the first month of a 甲 or 己 year is 丙寅, of 乙 or 庚 戊寅, of 丙 or 辛
    // 庚寅, of 丁 or 壬 壬寅, of 戊 or 癸 甲寅; each 立春 from 2024 to 2033.
    const char* first[] = {"丙寅", "戊寅", "庚寅", "壬寅", "甲寅"};
    for (int y = 2024; y < 2034; ++y) {
        const int spring = CFourPillars::SectionalTermDay(y, 2);
        EXPECT_EQ(PillarOf(1, y, 2, spring), first[(y - 2024) % 5]) << y;
    }
}

// Before 1929 the sectional terms are dated in Beijing mean time; these fall just after midnight
// in UTC+8, so their month pillars begin a day earlier than UTC+8 would have them.
TEST(FourPillars, MonthPillarTurnsOnTermDaysOfBeijingMeanTime) {
    struct Turn {
        int year, month, day;
        const char* before;
        const char* from;
    };
    for (const Turn& t : {Turn{1911, 5, 6, "壬辰", "癸巳"}, Turn{1912, 1, 6, "庚子", "辛丑"},
                          Turn{1912, 10, 8, "己酉", "庚戌"}, Turn{1917, 12, 7, "辛亥", "壬子"},
                          Turn{1927, 9, 8, "戊申", "己酉"}}) {
        EXPECT_EQ(PillarOf(1, t.year, t.month, t.day - 1), t.before) << t.year << '-' << t.month;
        EXPECT_EQ(PillarOf(1, t.year, t.month, t.day), t.from) << t.year << '-' << t.month;
    }
}

// Every term day of engine C agrees with the ephemeris; the sweep test compares them all with
// engine A. These are the days an older exception list got wrong.
TEST(FourPillars, TermDaysNearChangesOfThePattern) {
    EXPECT_EQ(CFourPillars::SectionalTermDay(2021, 4), 4);
    EXPECT_EQ(CFourPillars::SectionalTermDay(2032, 4), 4);
    EXPECT_EQ(CFourPillars::SectionalTermDay(2094, 6), 5);
    EXPECT_EQ(CFourPillars::PrincipleTermDay(2071, 3), 20);
    EXPECT_EQ(CFourPillars::PrincipleTermDay(2081, 5), 20);
    EXPECT_EQ(CFourPillars::SectionalTermDay(1901, 1), 6);
    EXPECT_EQ(CFourPillars::PrincipleTermDay(2100, 12), 22);
}

TEST(FourPillars, OutsideTheRangeNothingIsComputed) {
    EXPECT_EQ(CFourPillars::SectionalTermDay(1900, 1), 0);
    EXPECT_EQ(CFourPillars::PrincipleTermDay(2101, 1), 0);
    EXPECT_EQ(CFourPillars::SectionalTermDay(2011, 13), 0);
    for (auto [y, m, d, h] :
         {std::array{1900, 12, 31, 12}, std::array{2101, 1, 1, 12}, std::array{2011, 2, 29, 12},
          std::array{2011, 13, 1, 12}, std::array{2011, 9, 18, 24}}) {
        CFourPillars p;
        p.Set(y, m, d, h, 0);
        EXPECT_EQ(p.ComputeLunar(), 0) << y << '-' << m << '-' << d << ' ' << h;
        EXPECT_EQ(p.chineseYear, 0);
        EXPECT_EQ(p.dayCycle, 0);
        EXPECT_EQ(p.BuildPillars(), 0);
        EXPECT_EQ(p.pillarText, "---");
    }
    EXPECT_EQ(PillarsAt(2100, 12, 31, 23, 59), "庚申 戊子 戊申 壬子");
}

TEST(FourPillars, DiagnosticLines) {
    std::ostringstream out;
    CFourPillars p;
    p.diagnostics = &out;
    p.Set(2011, 9, 18, 12, 0);
    EXPECT_EQ(out.str(),
              "sun_calendar:2011-9-18\n"
              "Chinese Year: 4707\n"
              "Heavenly Stem: 辛\n"
              "Earthly Branch: 卯\n"
              "Pillar Year: 4707 辛卯\n"
              "Chinese Month: 8\n"
              "Chinese Date: 21\n"
              "Sectional Term: 8\n"
              "Principle Term: 23\n"
              "八字: 辛卯 丁酉 丙子 甲午\n"
              "五行: 金木 火金 火水 木火\n"
              "纳音: 松柏木 山下火 洞下水 沙中金\n");
    CFourPillars quiet;
    quiet.Set(2011, 9, 18, 12, 0);  // without a stream nothing is written anywhere
    EXPECT_EQ(quiet.pillarText, p.pillarText);
}
