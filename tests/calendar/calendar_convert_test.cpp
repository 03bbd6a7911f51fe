#include "calendar/calendar_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <thread>
#include <vector>

#include "calendar/calendar_tables.h"

namespace {

struct Lunar {
    int year, month, day;
    bool leap;
    int term;
    bool operator==(const Lunar&) const = default;
};

void PrintTo(const Lunar& l, std::ostream* os) {
    *os << l.year << '-' << (l.leap ? "L" : "") << l.month << '-' << l.day << " term " << l.term;
}

Lunar EngineA(std::uint16_t y, std::uint16_t m, std::uint16_t d) {
    std::uint16_t ly = 0, lm = 0, ld = 0;
    bool leap = false;
    const int term = CCalendarConvert::SolarToLunar(y, m, d, ly, lm, ld, leap);
    return {ly, lm, ld, leap, term};
}

SystemTime Date(int y, int m, int d) {
    SystemTime t;
    t.wYear = static_cast<std::uint16_t>(y);
    t.wMonth = static_cast<std::uint16_t>(m);
    t.wDay = static_cast<std::uint16_t>(d);
    return t;
}

// Engine B, "y-m-d" or "y-m-Ld" for a leap month; "fail" when it fails.
std::string EngineB(int y, int m, int d) {
    SystemTime lunar;
    int leap = -1;
    if (!CCalendarConvert().SolarToLunarEx(Date(y, m, d), lunar, leap)) {
        return "fail";
    }
    return std::to_string(lunar.wYear) + "-" + std::to_string(lunar.wMonth) + "-" +
           (leap ? "L" : "") + std::to_string(lunar.wDay);
}

// Gregorian date of a lunar date by engine B, or "fail".
std::string Solar(int y, int m, int d, int leap = 0) {
    SystemTime solar;
    if (!CCalendarConvert().LunarToSolar(Date(y, m, d), leap, solar)) {
        return "fail";
    }
    return CCalendarConvert().ToOleDate(solar).FormatDate();
}

}  // namespace

// The rows of the tables that are known in advance come out of the generator exactly.
TEST(CalendarTables, KnownRows) {
    auto bits = [](int y) { return LunarMonthBits[y - 1901]; };
    EXPECT_EQ(bits(1901), 0x4AE0);
    EXPECT_EQ(bits(1902), 0xA570);
    EXPECT_EQ(bits(2011), 0xB4A0);
    EXPECT_EQ(bits(2012), 0xB550);
    EXPECT_EQ(bits(2050), 0x55B0);
    const std::vector<int> nibbles(LeapMonthNibbles, LeapMonthNibbles + 6);
    EXPECT_EQ(nibbles, (std::vector<int>{0x00, 0x50, 0x04, 0x00, 0x20, 0x60}));
    EXPECT_EQ(LeapMonthNibbles[(2011 - 1901) / 2], 0x04);
    const std::vector<int> terms1901(SolarTermBytes, SolarTermBytes + 12);
    EXPECT_EQ(terms1901, (std::vector<int>{0x96, 0xB4, 0x96, 0xA6, 0x97, 0x97, 0x78, 0x79, 0x79,
                                           0x69, 0x78, 0x77}));
    const std::vector<int> terms2011(SolarTermBytes + 110 * 12, SolarTermBytes + 111 * 12);
    EXPECT_EQ(terms2011, (std::vector<int>{0x95, 0xB4, 0x96, 0xA5, 0x96, 0x97, 0x88, 0x78, 0x78,
                                           0x79, 0x78, 0x87}));
    auto code = [](int y) { return LunarYearCodes[y - 1921]; };
    EXPECT_EQ(code(1921), 2635);
    EXPECT_EQ(code(1922), 333387);
    EXPECT_EQ(code(2011), 2890);
    EXPECT_EQ(code(2012), 267946);
    EXPECT_EQ(code(2020), 265877);
    auto word = [](int y) { return LunarYearWords[y - 1900]; };
    EXPECT_EQ(word(1900), 0x0400);
    EXPECT_EQ(word(1901), 0x08AD);
    EXPECT_EQ(word(2011), 0x0AD2);
    EXPECT_EQ(word(2012), 0x4AA2);
    EXPECT_EQ(word(2100), 0x0354);
    EXPECT_EQ(std::vector<int>(std::begin(LongLeapYears), std::end(LongLeapYears)),
              (std::vector<int>{6,  14, 19,  25,  33,  36,  38,  41,  44,  52,
                                55, 79, 117, 136, 147, 150, 155, 158, 185, 193}));
    // 小寒 1912 falls on January 6 in Beijing mean time, so the first interval ends at 1909.
    const auto& jan = SectionalTermTable[0];
    EXPECT_EQ(std::vector<int>(jan.bounds, jan.bounds + 7),
              (std::vector<int>{9, 49, 85, 117, 149, 185, 201}));
    EXPECT_EQ(std::vector<int>(jan.days[0], jan.days[0] + 4), (std::vector<int>{7, 6, 6, 6}));
    EXPECT_EQ(std::vector<int>(jan.days[6], jan.days[6] + 4), (std::vector<int>{5, 4, 5, 5}));
    const auto& feb = PrincipleTermTable[1];
    EXPECT_EQ(std::vector<int>(feb.bounds, feb.bounds + 7),
              (std::vector<int>{21, 57, 93, 125, 161, 193, 201}));
    EXPECT_EQ(std::vector<int>(feb.days[3], feb.days[3] + 4), (std::vector<int>{19, 18, 19, 19}));
    for (int k : {0, 1, 13, 59}) {
        EXPECT_EQ(SexagenaryTable[k], ((k % 10) << 4) | (k % 12)) << k;
    }
}

