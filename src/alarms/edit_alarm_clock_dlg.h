#pragma once

#include <QString>
#include <string>

#include "alarms/alarm_editor_dlg.h"
#include "widgets/editor_load.h"

// "编辑闹钟": changes a stored alarm, identified by its id.
class CEditAlarmClockDlg : public CAlarmEditorDlg {
    Q_OBJECT
public:
    CEditAlarmClockDlg(const QString& id, CClockManager& manager, const zorvel::Clock& clock,
                       QWidget* parent);

    // How loading the alarm went; the dialog is run only when it was loaded.
    using Load = EditorLoad;
    Load loadResult() const { return loadResult_; }
    const QString& loadError() const { return loadError_; }

    std::string alarmId;  // stored text

protected:
    bool Adding() const override { return false; }
    // An alarm deleted while the dialog was open is stored anew.
    zorvel::SaveResult Store(const Values& values) override;

private:
    void InitFromAlarm();

    Load loadResult_ = Load::kMissing;
    QString loadError_;
};
