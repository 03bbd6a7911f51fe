#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "alarms/core/alarm_operations.h"
#include "alarms/core/repeat_rule.h"
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

// What the editors have in common: the time, ring and text fields, their enabling rules, the
// file choice and the quick-text menu. CAddAlarmClock and CEditAlarmClockDlg add how the
// values are first shown and where they are stored. Closing with changes ("取消", Escape, the
// close box) first asks "是否放弃修改？".
class CAlarmEditorDlg : public QDialog {
    Q_OBJECT
public:
    // The values the fields hold now, as they would be stored.
    using Values = zorvel::AlarmValues;

    // "确定": stores the alarm with its log line and closes. A text the record service would
    // refuse is told and the dialog stays open; so does a storage error, with what the user
    // entered.
    void OnOK();
    // Whether any field differs from what the dialog opened with.
    bool HasChanges() const;
    // "取消", Escape and the close box: closes at once without changes, else asks first.
    void reject() override;

    // The repeat list changed: the date is for 仅一次 only, the day boxes for 每周 only.
    void OnRepeatChanged();
    // "周一至周五": ticks Monday to Friday and nothing else.
    void OnWorkweekPreset();
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
    // Takes what the fields show now as what the dialog opened with.
    void MarkUnchanged();
    void accept() override { OnOK(); }
    // Whether this is the add dialog (which stores no ring text when the ring is off).
    virtual bool Adding() const = 0;
    // Stores the values with their log line; storage errors raise.
    virtual zorvel::SaveResult Store(const Values& values) = 0;

    CClockManager& manager_;
    const zorvel::Clock& clock_;

    // Shows the repeat rule (entries in RepeatKind order) and the ticked days of a weekly one.
    void ShowRule(const zorvel::RepeatRule& rule);
    zorvel::RepeatRule ChosenRule() const;
    void UpdateRuleNote();

    QComboBox* repeatCombo_;
    QCheckBox* weekdayChecks_[7];
    QPushButton* workweekButton_;
    QWidget* weekdayRow_;
    QLabel* ruleNoteLabel_;
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

private:
    Values openedWith_;
    bool asking_ = false;
};
