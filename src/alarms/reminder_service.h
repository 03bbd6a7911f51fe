#pragma once

#include <QObject>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

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
    // `stateFile` keeps the last moment the service was seen running, so a start can tell
    // which alarms came due while the program was not running; empty: not kept.
    CReminderService(zorvel::CStore& store, CChangeNotifier& notifier, const SettingsCache& cache,
                     const zorvel::Clock& clock, std::string stateFile = std::string(),
                     QObject* parent = nullptr);
    ~CReminderService() override;

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

    // A ring window's "延迟再响": the alarm rings again at `until` (stored text). Kept by id, so
    // the snooze survives reloads of the list; an edit or deletion of the alarm ends it.
    void Snooze(const std::string& alarmId, const std::string& until);
    bool IsSnoozed(const std::string& alarmId) const { return snoozes_.count(alarmId) > 0; }

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
    // Alarms whose minute passed while nothing could ring them (the computer slept, the clock
    // jumped, the program was not running): to be listed, not rung.
    void AlarmsMissed(const AlarmClockList& alarms);

private:
    struct PendingSnooze {
        std::string until;          // stored text
        AlarmClockRecord asStored;  // the alarm as stored when it was snoozed
    };

    void OnAlarmsChanged();
    void ApplySnoozes(AlarmClockList& loaded);
    void RecordLastSeen(std::time_t now);
    std::optional<std::time_t> ReadLastSeen() const;

    zorvel::CStore& store_;
    const SettingsCache& cache_;
    const zorvel::Clock& clock_;
    zorvel::AlarmSchedule schedule_;
    zorvel::ChimeTrigger chime_;
    zorvel::RestCounter rest_;
    bool running_ = false;
    bool listStale_ = false;  // the last reading of the alarms failed (a locked file)
    zorvel::TimePoint staleSince_{};
    std::optional<std::time_t> awaySince_;  // last seen before a start that could not read
    zorvel::TimePoint nextMinuteJob_{};
    std::set<std::string> autoDeletedIds_;  // expired alarms already taken out of storage
    // Those of them that were read in this run, as stored: a ring window still open on one
    // may yet snooze it.
    std::map<std::string, AlarmClockRecord> autoDeleted_;
    std::map<std::string, AlarmClockRecord> stored_;  // as last read, by id
    std::map<std::string, PendingSnooze> snoozes_;    // by id
    std::string stateFile_;
    std::time_t lastSeenWritten_ = 0;
};
