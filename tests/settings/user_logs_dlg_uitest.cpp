#include <gtest/gtest.h>

#include <QPushButton>
#include <vector>

#include "alarms/zorvel_list_ctrl.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

std::vector<std::u16string> StoredLogTexts() {
    std::vector<LogRecord> logs;
    CClockManager().GetAllLogs(logs);
    std::vector<std::u16string> texts;
    for (const LogRecord& l : logs)
        texts.push_back(FromStored(l.content));
    return texts;
}

class UserLogsPageTest : public test::TempDatabaseTest {
protected:
    test::ModalWatchdog watchdog;
};

TEST_F(UserLogsPageTest, ListsEntriesInStoredOrderAndRegistersItself) {
    EXPECT_EQ(g_pUserLogsDlg, nullptr);
    {
        CUserLogsDlg empty;
        EXPECT_EQ(empty.listCtrl()->GetItemCount(), 0);
        EXPECT_EQ(g_pUserLogsDlg, &empty);
        // A click on 删除 with nothing in the list does nothing.
        empty.findChild<QPushButton*>("deleteLogButton")->click();
    }
    EXPECT_EQ(g_pUserLogsDlg, nullptr);

    CClockManager().AddLog(u"添加了一个闹钟 2011-09-18 07:00:00");
    CClockManager().AddLog(u"手动删除了一个闹钟 每天 2011-09-18 07:00:00");
    CUserLogsDlg page;
    CZorvelListCtrl* list = page.findChild<CZorvelListCtrl*>("logList");
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(1, 0), "2");
    EXPECT_EQ(list->GetItemText(1, 3), "手动删除了一个闹钟 每天 2011-09-18 07:00:00");
    EXPECT_EQ(list->GetItemText(0, 1).size(), 38);  // the hidden id
    EXPECT_FALSE(list->IsColumnVisible(1));
    EXPECT_EQ(list->GetItemText(0, 2).size(), 19);  // "2011-09-18 07:00:00"
    EXPECT_FALSE(list->itemModel()->item(0, 0)->icon().isNull());

    CClockManager().AddLog(u"更新了一个闹钟 2011-09-18 08:00:00");
    g_pUserLogsDlg->Refill();
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(UserLogsPageTest, DeletesSelectedRowsAndLeavesTheOtherNumbersAlone) {
    for (int i = 1; i <= 5; ++i)
        CClockManager().AddLog(u"line " + Utf8ToUtf16(std::to_string(i)));
    CUserLogsDlg page;
    CZorvelListCtrl* list = page.listCtrl();
    auto* del = page.findChild<QPushButton*>("deleteLogButton");
    del->click();  // nothing selected: nothing goes
    EXPECT_EQ(list->GetItemCount(), 5);

    list->SelectRow(1);
    list->SelectRow(2);
    // An entry already gone from storage loses its row all the same.
    CClockManager().RemoveLog(list->GetItemText(2, 1).toStdU16String());
    del->click();
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(0, 0), "1");
    EXPECT_EQ(list->GetItemText(1, 0), "4");
    EXPECT_EQ(list->GetItemText(2, 0), "5");
    EXPECT_EQ(StoredLogTexts(), (std::vector<std::u16string>{u"line 1", u"line 4", u"line 5"}));
    page.Refill();
    EXPECT_EQ(list->GetItemText(2, 0), "3");
}

}  // namespace
