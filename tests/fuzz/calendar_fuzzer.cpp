// The calendar on any date and time a clock or a caller may give: the today panel, the three
// engines, the Spring Festival search and the date-time values they pass around.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "calendar/calendar_convert.h"
#include "calendar/civil_date.h"
#include "calendar/day_report.h"
#include "calendar/four_pillars.h"
#include "calendar/today_texts.h"
#include "fuzz/fuzz_support.h"

using namespace zorvel;
using zorvel::fuzz::Check;

namespace {

// Mostly near the tables, sometimes anything at all.
int Year(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(1890, 2110) : in.ConsumeIntegral<int>();
}

int Small(FuzzedDataProvider& in, int lo, int hi) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(lo, hi) : in.ConsumeIntegral<int>();
}

void CheckEngineA(std::uint16_t y, std::uint16_t m, std::uint16_t d) {
    std::uint16_t ly = 7, lm = 7, ld = 7;
    bool leap = true;
    const int term = CCalendarConvert::SolarToLunar(y, m, d, ly, lm, ld, leap);
    const bool covered = y >= 1901 && y <= 2100 && IsValidDate(y, m, d);
    Check((term >= 0) == covered, "engine A covers another range");
    if (term < 0) {
        Check(ly == 7 && lm == 7 && ld == 7 && leap, "engine A wrote its outputs on failure");
        return;
    }
    Check(term <= 24, "term number out of range");
    Check(ly >= 1900 && ly <= 2100 && lm >= 1 && lm <= 12 && ld >= 1, "lunar date out of range");
    const std::uint32_t len = CCalendarConvert::MonthLength(ly, lm);
    Check(ld <= (leap ? len >> 16 : len & 0xFFFF) || ly == 1900, "lunar day beyond its month");
    Check(!leap || CCalendarConvert::LeapMonthOf(ly) == lm, "leap month that the year lacks");
    Check(
        !CCalendarConvert::MonthText(lm, 1, leap).empty() && !CCalendarConvert::DayText(ld).empty(),
        "lunar date without a name");
    Check(CCalendarConvert::DayCount(y, m, d, 1901, 1, 1) ==
              DaysFromCivil(y, m, d) - DaysFromCivil(1901, 1, 1),
          "day count off");

    // Engine B agrees within its years, and its inverse finds the day again.
    SystemTime solar;
    solar.wYear = y;
    solar.wMonth = m;
    solar.wDay = d;
    SystemTime lunar;
    int bLeap = 0;
    CCalendarConvert convert;
    if (convert.SolarToLunarEx(solar, lunar, bLeap) == 1) {
        Check(lunar.wYear == ly && lunar.wMonth == lm && lunar.wDay == ld && (bLeap == 1) == leap,
              "engines A and B disagree");
        SystemTime back;
        Check(convert.LunarToSolar(lunar, bLeap, back) == 1 && back.wYear == y &&
                  back.wMonth == m && back.wDay == d,
              "LunarToSolar does not invert SolarToLunarEx");
    } else {
        Check(ly < 1921, "engine B refuses a day of its years");
    }
}

