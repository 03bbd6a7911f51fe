#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/records.h"
#include "storage/sqlite_wrapper.h"

namespace zorvel {
// The tables a write can change; the listener of a database hears which one after each
// write that succeeded.
enum class StoredTable { kAlarms, kNotes, kEvents, kLog, kSettings };
using WriteListener = std::function<void(StoredTable)>;

// The key text given to the codec (38 bytes, no terminator).
extern const char kDatabaseKey[];
constexpr int kDatabaseKeyLength = 38;
// Opens and keys a connection to `path`, making the file from the schema when it is missing.
// A file that is there but cannot be read with the key raises and is left untouched.
void OpenKeyed(CppSQLite3DB& db, const std::string& path);
// The schema's version (PRAGMA user_version) and the one this program makes.
int SchemaVersion(CppSQLite3DB& db);
int LatestSchemaVersion();
// Brings an open file's schema up to LatestSchemaVersion, one step per transaction; raises
// when a step cannot be written (the steps done so far stay).
void MigrateSchema(CppSQLite3DB& db);
}  // namespace zorvel

// The data-access object over one file. The file is opened and keyed once, by Open() or by
// the first operation, and the connection is kept until the object is destroyed (keying costs
// tens of milliseconds). An open that fails is tried again by the next operation. Each
// operation runs one statement; every value is bound, never pasted into SQL.
class CClockDatabase {
public:
    explicit CClockDatabase(std::string path);
    CClockDatabase(const CClockDatabase&) = delete;
    CClockDatabase& operator=(const CClockDatabase&) = delete;
    ~CClockDatabase();

    // Opens and keys the file now unless it is open already; raises when it cannot.
    void Open();
    bool IsOpen() const;
    const std::string& Path() const { return m_path; }
    // Opens the file and tells whether writes to it must fail: the file is read-only, or its
    // folder is (SQLite writes its journal beside the file).
    bool IsReadOnly();
    // Told after every write that succeeded (nullptr: nobody).
    void SetWriteListener(zorvel::WriteListener listener) { m_listener = std::move(listener); }
    // Told when the file went away while the program ran, just before a new one is made in its
    // place (nullptr: nobody).
    void SetLostFileListener(std::function<void(const std::string& path)> listener) {
        m_lostFileListener = std::move(listener);
    }

    // Writes between Begin and Commit land together or not at all; a transaction that is not
    // committed is rolled back. Nested ones join the outermost.
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction();

    bool InsertAlarmClock(const AlarmClockRecord& record);
    bool UpdateAlarmClock(const AlarmClockRecord& record);
    // Takes the alarm's rule row with it, in one transaction.
    bool DeleteAlarmClock(const std::string& id);
    void SelectAlarmClock(const std::string& id, AlarmClockRecord* record);
    void SelectAllAlarmClocks(AlarmClockList& records);
    // The repeat rule of an alarm (rule text as stored in alarmRule); skip and pause are kept.
    void WriteAlarmRule(const std::string& id, const std::string& rule);
    // The skipped date and the pause of an alarm ("" for none); `rule` if it has no row yet.
    void WriteAlarmSkipAndPause(const std::string& id, const std::string& rule,
                                const std::string& skipDate, const std::string& pauseUntil);
    bool HasRuleTable();

    bool InsertLog(const LogRecord& record);
    bool DeleteLog(const std::string& id);
    void SelectAllLogs(std::vector<LogRecord>& records);

    bool InsertEvent(const EventRecord& record);
    bool UpdateEvent(const EventRecord& record);
    bool DeleteEvent(const std::string& id);
    void SelectEvent(const std::string& id, EventRecord* record);
    void SelectAllEvents(std::vector<EventRecord>& records);

    bool InsertNote(const NoteRecord& record);
    bool UpdateNote(const NoteRecord& record);
    bool DeleteNote(const std::string& id);
    void SelectNote(const std::string& id, NoteRecord* record);
    void SelectAllNotes(std::vector<NoteRecord>& records);

    // False (and `setting` untouched) when the file has no settings row.
    bool ReadSoftSetting(SoftSetting* setting);
    // Writes the whole row; for a file that has none.
    void InsertSoftSetting(const SoftSetting& setting);
    // Each setter writes its column and tells whether there was a row to write it to.
    bool SetAutoDelAlarmClock(bool value);
    bool SetAutoRun(bool value);
    bool SetBDBS(bool value);
    bool SetPwdReq(bool value);
    bool SetRingPlayType(int value);
    bool SetZDBS(bool value);
    bool SetDelPwd(const std::string& value);
    bool SetStartupWindow(int value);
    bool SetRestRemind(int value);
    bool SetRestRemindInterval(int value);

private:
    // Fills rule, skipDate and pauseUntil from alarmRule; leaves them empty when it cannot.
    void ReadAlarmRules(AlarmClockList& records);
    CppSQLite3DB& Connection();
    template <typename... Args>
    int Run(const char* sql, const Args&... args);
    // Runs a write and tells the listener when it changed a row.
    template <typename... Args>
    bool Write(zorvel::StoredTable table, const char* sql, const Args&... args);
    template <typename... Args>
    CppSQLite3Query Query(const char* sql, const Args&... args);

    std::string m_path;
    std::unique_ptr<CppSQLite3DB> m_db;
    zorvel::WriteListener m_listener;
    std::function<void(const std::string&)> m_lostFileListener;
    int m_transactionDepth = 0;
    bool m_transactionFailed = false;
};

namespace zorvel {
// One transaction for the life of the object: committed by Commit, rolled back otherwise (an
// exception on the way out included).
class CTransaction {
public:
    explicit CTransaction(CClockDatabase& database);
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    ~CTransaction();
    void Commit();

private:
    CClockDatabase& database_;
    bool done_ = false;
};
}  // namespace zorvel
