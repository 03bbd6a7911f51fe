#include "calendar/holiday_tables.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "calendar/civil_date.h"

using zorvel::CivilFromDays;
using zorvel::DaysFromCivil;
using zorvel::ShippedHolidaySchedule;

// The 2026 schedule as the State Council published it, checked day by day over the whole year:
// a day not listed is a working day from Monday to Friday and a day off at the weekend.
TEST(ShippedHolidays, Year2026AsPublished) {
    struct Span {
        int month, first, last;
        const char* name;
    };
    const Span offSpans[] = {{1, 1, 3, "元旦"},   {2, 15, 23, "春节"},   {4, 4, 6, "清明节"},
                             {5, 1, 5, "劳动节"}, {6, 19, 21, "端午节"}, {9, 25, 27, "中秋节"},
                             {10, 1, 7, "国庆节"}};
    const std::pair<int, int> workingWeekendDays[] = {{1, 4}, {2, 14}, {2, 28},
                                                      {5, 9}, {9, 20}, {10, 10}};
    std::map<std::pair<int, int>, std::string> off;
    for (const Span& s : offSpans)
        for (int d = s.first; d <= s.last; ++d)
            off[{s.month, d}] = s.name;

    const auto schedule = ShippedHolidaySchedule();
    ASSERT_TRUE(schedule->HasYear(2026));
    for (long n = DaysFromCivil(2026, 1, 1); n <= DaysFromCivil(2026, 12, 31); ++n) {
        const auto date = CivilFromDays(n);
        const std::pair<int, int> md{date.month, date.day};
        const auto status = schedule->StatusOf(date.year, date.month, date.day);
        SCOPED_TRACE(std::to_string(date.month) + "-" + std::to_string(date.day));
        EXPECT_TRUE(status.yearKnown);
        bool adjusted = false;
        for (const auto& w : workingWeekendDays)
            adjusted = adjusted || w == md;
        if (auto it = off.find(md); it != off.end()) {
            EXPECT_FALSE(status.workday);
            EXPECT_TRUE(status.official);
            EXPECT_EQ(status.holiday, it->second);
        } else if (adjusted) {
            EXPECT_TRUE(status.workday);
            EXPECT_TRUE(status.official);
        } else {
            const int weekday = zorvel::Weekday(date.year, date.month, date.day);
            EXPECT_EQ(status.workday, weekday != 0 && weekday != 6);
            EXPECT_FALSE(status.official);
        }
    }
}
