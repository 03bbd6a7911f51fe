#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include "alarms/core/scheduler.h"
#include "platform/platform_services.h"
#include "platform/second_ticker.h"

class CAlarmDlg;
class CZorvelListCtrl;
class QPushButton;

// The alarm page. It owns the scheduler's alarm list and the one-second alarm test, which
// runs for the life of the program whether the page is visible or not. The rows and the
// alarm list are always rebuilt together, so what the page shows is what may ring.
class CMyClockDlg : public QWidget {
    Q_OBJECT
public:
    explicit CMyClockDlg(QWidget* parent = nullptr, const PlatformServices& services = Services());
    ~CMyClockDlg() override;

    // Loads the alarms and starts the alarm test.
    void OnInitDialog();
    // The five columns, the id column hidden.
    void SetUpColumns();
    // Rebuilds the rows and the scheduler's list from storage.
    void FillAlarmList();
    // The alarm test at a given moment; the ticker calls it with the current time.
    void CheckDueAlarms(zorvel::TimePoint now);
    // Opens a ring window for a record of the list.
    CAlarmDlg* RingAlarm(const AlarmClockPtr& alarm);

    // "添加闹钟", a double click on a row, "删除".
    void OnAddAlarm();
    void OnListDblClk(int row, int column);
    void OnDeleteAlarms();

    zorvel::AlarmSchedule& schedule() { return schedule_; }
    AlarmClockList& alarmList() { return schedule_.alarmList; }
    bool IsTesting() const { return testing_; }
    CZorvelListCtrl* listCtrl() const { return listCtrl_; }

    zorvel::DeleteLogger deleteLogger = &zorvel::LogDeletedAlarm;
    QPointer<CAlarmDlg> ringWindow;  // the ring window opened last

signals:
    void AlarmRang(const QString& alarmId);

private:
    // The editors belong to the window the page sits in.
    QWidget* EditorParent();

    PlatformServices services_;
    zorvel::AlarmSchedule schedule_;
    bool testing_ = false;
    CZorvelListCtrl* listCtrl_;
    QPushButton* addButton_;
    QPushButton* deleteButton_;
    QIcon expiredImage;
    QIcon activeImage;
};
