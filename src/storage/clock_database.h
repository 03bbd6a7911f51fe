#pragma once

#include <memory>
#include <string>
#include <vector>

#include "storage/records.h"
#include "storage/sqlite_wrapper.h"

namespace zorvel {
// Where the database file is: "zorvel.db3" in the program directory when that directory is
// writable, otherwise in the user's data directory.
std::string DatabasePath();
// Tests put the database in a file of their own; empty restores the normal place.
void SetDatabasePathForTesting(const std::string& path);
const std::string& DatabasePathForTesting();
// The key text given to the codec (38 bytes, no terminator).
extern const char kDatabaseKey[];
constexpr int kDatabaseKeyLength = 38;
// Opens and keys a connection to `path`, making the file from the schema when it is missing.
// A file that is there but cannot be read with the key raises and is left untouched.
void OpenKeyed(CppSQLite3DB& db, const std::string& path);
}  // namespace zorvel

// The data-access object: constructing it opens and keys the file, each operation runs one
// statement, destroying it closes the file. Every value is bound, never pasted into SQL.
class CClockDatabase {
public:
    CClockDatabase();
    explicit CClockDatabase(const std::string& path);
    CClockDatabase(const CClockDatabase&) = delete;
    CClockDatabase& operator=(const CClockDatabase&) = delete;
    ~CClockDatabase();

    bool InsertAlarmClock(const AlarmClockRecord& record);
    bool UpdateAlarmClock(const AlarmClockRecord& record);
    bool DeleteAlarmClock(const std::string& id);
    void SelectAlarmClock(const std::string& id, AlarmClockRecord* record);
    void SelectAllAlarmClocks(AlarmClockList& records);

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

    void ReadSoftSetting(SoftSetting* setting);
    void SetAutoDelAlarmClock(bool value);
    void SetAutoRun(bool value);
    void SetBDBS(bool value);
    void SetPwdReq(bool value);
    void SetRingPlayType(int value);
    void SetZDBS(bool value);
    void SetDelPwd(const std::string& value);
    void SetStartupWindow(int value);
    void SetRestRemind(int value);
    void SetRestRemindInterval(int value);

private:
    template <typename... Args>
    int Run(const char* sql, const Args&... args);
    template <typename... Args>
    CppSQLite3Query Query(const char* sql, const Args&... args);

    std::unique_ptr<CppSQLite3DB> m_db;
};
