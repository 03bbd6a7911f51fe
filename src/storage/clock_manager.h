#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/clock.h"
#include "storage/clock_database.h"
#include "storage/records.h"

// The record service the windows call: makes ids and time stamps (from the clock it is
// given), turns the windows' UTF-16 texts into stored text, refuses over-long alarm and note
// texts, and passes the records to the database it works on.
class CClockManager {
public:
    // Texts of alarms and notes may hold at most this many UTF-16 units.
    static constexpr size_t kMaxContentUnits = 450;

    // Both must outlive the manager.
    CClockManager(CClockDatabase& database, const zorvel::Clock& clock);
    CClockManager(const CClockManager&) = delete;
    CClockManager& operator=(const CClockManager&) = delete;

    // `newId`, if given, receives the new alarm's id.
    bool AddAlarmClock(const std::u16string& alarmTime, bool isEveryday, bool isRing,
                       const std::u16string& content, const std::u16string& ring, int ringType,
                       std::string* newId = nullptr);
    bool ModifyAlarmClock(const std::string& id, const std::u16string& alarmTime, bool isEveryday,
                          bool isRing, const std::u16string& content, const std::u16string& ring,
                          int ringType);
    bool RemoveAlarmClock(const std::u16string& id);
    void GetAlarmClock(const std::string& id, AlarmClockRecord* record);
    void GetAllAlarmClocks(AlarmClockList& records);

    bool AddLog(const std::u16string& content);
    bool RemoveLog(const std::u16string& id);
    void GetAllLogs(std::vector<LogRecord>& records);

    bool AddEvent(const std::u16string& content, const std::u16string& content1);
    bool ModifyEvent(const std::u16string& id, const std::u16string& content,
                     const std::u16string& content1);
    bool RemoveEvent(const std::u16string& id);
    void GetEvent(const std::u16string& id, EventRecord* record);
    void GetAllEvents(std::vector<EventRecord>& records);

    bool AddNote(std::u16string& newId, const std::u16string& content, int isRing,
                 const std::u16string& ringTime, bool isShowOnDesktop);
    bool ModifyNote(const std::string& id, const std::u16string& content, int isRing,
                    const std::u16string& ringTime, bool isShowOnDesktop);
    bool RemoveNote(const std::u16string& id);
    void GetNote(const std::string& id, NoteRecord* record);
    void GetAllNotes(std::vector<NoteRecord>& records);

    CClockDatabase& Database() { return *m_db; }

private:
    std::string NowText() const;

    CClockDatabase* m_db;
    const zorvel::Clock& m_clock;
};

namespace zorvel {
// The program's storage: one database file with its one connection, and the record service
// over it.
class CStore {
public:
    CStore(std::string path, const Clock& clock)
        : database_(std::move(path)), manager_(database_, clock) {}
    CStore(const CStore&) = delete;
    CStore& operator=(const CStore&) = delete;

    CClockDatabase& Database() { return database_; }
    CClockManager& Manager() { return manager_; }

private:
    CClockDatabase database_;
    CClockManager manager_;
};
}  // namespace zorvel
