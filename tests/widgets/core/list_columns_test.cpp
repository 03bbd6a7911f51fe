#include <gtest/gtest.h>

#include <vector>

#include "widgets/core/list_columns.h"

namespace {

using zorvel::ListColumns;
using Order = std::vector<int>;

ListColumns WithColumns(int n) {
    ListColumns columns;
    for (int i = 0; i < n; ++i)
        columns.Inserted(i, i + 1);
    return columns;
}

TEST(ListColumnsTest, HiddenColumnsStayInFrontAndComeBackWithTheirWidth) {
    ListColumns columns = WithColumns(4);
    Order order = columns.Hide(0, {0, 1, 2, 3}, 50);
    order = columns.Hide(2, order, 80);
    EXPECT_EQ(order, (Order{2, 0, 1, 3}));
    EXPECT_FALSE(columns.CanResize(2));
    EXPECT_EQ(columns.Hide(2, order, 0), order);  // hiding twice keeps the width
    // Column 0's old place is in front, but the still hidden column 2 stays before it.
    order = columns.Show(0, order);
    EXPECT_EQ(order, (Order{2, 0, 1, 3}));
    EXPECT_EQ(columns.RememberedWidth(0), 50);
    order = columns.Hide(3, order, 60);
    EXPECT_EQ(order, (Order{3, 2, 0, 1}));
    EXPECT_EQ(columns.Show(3, order), (Order{2, 0, 1, 3}));  // back at the far right
    EXPECT_EQ(columns.RememberedWidth(2), 80);
    EXPECT_EQ(columns.Show(1, {1, 0, 2, 3}), (Order{1, 0, 2, 3}));  // already shown
}

TEST(ListColumnsTest, DraggedColumnLandsAfterTheHiddenOnes) {
    ListColumns columns = WithColumns(5);
    columns.Hide(3, columns.Hide(1, {0, 1, 2, 3, 4}, 100), 100);  // order {3, 1, 0, 2, 4}
    EXPECT_EQ(columns.DropPosition({4, 3, 1, 0, 2}, 4, 0), 2);
    EXPECT_EQ(columns.DropPosition({3, 1, 0, 4, 2}, 4, 3), 3);
    ListColumns two = WithColumns(2);
    two.Hide(0, {0, 1}, 10);
    EXPECT_EQ(two.DropPosition({1, 0}, 1, 0), 1);  // no other visible column
}

TEST(ListColumnsTest, InsertionAndDeletionKeepStatesInStepWithColumns) {
    ListColumns columns = WithColumns(3);
    columns.Hide(1, {0, 1, 2}, 90);
    columns.Inserted(0, 4);
    columns.Inserted(1, 4);  // already counted: no second entry
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_TRUE(columns.IsVisible(0));
    EXPECT_EQ(columns.columnStates()[0].position, -1);
    EXPECT_FALSE(columns.IsVisible(2));  // the hidden column moved up with its state
    EXPECT_EQ(columns.RememberedWidth(2), 90);
    columns.Removed(0);
    columns.Removed(7);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_FALSE(columns.IsVisible(1));
    EXPECT_FALSE(columns.CanResize(3));
}

}  // namespace
