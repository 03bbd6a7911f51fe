#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "platform/core/clock.h"

namespace zorvel {

// "%Y-%m-%d %H:%M:%S" in local time: the form of every stored time.
std::string FormatTimeText(std::time_t t);
std::string FormatTimeText(TimePoint t);

// The fields of a stored time, as written.
struct TimeFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads "%Y-%m-%d %H:%M:%S" (local time). Surrounding blanks are allowed; anything else
// that does not fit the form, or a date that does not exist, gives nothing.
std::optional<TimeFields> ReadTimeFields(const std::string& text);
std::optional<std::time_t> ParseTimeText(const std::string& text);

// The moment a local date and time names. Fields out of range carry over (day 0 is the last day
// of the month before). Where daylight saving begins, a time the clock skips names the moment
// the clock jumps over it; where it ends, a time the clock shows twice names the first of the
// two. Nothing when the moment lies beyond time_t.
std::optional<std::time_t> LocalMoment(int year, int month, int day, int hour, int minute,
                                       int second);

}  // namespace zorvel
