#pragma once

// The texts of the main window's today panel, as UTF-8 (the window shows them with
// QString::fromUtf8). Recompute them whenever the date or the double hour changes.

#include <string>

namespace zorvel {

struct TodayTexts {
    std::string greeting;  // field 1006: "您好，今天是星期天"
    std::string lunarDate;  // field 1001: "辛卯 兔年　八月廿一", "壬辰 龙年闰四月初一"
    std::string solarTerm;       // field 1002: "节气：白露" or "节气：---"
    std::string springFestival;  // field 1003: the coming festival, "2012年春节：2012-01-23"
    std::string pillars;         // field 1004: "辛卯 丁酉 丙子 甲午"
    // The day in the official schedule in force: "今天：国庆节 休", "今天：调休上班",
    // "今天：工作日" or "今天：休息日".
    std::string dayStatus;
};

// The panel for a local date and time. A line whose engine does not cover the date shows its
// label followed by "---" ("节气：---", "2102年春节：---"; the lunar date and the pillars are then
// just "---"; "春节：---" when not even the festival's year can be told); an impossible date or
// time gives "---" in every line.
TodayTexts ComputeTodayTexts(int year, int month, int day, int hour, int minute, int second = 0);

// "YYYY-MM-DD" of the Spring Festival (lunar 1-1) of lunar year `lunarYear`, as the panel's
// Spring Festival line finds it; empty outside lunar years 1921-2101.
std::string SpringFestivalDate(int lunarYear);

// The year of the first Spring Festival on or after a Gregorian date (on the festival itself, its
// own year); a festival falls in the Gregorian year of its lunar year's number. 0 for an impossible
// date, and for a date beyond the lunar tables between January 21 and February 20, where the
// festival may lie on either side of it.
int NextSpringFestivalYear(int year, int month, int day);

}  // namespace zorvel
