#include "alarms/edit_alarm_clock_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <ctime>

#include "alarms/core/alarm_editor_logic.h"
#include "alarms/core/alarm_time.h"
#include "alarms/core/repeat_rule.h"
#include "alarms/core/ring_plan.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"

using namespace zorvel;

CEditAlarmClockDlg::CEditAlarmClockDlg(const QString& id, CClockManager& manager,
                                       const Clock& clock, QWidget* parent)
    : CAlarmEditorDlg(QStringLiteral("编辑闹钟"), "editAlarmDlg", manager, clock, parent),
      alarmId(ToStored(id.toStdU16String())) {
    InitFromAlarm();
    MarkUnchanged();
}

void CEditAlarmClockDlg::InitFromAlarm() {
    InitControls();
    AlarmClockRecord alarm;
    if (!ReadItem([&] {
            manager_.GetAlarmClock(alarmId, &alarm);
            return !alarm.id.empty();
        }))
        return;
    ringTypeSel_ = alarm.ringType;
    if (auto t = ReadAlarmTime(alarm.alarmTime)) {
        std::tm tm{};
        localtime_r(&*t, &tm);
        hourCombo_->setCurrentIndex(tm.tm_hour);
        minuteCombo_->setCurrentIndex(tm.tm_min);
        datePicker_->setDate(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));
    }
    // The ring list shows the alarm's own ring even while the ring is off, so that switching
    // it back on shows what will be stored.
    QString ring = FromStoredText(alarm.ring);
    if (alarm.ringType >= 0 && alarm.ringType < static_cast<int>(kRingListEntries.size()) &&
        (ring.isEmpty() || ring.toStdU16String() == kRingListEntries[alarm.ringType])) {
        ringCombo_->setCurrentIndex(alarm.ringType);
    } else {
        ringCombo_->setCurrentIndex(-1);
        ringCombo_->setEditText(ring);
    }
    ringCheck_->setChecked(alarm.isRing);
    ShowProgramLabels(alarm.ringType == kRingRunProgram);
    contentEdit_->setText(FromStoredText(alarm.content));
    ShowRule(RuleOf(alarm));
    OnRingEffect();
    SetLoaded();
}

SaveResult CEditAlarmClockDlg::Store(const Values& values) {
    return UpdateAlarm(manager_, alarmId, values);
}
