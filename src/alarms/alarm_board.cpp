#include "alarms/alarm_board.h"

#include <chrono>

CAlarmBoard::CAlarmBoard(CAlarmEngine& engine, QObject* parent) : QObject(parent), engine_(engine) {
    connect(&engine_, &CAlarmEngine::AlarmListChanged, this, [this](const AlarmRecords& alarms) {
        AlarmClockList list;
        list.reserve(alarms.size());
        for (const AlarmClockRecord& a : alarms)
            list.push_back(std::make_shared<AlarmClockRecord>(a));
        list_ = std::move(list);
        emit AlarmListChanged();
    });
    connect(&engine_, &CAlarmEngine::ReloadFailed, this, &CAlarmBoard::ReloadFailed);
    connect(&engine_, &CAlarmEngine::WakeStateChanged, this, [this](int availability, bool on) {
        wakeAvailability_ = availability;
        wakeEnabled_ = on;
        emit WakeStateChanged();
    });
    heartbeat_.setInterval(1000);
    connect(&heartbeat_, &QTimer::timeout, this, &CAlarmBoard::Beat);
}

CAlarmBoard::~CAlarmBoard() = default;

template <typename F>
void CAlarmBoard::Post(F call) {
    // Direct when the engine shares this thread (tests), queued when it has its own.
    QMetaObject::invokeMethod(&engine_, std::move(call), Qt::AutoConnection);
}

void CAlarmBoard::RequestReload() {
    Post([e = &engine_] { e->ReloadAlarms(); });
}

void CAlarmBoard::Snooze(quint64 ring, int hours, int minutes) {
    Post([e = &engine_, ring, hours, minutes] { e->SnoozeRing(ring, hours, minutes); });
}

void CAlarmBoard::Close(quint64 ring) {
    Post([e = &engine_, ring] { e->CloseRing(ring); });
}

void CAlarmBoard::Shown(quint64 ring) {
    Post([e = &engine_, ring] { e->RingWindowShown(ring); });
}

void CAlarmBoard::Beat() {
    engine_.windowBeat.store(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
}

void CAlarmBoard::DeletedByUser(const std::string& id) {
    // The page has taken the row away already; the engine's next list will not have it either.
    std::erase_if(list_, [&](const AlarmClockPtr& a) { return a->id == id; });
    Post([e = &engine_, id = QString::fromStdString(id)] { e->AlarmDeletedByUser(id); });
}

void CAlarmBoard::RestReminderClosed() {
    Post([e = &engine_] { e->RestReminderClosed(); });
}

void CAlarmBoard::SpeakNow() {
    Post([e = &engine_] { e->SpeakNow(); });
}

void CAlarmBoard::SetWakeEnabled(bool on) {
    wakeEnabled_ = on;
    Post([e = &engine_, on] { e->SetWakeEnabled(on); });
}

void CAlarmBoard::StartHeartbeat() {
    Beat();
    heartbeat_.start();
}
