#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "alarms/zorvel_list_ctrl.h"
#include "support/ui_helpers.h"

namespace {

using Order = std::vector<int>;

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.resize(600, 300);
        list.InsertColumn(0, "编号", 50);
        list.InsertColumn(1, "ID", 100);
        list.InsertColumn(2, "闹钟时间", 130);
        list.InsertColumn(3, "闹钟事件", 90);
        list.SetColumnVisible(1, false);
        for (int r = 0; r < 3; ++r) {
            list.InsertItem(r, QString::number(r + 1));
            list.SetItemText(r, 1, QString("{id-%1}").arg(r));
            list.SetItemText(r, 2, "2011-09-18 08:30:00");
            list.SetItemText(r, 3, QString("a rather long alarm text number %1").arg(r));
        }
        list.show();
        zorvel::test::ProcessEvents();
    }
    CZorvelListCtrl list;
};

TEST_F(ListCtrlTest, HiddenColumnHasNoWidthAndRefusesChanges) {
    EXPECT_EQ(list.GetColumnOrder(), (Order{1, 0, 2, 3}));
    EXPECT_EQ(list.GetColumnWidth(1), 0);
    EXPECT_FALSE(list.SetColumnWidth(1, 80));
    EXPECT_EQ(list.GetColumnWidth(1), 0);
    EXPECT_EQ(list.header()->sectionResizeMode(1), QHeaderView::Fixed);
    EXPECT_EQ(list.GetItemText(2, 1), "{id-2}");  // still there for the page to read

    list.SetColumnVisible(1, true);
    EXPECT_EQ(list.GetColumnOrder(), (Order{0, 1, 2, 3}));
    EXPECT_EQ(list.GetColumnWidth(1), 100);
    EXPECT_TRUE(list.SetColumnWidth(1, 80));
    EXPECT_EQ(list.GetColumnWidth(1), 80);
}

TEST_F(ListCtrlTest, ColumnDraggedToTheFarLeftLandsAfterTheHiddenOne) {
    // What the header does when the user drops column 3 in front of everything.
    list.header()->moveSection(list.header()->visualIndex(3), 0);
    EXPECT_EQ(list.GetColumnOrder(), (Order{1, 3, 0, 2}));
    list.header()->moveSection(list.header()->visualIndex(2), 1);
    EXPECT_EQ(list.GetColumnOrder(), (Order{1, 2, 3, 0}));
}

TEST_F(ListCtrlTest, InsertedAndDeletedColumnsKeepTheirStates) {
    ASSERT_EQ(list.columnStates().size(), 4u);
    list.InsertColumn(0, "新", 40);
    ASSERT_EQ(list.columnStates().size(), 5u);
    EXPECT_FALSE(list.IsColumnVisible(2));  // the id column, moved up by one
    EXPECT_EQ(list.GetColumnWidth(2), 0);
    EXPECT_EQ(list.GetItemText(0, 2), "{id-0}");
    list.DeleteColumn(0);
    list.DeleteColumn(3);
    ASSERT_EQ(list.columnStates().size(), 3u);
    EXPECT_FALSE(list.IsColumnVisible(1));
    EXPECT_FALSE(list.DeleteColumn(5));
    EXPECT_EQ(list.columnStates().size(), 3u);
}

TEST_F(ListCtrlTest, CtrlKeypadPlusAndDividerDoubleClickFitVisibleColumns) {
    QTest::keyClick(&list, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_GT(list.GetColumnWidth(3), 200);  // the long texts now show in full
    EXPECT_EQ(list.GetColumnWidth(1), 0);    // the hidden column stays hidden

    // A plain plus (not the keypad one) does nothing.
    list.SetColumnWidth(3, 60);
    QTest::keyClick(&list, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(list.GetColumnWidth(3), 60);

    // Double click on the divider at the right edge of column 3.
    QHeaderView* head = list.header();
    QPoint divider(head->sectionViewportPosition(3) + head->sectionSize(3) - 1, head->height() / 2);
    QTest::mouseDClick(head->viewport(), Qt::LeftButton, Qt::NoModifier, divider);
    EXPECT_GT(list.GetColumnWidth(3), 200);
}

TEST_F(ListCtrlTest, RowsKeepTheirOrderAndSelectionIsByWholeRows) {
    // A click on a heading does not sort.
    QHeaderView* head = list.header();
    QTest::mouseClick(head->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(head->sectionViewportPosition(0) + 10, head->height() / 2));
    EXPECT_EQ(list.GetItemText(0, 0), "1");
    EXPECT_EQ(list.GetItemText(2, 0), "3");

    list.SelectRow(0, false);
    list.SelectRow(2);
    EXPECT_EQ(list.SelectedRowsFromBottom(), (Order{2, 0}));
    EXPECT_TRUE(list.selectionModel()->isSelected(list.itemModel()->index(2, 3)));
    EXPECT_EQ(list.iconSize(), QSize(32, 32));
}

}  // namespace
