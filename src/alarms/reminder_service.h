#pragma once

#include <QObject>
#include <ctime>
#include <set>
#include <string>

#include "alarms/core/scheduler.h"
#include "platform/core/clock.h"
#include "storage/settings_cache.h"

class CChangeNotifier;
class CSecondTicker;
namespace zorvel {
class CStore;
}

// What runs all day whether or not a window is open: the alarms that may ring (alarmList) and
// their one-second test, the chime on the hour and half hour, the rest reminder's count and
// the automatic deletion of expired alarms. Driven by the second ticker and the clock it is
// given; it opens no window itself but asks for one through its signals.
class CReminderService : public QObject {
    Q_OBJECT
public:
    CReminderService(zorvel::CStore& store, CChangeNotifier& notifier, const SettingsCache& cache,
                     const zorvel::Clock& clock, QObject* parent = nullptr);

    // Loads the alarms and starts the jobs on `ticker`; runs once, after the clock is on
    // screen. Reading storage first keys the file.
    void Start(CSecondTicker& ticker);
    bool IsRunning() const { return running_; }

    // Reads the alarms from storage again. False (alarmList unchanged) on a storage error,
    // whose text is put in `error` when given.
    bool ReloadAlarms(QString* error = nullptr);
    AlarmClockList& alarmList() { return schedule_.alarmList; }

    // The jobs, also callable with a given moment (tests drive them on a fake clock). Once a
    // second: the alarm test and the chime. Once a minute: the automatic deletion and the rest
    // count.
    void OnSecond(zorvel::TimePoint now);
    void OnMinute(std::time_t now);

    // The user deleted an alarm (its stored id): removes it from storage and from alarmList
    // at once, and logs it. Storage errors raise.
    bool DeleteAlarmByUser(const std::string& id);

    // The rest reminder asked for by RestDue has been closed: the count starts afresh.
    void RestReminderClosed();
    const zorvel::RestCounter& restCounter() const { return rest_; }

    // Writes the line of a deletion; tests replace it.
    zorvel::DeleteLogger deleteLogger;

signals:
    // An alarm of alarmList is due: open its ring window (which shares the record).
    void AlarmDue(const AlarmClockPtr& alarm);
    // The spoken time is due.
    void ChimeDue(int hour, int minute);
    // The rest reminder is due; call RestReminderClosed when it has been closed.
    void RestDue();
    // alarmList was rebuilt from storage.
    void AlarmListReloaded();

private:
    void OnAlarmsChanged();

    zorvel::CStore& store_;
    const SettingsCache& cache_;
    const zorvel::Clock& clock_;
    zorvel::AlarmSchedule schedule_;
    zorvel::ChimeTrigger chime_;
    zorvel::RestCounter rest_;
    bool running_ = false;
    int secondsToMinute_ = 60;
    std::set<std::string> autoDeletedIds_;  // expired alarms already taken out of storage
};
