// Developer tool: the today panel's texts, or one line per day of all three engines, for checking
// the calendar from a terminal.
//
//   zorvel-today 2011-09-18T12:00       the panel lines (1006, 1001, 1002, 1003, 1004) and the
//                                       day's status in the official schedule
//   zorvel-today --days FROM TO         one tab-separated line per day, FROM and TO YYYY-MM-DD,
//                                       ending in 班 (a working day) or 休 (a day off)
//
// The schedule is the shipped one; ZORVEL_HOLIDAY_DIR names a folder of <year>.json files to
// read over it, as the program reads the one beside its database.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "calendar/civil_date.h"
#include "calendar/day_report.h"
#include "calendar/holiday_files.h"
#include "calendar/holiday_schedule.h"
#include "calendar/today_texts.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: zorvel-today YYYY-MM-DDTHH:MM[:SS]\n"
                 "       zorvel-today --days FROM TO   (dates YYYY-MM-DD)\n");
    return 2;
}

// Reads exactly `width` digits at text[pos].
bool Digits(const char* text, size_t& pos, int width, int& value) {
    value = 0;
    for (int i = 0; i < width; ++i, ++pos) {
        if (text[pos] < '0' || text[pos] > '9') {
            return false;
        }
        value = value * 10 + (text[pos] - '0');
    }
    return true;
}

bool Char(const char* text, size_t& pos, char c) {
    if (text[pos] != c) {
        return false;
    }
    ++pos;
    return true;
}

bool ParseDate(const char* text, size_t& pos, int& y, int& m, int& d) {
    return Digits(text, pos, 4, y) && Char(text, pos, '-') && Digits(text, pos, 2, m) &&
           Char(text, pos, '-') && Digits(text, pos, 2, d) && zorvel::IsValidDate(y, m, d);
}

int PrintPanel(const char* arg) {
    size_t pos = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!ParseDate(arg, pos, y, mo, d) || !Char(arg, pos, 'T') || !Digits(arg, pos, 2, h) ||
        !Char(arg, pos, ':') || !Digits(arg, pos, 2, mi)) {
        return Usage();
    }
    if (arg[pos] == ':' && !(Char(arg, pos, ':') && Digits(arg, pos, 2, s))) {
        return Usage();
    }
    if (arg[pos] != '\0' || h > 23 || mi > 59 || s > 59) {
        return Usage();
    }
    const zorvel::TodayTexts t = zorvel::ComputeTodayTexts(y, mo, d, h, mi, s);
    std::printf("%s\n%s\n%s\n%s\n%s\n%s\n", t.greeting.c_str(), t.lunarDate.c_str(),
                t.solarTerm.c_str(), t.springFestival.c_str(), t.pillars.c_str(),
                t.dayStatus.c_str());
    return 0;
}

int PrintDays(const char* fromText, const char* toText) {
    int y = 0, m = 0, d = 0;
    size_t pos = 0;
    if (!ParseDate(fromText, pos, y, m, d) || fromText[pos] != '\0') {
        return Usage();
    }
    const long from = zorvel::DaysFromCivil(y, m, d);
    pos = 0;
    if (!ParseDate(toText, pos, y, m, d) || toText[pos] != '\0') {
        return Usage();
    }
    const long to = zorvel::DaysFromCivil(y, m, d);
    zorvel::CalendarDayReport report;
    const auto schedule = zorvel::CurrentHolidaySchedule();
    std::string out;
    for (long day = from; day <= to; ++day) {
        const zorvel::CivilDate c = zorvel::CivilFromDays(day);
        out += report.Row(c.year, c.month, c.day);
        out += schedule->IsWorkday(c.year, c.month, c.day) ? "\t班\n" : "\t休\n";
        if (out.size() > (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* dir = std::getenv("ZORVEL_HOLIDAY_DIR"); dir && *dir) {
        std::string folder = dir;
        if (folder.back() != '/')
            folder += '/';
        for (const std::string& problem : zorvel::LoadHolidayFolder(folder))
            std::fprintf(stderr, "zorvel-today: ignored %s\n", problem.c_str());
    }
    if (argc == 2 && argv[1][0] != '-') {
        return PrintPanel(argv[1]);
    }
    if (argc == 4 && std::strcmp(argv[1], "--days") == 0) {
        return PrintDays(argv[2], argv[3]);
    }
    return Usage();
}
