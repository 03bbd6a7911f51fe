#include "settings/user_logs_dlg.h"

#include <vector>

#include "app/change_notifier.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"
#include "widgets/zorvel_list_ctrl.h"

using namespace zorvel;

namespace {
enum Column { kNumber = 0, kId = 1, kTime = 2, kContent = 3 };

const CListPage::Setup kSetup = {
    "logPage",
    "logList",
    QStringLiteral("用户日记"),
    nullptr,
    QString(),
    "deleteLogButton",
    /*passwordGuarded=*/false,
    kId,
};
}  // namespace

CUserLogsDlg::CUserLogsDlg(CClockManager& manager, CChangeNotifier& notifier, QWidget* parent)
    : CListPage(kSetup, manager.Database(), nullptr, parent), manager_(manager) {
    CZorvelListCtrl* list = listCtrl();
    list->InsertColumn(kNumber, QStringLiteral("编号"),
                       list->FitWidth(QStringLiteral("999"), 60, true));
    list->InsertColumn(kId, QStringLiteral("id"), 100);
    list->InsertColumn(kTime, QStringLiteral("日志时间"),
                       list->FitWidth(QStringLiteral("2000-00-00 00:00:00"), 130));
    // Wide enough for an ordinary log line, narrow enough that the page needs no scroll bar;
    // a longer line ends in "…" until the column is widened.
    list->InsertColumn(kContent, QStringLiteral("日志内容"), 300);
    list->SetColumnVisible(kId, false);
    logImage_ = QIcon(QStringLiteral(":/settings/log_entry.svg"));

    connect(&notifier, &CChangeNotifier::LogChanged, this, &CUserLogsDlg::OnStoredChange);
    Refill();
}

CUserLogsDlg::~CUserLogsDlg() {}

void CUserLogsDlg::Refill() {
    std::vector<LogRecord> logs;
    if (!ReadForPage([&] { manager_.GetAllLogs(logs); }))
        return;
    listCtrl()->DeleteAllItems();
    for (const LogRecord& log : logs)
        AppendRow(logImage_, FromStoredText(log.id),
                  {FromStoredText(log.logTime), FromStoredText(log.content)});
}

bool CUserLogsDlg::DeleteItem(const QString& id) {
    return manager_.RemoveLog(id.toStdU16String());
}