TEST(EngineA, LunarDatesAtTheEdgesOfYearsAndMonths) {
    EXPECT_EQ(EngineA(1901, 1, 1), (Lunar{1900, 11, 11, false, 0}));
    EXPECT_EQ(EngineA(1901, 1, 19), (Lunar{1900, 11, 29, false, 0}));
    EXPECT_EQ(EngineA(1901, 1, 20), (Lunar{1900, 12, 1, false, 0}));
    EXPECT_EQ(EngineA(1901, 2, 18), (Lunar{1900, 12, 30, false, 0}));
    EXPECT_EQ(EngineA(1901, 2, 19), (Lunar{1901, 1, 1, false, 4}));
    EXPECT_EQ(EngineA(2011, 2, 2), (Lunar{2010, 12, 30, false, 0}));
    EXPECT_EQ(EngineA(2011, 2, 3), (Lunar{2011, 1, 1, false, 0}));
    // The leap fourth month of 2012 carries its mark.
    EXPECT_EQ(EngineA(2012, 5, 20), (Lunar{2012, 4, 30, false, 10}));
    EXPECT_EQ(EngineA(2012, 5, 21), (Lunar{2012, 4, 1, true, 0}));
    EXPECT_EQ(EngineA(2012, 6, 19), (Lunar{2012, 5, 1, false, 0}));
    // The leap eleventh month of 2033, after the winter solstice of 2033-12-21.
    EXPECT_EQ(EngineA(2033, 12, 21), (Lunar{2033, 11, 30, false, 24}));
    EXPECT_EQ(EngineA(2033, 12, 22), (Lunar{2033, 11, 1, true, 0}));
    EXPECT_EQ(EngineA(2034, 1, 20), (Lunar{2033, 12, 1, false, 2}));
    EXPECT_EQ(EngineA(2100, 12, 31), (Lunar{2100, 12, 1, false, 0}));
}

