#include "alarms/add_alarm_clock.h"

#include "alarms/core/alarm_editor_logic.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "widgets/message_box.h"

using namespace zorvel;

void LogAddedAlarm(const std::u16string& timeText, const AlarmClockRecord& /*alarm*/) {
    CClockManager().AddLog(u"添加了一个闹钟 " + timeText);
    if (g_pUserLogsDlg)
        g_pUserLogsDlg->Refill();
}

CAddAlarmClock::CAddAlarmClock(QWidget* parent)
    : CAlarmEditorDlg(QStringLiteral("添加闹钟"), "addAlarmDlg", parent) {
    InitControls();
}

void CAddAlarmClock::OnOK() {
    Values v = CollectValues(true);
    if (!CheckContentLength(v))
        return;
    bool stored = false;
    try {
        stored = CClockManager().AddAlarmClock(v.alarmTime, v.isEveryday, v.isRing, v.content,
                                               v.ring, v.ringType);
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(this, e);
        return;
    }
    if (!stored) {
        // Nothing else makes the record service refuse a new alarm with a time.
        ShowMessage(this, QStringLiteral("输入的内容过长"));
        return;
    }
    // The record service makes the id; the log line does not need it.
    LogAndAccept(addLogger, std::string(), v);
}
