#pragma once

#include <QPointer>
#include <QWidget>

#include "alarms/core/scheduler.h"
#include "platform/platform_services.h"
#include "platform/second_ticker.h"

class CAlarmDlg;

// The alarm page. It owns the scheduler's alarm list and the one-second alarm test, which
// runs for the life of the program whether the page is visible or not.
class CMyClockDlg : public QWidget {
    Q_OBJECT
public:
    explicit CMyClockDlg(QWidget* parent = nullptr, const PlatformServices& services = Services());
    ~CMyClockDlg() override;

    // Loads the alarms and starts the alarm test.
    void OnInitDialog();
    // Rebuilds the alarm list (and with it the scheduler's list) from storage.
    void FillAlarmList();
    // The alarm test at a given moment; the ticker calls it with the current time.
    void CheckDueAlarms(zorvel::TimePoint now);
    // Opens a ring window for a record of the list.
    CAlarmDlg* RingAlarm(const AlarmClockPtr& alarm);

    zorvel::AlarmSchedule& schedule() { return schedule_; }
    AlarmClockList& alarmList() { return schedule_.alarmList; }
    bool IsTesting() const { return ticker_.IsActive(); }

    zorvel::DeleteLogger deleteLogger = &zorvel::LogDeletedAlarm;
    QPointer<CAlarmDlg> ringWindow;  // the ring window opened last

signals:
    void AlarmRang(const QString& alarmId);

private:
    PlatformServices services_;
    zorvel::AlarmSchedule schedule_;
    CSecondTicker ticker_;
};
