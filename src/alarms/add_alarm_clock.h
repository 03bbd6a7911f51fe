#pragma once

#include "alarms/alarm_editor_dlg.h"

// Writes "添加了一个闹钟 " followed by the time text and refreshes the log page.
void LogAddedAlarm(const std::u16string& timeText, const AlarmClockRecord& alarm);

// "添加闹钟": a new alarm, offered one minute from now with the first system song.
class CAddAlarmClock : public CAlarmEditorDlg {
    Q_OBJECT
public:
    explicit CAddAlarmClock(QWidget* parent = nullptr);

    void OnOK();

    AlarmLogger addLogger = &LogAddedAlarm;

protected:
    void accept() override { OnOK(); }
};
