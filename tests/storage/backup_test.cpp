#include "storage/backup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "alarms/core/alarm_operations.h"
#include "storage/clock_database.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"

// GCC 12 warns wrongly about std::string copies inlined at -O2 (its bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"

namespace {

using zorvel::test::TempDatabaseTest;
namespace fs = std::filesystem;

AlarmClockRecord Alarm(const std::string& id) {
    AlarmClockRecord r;
    r.id = id;
    r.alarmTime = "2026-12-10 07:30:00";
    r.content = "text " + id;
    r.addTime = "2026-12-09 20:00:00";
    return r;
}

std::set<std::string> AlarmIds(const std::string& path) {
    CClockDatabase db(path);
    AlarmClockList all;
    db.SelectAllAlarmClocks(all);
    std::set<std::string> ids;
    for (const auto& a : all)
        ids.insert(a->id);
    return ids;
}

class BackupTest : public TempDatabaseTest {};

TEST_F(BackupTest, CopyTakenWhileAlarmsAreAddedHoldsEveryAddThatReturnedBeforeIt) {
    // Each add stores the alarm and its log line in one transaction, as the windows do, with a
    // minute of its own so that every alarm's line can be told apart.
    std::atomic<int> returned{0};
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        zorvel::CStore other(dbPath, clock);
        for (int i = 0; !stop && i < 400; ++i) {
            zorvel::AlarmValues v;
            char time[32];
            std::snprintf(time, sizeof time, "2030-01-%02d %02d:%02d:00", 1 + i / 60 % 28,
                          i / 60 % 24, i % 60);
            v.alarmTime = zorvel::Utf8ToUtf16(time);
            v.content = u"x";
            zorvel::AddAlarm(other.Manager(), v);
            returned = i + 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    while (returned < 20)
        std::this_thread::yield();
    const int before = returned;
    const std::string copy = dir.File("copy.db3");
    std::string failure;
    try {
        zorvel::BackupDatabase(dbPath, copy);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    stop = true;
    writer.join();
    ASSERT_EQ(failure, "");

    EXPECT_EQ(zorvel::RestoreRefusal(copy), "");  // integrity_check among its checks
    zorvel::CStore restored(copy, clock);
    AlarmClockList alarms;
    restored.Manager().GetAllAlarmClocks(alarms);
    std::vector<LogRecord> logs;
    restored.Manager().GetAllLogs(logs);
    EXPECT_GE(static_cast<int>(alarms.size()), before);
    std::set<std::u16string> lines;
    for (const auto& l : logs)
        lines.insert(zorvel::FromStored(l.content));
    EXPECT_EQ(lines.size(), alarms.size())
        << "an alarm without its line, or a line without its alarm";
    for (const auto& a : alarms)
        EXPECT_TRUE(lines.count(zorvel::AddedAlarmLogLine(zorvel::FromStored(a->alarmTime))))
            << a->alarmTime;
    EXPECT_FALSE(fs::exists(copy + ".part"));
}

TEST_F(BackupTest, RestoreRefusesWhatIsNotAWholeZorvelFileAndChangesNothing) {
    database().InsertAlarmClock(Alarm("kept"));
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.File(name), std::ios::binary) << bytes;
        return dir.File(name);
    };
    // A plain SQLite file with the right tables but no key.
    const std::string plain = dir.File("plain.db3");
    {
        sqlite3* db = nullptr;
        sqlite3_open(plain.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE alarmClock(id TEXT);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    // A keyed file that lost a table.
    const std::string partial = dir.File("partial.db3");
    zorvel::BackupDatabase(dbPath, partial);
    {
        CppSQLite3DB db;
        zorvel::OpenKeyed(db, partial);
        db.ExecuteUpdate("DROP TABLE note;");
    }
    const struct {
        std::string path;
        std::string says;
    } cases[] = {
        {dir.File("missing.db3"), "找不到文件"},
        {write("empty.db3", ""), "空文件"},
        {write("text.db3", std::string(5000, 'x')), "不是 Zorvel 的数据文件"},
        {plain, "不是 Zorvel 的数据文件"},
        {partial, "缺少数据表 note"},
    };
    for (const auto& c : cases) {
        const std::string refusal = zorvel::RestoreRefusal(c.path);
        EXPECT_NE(refusal.find(c.says), std::string::npos) << c.path << ": " << refusal;
        EXPECT_THROW(zorvel::RestoreDatabase(dbPath, c.path), std::runtime_error) << c.path;
        EXPECT_EQ(AlarmIds(dbPath), std::set<std::string>{"kept"});
    }
    EXPECT_THROW(zorvel::RestoreDatabase(dbPath, dbPath), std::runtime_error);
}

TEST_F(BackupTest, RestoreReplacesTheContentsUnderOpenConnectionsAndKeepsTheOldOnes) {
    database().InsertAlarmClock(Alarm("old"));
    const std::string other = dir.File("other.db3");
    {
        CClockDatabase db(other);
        db.InsertAlarmClock(Alarm("restored"));
    }
    zorvel::RestoreDatabase(dbPath, other);

    AlarmClockList seen;
    database().SelectAllAlarmClocks(seen);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0]->id, "restored");
    EXPECT_EQ(AlarmIds(dbPath + ".before-restore"), std::set<std::string>{"old"});
}

TEST_F(BackupTest, OneCopyADayAndOnlyTheNewestSevenStay) {
    database().Open();
    const fs::path folder = fs::path(dbPath).parent_path() / "backups";
    for (int day = 1; day <= 9; ++day)
        EXPECT_NE(zorvel::KeepDailyBackup(dbPath, {2026, 12, day}), "");
    EXPECT_EQ(zorvel::KeepDailyBackup(dbPath, {2026, 12, 9}), "");
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names.size(), 7u);
    EXPECT_FALSE(names.count("zorvel-2026-12-02.db3"));
    EXPECT_TRUE(names.count("zorvel-2026-12-09.db3"));
    EXPECT_EQ(zorvel::DefaultBackupName({2026, 12, 10}), "zorvel-备份-2026-12-10.db3");
}

}  // namespace
