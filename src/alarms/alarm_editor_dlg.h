#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "platform/core/clock.h"
#include "storage/records.h"

class CClockManager;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

// Writes one line of the user log about an alarm (the time text as the log names it, and the
// alarm as stored).
using AlarmLogger =
    std::function<void(const std::u16string& timeText, const AlarmClockRecord& alarm)>;

// What the editors have in common: the time, ring and text fields, their enabling rules, the
// file choice and the quick-text menu. CAddAlarmClock and CEditAlarmClockDlg add how the
// values are first shown and where they are stored.
class CAlarmEditorDlg : public QDialog {
    Q_OBJECT
public:
    // The values the fields hold now, as they would be stored.
    struct Values {
        std::u16string alarmTime;
        bool isEveryday = false;
        bool isRing = false;
        std::u16string content;
        std::u16string ring;
        int ringType = 0;
    };

    void OnEveryday();
    void OnRingEffect();
    void OnRingSelChange(int position);
    void OnChooseFile();
    void OnQuickText();
    // Builds quickMenu afresh from the stored alarms; false (after a message) on a storage
    // error.
    bool BuildQuickMenu();

    // "2011-09-18 08:30:00" from the date picker and the hour and minute fields.
    std::u16string BuildAlarmTime() const;
    int ringTypeSel() const { return ringTypeSel_; }
    QMenu* quickMenu() const { return quickMenu_; }

protected:
    // The manager and the clock must outlive the dialog.
    CAlarmEditorDlg(const QString& title, const char* objectName, CClockManager& manager,
                    const zorvel::Clock& clock, QWidget* parent);

    // Fills the lists and shows the values of a new alarm, one minute from now.
    void InitControls();
    // `adding`: the add dialog stores no ring text when the ring is off, the edit dialog
    // stores the shown text either way.
    Values CollectValues(bool adding) const;
    // Refuses (with the message the user sees) a text the record service would refuse.
    bool CheckContentLength(const Values& values);
    void ShowProgramLabels(bool program);
    // Stores the alarm with `store` and writes its log line in one transaction, so both land
    // or neither does, then closes the dialog. `store` returns the logger for the line, or
    // nullptr when the record service refused the alarm (which the user is told). A storage
    // error is shown and the dialog stays open with what the user entered.
    void StoreAndLog(const std::function<const AlarmLogger*()>& store, const std::string& id,
                     const Values& values);

    CClockManager& manager_;
    const zorvel::Clock& clock_;

    QCheckBox* everydayCheck_;
    QDateEdit* datePicker_;
    QComboBox* hourCombo_;
    QComboBox* minuteCombo_;
    QCheckBox* ringCheck_;
    QComboBox* ringCombo_;
    QPushButton* chooseFileButton_;
    QLabel* contentLabel_;
    QLineEdit* contentEdit_;
    QToolButton* quickButton_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QMenu* quickMenu_;
    int ringTypeSel_ = 0;
};
