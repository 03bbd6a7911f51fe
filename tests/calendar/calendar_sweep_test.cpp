// Every day from 1901-01-01 to 2100-12-31 through all three engines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calendar/calendar_convert.h"
#include "calendar/calendar_names.h"
#include "calendar/civil_date.h"
#include "calendar/day_report.h"
#include "calendar/four_pillars.h"
#include "calendar/today_texts.h"

using zorvel::CivilDate;
using zorvel::CivilFromDays;
using zorvel::DaysFromCivil;

namespace {

// Engine A takes 16-bit date fields; every swept date fits.
int TermOn(const CivilDate& c) {
    return CCalendarConvert::TermOfDay(static_cast<std::uint16_t>(c.year),
                                       static_cast<std::uint16_t>(c.month),
                                       static_cast<std::uint16_t>(c.day));
}

int LunarOn(const CivilDate& c, std::uint16_t& ly, std::uint16_t& lm, std::uint16_t& ld,
            bool& leap) {
    return CCalendarConvert::SolarToLunar(static_cast<std::uint16_t>(c.year),
                                          static_cast<std::uint16_t>(c.month),
                                          static_cast<std::uint16_t>(c.day), ly, lm, ld, leap);
}

const long kFirstDay = DaysFromCivil(1901, 1, 1);
const long kLastDay = DaysFromCivil(2100, 12, 31);

SystemTime Date(const CivilDate& c) {
    SystemTime t;
    t.wYear = static_cast<std::uint16_t>(c.year);
    t.wMonth = static_cast<std::uint16_t>(c.month);
    t.wDay = static_cast<std::uint16_t>(c.day);
    return t;
}

// Field `i` of a tab-separated line.
std::string Field(const std::string& line, int i) {
    size_t start = 0;
    for (; i > 0; --i) {
        start = line.find('\t', start) + 1;
    }
    return line.substr(start, line.find('\t', start) - start);
}

long DayOf(const std::string& date) {
    return DaysFromCivil(std::stoi(date.substr(0, 4)), std::stoi(date.substr(5, 2)),
                         std::stoi(date.substr(8, 2)));
}

// Place 0-59 in the sixty-pair cycle of a pair of characters such as "甲子", or -1.
int CycleIndex(std::string_view pair) {
    const std::string_view stem = pair.substr(0, 3);
    const std::string_view branch = pair.substr(3, 3);
    for (int k = 0; k < 60; ++k) {
        if (zorvel::kHeavenlyStems[k % 10] == stem && zorvel::kEarthlyBranches[k % 12] == branch) {
            return k;
        }
    }
    return -1;
}

}  // namespace

// Engines A, B and C give the same lunar date, lunar dates advance one day at a time through
// months of 29 or 30 days, and the day pillar advances one pair of the sixty-pair cycle a day.
TEST(CalendarSweep, EnginesAgreeAndAdvanceDayByDay) {
    const CCalendarConvert convert;
    int checkedB = 0;
    int previousDay = 0, previousCycle = -1;
    for (long n = kFirstDay; n <= kLastDay; ++n) {
        const CivilDate c = CivilFromDays(n);
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day));
        std::uint16_t ly = 0, lm = 0, ld = 0;
        bool leap = false;
        ASSERT_GE(LunarOn(c, ly, lm, ld, leap), 0);

        SystemTime lunar;
        int isLeap = 0;
        if (convert.SolarToLunarEx(Date(c), lunar, isLeap)) {
            ++checkedB;
            ASSERT_EQ(lunar.wYear, ly);
            ASSERT_EQ(lunar.wMonth, lm);
            ASSERT_EQ(lunar.wDay, ld);
            ASSERT_EQ(isLeap == 1, leap);
        } else {
            ASSERT_LT(ly * 10000 + lm * 100 + ld, 19210101);  // B starts with lunar 1921
        }

        CFourPillars p;
        p.Set(c.year, c.month, c.day, 12, 0);
        ASSERT_EQ(std::abs(p.chineseMonth), lm);
        ASSERT_EQ(p.chineseMonth < 0, leap);
        ASSERT_EQ(p.chineseDate, ld);
        ASSERT_EQ(p.chineseYear - 4596 + 1900, ly);

        if (n > kFirstDay) {
            if (ld == 1) {
                ASSERT_TRUE(previousDay == 29 || previousDay == 30) << previousDay;
            } else {
                ASSERT_EQ(ld, previousDay + 1);
            }
        }
        previousDay = ld;
        if (previousCycle >= 0) {
            ASSERT_EQ(p.dayCycle % 60, (previousCycle + 1) % 60);
        }
        previousCycle = p.dayCycle % 60;
    }
    EXPECT_EQ(checkedB, kLastDay - DaysFromCivil(1921, 2, 8) + 1);
}

// Every Gregorian year has 24 term days, two in each month (one before and one after the 15th),
// and engine C's term days are engine A's.
TEST(CalendarSweep, TwoTermDaysEveryMonth) {
    for (int y = 1901; y <= 2100; ++y) {
        int yearTerms = 0;
        for (int m = 1; m <= 12; ++m) {
            int first = 0, second = 0, count = 0;
            for (int d = 1; d <= zorvel::DaysInMonth(y, m); ++d) {
                const int t = TermOn({y, m, d});
                if (t == 0) {
                    continue;
                }
                ++count;
                (t == 2 * m - 1 ? first : second) = d;
                ASSERT_TRUE(t == 2 * m - 1 || t == 2 * m) << y << '-' << m << '-' << d;
            }
            ASSERT_EQ(count, 2) << y << '-' << m;
            ASSERT_LT(first, 15);
            ASSERT_GT(second, 15);
            ASSERT_EQ(CFourPillars::SectionalTermDay(y, m), first) << y << '-' << m;
            ASSERT_EQ(CFourPillars::PrincipleTermDay(y, m), second) << y << '-' << m;
            yearTerms += count;
        }
        ASSERT_EQ(yearTerms, 24) << y;
    }
}

