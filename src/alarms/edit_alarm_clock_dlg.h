#pragma once

#include <QString>
#include <string>

#include "alarms/alarm_editor_dlg.h"

// "编辑闹钟": changes a stored alarm, identified by its id.
class CEditAlarmClockDlg : public CAlarmEditorDlg {
    Q_OBJECT
public:
    CEditAlarmClockDlg(const QString& id, CClockManager& manager, const zorvel::Clock& clock,
                       QWidget* parent);

    // How loading the alarm went; the dialog is run only when it was loaded.
    enum class Load { kLoaded, kMissing, kFailed };
    Load loadResult() const { return loadResult_; }
    const QString& loadError() const { return loadError_; }

    void OnOK();

    std::string alarmId;  // stored text
    // Write "更新了一个闹钟 " (or, for an alarm stored anew because it had been deleted
    // meanwhile, "添加了一个闹钟 ") followed by the time text; tests replace them.
    AlarmLogger updateLogger;
    AlarmLogger addLogger;

protected:
    void accept() override { OnOK(); }

private:
    void InitFromAlarm();

    Load loadResult_ = Load::kMissing;
    QString loadError_;
};
