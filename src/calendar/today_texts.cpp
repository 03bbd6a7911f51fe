#include "calendar/today_texts.h"

#include "calendar/calendar_convert.h"
#include "calendar/calendar_names.h"
#include "calendar/civil_date.h"
#include "calendar/four_pillars.h"
#include "calendar/holiday_files.h"
#include "calendar/holiday_schedule.h"

namespace zorvel {

namespace {

constexpr const char* kNone = "---";

}  // namespace

std::string SpringFestivalDate(int lunarYear) {
    if (lunarYear < 1 || lunarYear > 9999) {
        return {};
    }
    SystemTime lunar;
    lunar.wYear = static_cast<std::uint16_t>(lunarYear);
    lunar.wMonth = 1;
    lunar.wDay = 1;
    CCalendarConvert convert;
    SystemTime solar;
    if (!convert.LunarToSolar(lunar, 0, solar)) {
        return {};
    }
    return convert.ToOleDate(solar).FormatDate();
}

int NextSpringFestivalYear(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) {
        return 0;
    }
    // Engine A's lunar walk (lunar 1900-11-11 to the end of lunar 2100) tells which festival is
    // next: today's on lunar 1-1, otherwise that of the following lunar year. After 2100, engine
    // B's lunar 2101 does.
    if (year >= 1901 && year <= 2101) {
        std::uint16_t ly = 0;
        std::uint16_t lm = 0;
        std::uint16_t ld = 0;
        bool leap = false;
        const std::int32_t span = CCalendarConvert::DayCount(
            static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
            static_cast<std::uint16_t>(day), 1901, 1, 1);
        if (CCalendarConvert::LunarFromSpan(span, ly, lm, ld, leap)) {
            return lm == 1 && ld == 1 && !leap ? ly : ly + 1;
        }
    }
    // Engine B reaches one lunar year further (its table holds lunar 2101 for that festival).
    SystemTime solar;
    solar.wYear = static_cast<std::uint16_t>(year);
    solar.wMonth = static_cast<std::uint16_t>(month);
    solar.wDay = static_cast<std::uint16_t>(day);
    SystemTime lunar;
    int isLeap = 0;
    if (CCalendarConvert().SolarToLunarEx(solar, lunar, isLeap)) {
        return lunar.wMonth == 1 && lunar.wDay == 1 && !isLeap ? lunar.wYear : lunar.wYear + 1;
    }
    // Beyond the tables: every Spring Festival falls between January 21 and February 20.
    const int monthDay = month * 100 + day;
    if (monthDay < 121) {
        return year;
    }
    if (monthDay > 220) {
        return year + 1;
    }
    return 0;
}

TodayTexts ComputeTodayTexts(int year, int month, int day, int hour, int minute, int second) {
    TodayTexts t;
    const bool valid = IsValidDate(year, month, day) && hour >= 0 && hour <= 23 && minute >= 0 &&
                       minute <= 59 && second >= 0 && second <= 59;
    t.greeting = "您好，今天是";
    t.greeting += valid ? std::string(kWeekdayNames[Weekday(year, month, day)]) : kNone;

    std::uint16_t ly = 0;
    std::uint16_t lm = 0;
    std::uint16_t ld = 0;
    bool leap = false;
    const int term =
        valid ? CCalendarConvert::SolarToLunar(static_cast<std::uint16_t>(year),
                                               static_cast<std::uint16_t>(month),
                                               static_cast<std::uint16_t>(day), ly, lm, ld, leap)
              : -1;
    if (term >= 0) {
        t.lunarDate = CCalendarConvert::YearText(ly) + CCalendarConvert::MonthText(lm, 1, leap) +
                      CCalendarConvert::DayText(ld);
    } else {
        t.lunarDate = kNone;
    }
    t.solarTerm = "节气：";
    t.solarTerm += term > 0 ? std::string(kSolarTermNames[term - 1]) : kNone;

    const int festivalYear = valid ? NextSpringFestivalYear(year, month, day) : 0;
    t.springFestival =
        festivalYear != 0 ? std::to_string(festivalYear) + "年春节：" : std::string("春节：");
    const std::string festival = festivalYear != 0 ? SpringFestivalDate(festivalYear) : "";
    t.springFestival += festival.empty() ? kNone : festival;

    t.dayStatus = valid ? DayStatusText(CurrentHolidaySchedule()->StatusOf(year, month, day))
                        : std::string("今天：") + kNone;

    if (valid) {
        CFourPillars pillars;
        pillars.Set(year, month, day, hour, minute);
        pillars.BuildPillars();
        t.pillars = pillars.pillarText;
    } else {
        t.pillars = kNone;
    }
    return t;
}

}  // namespace zorvel
