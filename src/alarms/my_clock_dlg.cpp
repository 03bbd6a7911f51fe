#include "alarms/my_clock_dlg.h"

#include <QPushButton>
#include <algorithm>

#include "alarms/add_alarm_clock.h"
#include "alarms/alarm_dlg.h"
#include "alarms/core/alarm_time.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "alarms/zorvel_list_ctrl.h"
#include "settings/pwd_input_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "widgets/list_page_layout.h"
#include "widgets/message_box.h"
#include "widgets/stored_text.h"

using namespace zorvel;

namespace {
enum Column { kNumber = 0, kId = 1, kTime = 2, kContent = 3, kRemark = 4, kColumnCount = 5 };

}  // namespace

CMyClockDlg::CMyClockDlg(QWidget* parent, const PlatformServices& services)
    : QWidget(parent), services_(services), schedule_(Now()) {
    setObjectName("alarmPage");

    listCtrl_ = new CZorvelListCtrl;
    listCtrl_->setObjectName("alarmList");
    listCtrl_->setAccessibleName(QStringLiteral("我的闹钟"));
    addButton_ = new QPushButton(QStringLiteral("添加闹钟"));
    addButton_->setObjectName("addAlarmButton");
    deleteButton_ = new QPushButton(QStringLiteral("删除"));
    deleteButton_->setObjectName("deleteAlarmButton");
    LayOutListPage(this, listCtrl_, {addButton_, deleteButton_});
    resize(562, 334);

    connect(addButton_, &QPushButton::clicked, this, &CMyClockDlg::OnAddAlarm);
    connect(deleteButton_, &QPushButton::clicked, this, &CMyClockDlg::OnDeleteAlarms);
    connect(listCtrl_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { OnListDblClk(index.row(), index.column()); });
    SetUpColumns();
}

CMyClockDlg::~CMyClockDlg() = default;

void CMyClockDlg::OnInitDialog() {
    FillAlarmList();
    if (!testing_) {
        connect(&CSecondTicker::Shared(), &CSecondTicker::Tick, this,
                [this] { CheckDueAlarms(Now()); });
        testing_ = true;
    }
}

void CMyClockDlg::SetUpColumns() {
    if (listCtrl_->GetColumnCount() > 0)
        return;
    // Numbers and times must show in full; the alarm text gives up what they need beyond
    // their usual widths, so the columns still fit the page.
    int numberWidth = listCtrl_->FitWidth(QStringLiteral("99"), 50, true);
    int timeWidth = listCtrl_->FitWidth(QStringLiteral("2000-00-00 00:00:00"), 130);
    int contentWidth = std::max(150, 250 - (numberWidth - 50) - (timeWidth - 130));
    listCtrl_->InsertColumn(kNumber, QStringLiteral("编号"), numberWidth);
    listCtrl_->InsertColumn(kId, QStringLiteral("ID"), 100);
    listCtrl_->InsertColumn(kTime, QStringLiteral("闹钟时间"), timeWidth);
    listCtrl_->InsertColumn(kContent, QStringLiteral("闹钟事件"), contentWidth);
    listCtrl_->InsertColumn(kRemark, QStringLiteral("备注(双击修改)"), 100);
    listCtrl_->SetColumnVisible(kId, false);
}

void CMyClockDlg::FillAlarmList() {
    AlarmClockList loaded;
    try {
        CClockManager().GetAllAlarmClocks(loaded);
    } catch (const CppSQLite3Exception& e) {
        // Rows and list stay as they were, still in step with each other.
        ShowStorageError(this, e);
        return;
    }
    if (expiredImage.isNull()) {
        expiredImage = QIcon(QStringLiteral(":/alarms/expired.svg"));
        activeImage = QIcon(QStringLiteral(":/alarms/active.svg"));
    }
    listCtrl_->DeleteAllItems();
    schedule_.ReloadAlarmList(loaded);
    std::time_t now = NowTimeT();
    for (const AlarmClockPtr& alarm : loaded) {
        bool expired = IsExpiredAlarm(*alarm, now);
        int row = listCtrl_->GetItemCount();
        listCtrl_->InsertItem(row, QString::number(row + 1), expired ? expiredImage : activeImage);
        listCtrl_->SetItemText(row, kId, FromStoredText(alarm->id));
        listCtrl_->SetItemText(row, kTime, QString::fromStdString(AlarmTimeListText(*alarm)));
        listCtrl_->SetItemText(row, kContent, FromStoredText(alarm->content));
        listCtrl_->SetItemText(row, kRemark,
                               expired ? QStringLiteral("已过期") : FromStoredText(alarm->ring));
    }
}

QWidget* CMyClockDlg::EditorParent() {
    return window();
}

void CMyClockDlg::OnAddAlarm() {
    CAddAlarmClock dlg(EditorParent());
    if (dlg.exec() == QDialog::Accepted)
        FillAlarmList();
}

void CMyClockDlg::OnListDblClk(int row, int column) {
    if (row < 0 || row >= listCtrl_->GetItemCount() || column < 0 || column >= kColumnCount)
        return;
    // Keep the row's id: the list may be rebuilt while the password prompt is open.
    QString id = listCtrl_->GetItemText(row, kId);
    if (!CPwdInputDlg::AskIfRequired(this))
        return;
    CEditAlarmClockDlg dlg(id, EditorParent());
    switch (dlg.loadResult()) {
        case CEditAlarmClockDlg::Load::kFailed:
            ShowStorageError(this, dlg.loadError());
            return;
        case CEditAlarmClockDlg::Load::kMissing:
            // Deleted meanwhile (expired alarms are cleaned up): show what is really stored.
            FillAlarmList();
            return;
        case CEditAlarmClockDlg::Load::kLoaded:
            break;
    }
    if (dlg.exec() == QDialog::Accepted)
        FillAlarmList();
}

void CMyClockDlg::OnDeleteAlarms() {
    if (!CPwdInputDlg::AskIfRequired(this))
        return;
    std::vector<int> rows = listCtrl_->SelectedRowsFromBottom();
    if (rows.empty())
        return;
    try {
        CClockManager manager;
        for (int row : rows) {
            std::string id = ToStored(listCtrl_->GetItemText(row, kId).toStdU16String());
            AlarmClockRecord alarm;
            manager.GetAlarmClock(id, &alarm);
            bool removed = manager.RemoveAlarmClock(FromStored(id));
            // Logged once it is really gone; an alarm deleted meanwhile needs no line.
            if (removed && deleteLogger) {
                std::string timeText =
                    alarm.isEveryday ? ToStored(u"每天 ") + alarm.alarmTime : alarm.alarmTime;
                deleteLogger({timeText, alarm, false});
            }
            listCtrl_->DeleteItem(row);
            schedule_.RemoveFromList(id);
        }
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(this, e);
    }
}

void CMyClockDlg::CheckDueAlarms(TimePoint now) {
    for (const AlarmClockPtr& alarm : schedule_.CheckDueAlarms(now))
        RingAlarm(alarm);
}

CAlarmDlg* CMyClockDlg::RingAlarm(const AlarmClockPtr& alarm) {
    // A top-level window of its own: it stays when the main window is hidden.
    auto* dlg = new CAlarmDlg(alarm, nullptr, services_);
    dlg->StartRinging();
    dlg->ShowOnTop();
    ringWindow = dlg;
    emit AlarmRang(QString::fromStdString(alarm->id));
    return dlg;
}
