#pragma once

// Engine C: the four pillars ("八字") of a Gregorian date and hour, from its own lunar month walk
// and solar term tables, for Gregorian years 1901-2100.

#include <iosfwd>
#include <string>

struct CFourPillars {
    // The Gregorian date-time given to Set.
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    // Running lunar year count: 4596 is lunar 1900, so mod 10 and mod 12 give stem and branch.
    int chineseYear = 0;
    // Lunar month 1-12, negative for a leap month.
    int chineseMonth = 0;
    int chineseDate = 0;
    // Running day count whose value mod 60 is the day's place in the sixty-pair cycle.
    int dayCycle = 0;
    // Days of the Gregorian month on which its sectional and principal terms fall (0: not known).
    int sectionalTerm = 0;
    int principleTerm = 0;
    // Year, month, day and hour pillars separated by ASCII blanks ("辛卯 丁酉 丙子 甲午"), or
    // "---" when the date lies outside 1901-2100.
    std::string pillarText;
    // Where Dump and BuildPillars write their diagnostic lines; nowhere when null.
    std::ostream* diagnostics = nullptr;

    // Stores the date-time, computes the lunar fields and the month's term days, then Dump.
    void Set(int year, int month, int day, int hour, int minute);
    // 1, or 0 (fields left at 0) for a date-time outside 1901-2100 or not a real one. From 23:00
    // the next day counts.
    int ComputeLunar();
    // Day of the month's sectional (first) or principal (second) term; 0 outside 1901-2100.
    static int SectionalTermDay(int year, int month);
    static int PrincipleTermDay(int year, int month);
    // Running count, like chineseYear, of the year of the pillars: it begins on the day of 立春,
    // not at the Spring Festival, so in January and early February it may lag chineseYear or run
    // ahead of it. 0 when the lunar fields were not computed.
    int PillarYear() const;
    // Fills pillarText; 0 (and "---") when the lunar fields were not computed. The year pillar is
    // that of PillarYear, the month pillar turns on each sectional term and takes its stem from
    // the year pillar's; the day pillar turns at 23:00.
    int BuildPillars();
    // Writes the fields and both years to `diagnostics`, then BuildPillars.
    void Dump();
};
