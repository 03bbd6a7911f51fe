#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "platform/core/clock.h"

class CAlarmBoard;
class CHolidayUpdate;
class CSettingsService;
class IAutostart;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// "软件设置": the settings row as check boxes and lists. Every change is stored at once through
// the settings service, however the control changed (mouse, keyboard, a screen reader's
// action); a change that cannot be stored puts its control back.
class CSoftSettingDlg : public QWidget {
    Q_OBJECT
public:
    // What the page works with; the pointers must outlive it.
    struct Parts {
        CSettingsService* settings = nullptr;
        IAutostart* autostart = nullptr;  // null: no desktop to start with
        std::function<void()> speakNow;   // speaks the current time
        CAlarmBoard* alarms = nullptr;    // the wake-up setting; null: not offered
        std::string holidayFolder;        // where "更新节假日安排" keeps what it fetches
        const zorvel::Clock* clock = nullptr;
        std::string databasePath;  // what "备份数据…" copies and "恢复数据…" replaces
        // Asks for a file to write (`save`, offering `suggested`) or to read; empty when
        // cancelled. The desktop's file dialog when not given.
        std::function<QString(bool save, const QString& suggested)> chooseFile;
        // After a restore: every page, the alarms and the settings read the file again.
        std::function<void()> reloadAll;
    };

    explicit CSoftSettingDlg(Parts parts, QWidget* parent = nullptr);

private:
    void ReadSettings();
    // Connects a box's state change to a setter; a change that cannot be stored puts the box
    // back.
    void StoreOnToggle(QCheckBox* box, void (CSettingsService::*setter)(bool));
    void OnAutoRunToggled(bool checked);
    void OnPwdReqToggled(bool checked);
    void AddWakeSetting(QVBoxLayout* layout);
    void OnStartupWindow(int value);
    // "更新节假日安排": this year's and next year's schedule, fetched in the background.
    void OnUpdateHolidays();
    // "备份数据…" and "恢复数据…".
    void OnBackup();
    void OnRestore();
    QString ChooseFile(bool save, const QString& suggested);
    // Runs one setter; on a storage error shows it and returns false.
    template <typename Setter>
    bool Store(Setter&& setter);

    Parts parts_;
    CSettingsService& settings_;
    QCheckBox* autoRun_;
    QCheckBox* zdbs_;
    QCheckBox* bdbs_;
    QCheckBox* autoDel_;
    QCheckBox* pwdReq_;
    QCheckBox* restRemind_;
    QComboBox* restInterval_;
    QComboBox* ringPlayType_;
    QRadioButton* startupClock_;
    QRadioButton* startupMain_;
    QPushButton* updateHolidays_;
    QPushButton* backup_;
    QPushButton* restore_;
    CHolidayUpdate* holidayUpdate_ = nullptr;
};
