#include "calendar/calendar_convert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "calendar/calendar_names.h"
#include "calendar/calendar_tables.h"
#include "calendar/civil_date.h"

using zorvel::kCumulativeDays;

// ---------------------------------------------------------------------------------------------
// OleDate

namespace {

constexpr long kOleEpoch = zorvel::DaysFromCivil(1899, 12, 30);
constexpr long kSecondsPerDay = 86400;

OleDate Encode(long days, long seconds) {
    const zorvel::CivilDate c = zorvel::CivilFromDays(days + kOleEpoch);
    OleDate d;
    if (c.year < 100 || c.year > 9999) {
        return d;
    }
    // Years 100..9999 keep days far inside a double's exact integers.
    const double whole = static_cast<double>(days);
    const double fraction = static_cast<double>(seconds) / kSecondsPerDay;
    d.value = days >= 0 ? whole + fraction : whole - fraction;
    d.valid = true;
    return d;
}

// Whole days from the epoch and seconds into that day.
void Decode(double value, long& days, long& seconds) {
    days = static_cast<long>(std::trunc(value));
    seconds = std::lround(std::fabs(value - static_cast<double>(days)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++days;
    }
}

}  // namespace

OleDate OleDate::FromSystemTime(const SystemTime& t) {
    if (t.wYear < 100 || t.wYear > 9999 || !zorvel::IsValidDate(t.wYear, t.wMonth, t.wDay) ||
        t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59) {
        return {};
    }
    const long days = zorvel::DaysFromCivil(t.wYear, t.wMonth, t.wDay) - kOleEpoch;
    return Encode(days, t.wHour * 3600L + t.wMinute * 60L + t.wSecond);
}

bool OleDate::ToSystemTime(SystemTime& t) const {
    if (!valid) {
        return false;
    }
    long days = 0;
    long seconds = 0;
    Decode(value, days, seconds);
    const zorvel::CivilDate c = zorvel::CivilFromDays(days + kOleEpoch);
    t = SystemTime{};
    t.wYear = static_cast<std::uint16_t>(c.year);
    t.wMonth = static_cast<std::uint16_t>(c.month);
    t.wDay = static_cast<std::uint16_t>(c.day);
    t.wDayOfWeek = static_cast<std::uint16_t>(zorvel::Weekday(c.year, c.month, c.day));
    t.wHour = static_cast<std::uint16_t>(seconds / 3600);
    t.wMinute = static_cast<std::uint16_t>(seconds / 60 % 60);
    t.wSecond = static_cast<std::uint16_t>(seconds % 60);
    return true;
}

OleDate OleDate::AddDays(int n) const {
    if (!valid) {
        return {};
    }
    long days = 0;
    long seconds = 0;
    Decode(value, days, seconds);
    return Encode(days + n, seconds);
}

std::string OleDate::FormatDate() const {
    SystemTime t;
    if (!ToSystemTime(t)) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Engine A

namespace {

int DaysBeforeMonth(int year, int month) {
    if (month < 1 || month > 12) {
        return 0;
    }
    return kCumulativeDays[month - 1] + (zorvel::IsGregorianLeapYear(year) && month >= 3 ? 1 : 0);
}

// Lunar 1900-11-11 is 1901-01-01; lunar 1901-01-01 is 49 days later.
constexpr std::int32_t kFirstNewYearSpan = 49;

// Days from lunar 1901-01-01 to the first day of each lunar year 1901..2101 (the last entry is
// the end of the table), so that a span finds its year without adding up the years before it.
const std::array<std::int32_t, kEngineAYears + 1>& LunarYearStartsA() {
    static const std::array<std::int32_t, kEngineAYears + 1> starts = [] {
        std::array<std::int32_t, kEngineAYears + 1> s{};
        for (int i = 0; i < kEngineAYears; ++i) {
            s[i + 1] = s[i] + CCalendarConvert::YearLength(
                                  static_cast<std::uint16_t>(kEngineAFirstYear + i));
        }
        return s;
    }();
    return starts;
}

}  // namespace

std::int32_t CCalendarConvert::DayCount(std::uint16_t endYear, std::uint16_t endMonth,
                                        std::uint16_t endDay, std::uint16_t startYear,
                                        std::uint16_t startMonth, std::uint16_t startDay) {
    const std::int32_t e = endYear - 1;
    const std::int32_t s = startYear - 1;
    return (endYear - startYear) * 365 + (e / 4 - s / 4) - (e / 100 - s / 100) +
           (e / 400 - s / 400) + DaysBeforeMonth(endYear, endMonth) + endDay -
           DaysBeforeMonth(startYear, startMonth) - startDay;
}

int CCalendarConvert::TermOfDay(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    if (year < kEngineAFirstYear || year > kEngineALastYear || month < 1 || month > 12) {
        return 0;
    }
    const int f = SolarTermBytes[(year - kEngineAFirstYear) * 12 + month - 1];
    const int candidate = day < 15 ? 15 - (f >> 4) : 15 + (f & 0x0F);
    if (day != candidate) {
        return 0;
    }
    return 2 * month - 1 + (day > 15 ? 1 : 0);
}

int CCalendarConvert::LeapMonthOf(std::uint16_t lunarYear) {
    if (lunarYear < kEngineAFirstYear || lunarYear > kEngineALastYear) {
        return 0;
    }
    const int k = lunarYear - kEngineAFirstYear;
    const int b = LeapMonthNibbles[k / 2];
    return k % 2 == 0 ? b >> 4 : b & 0x0F;
}

std::uint32_t CCalendarConvert::MonthLength(std::uint16_t lunarYear, std::uint16_t month) {
    if (lunarYear < kEngineAFirstYear) {
        return 30;
    }
    if (lunarYear > kEngineALastYear || month < 1 || month > 12) {
        return 0;
    }
    int bit = 16 - month;
    const int leap = LeapMonthOf(lunarYear);
    if (leap != 0 && month > leap) {
        --bit;
    }
    const unsigned w = LunarMonthBits[lunarYear - kEngineAFirstYear];
    const std::uint32_t low = (w >> bit) & 1 ? 30 : 29;
    std::uint32_t high = 0;
    if (month == leap) {
        high = (w >> (bit - 1)) & 1 ? 30 : 29;
    }
    return low | (high << 16);
}

int CCalendarConvert::YearLength(std::uint16_t lunarYear) {
    int days = 0;
    for (std::uint16_t m = 1; m <= 12; ++m) {
        const std::uint32_t len = MonthLength(lunarYear, m);
        days += static_cast<int>((len & 0xFFFF) + (len >> 16));
    }
    return days;
}

bool CCalendarConvert::LunarFromSpan(std::int32_t span, std::uint16_t& year, std::uint16_t& month,
                                     std::uint16_t& day, bool& isLeap) {
    if (span < 0) {
        return false;
    }
    if (span < kFirstNewYearSpan) {
        // Months 11 (29 days, from its 11th day) and 12 of lunar 1900.
        year = 1900;
        month = span <= 18 ? 11 : 12;
        day = static_cast<std::uint16_t>(span <= 18 ? 11 + span : span - 18);
        isLeap = false;
        return true;
    }
    span -= kFirstNewYearSpan;
    const auto& starts = LunarYearStartsA();
    if (span >= starts.back()) {
        return false;
    }
    const auto next = std::upper_bound(starts.begin(), starts.end(), span);
    const auto y = static_cast<std::uint16_t>(kEngineAFirstYear + (next - starts.begin()) - 1);
    span -= *(next - 1);

    std::uint16_t m = 1;
    bool leap = false;
    std::int32_t t = MonthLength(y, m) & 0xFFFF;
    while (span >= t) {
        span -= t;
        if (m == LeapMonthOf(y)) {
            t = static_cast<std::int32_t>(MonthLength(y, m) >> 16);
            if (span < t) {
                leap = true;
                break;
            }
            span -= t;
        }
        ++m;
        t = MonthLength(y, m) & 0xFFFF;
    }
    year = y;
    month = m;
    day = static_cast<std::uint16_t>(1 + span);
    isLeap = leap;
    return true;
}

int CCalendarConvert::SolarToLunar(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                                   std::uint16_t& lunarYear, std::uint16_t& lunarMonth,
                                   std::uint16_t& lunarDay, bool& isLeap) {
    if (year < kEngineAFirstYear || year > kEngineALastYear ||
        !zorvel::IsValidDate(year, month, day)) {
        return -1;
    }
    if (!LunarFromSpan(DayCount(year, month, day, 1901, 1, 1), lunarYear, lunarMonth, lunarDay,
                       isLeap)) {
        return -1;
    }
    return TermOfDay(year, month, day);
}

std::string CCalendarConvert::YearText(std::uint16_t lunarYear) {
    const int y = lunarYear + 600 - 4;  // keeps the index positive for the first years
    std::string text;
    text += zorvel::kHeavenlyStems[y % 10];
    text += zorvel::kEarthlyBranches[y % 12];
    text += ' ';
    text += zorvel::kZodiacAnimals[y % 12];
    text += "年";
    return text;
}

std::string CCalendarConvert::MonthText(std::uint16_t month, int lunarFlag, bool isLeap) {
    if (month < 1 || month > 12) {
        return {};
    }
    const std::string_view lead = isLeap ? "闰" : "\u3000";
    std::string text;
    if (lunarFlag == 0 && month == 1) {
        text += lead;
        text += "一";
    } else if (month <= 10) {
        text += lead;
        text += zorvel::kMonthNumerals[month - 1];
    } else {
        // The two-character months have no room for a leading space.
        if (isLeap) {
            text += "闰";
        }
        text += month == 11 ? "十一" : "十二";
    }
    text += "月";
    return text;
}

std::string CCalendarConvert::DayText(std::uint16_t lunarDay) {
    if (lunarDay < 1 || lunarDay > 30) {
        return {};
    }
    std::string text;
    if (lunarDay == 20) {
        text += zorvel::kDayUnits[1];
        text += zorvel::kDayUnits[9];
    } else if (lunarDay == 30) {
        text += zorvel::kDayTens[3];
        text += zorvel::kDayUnits[9];
    } else {
        text += zorvel::kDayTens[(lunarDay - 1) / 10];
        text += zorvel::kDayUnits[(lunarDay - 1) % 10];
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Engine B

namespace {

enum class LunarLookup { kFound, kBeforeTable, kAfterTable };

struct LunarDay {
    int year = 0;
    int month = 0;
    int day = 0;
    bool leap = false;
};

int MonthsOf(std::int32_t code) {
    return code >= 4095 ? 13 : 12;
}

int CodeYearLength(std::int32_t code) {
    int days = 0;
    for (int n = MonthsOf(code) - 1; n >= 0; --n) {
        days += 29 + ((code >> n) & 1);
    }
    return days;
}

// Day totals (1 = lunar 1921-01-01) before each lunar year 1921..2102.
const std::array<std::int32_t, kEngineBYears + 1>& LunarYearStartsB() {
    static const std::array<std::int32_t, kEngineBYears + 1> starts = [] {
        std::array<std::int32_t, kEngineBYears + 1> s{};
        for (int i = 0; i < kEngineBYears; ++i) {
            s[i + 1] = s[i] + CodeYearLength(LunarYearCodes[i]);
        }
        return s;
    }();
    return starts;
}

// Gregorian leap years from 1 to `year`.
int LeapYearsUpTo(int year) {
    return year / 4 - year / 100 + year / 400;
}

// Keeps every working value local, so conversions may run on any thread.
LunarLookup LookupLunarDay(int y, int m, int d, LunarDay& out) {
    if (y < kEngineBFirstYear) {
        return LunarLookup::kBeforeTable;
    }
    // Day 1 is lunar 1921-01-01, Gregorian 1921-02-08. Leap days follow the full Gregorian rule,
    // which matters from March 2100 on.
    std::int32_t total = (y - 1921) * 365 + LeapYearsUpTo(y - 1) - LeapYearsUpTo(1920) +
                         kCumulativeDays[m - 1] + d - 38;
    if (zorvel::IsGregorianLeapYear(y) && m > 2) {
        ++total;
    }
    if (total < 1) {
        return LunarLookup::kBeforeTable;
    }
    const auto& starts = LunarYearStartsB();
    if (total > starts.back()) {
        return LunarLookup::kAfterTable;
    }
    // The year whose days hold `total`: the last start below it.
    const auto next = std::lower_bound(starts.begin(), starts.end(), total);
    const int i = static_cast<int>(next - starts.begin()) - 1;
    total -= starts[i];

    const std::int32_t e = LunarYearCodes[i];
    const int k = MonthsOf(e) - 1;
    int n = k;
    for (; n >= 0; --n) {
        const int b = (e >> n) & 1;
        if (total <= 29 + b) {
            break;
        }
        total -= 29 + b;
    }
    int month = k - n + 1;
    bool leap = false;
    if (k == 12) {
        const int q = e / 65536 + 1;
        if (month == q) {
            month = q - 1;
            leap = true;
        } else if (month > q) {
            --month;
        }
    }
    out = {kEngineBFirstYear + i, month, static_cast<int>(total), leap};
    return LunarLookup::kFound;
}

}  // namespace

int CCalendarConvert::SolarToLunarEx(const SystemTime& solar, SystemTime& lunar,
                                     int& isLeap) const {
    if (!zorvel::IsValidDate(solar.wYear, solar.wMonth, solar.wDay)) {
        return 0;
    }
    LunarDay l;
    if (LookupLunarDay(solar.wYear, solar.wMonth, solar.wDay, l) != LunarLookup::kFound) {
        return 0;
    }
    lunar = SystemTime{};
    lunar.wYear = static_cast<std::uint16_t>(l.year);
    lunar.wMonth = static_cast<std::uint16_t>(l.month);
    lunar.wDay = static_cast<std::uint16_t>(l.day);
    isLeap = l.leap ? 1 : 0;
    return 1;
}

int CCalendarConvert::LunarToSolar(const SystemTime& lunar, int isLeap, SystemTime& solar) const {
    if (lunar.wMonth < 1 || lunar.wMonth > 12 || lunar.wDay < 1 || lunar.wDay > 30) {
        return 0;
    }
    // A lunar date always falls 9 to about 80 days after the Gregorian date with the same numbers.
    // A day number the Gregorian month lacks (a 30th of month 2) starts at the month's last day.
    SystemTime start = lunar;
    start.wDayOfWeek = 0;
    start.wMilliseconds = 0;
    start.wDay = static_cast<std::uint16_t>(
        std::min<int>(lunar.wDay, zorvel::DaysInMonth(lunar.wYear, lunar.wMonth)));
    OleDate candidate = ToOleDate(start);
    const bool wantLeap = isLeap != 0;
    for (int i = 0; i < 100 && candidate.valid; ++i) {
        SystemTime c;
        candidate.ToSystemTime(c);
        LunarDay l;
        switch (LookupLunarDay(c.wYear, c.wMonth, c.wDay, l)) {
            case LunarLookup::kAfterTable:
                return 0;
            case LunarLookup::kBeforeTable:
                // The search may start before lunar 1921-01-01; walk on into the table.
                break;
            case LunarLookup::kFound:
                if (l.year == lunar.wYear && l.month == lunar.wMonth && l.day == lunar.wDay &&
                    l.leap == wantLeap) {
                    solar = c;
                    return 1;
                }
                break;
        }
        candidate = candidate.AddDays(1);
    }
    return 0;
}

OleDate CCalendarConvert::ToOleDate(const SystemTime& solar) const {
    return OleDate::FromSystemTime(solar);
}