// New moons within minutes of midnight. Before 1929 the day is that of Beijing mean time
// (UTC+7:45:40): these new moons fall just after midnight in UTC+8 and just before it there, so
// the month starts a day earlier and the month before it is a day shorter.
TEST(EngineA, MonthsThatStartNearMidnight) {
    EXPECT_EQ(EngineA(1906, 4, 22), (Lunar{1906, 3, 29, false, 0}));
    EXPECT_EQ(EngineA(1906, 4, 23), (Lunar{1906, 4, 1, false, 0}));  // 00:06:25 UTC+8
    EXPECT_EQ(EngineA(1914, 11, 16), (Lunar{1914, 9, 29, false, 0}));
    EXPECT_EQ(EngineA(1914, 11, 17), (Lunar{1914, 10, 1, false, 0}));  // 00:01:41 UTC+8
    EXPECT_EQ(EngineA(1916, 2, 2), (Lunar{1915, 12, 29, false, 0}));
    EXPECT_EQ(EngineA(1916, 2, 3), (Lunar{1916, 1, 1, false, 0}));  // 00:05:15 UTC+8
    EXPECT_EQ(EngineA(1920, 11, 9), (Lunar{1920, 9, 29, false, 0}));
    EXPECT_EQ(EngineA(1920, 11, 10), (Lunar{1920, 10, 1, false, 0}));  // 00:04:48 UTC+8
    // From 1929 on the day is that of UTC+8.
    EXPECT_EQ(EngineA(2018, 11, 8), (Lunar{2018, 10, 1, false, 0}));  // 00:02:02
    EXPECT_EQ(EngineA(2057, 9, 29), (Lunar{2057, 9, 1, false, 0}));   // 00:00:36
    EXPECT_EQ(EngineA(2089, 9, 4), (Lunar{2089, 8, 1, false, 0}));    // 23:59:06
    EXPECT_EQ(EngineA(2097, 8, 8), (Lunar{2097, 7, 1, false, 0}));    // 00:01:26
}

// Terms within 14 min 20 s after midnight in UTC+8 before 1929 fall on the day before; after
// 1929 a term minutes from midnight keeps its UTC+8 day. Engine C's term days are engine A's
// (the sweep compares every month), so a check of engine A covers both.
TEST(EngineA, TermDaysBefore1929FollowBeijingMeanTime) {
    struct Term {
        std::uint16_t year, month, day;
        int number;
    };
    for (const Term& t : {Term{1909, 1, 20, 2}, Term{1911, 5, 6, 9}, Term{1912, 1, 6, 1},
                          Term{1912, 10, 8, 19}, Term{1917, 12, 7, 23}, Term{1927, 9, 8, 17},
                          Term{1928, 6, 21, 12}, Term{1951, 12, 23, 24}, Term{2008, 5, 21, 10}}) {
        EXPECT_EQ(CCalendarConvert::TermOfDay(t.year, t.month, t.day), t.number)
            << t.year << '-' << t.month << '-' << t.day;
        EXPECT_EQ(
            CCalendarConvert::TermOfDay(t.year, t.month, static_cast<std::uint16_t>(t.day + 1)), 0)
            << t.year << '-' << t.month << '-' << t.day + 1;
    }
}

TEST(EngineA, SolarTermsOf2011) {
    EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 1, 6), 1);
    EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 1, 20), 2);
    EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 2, 4), 3);
    EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 2, 19), 4);
    EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 12, 22), 24);
    for (std::uint16_t d : std::initializer_list<std::uint16_t>{1, 5, 7, 15, 19, 21, 31}) {
        EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 1, d), 0) << d;
    }
    EXPECT_EQ(CCalendarConvert::TermOfDay(2021, 4, 4), 7);  // 清明 2021
    EXPECT_EQ(CCalendarConvert::TermOfDay(1900, 1, 6), 0);
    EXPECT_EQ(CCalendarConvert::TermOfDay(2101, 1, 5), 0);
    EXPECT_EQ(CCalendarConvert::TermOfDay(2011, 13, 6), 0);
}

