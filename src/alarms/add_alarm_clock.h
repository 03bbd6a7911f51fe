#pragma once

#include "alarms/alarm_editor_dlg.h"

// "添加闹钟": a new alarm, offered one minute from now with the first system song.
class CAddAlarmClock : public CAlarmEditorDlg {
    Q_OBJECT
public:
    CAddAlarmClock(CClockManager& manager, const zorvel::Clock& clock, QWidget* parent);

protected:
    bool Adding() const override { return true; }
    zorvel::SaveResult Store(const Values& values) override;
};
