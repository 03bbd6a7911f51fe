#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zorvel {

// One day that the State Council's yearly schedule decides: an official day off (with the
// holiday's name) or a Saturday or Sunday turned into a working day (调休上班).
struct OfficialDay {
    int year = 0;
    int month = 0;
    int day = 0;
    bool isOffDay = false;
    std::string name;  // UTF-8, for example "国庆节"
};

// How one day stands for a person who works in mainland China.
struct DayStatus {
    bool workday = false;    // one works on this day
    bool official = false;   // the schedule decides it (a holiday, or an adjusted working day)
    bool yearKnown = false;  // the schedule of the day's year is known
    std::string holiday;     // the holiday's name on an official day off, UTF-8
};

// The official days off and adjusted working days, year by year. A year with no data falls
// back to Monday to Friday working, Saturday and Sunday off. Immutable once made, so the
// alarm thread and the windows share one without locks.
class HolidaySchedule {
public:
    HolidaySchedule() = default;
    // `years` are the years whose schedule the days describe (a year may have days in the
    // December before it); a listed year with no days is a known year of plain weekdays.
    HolidaySchedule(const std::vector<OfficialDay>& days, const std::set<int>& years);

    DayStatus StatusOf(int year, int month, int day) const;
    bool IsWorkday(int year, int month, int day) const {
        return StatusOf(year, month, day).workday;
    }
    bool HasYear(int year) const { return years_.count(year) != 0; }
    const std::set<int>& years() const { return years_; }

private:
    std::map<long, OfficialDay> days_;  // by days since 1970-01-01
    std::set<int> years_;
};

// The schedule in force: the shipped table, with any year read from a file over it. Safe from
// any thread; the generation changes whenever the schedule is replaced, so that what was
// computed from an older one (next rings) can be computed again.
std::shared_ptr<const HolidaySchedule> CurrentHolidaySchedule();
void SetCurrentHolidaySchedule(std::shared_ptr<const HolidaySchedule> schedule);
std::uint64_t HolidayScheduleGeneration();

}  // namespace zorvel
