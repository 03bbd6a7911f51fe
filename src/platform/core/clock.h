#pragma once

#include <chrono>
#include <ctime>

namespace zorvel {

using TimePoint = std::chrono::system_clock::time_point;

// Everything that asks "what time is it" asks a Clock it was given, so tests can run on a
// fake one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
    std::time_t NowTimeT() const { return std::chrono::system_clock::to_time_t(Now()); }
};

class SystemClock final : public Clock {
public:
    TimePoint Now() const override { return std::chrono::system_clock::now(); }
};

// Local calendar time <-> time_t helpers (mktime normalises out-of-range fields).
TimePoint MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace zorvel
