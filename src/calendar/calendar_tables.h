#pragma once

// The lunar month and solar term tables of the three calendar engines. The contents are made by
// tools/calgen from an ephemeris (see calendar_tables.cpp); each engine reads only its own.

#include <cstdint>

// Engine A (CCalendarConvert's static operations): lunar and Gregorian years 1901-2100.
inline constexpr int kEngineAFirstYear = 1901;
inline constexpr int kEngineALastYear = 2100;
inline constexpr int kEngineAYears = kEngineALastYear - kEngineAFirstYear + 1;

// One word a lunar year: the months in calendar order from bit 15 down, a leap month in the bit
// right after its regular namesake; a set bit is a month of 30 days, a clear one of 29.
extern const std::uint16_t LunarMonthBits[kEngineAYears];
// The leap month (0 = none) of year 1901 + 2k in the high nibble of byte k, of 1902 + 2k in
// the low nibble.
extern const std::uint8_t LeapMonthNibbles[kEngineAYears / 2];
// One byte a Gregorian month, index (year - 1901) * 12 + month - 1: the month's first term falls
// on day 15 - high nibble, its second on day 15 + low nibble.
extern const std::uint8_t SolarTermBytes[kEngineAYears * 12];

// Engine B (SolarToLunarEx, LunarToSolar): lunar years 1921-2101, the last one for the Spring
// Festival that follows lunar 2100.
inline constexpr int kEngineBFirstYear = 1921;
inline constexpr int kEngineBLastYear = 2101;
inline constexpr int kEngineBYears = kEngineBLastYear - kEngineBFirstYear + 1;

// One code a lunar year. 4095 or more means 13 months. The months, a leap month in its place,
// take bits 12 (or 11) down to 0 in calendar order, a set bit being 30 days; code / 65536 is the
// regular month that the leap month follows.
extern const std::int32_t LunarYearCodes[kEngineBYears];

// Engine C (CFourPillars): Gregorian years 1901-2100; its month walk reads lunar years 1900-2103.
inline constexpr int kEngineCFirstYear = 1901;
inline constexpr int kEngineCLastYear = 2100;
inline constexpr int kLunarYearWordsFirstYear = 1900;
inline constexpr int kLunarYearWordsCount = 204;

// Bit m - 1 set: regular month m has 29 days (clear: 30); bits 12-15: the leap month (0 = none).
// Only months 11 and 12 of 1900 are filled in, the walk starting there.
extern const std::uint16_t LunarYearWords[kLunarYearWordsCount];
// Lunar years (as year - 1900) whose leap month has 30 days; every other leap month has 29.
extern const int LongLeapYears[20];

// Day of a month's sectional (first) or principal (second) term: the group of the first interval
// whose bound exceeds c = year - 1900, entry c mod 4.
template <int N>
struct TermDayRow {
    std::uint8_t bounds[N];
    std::uint8_t days[N][4];
};
extern const TermDayRow<9> SectionalTermTable[12];
extern const TermDayRow<8> PrincipleTermTable[12];

// Entry k of the sixty-pair cycle: stem k mod 10 in the high nibble, branch k mod 12 in the low.
extern const std::uint8_t SexagenaryTable[60];
