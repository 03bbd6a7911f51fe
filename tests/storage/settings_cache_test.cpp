#include <gtest/gtest.h>

#include "storage/clock_database.h"
#include "storage/settings_cache.h"
#include "support/temp_db.h"

namespace {

class SettingsCacheTest : public zorvel::test::TempDatabaseTest {};

TEST_F(SettingsCacheTest, LoadsTheFourTimerSettingsAndOnlyOnRequest) {
    {
        CClockDatabase db;
        db.SetZDBS(false);
        db.SetBDBS(true);
        db.SetRestRemind(1);
        db.SetRestRemindInterval(3);
    }
    LoadSettingsCacheFromStorage();
    EXPECT_EQ(g_settingsCache().ZDBS, 0);
    EXPECT_EQ(g_settingsCache().BDBS, 1);
    EXPECT_TRUE(g_settingsCache().isRestRemind);
    EXPECT_EQ(g_settingsCache().restRemindInterval, 3);

    // Storage changes reach the cache only when it is loaded again.
    { CClockDatabase().SetRestRemindInterval(5); }
    EXPECT_EQ(g_settingsCache().restRemindInterval, 3);
    LoadSettingsCacheFromStorage();
    EXPECT_EQ(g_settingsCache().restRemindInterval, 5);
}

}  // namespace
