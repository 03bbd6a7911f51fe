#pragma once

// The per-day line of `zorvel-today --days`, for comparing the engines with a reference.

#include <map>
#include <string>

namespace zorvel {

class CalendarDayReport {
public:
    // Tab-separated, without a line feed: the date; engine A's lunar year, month, day and leap
    // flag (0/1) and its term number (0-24); engine B's lunar year, month, day and leap flag;
    // engine C's chineseMonth and chineseDate; the date that the Spring Festival line shows (the
    // first festival on or after the day); the pillars at 12:00. An engine that does not cover
    // the day gives "-" in each of its fields.
    std::string Row(int year, int month, int day);

private:
    std::map<int, std::string> festivals_;  // by the festival's year
};

}  // namespace zorvel
