#include <gtest/gtest.h>

#include <string_view>

#include "settings/core/soft_settings.h"
#include "storage/clock_database.h"
#include "support/temp_db.h"

namespace {

using namespace zorvel;

class SoftSettingsTest : public test::TempDatabaseTest {
protected:
    // What a fresh connection to the file reads, as after a restart.
    SoftSetting Reopened() {
        CStore fresh(dbPath, clock);
        SoftSetting s;
        s.restRemindInterval = -1;
        EXPECT_TRUE(fresh.Database().ReadSoftSetting(&s));
        return s;
    }
    // Runs SQL on a connection of its own, as another program would.
    int Rows(const char* sql) {
        CppSQLite3DB other;
        OpenKeyed(other, dbPath);
        if (std::string_view(sql).starts_with("select"))
            return other.ExecuteQuery(sql).GetIntField(0);
        return other.ExecuteUpdate(sql);
    }
    void DropRow() { Rows("delete from softSetting;"); }
};

TEST_F(SoftSettingsTest, ReadOnceThenWrittenThrough) {
    database().SetBDBS(true);
    database().SetRestRemindInterval(3);
    CSoftSettings settings(database());
    EXPECT_EQ(settings.value().restRemindInterval, 1);  // the shipped values until read
    settings.Load();
    EXPECT_TRUE(settings.value().BDBS);
    EXPECT_EQ(settings.value().restRemindInterval, 3);
    // Only a new read brings what others wrote.
    database().SetRestRemindInterval(5);
    EXPECT_EQ(settings.value().restRemindInterval, 3);
    settings.Load();
    EXPECT_EQ(settings.value().restRemindInterval, 5);

    settings.SetZDBS(false);
    settings.SetDelPwd("hash");
    EXPECT_FALSE(settings.value().ZDBS);
    EXPECT_EQ(Reopened().delPwd, "hash");
    EXPECT_FALSE(Reopened().ZDBS);
}

// A file without its settings row: every change used to look stored and write nothing.
TEST_F(SoftSettingsTest, AMissingRowIsWrittenBackAndChangesSurviveAReopen) {
    DropRow();
    CSoftSettings settings(database());
    settings.Load();
    EXPECT_TRUE(settings.value().ZDBS);
    EXPECT_EQ(settings.value().ringPlayType, 2);
    SoftSetting row = Reopened();
    EXPECT_TRUE(row.ZDBS);
    EXPECT_EQ(row.ringPlayType, 2);
    EXPECT_EQ(row.restRemindInterval, 1);
    settings.SetZDBS(false);
    EXPECT_FALSE(Reopened().ZDBS);

    // The row goes away while the program runs: the next change writes the whole row, the
    // values set before it included.
    settings.SetRestRemindInterval(4);
    DropRow();
    settings.SetBDBS(true);
    row = Reopened();
    EXPECT_TRUE(row.BDBS);
    EXPECT_FALSE(row.ZDBS);
    EXPECT_EQ(row.restRemindInterval, 4);
    EXPECT_EQ(Rows("select count(*) from softSetting;"), 1);
}

}  // namespace
