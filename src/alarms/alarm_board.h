#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

#include "alarms/alarm_engine.h"
#include "storage/records.h"

// The window thread's side of the alarm engine: the latest list of alarms as they may ring, and
// the calls windows make to the engine, each passed on without waiting for it. Lives in the
// window thread; the engine may live in another.
class CAlarmBoard : public QObject {
    Q_OBJECT
public:
    explicit CAlarmBoard(CAlarmEngine& engine, QObject* parent = nullptr);
    ~CAlarmBoard() override;

    // The engine, for connecting to its signals (never to be called from this thread).
    CAlarmEngine& engine() { return engine_; }
    // Stored order, snoozed alarms at their snooze's time.
    const AlarmClockList& alarmList() const { return list_; }

    // Asks the engine to read the alarms again; answered by AlarmListChanged or ReloadFailed.
    void RequestReload();
    void Snooze(quint64 ring, int hours, int minutes);
    void Close(quint64 ring);
    void Shown(quint64 ring);
    // The user deleted this alarm from storage.
    void DeletedByUser(const std::string& id);
    void RestReminderClosed();
    void SpeakNow();
    // Tells the engine once a second that this thread answers, so it can report a stall.
    void StartHeartbeat();
    // Waking the computer for alarms: whether it can work here (a
    // zorvel::CWakeChooser::Availability, unknown until tried) and whether it is on.
    int wakeAvailability() const { return wakeAvailability_; }
    bool wakeEnabled() const { return wakeEnabled_; }
    void SetWakeEnabled(bool on);

signals:
    void AlarmListChanged();
    void WakeStateChanged();
    void ReloadFailed(const QString& error);

private:
    template <typename F>
    void Post(F call);
    void Beat();

    CAlarmEngine& engine_;
    AlarmClockList list_;
    QTimer heartbeat_;
    int wakeAvailability_ = 0;
    bool wakeEnabled_ = true;
};
