#pragma once

#include <QWidget>
#include <functional>

class CSettingsService;
class IAutostart;
class QCheckBox;
class QComboBox;
class QRadioButton;

// "软件设置": the settings row as check boxes and lists. Every change is stored at once through
// the settings service, however the control changed (mouse, keyboard, a screen reader's
// action); a change that cannot be stored puts its control back.
class CSoftSettingDlg : public QWidget {
    Q_OBJECT
public:
    // `autostart` may be null (no desktop to start with); `speakNow` speaks the current time.
    CSoftSettingDlg(CSettingsService& settings, IAutostart* autostart,
                    std::function<void()> speakNow, QWidget* parent = nullptr);

private:
    void ReadSettings();
    // Connects a box's state change to a setter; a change that cannot be stored puts the box
    // back.
    void StoreOnToggle(QCheckBox* box, void (CSettingsService::*setter)(bool));
    void OnAutoRunToggled(bool checked);
    void OnPwdReqToggled(bool checked);
    void OnStartupWindow(int value);
    // Runs one setter; on a storage error shows it and returns false.
    template <typename Setter>
    bool Store(Setter&& setter);

    CSettingsService& settings_;
    IAutostart* autostart_;
    std::function<void()> speakNow_;
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
};
