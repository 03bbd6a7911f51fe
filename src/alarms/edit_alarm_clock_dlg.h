#pragma once

#include <QString>
#include <string>

#include "alarms/alarm_editor_dlg.h"
#include "widgets/editor_load.h"

// "编辑闹钟": changes a stored alarm, identified by its id.
class CEditAlarmClockDlg : public CAlarmEditorDlg, public CEditorLoad {
    Q_OBJECT
public:
    CEditAlarmClockDlg(const QString& id, CClockManager& manager, const zorvel::Clock& clock,
                       QWidget* parent);

    std::string alarmId;  // stored text

protected:
    bool Adding() const override { return false; }
    // An alarm deleted while the dialog was open is stored anew.
    zorvel::SaveResult Store(const Values& values) override;

private:
    void InitFromAlarm();
};
