#pragma once

// Holiday schedules published after the release: one year a file, holidays/<year>.json beside
// the database, in the common JSON format
//   {"year": 2027, "days": [{"name": "元旦", "date": "2027-01-01", "isOffDay": true}, ...]}
// (other keys are ignored). A valid file replaces the shipped table for its year.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/holiday_schedule.h"

namespace zorvel {

// Limits that keep a hostile file or answer small; a real year has about 40 entries.
inline constexpr std::size_t kHolidayFileMaxBytes = 64 * 1024;
inline constexpr std::size_t kHolidayFileMaxDays = 60;

struct HolidayYearData {
    std::vector<OfficialDay> days;
    std::string error;  // why the text was refused (UTF-8, for the user); empty when valid
    bool ok() const { return error.empty(); }
};

// Checks one year's schedule: well-formed JSON, the year matches, every date lies in that year
// or in the December before it, each date once, names not empty, at most kHolidayFileMaxDays
// entries and kHolidayFileMaxBytes bytes.
HolidayYearData ParseHolidayYear(std::string_view json, int year);

// The shipped table with the given years replaced by their own days.
std::shared_ptr<const HolidaySchedule> ScheduleWithYears(
    const std::map<int, std::vector<OfficialDay>>& years);

// "<folder of the database>/holidays/".
std::string HolidayFolderFor(const std::string& databasePath);

struct HolidayFolder {
    std::map<int, std::vector<OfficialDay>> years;  // the valid files
    std::vector<std::string> problems;  // "<path>: <reason>" for each file that was ignored
};

// Reads every <year>.json of a folder (with a trailing '/'); a missing folder has no years.
HolidayFolder ReadHolidayFolder(const std::string& folder);

// Reads the folder and, when it holds a valid year, makes the shipped table with its years the
// current schedule. Returns the problems, for the log.
std::vector<std::string> LoadHolidayFolder(const std::string& folder);

// Where "更新节假日安排" fetches a year: $ZORVEL_HOLIDAY_URL when set, otherwise
// kDefaultHolidayUrl; "{year}" in it stands for the year.
inline constexpr char kDefaultHolidayUrl[] =
    "https://cdn.jsdelivr.net/gh/NateScarlet/holiday-cn@master/{year}.json";
std::string HolidayUpdateUrl(int year);

// The today panel's line: "今天：国庆节 休", "今天：调休上班", "今天：工作日", "今天：休息日".
std::string DayStatusText(const DayStatus& status);

}  // namespace zorvel
