#pragma once

#include <ctime>

namespace zorvel {

// Decides when the today panel must be computed again: the date lines change with the local
// date, the four pillars with the double hour (23-01 is the first, 01-03 the second, ...).
class TodayRefresh {
public:
    enum What { kNothing = 0, kPillars = 1, kAll = 3 };
    // The first call always asks for everything.
    What Check(std::time_t now);

private:
    int lastDay_ = -1;  // year * 400 + day of year
    int lastDoubleHour_ = -1;
};

// 0 for 23:00-00:59, 1 for 01:00-02:59, ..., 11 for 21:00-22:59.
int DoubleHourIndex(int hour);

}  // namespace zorvel
