#include "alarms/add_alarm_clock.h"

#include "storage/clock_manager.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CAddAlarmClock::CAddAlarmClock(CClockManager& manager, const Clock& clock, QWidget* parent)
    : CAlarmEditorDlg(QStringLiteral("添加闹钟"), "addAlarmDlg", manager, clock, parent) {
    addLogger = [&manager](const std::u16string& timeText, const AlarmClockRecord&) {
        manager.AddLog(u"添加了一个闹钟 " + timeText);
    };
    InitControls();
}

void CAddAlarmClock::OnOK() {
    Values v = CollectValues(true);
    if (!CheckContentLength(v))
        return;
    // The record service makes the id; the log line does not need it.
    StoreAndLog(
        [&]() -> const AlarmLogger* {
            return manager_.AddAlarmClock(v.alarmTime, v.isEveryday, v.isRing, v.content, v.ring,
                                          v.ringType)
                       ? &addLogger
                       : nullptr;
        },
        std::string(), v);
}
