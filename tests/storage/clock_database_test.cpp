#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/core/program_dir.h"
#include "storage/clock_database.h"
#include "support/temp_db.h"

namespace {

using zorvel::test::TempDatabaseTest;
using zorvel::test::TempDir;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs raw SQL on the keyed file, for rows the program itself would never write.
void RawSql(const std::string& path, const char* sql) {
    CppSQLite3DB db;
    zorvel::OpenKeyed(db, path);
    db.ExecuteUpdate(sql);
}

class ClockDatabaseTest : public TempDatabaseTest {};

TEST_F(ClockDatabaseTest, NewFileIsEncryptedAndHoldsTheShippedSettings) {
    {
        CClockDatabase& db = database();
        SoftSetting s;
        s.restRemindInterval = 99;
        db.ReadSoftSetting(&s);
        EXPECT_FALSE(s.isAutoRun);
        EXPECT_TRUE(s.ZDBS);
        EXPECT_FALSE(s.BDBS);
        EXPECT_FALSE(s.isAutoDelAlarmClock);
        EXPECT_FALSE(s.isPwdReq);
        EXPECT_EQ(s.ringPlayType, 2);
        EXPECT_EQ(s.delPwd, "");
        EXPECT_EQ(s.startupWindow, 0);
        EXPECT_FALSE(s.isRestRemind);
        EXPECT_EQ(s.restRemindInterval, 1);
    }
    std::string bytes = ReadBytes(dbPath);
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_NE(bytes.compare(0, 16, std::string("SQLite format 3\0", 16)), 0);

    // Without the key nothing can be read.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &raw), SQLITE_OK);
    EXPECT_NE(sqlite3_exec(raw, "select * from softSetting;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    // Exactly one settings row, and the tables in their column order.
    CppSQLite3DB db;
    zorvel::OpenKeyed(db, dbPath);
    CppSQLite3Query count = db.ExecuteQuery("select count(*) from softSetting;");
    EXPECT_EQ(count.GetIntField(0), 1);
    CppSQLite3Query cols = db.ExecuteQuery("select * from alarmClock;");
    const char* expected[] = {"id",      "alarmTime", "isEveryday", "isRing",
                              "content", "ring",      "ringType",   "addTime"};
    ASSERT_EQ(cols.NumFields(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(cols.FieldIndex(expected[i]), i);
}

TEST_F(ClockDatabaseTest, EmptyTablesGiveEmptyListsAndUntouchedRecords) {
    CClockDatabase& db = database();
    AlarmClockList alarms;
    std::vector<LogRecord> logs;
    std::vector<EventRecord> events;
    std::vector<NoteRecord> notes;
    db.SelectAllAlarmClocks(alarms);
    db.SelectAllLogs(logs);
    db.SelectAllEvents(events);
    db.SelectAllNotes(notes);
    EXPECT_TRUE(alarms.empty() && logs.empty() && events.empty() && notes.empty());

    AlarmClockRecord a;
    a.content = "keep";
    db.SelectAlarmClock("{00000000-0000-0000-0000-000000000000}", &a);
    EXPECT_EQ(a.content, "keep");
    EventRecord e;
    e.content1 = "keep";
    db.SelectEvent("{x}", &e);
    EXPECT_EQ(e.content1, "keep");
    NoteRecord n;
    n.ringTime = "keep";
    db.SelectNote("{x}", &n);
    EXPECT_EQ(n.ringTime, "keep");

    EXPECT_FALSE(db.DeleteAlarmClock("{x}"));
    EXPECT_FALSE(db.DeleteLog("{x}"));
    EXPECT_FALSE(db.DeleteEvent("{x}"));
    EXPECT_FALSE(db.DeleteNote("{x}"));
    a.id = "{x}";
    EXPECT_FALSE(db.UpdateAlarmClock(a));
    e.id = "{x}";
    EXPECT_FALSE(db.UpdateEvent(e));
    n.id = "{x}";
    EXPECT_FALSE(db.UpdateNote(n));
}

TEST_F(ClockDatabaseTest, RecordsRoundTripThroughEveryTable) {
    CClockDatabase& db = database();
    AlarmClockRecord a{"{A}", "2026-12-09 07:30:00", true, false, "起床", "mp3/1.mp3",
                       3,     "2026-12-01 10:00:00", true, {},    {},     {},
                       false};
    ASSERT_TRUE(db.InsertAlarmClock(a));
    AlarmClockRecord b;
    db.SelectAlarmClock("{A}", &b);
    EXPECT_EQ(b.alarmTime, a.alarmTime);
    EXPECT_TRUE(b.isEveryday);
    EXPECT_FALSE(b.isRing);
    EXPECT_EQ(b.content, a.content);
    EXPECT_EQ(b.ring, a.ring);
    EXPECT_EQ(b.ringType, 3);
    EXPECT_EQ(b.addTime, a.addTime);
    a.alarmTime = "2026-12-10 08:00:00";
    a.isRing = true;
    a.addTime = "changed";
    ASSERT_TRUE(db.UpdateAlarmClock(a));
    AlarmClockList all;
    db.SelectAllAlarmClocks(all);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->alarmTime, "2026-12-10 08:00:00");
    EXPECT_TRUE(all[0]->isRing);
    EXPECT_EQ(all[0]->addTime, "2026-12-01 10:00:00");  // the update leaves addTime alone
    EXPECT_FALSE(all[0]->hasRung);
    EXPECT_TRUE(db.DeleteAlarmClock("{A}"));

    // A new event starts without an update time, whatever the record says.
    ASSERT_TRUE(db.InsertEvent({"{E}", "c", "c1", "2026-01-01 00:00:00", "bogus"}));
    std::vector<EventRecord> events;
    db.SelectAllEvents(events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].lastUpdateTime, "");
    EXPECT_TRUE(db.UpdateEvent({"{E}", "c2", "c3", "ignored", "2026-02-02 00:00:00"}));
    EventRecord e;
    db.SelectEvent("{E}", &e);
    EXPECT_EQ(e.content, "c2");
    EXPECT_EQ(e.addTime, "2026-01-01 00:00:00");
    EXPECT_EQ(e.lastUpdateTime, "2026-02-02 00:00:00");

    ASSERT_TRUE(db.InsertNote({"{N}", "note", true, "t", true, "add"}));
    NoteRecord n;
    db.SelectNote("{N}", &n);
    EXPECT_TRUE(n.isRing && n.isShowOnDesktop);
    EXPECT_EQ(n.addTime, "add");
    ASSERT_TRUE(db.UpdateNote({"{N}", "note2", false, "t2", false, "x"}));
    std::vector<NoteRecord> notes;
    db.SelectAllNotes(notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_FALSE(notes[0].isRing || notes[0].isShowOnDesktop);
    EXPECT_EQ(notes[0].content, "note2");
    EXPECT_EQ(notes[0].addTime, "add");
}

TEST_F(ClockDatabaseTest, QuotesAndLongTextsAreStoredIntact) {
    CClockDatabase& db = database();
    // Values are bound, so quotes and lengths beyond the old formatting buffers survive.
    std::string line = "it's a 'quoted' line; drop table log; -- " + std::string(2000, 'x');
    ASSERT_TRUE(db.InsertLog({"{L}", line, "2026-12-09 10:00:00"}));
    std::vector<LogRecord> logs;
    db.SelectAllLogs(logs);
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].content, line);
    EXPECT_TRUE(db.DeleteLog("{L}"));

    std::string pwd = "pa'ss\"word" + std::string(300, '#');
    db.SetDelPwd(pwd);
    SoftSetting s;
    db.ReadSoftSetting(&s);
    EXPECT_EQ(s.delPwd, pwd);
}

TEST_F(ClockDatabaseTest, StrayAndNullColumnsReadSafely) {
    database();  // makes the file with its tables
    RawSql(dbPath,
           "insert into alarmClock values ('{1}', '2026-01-01 00:00:00', 2, 'abc', 'c', 'r', "
           "'7x', 'a');"
           "insert into alarmClock values (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);"
           "insert into note values (NULL, NULL, NULL, NULL, NULL, NULL);"
           "insert into event values (NULL, NULL, NULL, NULL, NULL);"
           "insert into log values (NULL, NULL, NULL);"
           "update softSetting set ZDBS = NULL, delPwd = NULL;");
    CClockDatabase& db = database();
    AlarmClockList alarms;
    db.SelectAllAlarmClocks(alarms);
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_TRUE(alarms[0]->isEveryday);  // 2 reads as true
    EXPECT_FALSE(alarms[0]->isRing);     // "abc" reads as false
    EXPECT_EQ(alarms[0]->ringType, 7);
    EXPECT_EQ(alarms[1]->id, "");
    EXPECT_FALSE(alarms[1]->isEveryday);
    EXPECT_EQ(alarms[1]->ringType, 0);
    std::vector<NoteRecord> notes;
    db.SelectAllNotes(notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].content, "");
    std::vector<EventRecord> events;
    db.SelectAllEvents(events);
    EXPECT_EQ(events.size(), 1u);
    std::vector<LogRecord> logs;
    db.SelectAllLogs(logs);
    EXPECT_EQ(logs.size(), 1u);
    SoftSetting s;
    s.ZDBS = true;
    s.delPwd = "old";
    db.ReadSoftSetting(&s);
    EXPECT_FALSE(s.ZDBS);
    EXPECT_EQ(s.delPwd, "");
}

TEST_F(ClockDatabaseTest, EachSetterWritesItsColumnAndIsSeenByTheNextConnection) {
    {
        CClockDatabase& db = database();
        db.SetZDBS(false);
    }
    {
        CClockDatabase& db = database();
        db.SetBDBS(true);
    }
    {
        CClockDatabase& db = database();
        db.SetAutoRun(true);
        db.SetAutoDelAlarmClock(true);
        db.SetPwdReq(true);
        db.SetRingPlayType(1);
        db.SetStartupWindow(1);
        db.SetRestRemind(1);
        db.SetRestRemindInterval(5);
    }
    CClockDatabase& db = database();
    SoftSetting s;
    db.ReadSoftSetting(&s);
    EXPECT_FALSE(s.ZDBS);
    EXPECT_TRUE(s.BDBS);
    EXPECT_TRUE(s.isAutoRun);
    EXPECT_TRUE(s.isAutoDelAlarmClock);
    EXPECT_TRUE(s.isPwdReq);
    EXPECT_EQ(s.ringPlayType, 1);
    EXPECT_EQ(s.startupWindow, 1);
    EXPECT_TRUE(s.isRestRemind);
    EXPECT_EQ(s.restRemindInterval, 5);
    EXPECT_EQ(s.delPwd, "");
}

TEST(DatabaseFileTest, MissingFileIsMadeAgainEvenInAMissingFolder) {
    TempDir dir;
    std::string path = dir.File("a/b/zorvel.db3");
    CClockDatabase db(path);
    SoftSetting s;
    db.ReadSoftSetting(&s);
    EXPECT_EQ(s.ringPlayType, 2);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(DatabaseFileTest, UnreadableFilesRaiseAndAreLeftAlone) {
    TempDir dir;
    std::string junk = dir.File("junk.db3");
    {
        std::ofstream out(junk, std::ios::binary);
        out << std::string(4096, 'z');
    }
    std::string before = ReadBytes(junk);
    try {
        CClockDatabase db(junk);
        db.Open();
        FAIL() << "opened a file that is not a database";
    } catch (const CppSQLite3Exception& e) {
        EXPECT_NE(std::string(e.errorMessage()).find("junk.db3"), std::string::npos)
            << e.errorMessage();
    }
    EXPECT_EQ(ReadBytes(junk), before);

    // A database made with another key.
    std::string other = dir.File("other.db3");
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(other.c_str(), &raw), SQLITE_OK);
        sqlite3_key(raw, "another key", 11);
        ASSERT_EQ(sqlite3_exec(raw, "create table t(x);", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    std::string otherBefore = ReadBytes(other);
    CClockDatabase db(other);
    EXPECT_THROW(db.Open(), CppSQLite3Exception);
    // Every operation tries again and fails the same way; the file stays as it was.
    SoftSetting s;
    EXPECT_THROW(db.ReadSoftSetting(&s), CppSQLite3Exception);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(ReadBytes(other), otherBefore);
}

TEST(DatabaseFileTest, LivesNextToAWritableProgram) {
    std::string path = zorvel::DefaultDatabasePath();
    EXPECT_EQ(std::filesystem::path(path).filename(), "zorvel.db3");
    EXPECT_EQ(std::filesystem::path(path).parent_path(),
              std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

TEST(DatabaseFileTest, OneConnectionOpenedOnFirstUseAndAgainAfterAFailure) {
    TempDir dir;
    std::string path = dir.File("later/zorvel.db3");
    CClockDatabase db(path);
    EXPECT_FALSE(db.IsOpen());  // nothing is read before it is needed
    EXPECT_FALSE(std::filesystem::exists(path));
    // A folder that cannot be made yet: a file stands in its way.
    { std::ofstream(dir.File("later")) << "x"; }
    SoftSetting s;
    EXPECT_THROW(db.ReadSoftSetting(&s), CppSQLite3Exception);
    EXPECT_FALSE(db.IsOpen());
    std::filesystem::remove(dir.File("later"));
    db.ReadSoftSetting(&s);
    ASSERT_TRUE(db.IsOpen());
    EXPECT_EQ(s.ringPlayType, 2);
}

TEST(DatabaseFileTest, AFileThatGoesAwayIsReportedBeforeANewOneIsMade) {
    TempDir dir;
    std::string path = dir.File("zorvel.db3");
    CClockDatabase db(path);
    std::vector<std::string> lost;
    db.SetLostFileListener([&](const std::string& p) {
        lost.push_back(p);
        EXPECT_FALSE(std::filesystem::exists(p));  // told before the new file is made
    });
    db.SetRingPlayType(1);
    EXPECT_TRUE(lost.empty());
    std::filesystem::rename(path, dir.File("moved.db3"));
    SoftSetting s;
    db.ReadSoftSetting(&s);
    EXPECT_EQ(lost, std::vector<std::string>{path});
    EXPECT_EQ(s.ringPlayType, 2);  // a new file with the shipped settings
    EXPECT_TRUE(std::filesystem::exists(path));
    db.ReadSoftSetting(&s);
    EXPECT_EQ(lost.size(), 1u);
}

TEST_F(ClockDatabaseTest, ATransactionLandsWholeOrNotAtAll) {
    const auto logCount = [this] {
        std::vector<LogRecord> logs;
        database().SelectAllLogs(logs);
        return logs.size();
    };
    LogRecord l;
    l.id = "{L}";
    {
        zorvel::CTransaction t(database());
        ASSERT_TRUE(database().InsertLog(l));
    }  // not committed: gone
    EXPECT_EQ(logCount(), 0u);
    {
        zorvel::CTransaction t(database());
        database().InsertLog(l);
        zorvel::CTransaction inner(database());  // joins the outer one
        l.id = "{M}";
        database().InsertLog(l);
        inner.Commit();
        t.Commit();
    }
    EXPECT_EQ(logCount(), 2u);
    // A statement that fails inside spoils the whole, even when the caller commits.
    RawSql(dbPath,
           "CREATE TRIGGER refuse BEFORE INSERT ON note BEGIN SELECT RAISE(ABORT, 'no'); END;");
    {
        zorvel::CTransaction t(database());
        l.id = "{N}";
        database().InsertLog(l);
        NoteRecord n;
        n.id = "{X}";
        EXPECT_THROW(database().InsertNote(n), CppSQLite3Exception);
        EXPECT_THROW(t.Commit(), CppSQLite3Exception);
    }
    EXPECT_EQ(logCount(), 2u);
    // And the connection is usable afterwards.
    l.id = "{O}";
    EXPECT_TRUE(database().InsertLog(l));
    EXPECT_EQ(logCount(), 3u);
}

TEST_F(ClockDatabaseTest, WriteListenerHearsEverySuccessfulWriteOnly) {
    std::vector<zorvel::StoredTable> heard;
    database().SetWriteListener([&](zorvel::StoredTable t) { heard.push_back(t); });
    using zorvel::StoredTable;
    AlarmClockRecord a;
    a.id = "{A}";
    a.alarmTime = "2011-09-18 08:30:00";
    ASSERT_TRUE(database().InsertAlarmClock(a));
    EXPECT_FALSE(database().DeleteAlarmClock("{missing}"));  // nothing changed
    a.id = "{missing}";
    EXPECT_FALSE(database().UpdateAlarmClock(a));
    LogRecord l;
    l.id = "{L}";
    database().InsertLog(l);
    NoteRecord n;
    n.id = "{N}";
    database().InsertNote(n);
    EventRecord e;
    e.id = "{E}";
    database().InsertEvent(e);
    database().SetBDBS(true);
    EXPECT_EQ(heard, (std::vector<StoredTable>{StoredTable::kAlarms, StoredTable::kLog,
                                               StoredTable::kNotes, StoredTable::kEvents,
                                               StoredTable::kSettings}));
}

TEST_F(ClockDatabaseTest, ALockedFileFailsSoonWithSQLiteOwnMessages) {
    SoftSetting s;
    database().ReadSoftSetting(&s);
    CppSQLite3DB other;
    zorvel::OpenKeyed(other, dbPath);
    other.ExecuteUpdate("BEGIN EXCLUSIVE;");
    auto start = std::chrono::steady_clock::now();
    try {
        database().SetBDBS(true);
        FAIL() << "wrote to a locked file";
    } catch (const std::exception& e) {  // the storage error is a standard exception
        auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_LT(waited, std::chrono::seconds(10));  // not the minute it used to be
        const auto* sqlError = dynamic_cast<const CppSQLite3Exception*>(&e);
        ASSERT_NE(sqlError, nullptr);
        EXPECT_EQ(sqlError->errorCode(), SQLITE_BUSY);
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos) << e.what();
    }
    other.ExecuteUpdate("ROLLBACK;");
    database().SetBDBS(true);

    // A statement SQLite cannot compile names the reason.
    try {
        CppSQLite3DB db;
        zorvel::OpenKeyed(db, dbPath);
        db.CompileStatement("selec * from log;");
        FAIL();
    } catch (const CppSQLite3Exception& e) {
        EXPECT_NE(std::string(e.errorMessage()).find("syntax error"), std::string::npos)
            << e.errorMessage();
    }
}

}  // namespace
