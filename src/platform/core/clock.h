#pragma once

#include <chrono>
#include <ctime>

namespace zorvel {

using TimePoint = std::chrono::system_clock::time_point;

// Everything that asks "what time is it" asks a Clock, so tests can run on a fake one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

class SystemClock final : public Clock {
public:
    TimePoint Now() const override { return std::chrono::system_clock::now(); }
};

// A clock that stands still until a test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(TimePoint start = {}) : now_(start) {}
    TimePoint Now() const override { return now_; }
    void Set(TimePoint t) { now_ = t; }
    void Advance(std::chrono::milliseconds d) { now_ += d; }

private:
    TimePoint now_;
};

// The process-wide clock: the system clock unless a test installs another.
const Clock& CurrentClock();
void SetCurrentClock(const Clock* clock);  // nullptr restores the system clock

inline TimePoint Now() {
    return CurrentClock().Now();
}
inline std::time_t NowTimeT() {
    return std::chrono::system_clock::to_time_t(Now());
}

// Local calendar time <-> time_t helpers (mktime normalises out-of-range fields).
TimePoint MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace zorvel
