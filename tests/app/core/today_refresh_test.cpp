#include <gtest/gtest.h>

#include <chrono>

#include "app/core/today_refresh.h"
#include "platform/core/clock.h"

namespace {

using namespace zorvel;

std::time_t At(int y, int mo, int d, int h, int mi) {
    return std::chrono::system_clock::to_time_t(MakeLocalTime(y, mo, d, h, mi, 0));
}

TEST(TodayRefreshTest, FollowsTheDateAndTheDoubleHour) {
    TodayRefresh r;
    EXPECT_EQ(r.Check(At(2026, 12, 9, 22, 59)), TodayRefresh::kAll);
    EXPECT_EQ(r.Check(At(2026, 12, 9, 22, 59)), TodayRefresh::kNothing);
    EXPECT_EQ(r.Check(At(2026, 12, 9, 23, 0)), TodayRefresh::kPillars);  // the 子 hour begins
    EXPECT_EQ(r.Check(At(2026, 12, 9, 23, 59)), TodayRefresh::kNothing);
    EXPECT_EQ(r.Check(At(2026, 12, 10, 0, 0)), TodayRefresh::kAll);  // a new day, same double hour
    EXPECT_EQ(r.Check(At(2026, 12, 10, 1, 0)), TodayRefresh::kPillars);
    EXPECT_EQ(r.Check(At(2027, 12, 10, 1, 0)), TodayRefresh::kAll);  // same day of another year

    int expected[24] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 0};
    for (int h = 0; h < 24; ++h)
        EXPECT_EQ(DoubleHourIndex(h), expected[h]) << h;
}

}  // namespace
