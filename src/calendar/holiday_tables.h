#pragma once

// The official schedule shipped with the program. The table is made by tools/holidays (see
// holiday_tables.cpp); a year published later comes from holidays/<year>.json instead.

#include <cstddef>
#include <memory>

#include "calendar/holiday_schedule.h"

namespace zorvel {

struct ShippedHolidayDay {
    int year;
    int month;
    int day;
    bool isOffDay;
    const char* name;  // UTF-8
};

// The years the table covers completely; a day in the December before the first year may be
// listed when that year's schedule reaches back into it.
extern const int kShippedHolidayFirstYear;
extern const int kShippedHolidayLastYear;
extern const ShippedHolidayDay kShippedHolidayDays[];
extern const std::size_t kShippedHolidayDayCount;

// The table as a schedule, made once. It is what CurrentHolidaySchedule() holds until the
// program replaces it.
std::shared_ptr<const HolidaySchedule> ShippedHolidaySchedule();

}  // namespace zorvel
