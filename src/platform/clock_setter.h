#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the system answered to a request to set the clock.
struct ClockSetResult {
    bool ok = false;
    // Refused for want of permission (the policy agent said no, or nobody could be asked).
    bool denied = false;
    // The system's own words (UTF-8) when it did not set the time.
    std::string message;
};

// Setting the computer's clock. The Linux implementation asks timedated over D-Bus, which may
// have the desktop's policy agent ask the user for a password; tests use the fake.
class IClockSetter {
public:
    virtual ~IClockSetter() = default;
    // Sets the clock to `utcMicroseconds` since 1970-01-01 UTC and returns at once; `done`
    // runs later on this thread with the system's answer.
    virtual void SetTime(std::int64_t utcMicroseconds,
                         std::function<void(const ClockSetResult&)> done) = 0;
};

class CTimedatedClockSetter final : public IClockSetter {
public:
    void SetTime(std::int64_t utcMicroseconds,
                 std::function<void(const ClockSetResult&)> done) override;
};