TEST(EngineA, RefusesDatesOutsideItsRange) {
    std::uint16_t y = 7, m = 7, d = 7;
    bool leap = true;
    EXPECT_EQ(CCalendarConvert::SolarToLunar(1900, 12, 31, y, m, d, leap), -1);
    EXPECT_EQ(CCalendarConvert::SolarToLunar(2101, 1, 1, y, m, d, leap), -1);
    EXPECT_EQ(CCalendarConvert::SolarToLunar(2011, 2, 29, y, m, d, leap), -1);
    EXPECT_EQ(CCalendarConvert::SolarToLunar(2011, 0, 1, y, m, d, leap), -1);
    EXPECT_EQ(CCalendarConvert::SolarToLunar(2011, 13, 1, y, m, d, leap), -1);
    EXPECT_EQ((Lunar{y, m, d, leap, 0}), (Lunar{7, 7, 7, true, 0}));  // outputs untouched
    EXPECT_FALSE(CCalendarConvert::LunarFromSpan(-1, y, m, d, leap));
    const std::int32_t last = CCalendarConvert::DayCount(2101, 1, 28, 1901, 1, 1);
    EXPECT_TRUE(CCalendarConvert::LunarFromSpan(last, y, m, d, leap));
    EXPECT_EQ((Lunar{y, m, d, leap, 0}), (Lunar{2100, 12, 29, false, 0}));
    EXPECT_FALSE(CCalendarConvert::LunarFromSpan(last + 1, y, m, d, leap));
    EXPECT_EQ(CCalendarConvert::LeapMonthOf(2101), 0);
    EXPECT_EQ(CCalendarConvert::MonthLength(2101, 1), 0u);
    EXPECT_EQ(CCalendarConvert::MonthLength(2012, 13), 0u);
    EXPECT_EQ(CCalendarConvert::MonthLength(1900, 1), 30u);
}

TEST(EngineA, MonthAndYearLengths) {
    EXPECT_EQ(CCalendarConvert::LeapMonthOf(1903), 5);
    EXPECT_EQ(CCalendarConvert::LeapMonthOf(2012), 4);
    EXPECT_EQ(CCalendarConvert::LeapMonthOf(2033), 11);
    EXPECT_EQ(CCalendarConvert::MonthLength(2012, 4), 30u | (29u << 16));
    EXPECT_EQ(CCalendarConvert::MonthLength(2012, 5), 30u);
    EXPECT_EQ(CCalendarConvert::YearLength(2011), 354);
    EXPECT_EQ(CCalendarConvert::YearLength(2012), 384);
}

TEST(EngineA, DayCountFollowsTheGregorianLeapRule) {
    EXPECT_EQ(CCalendarConvert::DayCount(1901, 2, 19, 1901, 1, 1), 49);
    EXPECT_EQ(CCalendarConvert::DayCount(2000, 3, 1, 2000, 2, 28), 2);
    EXPECT_EQ(CCalendarConvert::DayCount(2100, 3, 1, 2100, 2, 28), 1);
    EXPECT_EQ(CCalendarConvert::DayCount(2001, 3, 1, 2000, 2, 28), 367);
    EXPECT_EQ(CCalendarConvert::DayCount(1901, 1, 1, 2100, 12, 31), -73048);
}

