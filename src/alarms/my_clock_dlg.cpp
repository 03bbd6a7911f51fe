#include "alarms/my_clock_dlg.h"

#include <QMessageBox>
#include <cstdio>

#include "alarms/alarm_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"

using namespace zorvel;

CMyClockDlg::CMyClockDlg(QWidget* parent, const PlatformServices& services)
    : QWidget(parent), services_(services), schedule_(Now()) {
    setObjectName("alarmPage");
    connect(&ticker_, &CSecondTicker::Tick, this, [this] { CheckDueAlarms(Now()); });
}

CMyClockDlg::~CMyClockDlg() = default;

void CMyClockDlg::OnInitDialog() {
    FillAlarmList();
    ticker_.Start();
}

void CMyClockDlg::FillAlarmList() {
    AlarmClockList loaded;
    try {
        CClockManager().GetAllAlarmClocks(loaded);
    } catch (const CppSQLite3Exception& e) {
        QMessageBox::critical(this, QStringLiteral("zorvel"), QString::fromUtf8(e.errorMessage()));
        return;
    }
    schedule_.ReloadAlarmList(std::move(loaded));
}

void CMyClockDlg::CheckDueAlarms(TimePoint now) {
    for (const AlarmClockPtr& alarm : schedule_.CheckDueAlarms(now))
        RingAlarm(alarm);
}

CAlarmDlg* CMyClockDlg::RingAlarm(const AlarmClockPtr& alarm) {
    // A top-level window of its own: it stays when the main window is hidden.
    auto* dlg = new CAlarmDlg(alarm, nullptr, services_);
    dlg->StartRinging();
    dlg->ShowOnTop();
    ringWindow = dlg;
    emit AlarmRang(QString::fromStdString(alarm->id));
    return dlg;
}