void CheckOleDate(FuzzedDataProvider& in) {
    SystemTime t;
    t.wYear = in.ConsumeIntegral<std::uint16_t>();
    t.wMonth = in.ConsumeIntegral<std::uint16_t>();
    t.wDay = in.ConsumeIntegral<std::uint16_t>();
    t.wHour = in.ConsumeIntegral<std::uint16_t>();
    t.wMinute = in.ConsumeIntegral<std::uint16_t>();
    t.wSecond = in.ConsumeIntegral<std::uint16_t>();
    const int days = in.ConsumeIntegral<int>();
    const OleDate d = OleDate::FromSystemTime(t);
    const bool real = t.wYear >= 100 && t.wYear <= 9999 && IsValidDate(t.wYear, t.wMonth, t.wDay) &&
                      t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60;
    Check(d.valid == real, "date-time value valid for another range");
    if (!d.valid)
        return;
    SystemTime back;
    Check(d.ToSystemTime(back) && back.wYear == t.wYear && back.wMonth == t.wMonth &&
              back.wDay == t.wDay && back.wHour == t.wHour && back.wMinute == t.wMinute &&
              back.wSecond == t.wSecond && back.wDayOfWeek == Weekday(t.wYear, t.wMonth, t.wDay),
          "date-time value does not round-trip");
    const OleDate moved = d.AddDays(days);
    const long target = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + days;
    const CivilDate c = CivilFromDays(target);
    Check(moved.valid == (c.year >= 100 && c.year <= 9999), "days added past the range");
    if (moved.valid) {
        Check(moved.AddDays(-days).value == d.value, "adding and taking days changes the value");
        Check(moved.ToSystemTime(back) && back.wYear == c.year && back.wMonth == c.month &&
                  back.wDay == c.day && back.wHour == t.wHour && back.wMinute == t.wMinute &&
                  back.wSecond == t.wSecond,
              "days added to another date or time");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int year = Year(in);
    const int month = Small(in, 0, 13);
    const int day = Small(in, 0, 32);
    const int hour = Small(in, -1, 24);
    const int minute = Small(in, -1, 60);
    const int second = Small(in, -1, 60);

    const TodayTexts texts = ComputeTodayTexts(year, month, day, hour, minute, second);
    for (const std::string* s : {&texts.greeting, &texts.lunarDate, &texts.solarTerm,
                                 &texts.springFestival, &texts.pillars, &texts.dayStatus})
        Check(fuzz::IsUtf8(*s), "today text is not UTF-8", *s);
    const bool valid = IsValidDate(year, month, day) && hour >= 0 && hour <= 23 && minute >= 0 &&
                       minute <= 59 && second >= 0 && second <= 59;
    const bool inTables = valid && year >= 1901 && year <= 2100;
    Check((texts.lunarDate != "---") == inTables, "lunar date line for another range");
    Check((texts.pillars != "---") == inTables, "pillars line for another range");
    if (inTables)
        Check(texts.pillars.size() == 4 * 6 + 3, "pillars not four pairs", texts.pillars);

    const int festivalYear = NextSpringFestivalYear(year, month, day);
    Check(festivalYear == 0 || festivalYear == year || festivalYear == year + 1,
          "next festival neither this year nor the next");
    const int lunarYear = Small(in, 1915, 2105);
    const std::string festival = SpringFestivalDate(lunarYear);
    if (!festival.empty()) {
        Check(festival.size() == 10 && std::stoi(festival.substr(0, 4)) == lunarYear,
              "festival in another year", festival);
        const int monthDay = std::stoi(festival.substr(5, 2)) * 100 + std::stoi(festival.substr(8));
        Check(monthDay >= 121 && monthDay <= 220, "festival outside 21 January to 20 February",
              festival);
    } else {
        Check(lunarYear < 1921 || lunarYear > 2100, "festival of a year in the tables not found");
    }

    if (year >= 0 && year <= 0xFFFF && month >= 0 && month <= 0xFFFF && day >= 0 && day <= 0xFFFF)
        CheckEngineA(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                     static_cast<std::uint16_t>(day));

    std::uint16_t ly = 0, lm = 0, ld = 0;
    bool leap = false;
    if (CCalendarConvert::LunarFromSpan(in.ConsumeIntegral<std::int32_t>(), ly, lm, ld, leap))
        Check(lm >= 1 && lm <= 12 && ld >= 1 && ld <= 30, "lunar date of a span out of range");
    const auto word = in.ConsumeIntegral<std::uint16_t>();
    CCalendarConvert::YearText(word);
    CCalendarConvert::MonthText(word, in.ConsumeIntegral<int>(), in.ConsumeBool());
    CCalendarConvert::DayText(word);
    CCalendarConvert::TermOfDay(word, in.ConsumeIntegral<std::uint16_t>(),
                                in.ConsumeIntegral<std::uint16_t>());

    CFourPillars pillars;
    std::ostringstream diagnostics;
    pillars.diagnostics = &diagnostics;
    pillars.Set(year, month, day, hour, minute);
    Check(pillars.pillarText == texts.pillars || !inTables, "pillars differ from the panel's");
    Check(fuzz::IsUtf8(diagnostics.str()), "pillar diagnostics not UTF-8");

    CalendarDayReport report;
    Check(fuzz::IsUtf8(report.Row(year, month, day)), "day report not UTF-8");

    CheckOleDate(in);
    return 0;
}