TEST(EngineA, Texts) {
    EXPECT_EQ(CCalendarConvert::YearText(2011), "辛卯 兔年");
    EXPECT_EQ(CCalendarConvert::YearText(1900), "庚子 鼠年");
    EXPECT_EQ(CCalendarConvert::YearText(2026), "丙午 马年");
    EXPECT_EQ(CCalendarConvert::MonthText(1, 0), "\u3000一月");
    EXPECT_EQ(CCalendarConvert::MonthText(1, 1), "\u3000正月");
    EXPECT_EQ(CCalendarConvert::MonthText(8, 1), "\u3000八月");
    EXPECT_EQ(CCalendarConvert::MonthText(10, 1), "\u3000十月");
    EXPECT_EQ(CCalendarConvert::MonthText(11, 1), "十一月");
    EXPECT_EQ(CCalendarConvert::MonthText(12, 1), "十二月");
    EXPECT_EQ(CCalendarConvert::MonthText(4, 1, true), "闰四月");
    EXPECT_EQ(CCalendarConvert::MonthText(11, 1, true), "闰十一月");
    EXPECT_EQ(CCalendarConvert::MonthText(12, 1, true), "闰十二月");
    EXPECT_EQ(CCalendarConvert::MonthText(0, 1), "");
    EXPECT_EQ(CCalendarConvert::MonthText(13, 1), "");
    const std::vector<std::pair<std::uint16_t, std::string>> days = {
        {1, "初一"},  {10, "初十"}, {11, "十一"}, {19, "十九"},
        {20, "二十"}, {21, "廿一"}, {29, "廿九"}, {30, "三十"}};
    for (const auto& [d, text] : days) {
        EXPECT_EQ(CCalendarConvert::DayText(d), text) << d;
    }
    EXPECT_EQ(CCalendarConvert::DayText(0), "");
    EXPECT_EQ(CCalendarConvert::DayText(31), "");
}

TEST(EngineB, LunarDates) {
    EXPECT_EQ(EngineB(2011, 9, 18), "2011-8-21");
    EXPECT_EQ(EngineB(2012, 5, 20), "2012-4-30");
    EXPECT_EQ(EngineB(2012, 5, 21), "2012-4-L1");
    EXPECT_EQ(EngineB(2033, 12, 22), "2033-11-L1");
    EXPECT_EQ(EngineB(2034, 1, 20), "2033-12-1");
    // Range: lunar 1921-01-01 (1921-02-08) to lunar 2101-12-29 (2102-02-16).
    EXPECT_EQ(EngineB(1921, 2, 7), "fail");
    EXPECT_EQ(EngineB(1921, 2, 8), "1921-1-1");
    EXPECT_EQ(EngineB(2101, 1, 28), "2100-12-29");
    EXPECT_EQ(EngineB(2101, 1, 29), "2101-1-1");
    EXPECT_EQ(EngineB(2101, 8, 25), "2101-7-L1");
    EXPECT_EQ(EngineB(2102, 2, 16), "2101-12-29");
    EXPECT_EQ(EngineB(2102, 2, 17), "fail");
    EXPECT_EQ(EngineB(1900, 1, 1), "fail");
    EXPECT_EQ(EngineB(2011, 13, 1), "fail");
    EXPECT_EQ(EngineB(2011, 2, 29), "fail");
    // 2100 is no Gregorian leap year: 02-28 and 03-01 are consecutive days.
    EXPECT_EQ(EngineB(2100, 2, 28), "2100-1-20");
    EXPECT_EQ(EngineB(2100, 3, 1), "2100-1-21");
}

TEST(EngineB, SpringFestivalsAndTheirSearch) {
    EXPECT_EQ(Solar(2012, 1, 1), "2012-01-23");
    EXPECT_EQ(Solar(2020, 1, 1), "2020-01-25");
    EXPECT_EQ(Solar(2021, 1, 1), "2021-02-12");
    EXPECT_EQ(Solar(2027, 1, 1), "2027-02-06");
    EXPECT_EQ(Solar(2100, 1, 1), "2100-02-09");
    // The search starts before the table and walks into it.
    EXPECT_EQ(Solar(1921, 1, 1), "1921-02-08");
    EXPECT_EQ(Solar(1920, 1, 1), "fail");
    EXPECT_EQ(Solar(2101, 1, 1), "2101-01-29");
    EXPECT_EQ(Solar(2102, 1, 1), "fail");
    EXPECT_EQ(Solar(2100, 12, 29), "2101-01-28");
    // A 30th of month 2 exists in 2014 though February has no 30th.
    EXPECT_EQ(Solar(2014, 2, 30), "2014-03-30");
    EXPECT_EQ(Solar(2011, 2, 30), "fail");  // month 2 of 2011 has 29 days
    EXPECT_EQ(Solar(2012, 4, 1, 1), "2012-05-21");
    EXPECT_EQ(Solar(2012, 4, 1, 0), "2012-04-21");
    EXPECT_EQ(Solar(2011, 4, 1, 1), "fail");  // no leap month 4 in 2011
    EXPECT_EQ(Solar(2011, 0, 1), "fail");
    EXPECT_EQ(Solar(2011, 1, 31), "fail");
}

