#pragma once

#include <QWidget>

class CAppContext;
class CHolidayUpdate;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// "软件设置": the settings row as check boxes and lists. Every change is stored at once (and
// the four settings the timers read go to the settings cache with it); a change that cannot
// be stored puts its control back.
class CSoftSettingDlg : public QWidget {
    Q_OBJECT
public:
    explicit CSoftSettingDlg(CAppContext& context, QWidget* parent = nullptr);

private:
    void ReadSettings();
    void AddWakeSetting(QVBoxLayout* layout);
    void OnAutoRunClicked(bool checked);
    void OnPwdReqClicked(bool checked);
    void OnStartupWindow(int value);
    // "更新节假日安排": this year's and next year's schedule, fetched in the background.
    void OnUpdateHolidays();
    // Runs one setter; on a storage error shows it and returns false.
    template <typename Setter>
    bool Store(Setter&& setter);

    CAppContext& context_;
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
    CHolidayUpdate* holidayUpdate_ = nullptr;
};
