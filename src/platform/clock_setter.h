#pragma once

#include <cstdint>
#include <functional>

// Setting the computer's clock. The Linux implementation asks timedated over D-Bus, which may
// have the desktop's policy agent ask the user for a password; tests use the fake.
class IClockSetter {
public:
    virtual ~IClockSetter() = default;
    // Sets the clock to `utcMicroseconds` since 1970-01-01 UTC and returns at once; `done`
    // runs later on this thread with whether the system took the new time.
    virtual void SetTime(std::int64_t utcMicroseconds, std::function<void(bool ok)> done) = 0;
};

class CTimedatedClockSetter final : public IClockSetter {
public:
    void SetTime(std::int64_t utcMicroseconds, std::function<void(bool ok)> done) override;
};