TEST(EngineB, TimeFieldsGoThroughAndBadTimesFail) {
    SystemTime lunar = Date(2012, 1, 1);
    lunar.wHour = 12;
    lunar.wMinute = 34;
    SystemTime solar;
    ASSERT_TRUE(CCalendarConvert().LunarToSolar(lunar, 0, solar));
    EXPECT_EQ(solar.wHour, 12);
    EXPECT_EQ(solar.wMinute, 34);
    EXPECT_EQ(solar.wDayOfWeek, 1);  // 2012-01-23 was a Monday
    lunar.wHour = 24;
    EXPECT_FALSE(CCalendarConvert().LunarToSolar(lunar, 0, solar));
}

// Conversions keep no shared working state, so threads may convert at the same time.
TEST(EngineB, ConvertsOnSeveralThreadsAtOnce) {
    auto convertYear = [](int year, std::vector<std::string>& out) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= 28; ++d) {
                out.push_back(EngineB(year, m, d));
            }
        }
    };
    std::vector<std::string> alone, a, b;
    convertYear(2033, alone);
    std::thread t1([&] {
        for (int i = 0; i < 20; ++i) {
            a.clear();
            convertYear(2033, a);
        }
    });
    std::thread t2([&] {
        for (int i = 0; i < 20; ++i) {
            b.clear();
            convertYear(2033, b);
        }
    });
    t1.join();
    t2.join();
    EXPECT_EQ(a, alone);
    EXPECT_EQ(b, alone);
}

TEST(OleDate, ValidityRoundTripAndDays) {
    SystemTime t = Date(2011, 9, 18);
    t.wHour = 23;
    t.wMinute = 59;
    t.wSecond = 59;
    const OleDate d = OleDate::FromSystemTime(t);
    ASSERT_TRUE(d.valid);
    SystemTime back;
    ASSERT_TRUE(d.ToSystemTime(back));
    EXPECT_EQ(back.wYear * 10000 + back.wMonth * 100 + back.wDay, 20110918);
    EXPECT_EQ(back.wHour * 3600 + back.wMinute * 60 + back.wSecond, 86399);
    EXPECT_EQ(d.AddDays(1).FormatDate(), "2011-09-19");
    EXPECT_EQ(d.AddDays(-18).FormatDate(), "2011-08-31");

    EXPECT_FALSE(OleDate::FromSystemTime(Date(2011, 2, 29)).valid);
    EXPECT_FALSE(OleDate::FromSystemTime(Date(99, 1, 1)).valid);
    t.wSecond = 60;
    EXPECT_FALSE(OleDate::FromSystemTime(t).valid);
    EXPECT_FALSE(OleDate::FromSystemTime(Date(9999, 12, 31)).AddDays(1).valid);
    EXPECT_EQ(OleDate{}.FormatDate(), "");

    // Before 1899-12-30 the value counts back while the time of day still runs forwards.
    SystemTime early = Date(1899, 12, 29);
    early.wHour = 6;
    const OleDate e = OleDate::FromSystemTime(early);
    EXPECT_DOUBLE_EQ(e.value, -1.25);
    SystemTime next;
    ASSERT_TRUE(e.AddDays(1).ToSystemTime(next));
    EXPECT_EQ(next.wDay, 30);
    EXPECT_EQ(next.wHour, 6);
}
