#include <gtest/gtest.h>

#include "storage/clock_database.h"
#include "storage/settings_cache.h"
#include "support/temp_db.h"

namespace {

class SettingsCacheTest : public zorvel::test::TempDatabaseTest {};

TEST_F(SettingsCacheTest, LoadsTheFourTimerSettingsAndOnlyOnRequest) {
    {
        CClockDatabase& db = database();
        db.SetZDBS(false);
        db.SetBDBS(true);
        db.SetRestRemind(1);
        db.SetRestRemindInterval(3);
    }
    SettingsCache cache;
    LoadSettingsCache(cache, database());
    EXPECT_EQ(cache.ZDBS, 0);
    EXPECT_EQ(cache.BDBS, 1);
    EXPECT_TRUE(cache.isRestRemind);
    EXPECT_EQ(cache.restRemindInterval, 3);

    // Storage changes reach the cache only when it is loaded again.
    { database().SetRestRemindInterval(5); }
    EXPECT_EQ(cache.restRemindInterval, 3);
    LoadSettingsCache(cache, database());
    EXPECT_EQ(cache.restRemindInterval, 5);
}

}  // namespace
