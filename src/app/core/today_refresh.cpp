#include "app/core/today_refresh.h"

namespace zorvel {

int DoubleHourIndex(int hour) {
    return ((hour + 1) / 2) % 12;
}

TodayRefresh::What TodayRefresh::Check(std::time_t now) {
    std::tm tm{};
    localtime_r(&now, &tm);
    int day = tm.tm_year * 400 + tm.tm_yday;
    int doubleHour = DoubleHourIndex(tm.tm_hour);
    What what = kNothing;
    if (day != lastDay_)
        what = kAll;
    else if (doubleHour != lastDoubleHour_)
        what = kPillars;
    lastDay_ = day;
    lastDoubleHour_ = doubleHour;
    return what;
}

}  // namespace zorvel
