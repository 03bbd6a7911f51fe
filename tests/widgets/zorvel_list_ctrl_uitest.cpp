#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "support/ui_helpers.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using Order = std::vector<int>;

TEST(ListCtrlTest, HiddenColumnStaysHiddenInFrontWhateverTheUserDoes) {
    CZorvelListCtrl list;
    list.resize(600, 300);
    for (const char* heading : {"编号", "ID", "闹钟时间", "闹钟事件"})
        list.InsertColumn(-1, heading, 90);
    list.SetColumnVisible(1, false);
    for (int r = 0; r < 3; ++r) {
        list.InsertItem(r, QString::number(r + 1));
        list.SetItemText(r, 1, QString("{id-%1}").arg(r));
        list.SetItemText(r, 3, QString("a rather long alarm text number %1").arg(r));
    }
    list.show();
    zorvel::test::ProcessEvents();
    QHeaderView* head = list.header();

    EXPECT_EQ(list.GetColumnWidth(1), 0);
    EXPECT_FALSE(list.SetColumnWidth(1, 80));
    EXPECT_EQ(head->sectionResizeMode(1), QHeaderView::Fixed);
    // What the header does when the user drops column 3 in front of everything.
    head->moveSection(head->visualIndex(3), 0);
    EXPECT_EQ(list.GetColumnOrder(), (Order{1, 3, 0, 2}));
    // Ctrl with keypad plus fits the visible columns only; a plain plus does nothing.
    QTest::keyClick(&list, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(list.GetColumnWidth(3), 90);
    QTest::keyClick(&list, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_GT(list.GetColumnWidth(3), 200);
    EXPECT_EQ(list.GetColumnWidth(1), 0);
    // So does a double click on a divider.
    list.SetColumnWidth(3, 60);
    QPoint divider(head->sectionViewportPosition(3) + 59, head->height() / 2);
    QTest::mouseDClick(head->viewport(), Qt::LeftButton, Qt::NoModifier, divider);
    EXPECT_GT(list.GetColumnWidth(3), 200);

    list.InsertColumn(0, "新", 40);  // the hidden state moves with its column
    EXPECT_FALSE(list.IsColumnVisible(2));
    EXPECT_EQ(list.GetItemText(0, 2), "{id-0}");
    list.SetColumnVisible(2, true);
    EXPECT_EQ(list.GetColumnWidth(2), 90);
}

}  // namespace
