#pragma once

#include "alarms/alarm_editor_dlg.h"

// "添加闹钟": a new alarm, offered one minute from now with the first system song.
class CAddAlarmClock : public CAlarmEditorDlg {
    Q_OBJECT
public:
    CAddAlarmClock(CClockManager& manager, const zorvel::Clock& clock, QWidget* parent);

    void OnOK();

    // Writes "添加了一个闹钟 " followed by the time text; tests replace it.
    AlarmLogger addLogger;

protected:
    void accept() override { OnOK(); }
};