// The year pillar turns once a year, on the day of 立春, and the month pillar on the day of each
// sectional term; both step one pair along the sixty-pair cycle.
TEST(CalendarSweep, YearPillarTurnsOnLichunAndMonthPillarOnSectionalTerms) {
    int previousYear = -1, previousMonth = -1;
    int yearTurns = 0;
    for (long n = kFirstDay; n <= kLastDay; ++n) {
        const CivilDate c = CivilFromDays(n);
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day));
        CFourPillars p;
        p.Set(c.year, c.month, c.day, 12, 0);
        const int year = CycleIndex(std::string_view(p.pillarText).substr(0, 6));
        const int month = CycleIndex(std::string_view(p.pillarText).substr(7, 6));
        ASSERT_GE(year, 0) << p.pillarText;
        ASSERT_GE(month, 0) << p.pillarText;
        const int term = TermOn(c);
        if (n == kFirstDay) {
            ASSERT_EQ(p.pillarText.substr(0, 13), "庚子 戊子");
        } else {
            if (term == 3) {  // 立春
                ASSERT_EQ(year, (previousYear + 1) % 60);
                ++yearTurns;
                ASSERT_EQ(yearTurns, c.year - 1900);
            } else {
                ASSERT_EQ(year, previousYear);
            }
            if (term % 2 == 1) {
                ASSERT_EQ(month, (previousMonth + 1) % 60);
            } else {
                ASSERT_EQ(month, previousMonth);
            }
        }
        previousYear = year;
        previousMonth = month;
    }
    EXPECT_EQ(yearTurns, 200);
}

// LunarToSolar finds the day back from every lunar date that SolarToLunarEx gives.
TEST(CalendarSweep, LunarToSolarInvertsSolarToLunarEx) {
    const CCalendarConvert convert;
    for (long n = DaysFromCivil(1921, 2, 8); n <= kLastDay; ++n) {
        const CivilDate c = CivilFromDays(n);
        SystemTime lunar;
        int isLeap = 0;
        ASSERT_TRUE(convert.SolarToLunarEx(Date(c), lunar, isLeap));
        SystemTime solar;
        ASSERT_TRUE(convert.LunarToSolar(lunar, isLeap, solar))
            << lunar.wYear << '-' << lunar.wMonth << '-' << lunar.wDay << " leap " << isLeap;
        ASSERT_EQ(DaysFromCivil(solar.wYear, solar.wMonth, solar.wDay), n);
    }
}

TEST(CalendarSweep, SpringFestivalBetween21JanuaryAnd20February) {
    for (int y = 1921; y <= 2101; ++y) {
        const std::string date = zorvel::SpringFestivalDate(y);
        ASSERT_EQ(date.size(), 10u) << y;
        ASSERT_EQ(date.substr(0, 4), std::to_string(y));
        const std::string monthDay = date.substr(5);
        ASSERT_GE(monthDay, "01-21") << date;
        ASSERT_LE(monthDay, "02-20") << date;
    }
}

// The spring column of `zorvel-today --days` (the date the panel's line shows) is the first
// Spring Festival on or after the day: a festival day shows itself, the column never runs ahead of
// the next festival, and it moves on only the day after one. It is "-" exactly where that
// festival lies outside engine B's lunar years 1921-2100.
TEST(CalendarSweep, SpringColumnIsTheComingFestival) {
    zorvel::CalendarDayReport report;
    const long lastUnknown = DaysFromCivil(1920, 2, 20);  // the Spring Festival of 1920
    std::string previous;
    for (long n = kFirstDay; n <= kLastDay; ++n) {
        const CivilDate c = CivilFromDays(n);
        const std::string column = Field(report.Row(c.year, c.month, c.day), 12);
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day) + " shows " + column);
        if (n <= lastUnknown) {
            ASSERT_EQ(column, "-");
            continue;
        }
        const long festival = DayOf(column);
        ASSERT_GE(festival, n);
        // Thirteen months on, the day clamped to the length of the month.
        const int month13 = c.month % 12 + 1;
        const int year13 = c.year + 1 + (c.month == 12 ? 1 : 0);
        ASSERT_LE(festival, DaysFromCivil(year13, month13,
                                          std::min(c.day, zorvel::DaysInMonth(year13, month13))));
        // The festival is lunar 1-1 of its own year (engine B knows the one in 2101 too).
        const CivilDate f = CivilFromDays(festival);
        SystemTime festivalLunar;
        int festivalLeap = 0;
        ASSERT_TRUE(CCalendarConvert().SolarToLunarEx(Date(f), festivalLunar, festivalLeap));
        ASSERT_TRUE(festivalLunar.wYear == f.year && festivalLunar.wMonth == 1 &&
                    festivalLunar.wDay == 1 && festivalLeap == 0);
        std::uint16_t ly = 0, lm = 0, ld = 0;
        bool leap = false;
        LunarOn(c, ly, lm, ld, leap);
        if (lm == 1 && ld == 1 && !leap) {
            ASSERT_EQ(festival, n);
        }
        if (!previous.empty() && column != previous) {
            ASSERT_EQ(DayOf(previous), n - 1);
        }
        previous = column;
    }
}
