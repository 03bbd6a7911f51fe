#include "alarms/my_clock_dlg.h"

#include <algorithm>
#include <utility>

#include "alarms/add_alarm_clock.h"
#include "alarms/alarm_board.h"
#include "alarms/core/alarm_operations.h"
#include "alarms/core/alarm_time.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"
#include "widgets/window_modal.h"
#include "widgets/zorvel_list_ctrl.h"

using namespace zorvel;

namespace {
enum Column { kNumber = 0, kId = 1, kTime = 2, kContent = 3, kRemark = 4 };

const CListPage::Setup kSetup = {
    "alarmPage",
    "alarmList",
    QStringLiteral("我的闹钟"),
    "addAlarmButton",
    QStringLiteral("添加闹钟"),
    "deleteAlarmButton",
    /*passwordGuarded=*/true,
    kId,
};
}  // namespace

CMyClockDlg::CMyClockDlg(CAlarmBoard& alarms, CStore& store, CSettingsService& settings,
                         const Clock& clock, QWidget* parent)
    : CListPage(kSetup, store.Database(), &settings, parent),
      alarms_(alarms),
      store_(store),
      clock_(clock) {
    resize(562, 334);
    SetUpColumns();
    // The rows follow every reload of the list, except the one after the page's own deletion.
    connect(&alarms_, &CAlarmBoard::AlarmListChanged, this, [this] {
        refillAsked_ = false;
        if (!TakeOwnDeletion())
            FillAlarmList();
    });
    connect(&alarms_, &CAlarmBoard::ReloadFailed, this, [this](const QString& error) {
        // Rows and list stay as they were, still in step.
        if (std::exchange(refillAsked_, false))
            ShowStorageError(this, error);
    });
    FillAlarmList();
}

CMyClockDlg::~CMyClockDlg() = default;

void CMyClockDlg::SetUpColumns() {
    CZorvelListCtrl* list = listCtrl();
    // Numbers and times must show in full; the alarm text gives up what they need beyond
    // their usual widths, so the columns still fit the page.
    int numberWidth = list->FitWidth(QStringLiteral("99"), 50, true);
    int timeWidth = list->FitWidth(QStringLiteral("2000-00-00 00:00:00"), 130);
    int contentWidth = std::max(150, 250 - (numberWidth - 50) - (timeWidth - 130));
    list->InsertColumn(kNumber, QStringLiteral("编号"), numberWidth);
    list->InsertColumn(kId, QStringLiteral("ID"), 100);
    list->InsertColumn(kTime, QStringLiteral("闹钟时间"), timeWidth);
    list->InsertColumn(kContent, QStringLiteral("闹钟事件"), contentWidth);
    list->InsertColumn(kRemark, QStringLiteral("备注(双击修改)"), 100);
    list->SetColumnVisible(kId, false);
}

void CMyClockDlg::Refill() {
    // The rows come from the engine's list; reloading it rebuilds them.
    refillAsked_ = true;
    alarms_.RequestReload();
}

void CMyClockDlg::FillAlarmList() {
    if (expiredImage.isNull()) {
        expiredImage = QIcon(QStringLiteral(":/alarms/expired.svg"));
        activeImage = QIcon(QStringLiteral(":/alarms/active.svg"));
    }
    listCtrl()->DeleteAllItems();
    const std::time_t now = clock_.NowTimeT();
    for (const AlarmClockPtr& alarm : alarms_.alarmList()) {
        const bool expired = IsExpiredAlarm(*alarm, now);
        AppendRow(
            expired ? expiredImage : activeImage, FromStoredText(alarm->id),
            {QString::fromStdString(AlarmTimeListText(*alarm)), FromStoredText(alarm->content),
             expired ? QStringLiteral("已过期") : FromStoredText(alarm->ring)});
    }
}

void CMyClockDlg::OnAdd() {
    CAddAlarmClock dlg(store_.Manager(), clock_, EditorParent());
    zorvel::RunWindowModal(dlg);
}

void CMyClockDlg::EditItem(const QString& id) {
    CEditAlarmClockDlg dlg(id, store_.Manager(), clock_, EditorParent());
    RunEditor(dlg);
}

bool CMyClockDlg::DeleteItem(const QString& id) {
    const std::string stored = ToStoredText(id);
    const bool removed = DeleteAlarmByUser(store_.Manager(), stored);
    // Out of the test at once, and no longer snoozed, even when storage no longer held it.
    alarms_.DeletedByUser(stored);
    return removed;
}
