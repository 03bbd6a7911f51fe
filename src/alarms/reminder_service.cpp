#include "alarms/reminder_service.h"

#include <cstdio>

#include "platform/second_ticker.h"
#include "storage/clock_manager.h"
#include "widgets/change_notifier.h"

using namespace zorvel;

CReminderService::CReminderService(CStore& store, CChangeNotifier& notifier,
                                   const SettingsCache& cache, const Clock& clock,
                                   QObject* parent)
    : QObject(parent),
      store_(store),
      cache_(cache),
      clock_(clock),
      schedule_(clock.Now()),
      chime_(clock.Now()) {
    deleteLogger = [this](const DeletedAlarmInfo& info) {
        LogDeletedAlarm(store_.Manager(), info);
    };
    connect(&notifier, &CChangeNotifier::AlarmsChanged, this, &CReminderService::OnAlarmsChanged);
}

void CReminderService::Start(CSecondTicker& ticker) {
    if (running_)
        return;
    running_ = true;
    QString error;
    if (!ReloadAlarms(&error))
        std::fprintf(stderr, "zorvel: %s\n", error.toLocal8Bit().constData());
    connect(&ticker, &CSecondTicker::Tick, this, [this] {
        const TimePoint now = clock_.Now();
        OnSecond(now);
        // The minute jobs need no particular second; they share the ticker's wake-up.
        if (--secondsToMinute_ <= 0) {
            secondsToMinute_ = 60;
            OnMinute(std::chrono::system_clock::to_time_t(now));
        }
    });
}

bool CReminderService::ReloadAlarms(QString* error) {
    AlarmClockList loaded;
    try {
        store_.Manager().GetAllAlarmClocks(loaded);
    } catch (const CppSQLite3Exception& e) {
        if (error)
            *error = QString::fromUtf8(e.errorMessage());
        return false;
    }
    schedule_.ReloadAlarmList(std::move(loaded));
    emit AlarmListReloaded();
    return true;
}

void CReminderService::OnAlarmsChanged() {
    // Before Start nothing reads storage: the first frame of the clock comes first.
    if (!running_)
        return;
    QString error;
    if (!ReloadAlarms(&error))
        std::fprintf(stderr, "zorvel: %s\n", error.toLocal8Bit().constData());
}

void CReminderService::OnSecond(TimePoint now) {
    for (const AlarmClockPtr& alarm : schedule_.CheckDueAlarms(now))
        emit AlarmDue(alarm);
    if (auto chime = chime_.Tick(now, cache_.ZDBS != 0, cache_.BDBS != 0))
        emit ChimeDue(chime->hour, chime->minute);
}

void CReminderService::OnMinute(std::time_t now) {
    // Every alarm in storage is in alarmList, so when it holds no one-off alarm that has
    // passed there is nothing to delete and no need to touch the file.
    if (MayHaveExpiredAlarms(schedule_.alarmList, now, autoDeletedIds_)) {
        try {
            for (std::string& id : AutoDeleteExpiredAlarms(store_.Manager(), now, deleteLogger))
                autoDeletedIds_.insert(std::move(id));
        } catch (const CppSQLite3Exception& e) {
            // A timer job tells no one; the next minute tries again.
            std::fprintf(stderr, "zorvel: %s\n", e.errorMessage());
        }
    }
    if (rest_.Tick(cache_.isRestRemind, cache_.restRemindInterval)) {
        rest_.ReminderShown();
        emit RestDue();
    }
}

void CReminderService::RestReminderClosed() {
    rest_.ReminderClosed();
}

bool CReminderService::DeleteAlarmByUser(const std::string& id) {
    bool removed = zorvel::DeleteAlarmByUser(store_.Manager(), id, deleteLogger);
    // Out of the test at once, not only when the change comes round.
    schedule_.RemoveFromList(id);
    return removed;
}
