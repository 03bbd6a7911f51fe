#include <gtest/gtest.h>

#include <vector>

#include "alarms/core/list_columns.h"

namespace {

using zorvel::ListColumns;
using Order = std::vector<int>;

ListColumns WithColumns(int n) {
    ListColumns columns;
    for (int i = 0; i < n; ++i)
        columns.Inserted(i, i + 1);
    return columns;
}

TEST(ListColumnsTest, HiddenColumnGoesInFrontAndComesBackToItsPlaceAndWidth) {
    ListColumns columns = WithColumns(5);
    Order order = columns.Hide(2, {0, 1, 2, 3, 4}, 130);
    EXPECT_EQ(order, (Order{2, 0, 1, 3, 4}));
    EXPECT_FALSE(columns.IsVisible(2));
    EXPECT_FALSE(columns.CanResize(2));
    EXPECT_EQ(columns.columnStates()[2].position, 2);

    // Hiding again must not forget the width it had.
    EXPECT_EQ(columns.Hide(2, order, 0), order);
    EXPECT_EQ(columns.RememberedWidth(2), 130);

    order = columns.Show(2, order);
    EXPECT_EQ(order, (Order{0, 1, 2, 3, 4}));
    EXPECT_TRUE(columns.IsVisible(2));
    EXPECT_EQ(columns.RememberedWidth(2), 130);
    // Showing a shown column changes nothing.
    EXPECT_EQ(columns.Show(2, {4, 3, 2, 1, 0}), (Order{4, 3, 2, 1, 0}));
}

TEST(ListColumnsTest, ShownColumnStaysBehindColumnsThatAreStillHidden) {
    ListColumns columns = WithColumns(4);
    Order order = columns.Hide(0, {0, 1, 2, 3}, 50);  // remembered at position 0
    order = columns.Hide(2, order, 80);
    EXPECT_EQ(order, (Order{2, 0, 1, 3}));
    // Its old place is in front, but the hidden column 2 stays before it.
    order = columns.Show(0, order);
    EXPECT_EQ(order, (Order{2, 0, 1, 3}));
    order = columns.Hide(0, order, 50);
    EXPECT_EQ(order, (Order{0, 2, 1, 3}));
    order = columns.Show(0, order);
    EXPECT_EQ(order, (Order{2, 0, 1, 3}));
    // A column remembered at the far right goes back there.
    order = columns.Hide(3, order, 60);
    EXPECT_EQ(order, (Order{3, 2, 0, 1}));
    EXPECT_EQ(columns.Show(3, order), (Order{2, 0, 1, 3}));
}

TEST(ListColumnsTest, DraggedColumnLandsAfterTheHiddenOnes) {
    ListColumns columns = WithColumns(5);
    Order order = columns.Hide(1, {0, 1, 2, 3, 4}, 100);
    order = columns.Hide(3, order, 100);
    EXPECT_EQ(order, (Order{3, 1, 0, 2, 4}));
    // Column 4 dragged to the far left: the order shows it at 0.
    EXPECT_EQ(columns.DropPosition({4, 3, 1, 0, 2}, 4, 0), 2);
    EXPECT_EQ(columns.DropPosition({3, 4, 1, 0, 2}, 4, 1), 2);
    // Dropped among the visible columns it stays where it was put.
    EXPECT_EQ(columns.DropPosition({3, 1, 0, 4, 2}, 4, 3), 3);
    // With no other visible column it lands after all hidden ones.
    ListColumns two = WithColumns(2);
    two.Hide(0, {0, 1}, 10);
    EXPECT_EQ(two.DropPosition({1, 0}, 1, 0), 1);
}

TEST(ListColumnsTest, InsertionAndDeletionKeepStatesInStepWithColumns) {
    ListColumns columns = WithColumns(3);
    columns.Hide(1, {0, 1, 2}, 90);
    columns.Inserted(0, 4);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_TRUE(columns.IsVisible(0));
    EXPECT_EQ(columns.columnStates()[0].position, -1);
    EXPECT_EQ(columns.columnStates()[0].width, 0);
    EXPECT_FALSE(columns.IsVisible(2));  // the hidden column moved up with its state
    EXPECT_EQ(columns.RememberedWidth(2), 90);

    // A change already counted is not counted twice.
    columns.Inserted(1, 4);
    EXPECT_EQ(columns.size(), 4u);

    columns.Removed(0);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_FALSE(columns.IsVisible(1));
    columns.Removed(7);
    columns.Removed(-1);
    EXPECT_EQ(columns.size(), 3u);
    // Unknown columns are never visible and never resizable.
    EXPECT_FALSE(columns.CanResize(3));
    EXPECT_EQ(columns.Hide(9, {0, 1, 2}, 5), (Order{0, 1, 2}));
}

}  // namespace
