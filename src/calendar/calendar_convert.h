#pragma once

// Gregorian to lunar conversion: engine A (the static operations, lunar and Gregorian years
// 1901-2100) fills the lunar-date and solar-term lines of the today panel; engine B (the member
// operations, lunar years 1921-2101) finds the date of a Spring Festival.

#include <cstdint>
#include <string>

// A date passed between the operations, shaped like the platform's SYSTEMTIME. A lunar date uses
// wYear, wMonth (1-12) and wDay (1-30) and leaves the other fields 0.
struct SystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// A date-time value counted in days from 1899-12-30 (the fraction is the time of day, negative
// values count back with the fraction still running forwards), years 100-9999.
struct OleDate {
    double value = 0;
    bool valid = false;

    // Invalid unless the record is a real date and time, seconds included.
    static OleDate FromSystemTime(const SystemTime& t);
    // False for an invalid value.
    bool ToSystemTime(SystemTime& t) const;
    // The same time of day, `days` later; invalid when it leaves the range.
    OleDate AddDays(int days) const;
    // "%Y-%m-%d"; empty for an invalid value.
    std::string FormatDate() const;
};

class CCalendarConvert {
public:
    virtual ~CCalendarConvert() = default;

    // ---- Engine A ----

    // Days from the start date to the end date.
    static std::int32_t DayCount(std::uint16_t endYear, std::uint16_t endMonth,
                                 std::uint16_t endDay, std::uint16_t startYear,
                                 std::uint16_t startMonth, std::uint16_t startDay);
    // 0, or the number (1-24) of the solar term that falls on the Gregorian date; 0 as well for a
    // date outside 1901-2100.
    static int TermOfDay(std::uint16_t year, std::uint16_t month, std::uint16_t day);
    // 0 or the leap month of the lunar year; 0 outside 1901-2100.
    static int LeapMonthOf(std::uint16_t lunarYear);
    // Low 16 bits: days of regular month `month`; high 16 bits: days of the leap month that
    // follows it (0 when it is not the leap month). 30 for years before the table, 0 after it and
    // for a month outside 1-12.
    static std::uint32_t MonthLength(std::uint16_t lunarYear, std::uint16_t month);
    // Days of the lunar year.
    static int YearLength(std::uint16_t lunarYear);
    // The lunar date `span` days after 1901-01-01 (lunar 1900-11-11). False, with the outputs
    // untouched, when the span falls outside lunar 1900-11-11 to the end of lunar 2100.
    static bool LunarFromSpan(std::int32_t span, std::uint16_t& year, std::uint16_t& month,
                              std::uint16_t& day, bool& isLeap);
    // Fills the lunar date of a Gregorian date and returns TermOfDay for it; -1, with the outputs
    // untouched, for an invalid date or one outside 1901-01-01 to 2100-12-31.
    static int SolarToLunar(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                            std::uint16_t& lunarYear, std::uint16_t& lunarMonth,
                            std::uint16_t& lunarDay, bool& isLeap);
    // "辛卯 兔年": stem and branch, an ASCII blank, the zodiac animal and "年".
    static std::string YearText(std::uint16_t lunarYear);
    // "　八月" (ideographic space first), "十一月", "十二月"; lunarFlag 1 calls month 1 "正".
    // A leap month puts "闰" in place of the space, or before "十一"/"十二". Empty outside 1-12.
    static std::string MonthText(std::uint16_t month, int lunarFlag, bool isLeap = false);
    // "初一" ... "三十"; empty outside 1-30.
    static std::string DayText(std::uint16_t lunarDay);

    // ---- Engine B ----

    // Lunar date of the Gregorian date in `solar`, isLeap 1 in a leap month. 1 on success, 0
    // for an invalid date or one outside lunar years 1921-2101.
    int SolarToLunarEx(const SystemTime& solar, SystemTime& lunar, int& isLeap) const;
    // Gregorian date of a lunar date, searching forwards day by day from the Gregorian date with
    // the same numbers (time fields taken from `lunar`). 1 on success, 0 when no such lunar date
    // exists in lunar years 1921-2101.
    int LunarToSolar(const SystemTime& lunar, int isLeap, SystemTime& solar) const;
    OleDate ToOleDate(const SystemTime& solar) const;
};
