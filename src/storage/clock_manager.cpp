#include "storage/clock_manager.h"

#include "storage/ids.h"
#include "storage/text_codec.h"
#include "storage/time_text.h"

using zorvel::ToStored;

CClockManager::CClockManager(CClockDatabase& database, const zorvel::Clock& clock)
    : m_db(&database), m_clock(clock) {}

std::string CClockManager::NowText() const {
    return zorvel::FormatTimeText(m_clock.Now());
}

bool CClockManager::AddAlarmClock(const std::u16string& alarmTime, bool isEveryday, bool isRing,
                                  const std::u16string& content, const std::u16string& ring,
                                  int ringType, std::string* newId) {
    if (alarmTime.empty())
        return false;
    if (content.size() > kMaxContentUnits)
        return false;
    AlarmClockRecord r;
    r.id = zorvel::NewIdText();
    r.addTime = NowText();
    r.alarmTime = ToStored(alarmTime);
    r.content = ToStored(content);
    r.ring = ToStored(ring);
    r.isEveryday = isEveryday;
    r.isRing = isRing;
    r.ringType = ringType;
    if (newId)
        *newId = r.id;
    return m_db->InsertAlarmClock(r);
}

bool CClockManager::ModifyAlarmClock(const std::string& id, const std::u16string& alarmTime,
                                     bool isEveryday, bool isRing, const std::u16string& content,
                                     const std::u16string& ring, int ringType) {
    if (content.size() > kMaxContentUnits)
        return false;
    AlarmClockRecord r;
    r.id = id;
    r.alarmTime = ToStored(alarmTime);
    r.isEveryday = isEveryday;
    r.isRing = isRing;
    r.content = ToStored(content);
    r.ring = ToStored(ring);
    r.ringType = ringType;
    return m_db->UpdateAlarmClock(r);
}

bool CClockManager::RemoveAlarmClock(const std::u16string& id) {
    return m_db->DeleteAlarmClock(ToStored(id));
}

void CClockManager::GetAlarmClock(const std::string& id, AlarmClockRecord* record) {
    m_db->SelectAlarmClock(id, record);
}

void CClockManager::GetAllAlarmClocks(AlarmClockList& records) {
    m_db->SelectAllAlarmClocks(records);
}

bool CClockManager::AddLog(const std::u16string& content) {
    LogRecord r;
    r.id = zorvel::NewIdText();
    r.content = ToStored(content);
    r.logTime = NowText();
    return m_db->InsertLog(r);
}

bool CClockManager::RemoveLog(const std::u16string& id) {
    return m_db->DeleteLog(ToStored(id));
}

void CClockManager::GetAllLogs(std::vector<LogRecord>& records) {
    m_db->SelectAllLogs(records);
}

bool CClockManager::AddEvent(const std::u16string& content, const std::u16string& content1) {
    EventRecord r;
    r.id = zorvel::NewIdText();
    r.content = ToStored(content);
    r.content1 = ToStored(content1);
    r.addTime = NowText();
    return m_db->InsertEvent(r);
}

bool CClockManager::ModifyEvent(const std::u16string& id, const std::u16string& content,
                                const std::u16string& content1) {
    EventRecord r;
    r.id = ToStored(id);
    r.content = ToStored(content);
    r.content1 = ToStored(content1);
    r.lastUpdateTime = NowText();
    return m_db->UpdateEvent(r);
}

bool CClockManager::RemoveEvent(const std::u16string& id) {
    return m_db->DeleteEvent(ToStored(id));
}

void CClockManager::GetEvent(const std::u16string& id, EventRecord* record) {
    m_db->SelectEvent(ToStored(id), record);
}

void CClockManager::GetAllEvents(std::vector<EventRecord>& records) {
    m_db->SelectAllEvents(records);
}

bool CClockManager::AddNote(std::u16string& newId, const std::u16string& content, int isRing,
                            const std::u16string& ringTime, bool isShowOnDesktop) {
    if (content.size() > kMaxContentUnits)
        return false;
    NoteRecord r;
    r.id = zorvel::NewIdText();
    r.content = ToStored(content);
    r.ringTime = ToStored(ringTime);
    r.isRing = isRing != 0;
    r.isShowOnDesktop = isShowOnDesktop;
    r.addTime = NowText();
    newId = zorvel::FromStored(r.id);
    return m_db->InsertNote(r);
}

bool CClockManager::ModifyNote(const std::string& id, const std::u16string& content, int isRing,
                               const std::u16string& ringTime, bool isShowOnDesktop) {
    if (content.size() > kMaxContentUnits)
        return false;
    NoteRecord r;
    r.id = id;
    r.content = ToStored(content);
    r.isRing = isRing != 0;
    r.ringTime = ToStored(ringTime);
    r.isShowOnDesktop = isShowOnDesktop;
    return m_db->UpdateNote(r);
}

bool CClockManager::RemoveNote(const std::u16string& id) {
    return m_db->DeleteNote(ToStored(id));
}

void CClockManager::GetNote(const std::string& id, NoteRecord* record) {
    m_db->SelectNote(id, record);
}

void CClockManager::GetAllNotes(std::vector<NoteRecord>& records) {
    m_db->SelectAllNotes(records);
}
