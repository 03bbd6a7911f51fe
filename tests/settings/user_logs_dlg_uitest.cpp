#include <gtest/gtest.h>

#include <QPushButton>

#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

class UserLogsPageTest : public test::AppTest {};

TEST_F(UserLogsPageTest, DeletesSelectedRowsAndLeavesTheOtherNumbersAlone) {
    for (int i = 1; i <= 5; ++i)
        manager().AddLog(u"添加了一个闹钟 " + Utf8ToUtf16(std::to_string(i)));
    auto page = std::make_unique<CUserLogsDlg>(manager(), context().notifier());
    CZorvelListCtrl* list = page->findChild<CZorvelListCtrl*>("logList");
    ASSERT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(list->GetItemText(4, 3), "添加了一个闹钟 5");
    EXPECT_FALSE(list->IsColumnVisible(1));

    auto* del = page->findChild<QPushButton*>("deleteLogButton");
    del->click();  // nothing selected: nothing goes
    list->SelectRow(1);
    list->SelectRow(2);
    // An entry already gone from storage loses its row all the same.
    manager().RemoveLog(list->GetItemText(2, 1).toStdU16String());
    del->click();
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(1, 0), "4");
    EXPECT_EQ(list->GetItemText(2, 0), "5");
    // Also once the deletion has come round as a change.
    FlushChanges();
    EXPECT_EQ(list->GetItemText(2, 0), "5");
    std::vector<LogRecord> logs;
    manager().GetAllLogs(logs);
    ASSERT_EQ(logs.size(), 3u);
    EXPECT_EQ(FromStored(logs[1].content), u"添加了一个闹钟 4");
    // A line written by anyone else appears at once, and the rows are numbered afresh.
    manager().AddLog(u"更新了一个闹钟 6");
    FlushChanges();
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(list->GetItemText(3, 3), "更新了一个闹钟 6");
    EXPECT_EQ(list->GetItemText(2, 0), "3");
    page.reset();
}

}  // namespace
