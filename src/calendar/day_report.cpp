#include "calendar/day_report.h"

#include <cstdio>

#include "calendar/calendar_convert.h"
#include "calendar/civil_date.h"
#include "calendar/four_pillars.h"
#include "calendar/today_texts.h"

namespace zorvel {

std::string CalendarDayReport::Row(int year, int month, int day) {
    char buf[160];
    std::string row;
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    row = buf;
    if (!IsValidDate(year, month, day)) {
        return row + "\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-";
    }
    const auto y16 = static_cast<std::uint16_t>(year);
    const auto m16 = static_cast<std::uint16_t>(month);
    const auto d16 = static_cast<std::uint16_t>(day);

    std::uint16_t ly = 0;
    std::uint16_t lm = 0;
    std::uint16_t ld = 0;
    bool leap = false;
    const int term = CCalendarConvert::SolarToLunar(y16, m16, d16, ly, lm, ld, leap);
    if (term >= 0) {
        std::snprintf(buf, sizeof buf, "\t%d\t%d\t%d\t%d\t%d", ly, lm, ld, leap ? 1 : 0, term);
        row += buf;
    } else {
        row += "\t-\t-\t-\t-\t-";
    }

    CCalendarConvert convert;
    SystemTime solar;
    solar.wYear = y16;
    solar.wMonth = m16;
    solar.wDay = d16;
    SystemTime lunar;
    int isLeap = 0;
    if (convert.SolarToLunarEx(solar, lunar, isLeap)) {
        std::snprintf(buf, sizeof buf, "\t%d\t%d\t%d\t%d", lunar.wYear, lunar.wMonth, lunar.wDay,
                      isLeap);
        row += buf;
    } else {
        row += "\t-\t-\t-\t-";
    }

    CFourPillars pillars;
    pillars.Set(year, month, day, 12, 0);
    const bool pillarsOk = pillars.chineseYear != 0;
    if (pillarsOk) {
        std::snprintf(buf, sizeof buf, "\t%d\t%d", pillars.chineseMonth, pillars.chineseDate);
        row += buf;
    } else {
        row += "\t-\t-";
    }

    const int festivalYear = NextSpringFestivalYear(year, month, day);
    auto found = festivals_.find(festivalYear);
    if (found == festivals_.end()) {
        const std::string date = festivalYear != 0 ? SpringFestivalDate(festivalYear) : "";
        found = festivals_.emplace(festivalYear, date).first;
    }
    row += '\t';
    row += found->second.empty() ? "-" : found->second;

    row += '\t';
    row += pillarsOk ? pillars.pillarText : "-";
    return row;
}

}  // namespace zorvel
