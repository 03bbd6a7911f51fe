#include "settings/user_logs_dlg.h"

#include <QPushButton>
#include <vector>

#include "alarms/zorvel_list_ctrl.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "widgets/list_page_layout.h"
#include "widgets/message_box.h"
#include "widgets/stored_text.h"

using namespace zorvel;

CUserLogsDlg* g_pUserLogsDlg = nullptr;

namespace {
enum Column { kNumber = 0, kId = 1, kTime = 2, kContent = 3 };

}  // namespace

CUserLogsDlg::CUserLogsDlg(QWidget* parent) : QWidget(parent) {
    setObjectName("logPage");
    listCtrl_ = new CZorvelListCtrl;
    listCtrl_->setObjectName("logList");
    listCtrl_->setAccessibleName(QStringLiteral("用户日记"));
    deleteButton_ = new QPushButton(QStringLiteral("删除"));
    deleteButton_->setObjectName("deleteLogButton");
    connect(deleteButton_, &QPushButton::clicked, this, &CUserLogsDlg::OnDelete);

    LayOutListPage(this, listCtrl_, {deleteButton_});

    listCtrl_->InsertColumn(kNumber, QStringLiteral("编号"),
                            listCtrl_->FitWidth(QStringLiteral("999"), 60, true));
    listCtrl_->InsertColumn(kId, QStringLiteral("id"), 100);
    listCtrl_->InsertColumn(kTime, QStringLiteral("日志时间"),
                            listCtrl_->FitWidth(QStringLiteral("2000-00-00 00:00:00"), 130));
    // Wide enough for an ordinary log line, narrow enough that the page needs no scroll bar;
    // a longer line ends in "…" until the column is widened.
    listCtrl_->InsertColumn(kContent, QStringLiteral("日志内容"), 300);
    listCtrl_->SetColumnVisible(kId, false);
    logImage_ = QIcon(QStringLiteral(":/settings/log_entry.svg"));

    Refill();
    g_pUserLogsDlg = this;
}

CUserLogsDlg::~CUserLogsDlg() {
    if (g_pUserLogsDlg == this)
        g_pUserLogsDlg = nullptr;
}

void CUserLogsDlg::Refill() {
    std::vector<LogRecord> logs;
    try {
        CClockManager().GetAllLogs(logs);
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(this, e);
        return;
    }
    listCtrl_->DeleteAllItems();
    for (const LogRecord& log : logs) {
        int row = listCtrl_->GetItemCount();
        listCtrl_->InsertItem(row, QString::number(row + 1), logImage_);
        listCtrl_->SetItemText(row, kId, FromStoredText(log.id));
        listCtrl_->SetItemText(row, kTime, FromStoredText(log.logTime));
        listCtrl_->SetItemText(row, kContent, FromStoredText(log.content));
    }
}

void CUserLogsDlg::OnDelete() {
    std::vector<int> rows = listCtrl_->SelectedRowsFromBottom();
    if (rows.empty())
        return;
    try {
        CClockManager manager;
        for (int row : rows) {
            // An entry that is already gone loses its row all the same.
            manager.RemoveLog(listCtrl_->GetItemText(row, kId).toStdU16String());
            listCtrl_->DeleteItem(row);
        }
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(this, e);
    }
}
