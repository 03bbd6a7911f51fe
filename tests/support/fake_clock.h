#pragma once

#include <chrono>

#include "platform/core/clock.h"

namespace zorvel::test {

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

}  // namespace zorvel::test
