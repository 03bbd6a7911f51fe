#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "alarms/core/alarm_operations.h"
#include "alarms/core/repeat_rule.h"
#include "storage/clock_database.h"
#include "storage/clock_manager.h"
#include "support/temp_db.h"

namespace {

using namespace zorvel;
using zorvel::test::FakeClock;
using zorvel::test::TempDir;

// A file as the release before the rules writes it: the shipped schema, version 0, alarms
// inserted by position.
void MakeOldFile(const std::string& path) {
    CppSQLite3DB db;
    OpenKeyed(db, path);
    db.ExecuteUpdate(
        "insert into alarmClock values('{A}','2026-10-09 07:30:00',1,1,'起床','#系统歌曲1',0,"
        "'2026-10-01 10:00:00');"
        "insert into alarmClock values('{B}','2026-10-20 09:00:00',0,1,'开会','#系统歌曲2',1,"
        "'2026-10-01 10:00:00');");
}

int Version(const std::string& path) {
    CppSQLite3DB db;
    OpenKeyed(db, path);
    return SchemaVersion(db);
}

int RuleRows(const std::string& path) {
    CppSQLite3DB db;
    OpenKeyed(db, path);
    return db.ExecuteQuery("select count(*) from alarmRule;").GetIntField(0);
}

AlarmClockList Alarms(CClockManager& manager) {
    AlarmClockList alarms;
    manager.GetAllAlarmClocks(alarms);
    return alarms;
}

TEST(AlarmRuleStorageTest, AnOlderFileMigratesOnceAndKeepsItsAlarms) {
    TempDir dir;
    const std::string path = dir.File("old.db3");
    MakeOldFile(path);
    EXPECT_EQ(Version(path), 0);
    FakeClock fakeClock(MakeLocalTime(2026, 10, 9, 8, 0, 0));
    {
        CStore store(path, fakeClock);
        AlarmClockList alarms = Alarms(store.Manager());
        ASSERT_EQ(alarms.size(), 2u);
        EXPECT_EQ(alarms[0]->alarmTime, "2026-10-09 07:30:00");
        EXPECT_EQ(RuleOf(*alarms[0]).kind, RepeatKind::kDaily);
        EXPECT_EQ(RuleOf(*alarms[1]).kind, RepeatKind::kOnce);
        EXPECT_TRUE(store.Database().HasRuleTable());
    }
    EXPECT_EQ(Version(path), LatestSchemaVersion());
    // The older release still writes its table by position.
    CppSQLite3DB db;
    OpenKeyed(db, path);
    db.ExecuteUpdate("insert into alarmClock values('{C}','2026-10-09 07:30:00',0,1,'x','',0,'');");
    CStore again(path, fakeClock);
    EXPECT_EQ(Alarms(again.Manager()).size(), 3u);
    EXPECT_EQ(Version(path), LatestSchemaVersion());
}

// Another program holds the write lock while Zorvel starts: the file is read as it is, and
// migrated at the next start.
TEST(AlarmRuleStorageTest, AFileThatCannotBeMigratedNowIsStillRead) {
    TempDir dir;
    const std::string path = dir.File("busy.db3");
    MakeOldFile(path);
    FakeClock fakeClock(MakeLocalTime(2026, 10, 9, 8, 0, 0));
    {
        CppSQLite3DB other;
        OpenKeyed(other, path);
        other.ExecuteUpdate("BEGIN IMMEDIATE;");
        CStore store(path, fakeClock);
        AlarmClockList alarms = Alarms(store.Manager());
        EXPECT_EQ(alarms.size(), 2u);
        EXPECT_FALSE(store.Database().HasRuleTable());
        other.ExecuteUpdate("ROLLBACK;");
    }
    CStore again(path, fakeClock);
    again.Database().Open();
    EXPECT_TRUE(again.Database().HasRuleTable());
}

class AlarmRuleTest : public zorvel::test::TempDatabaseTest {};

TEST_F(AlarmRuleTest, RulesSkipsAndPausesAreStoredAndGoWithTheirAlarm) {
    AlarmValues v{u"2026-10-09 07:30:00", true, true, u"起床", u"#系统歌曲1", 0, "workdays"};
    ASSERT_EQ(AddAlarm(manager(), v), SaveResult::kAdded);
    AlarmClockList alarms = Alarms(manager());
    ASSERT_EQ(alarms.size(), 1u);
    const std::string id = alarms[0]->id;
    EXPECT_TRUE(alarms[0]->isEveryday);  // an older release rings it every day
    EXPECT_EQ(alarms[0]->rule, "workdays");

    const std::time_t friday =
        std::chrono::system_clock::to_time_t(MakeLocalTime(2026, 10, 9, 8, 0, 0));
    EXPECT_EQ(ToggleSkipNext(manager(), id, friday), SkipResult::kSkipped);
    EXPECT_EQ(Alarms(manager())[0]->skipDate, "2026-10-10");
    // Asked again, the skip is undone.
    EXPECT_EQ(ToggleSkipNext(manager(), id, friday), SkipResult::kUnskipped);
    EXPECT_EQ(Alarms(manager())[0]->skipDate, "");
    ASSERT_TRUE(PauseAlarmUntil(manager(), id, "2026-11-02"));
    EXPECT_FALSE(PauseAlarmUntil(manager(), id, "2026-11-31"));
    // An edit changes the rule and keeps the pause; the next ring to skip is the first after it.
    v.rule = "weekly:1,2,3,4,5";
    ASSERT_EQ(UpdateAlarm(manager(), id, v), SaveResult::kUpdated);
    EXPECT_EQ(ToggleSkipNext(manager(), id, friday), SkipResult::kSkipped);
    AlarmClockRecord stored;
    manager().GetAlarmClock(id, &stored);
    EXPECT_EQ(stored.rule, "weekly:1,2,3,4,5");
    EXPECT_EQ(stored.pauseUntil, "2026-11-02");
    EXPECT_EQ(stored.skipDate, "2026-11-02");
    ASSERT_TRUE(PauseAlarmUntil(manager(), id, ""));
    manager().GetAlarmClock(id, &stored);
    EXPECT_EQ(stored.pauseUntil, "");

    // One-off alarms have neither.
    ASSERT_EQ(
        AddAlarm(manager(), AlarmValues{u"2026-10-20 09:00:00", false, true, u"x", u"", 0, "once"}),
        SaveResult::kAdded);
    std::string onceId;
    for (const AlarmClockPtr& a : Alarms(manager()))
        if (a->id != id)
            onceId = a->id;
    EXPECT_EQ(ToggleSkipNext(manager(), onceId, friday), SkipResult::kNotRepeating);
    EXPECT_FALSE(PauseAlarmUntil(manager(), onceId, "2026-11-02"));
    EXPECT_EQ(ToggleSkipNext(manager(), "{gone}", friday), SkipResult::kGone);

    // Deleting takes the rule row with it.
    ASSERT_TRUE(DeleteAlarmByUser(manager(), id));
    ASSERT_TRUE(DeleteAlarmByUser(manager(), onceId));
    EXPECT_EQ(RuleRows(dbPath), 0);
}

TEST_F(AlarmRuleTest, GarbageInTheRuleTableNeverLosesAnAlarm) {
    MakeOldFile(dir.File("g.db3"));
    FakeClock c(MakeLocalTime(2026, 10, 9, 8, 0, 0));
    {
        CppSQLite3DB db;
        OpenKeyed(db, dir.File("g.db3"));
        // A table of that name made by someone else, in another shape.
        db.ExecuteUpdate("create table alarmRule(x, y);");
        db.ExecuteUpdate("insert into alarmRule values('{A}', 'workdays');");
    }
    {
        CStore other(dir.File("g.db3"), c);
        AlarmClockList alarms = Alarms(other.Manager());
        ASSERT_EQ(alarms.size(), 2u);
        EXPECT_EQ(RuleOf(*alarms[0]).kind, RepeatKind::kDaily);
    }

    // Rows of the right shape holding nonsense, and a row whose alarm is gone.
    MakeOldFile(dbPath);
    {
        CppSQLite3DB db;
        OpenKeyed(db, dbPath);
        MigrateSchema(db);
        db.ExecuteUpdate(
            "insert into alarmRule values('{A}','weekly:9',x'00ff','2026-02-30');"
            "insert into alarmRule values('{B}','workdays','2026-10-10','2026-10-12');"
            "insert into alarmRule values('{gone}','workdays',NULL,NULL);");
    }
    AlarmClockList alarms = Alarms(manager());
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_EQ(RuleOf(*alarms[0]).kind, RepeatKind::kDaily);
    EXPECT_EQ(RuleOf(*alarms[1]).kind, RepeatKind::kOnce);  // stored one-off
    const std::time_t friday =
        std::chrono::system_clock::to_time_t(MakeLocalTime(2026, 10, 9, 8, 0, 0));
    // The damaged dates count as none: the alarm rings tomorrow, and may be skipped anew.
    EXPECT_EQ(ToggleSkipNext(manager(), "{A}", friday), SkipResult::kSkipped);
    AlarmClockRecord a;
    manager().GetAlarmClock("{A}", &a);
    EXPECT_EQ(a.skipDate, "2026-10-10");
}

// The migration killed at any moment leaves a file that opens, migrated or not, with every
// alarm; the next open finishes it.
TEST(AlarmRuleStorageTest, AMigrationKilledAnywhereLeavesAReadableFile) {
    TempDir dir;
    const std::string original = dir.File("original.db3");
    MakeOldFile(original);
    const std::string path = dir.File("killed.db3");
    auto openOnce = [&] {
        CClockDatabase db(path);
        db.Open();
    };
    // How long an open with its migration takes here, to spread the kills over it.
    std::filesystem::copy_file(original, path);
    const auto t0 = std::chrono::steady_clock::now();
    openOnce();
    const auto openTime = std::chrono::steady_clock::now() - t0;
    int migrated = 0, notMigrated = 0;
    for (int i = 0; i < 8; ++i) {
        std::filesystem::remove(path);
        std::filesystem::remove(path + "-journal");
        std::filesystem::copy_file(original, path);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                openOnce();
            } catch (...) {
            }
            _exit(0);
        }
        std::this_thread::sleep_for(openTime * (i + 2) / 8);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        {
            CppSQLite3DB db;
            OpenKeyed(db, path);
            (SchemaVersion(db) == 0 ? notMigrated : migrated)++;
            EXPECT_EQ(db.ExecuteQuery("select count(*) from alarmClock;").GetIntField(0), 2);
        }
        // The next start finishes the work.
        openOnce();
        EXPECT_EQ(Version(path), LatestSchemaVersion());
    }
    std::printf("killed %d times before the migration landed, %d times after\n", notMigrated,
                migrated);
}

}  // namespace
