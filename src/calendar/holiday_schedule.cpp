#include "calendar/holiday_schedule.h"

#include <atomic>
#include <mutex>

#include "calendar/civil_date.h"
#include "calendar/holiday_tables.h"

namespace zorvel {

HolidaySchedule::HolidaySchedule(const std::vector<OfficialDay>& days, const std::set<int>& years)
    : years_(years) {
    for (const OfficialDay& d : days)
        if (IsValidDate(d.year, d.month, d.day))
            days_[DaysFromCivil(d.year, d.month, d.day)] = d;
}

DayStatus HolidaySchedule::StatusOf(int year, int month, int day) const {
    DayStatus status;
    if (!IsValidDate(year, month, day))
        return status;
    status.yearKnown = HasYear(year);
    if (auto it = days_.find(DaysFromCivil(year, month, day)); it != days_.end()) {
        status.official = true;
        status.workday = !it->second.isOffDay;
        if (it->second.isOffDay)
            status.holiday = it->second.name;
        return status;
    }
    const int weekday = Weekday(year, month, day);
    status.workday = weekday != 0 && weekday != 6;
    return status;
}

std::shared_ptr<const HolidaySchedule> ShippedHolidaySchedule() {
    static const std::shared_ptr<const HolidaySchedule> shipped = [] {
        std::vector<OfficialDay> days;
        days.reserve(kShippedHolidayDayCount);
        for (std::size_t i = 0; i < kShippedHolidayDayCount; ++i) {
            const ShippedHolidayDay& d = kShippedHolidayDays[i];
            days.push_back({d.year, d.month, d.day, d.isOffDay, d.name});
        }
        std::set<int> years;
        for (int y = kShippedHolidayFirstYear; y <= kShippedHolidayLastYear; ++y)
            years.insert(y);
        return std::make_shared<const HolidaySchedule>(days, years);
    }();
    return shipped;
}

namespace {

std::mutex g_scheduleMutex;
std::shared_ptr<const HolidaySchedule> g_schedule;
std::atomic<std::uint64_t> g_generation{0};

}  // namespace

std::shared_ptr<const HolidaySchedule> CurrentHolidaySchedule() {
    std::lock_guard lock(g_scheduleMutex);
    if (!g_schedule)
        g_schedule = ShippedHolidaySchedule();
    return g_schedule;
}

void SetCurrentHolidaySchedule(std::shared_ptr<const HolidaySchedule> schedule) {
    std::lock_guard lock(g_scheduleMutex);
    g_schedule = std::move(schedule);
    ++g_generation;
}

std::uint64_t HolidayScheduleGeneration() {
    return g_generation.load();
}

}  // namespace zorvel
