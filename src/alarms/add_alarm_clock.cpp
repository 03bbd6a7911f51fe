#include "alarms/add_alarm_clock.h"

using namespace zorvel;

CAddAlarmClock::CAddAlarmClock(CClockManager& manager, const Clock& clock, QWidget* parent)
    : CAlarmEditorDlg(QStringLiteral("添加闹钟"), "addAlarmDlg", manager, clock, parent) {
    InitControls();
    MarkUnchanged();
}

SaveResult CAddAlarmClock::Store(const Values& values) {
    return AddAlarm(manager_, values);
}
