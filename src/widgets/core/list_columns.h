#pragma once

#include <cstddef>
#include <vector>

namespace zorvel {

// What the list control remembers of one column.
struct ColumnState {
    bool visible = true;
    int width = 0;      // width before the column was hidden
    int position = -1;  // display position before the column was hidden
};

// The column bookkeeping of the list control, kept apart from the widget so that it can be
// reasoned about (and tested) on its own. A display order lists the columns by display
// position: order[position] == column.
class ListColumns {
public:
    // One entry per column, entry i describing column i.
    const std::vector<ColumnState>& columnStates() const { return columnStates_; }
    size_t size() const { return columnStates_.size(); }
    bool IsVisible(int column) const;

    // A column was inserted at `index`; `columnCount` is the number of columns now. An entry
    // is added only while there are fewer entries than columns, so a change that was already
    // counted is not counted twice.
    void Inserted(int index, int columnCount);
    // Column `index` was deleted.
    void Removed(int index);

    // Hides a visible column: remembers its display position and width and returns the new
    // display order, with the column in front. An unknown or hidden column leaves the order
    // as it is (hiding twice must not forget the width).
    std::vector<int> Hide(int column, std::vector<int> order, int currentWidth);
    // Shows a hidden column: it moves back to its remembered position, or further on past
    // hidden columns, so hidden columns stay in front. The caller then gives it
    // RememberedWidth(). An unknown or visible column leaves the order as it is.
    std::vector<int> Show(int column, std::vector<int> order);
    int RememberedWidth(int column) const;

    // The user cannot change the width of a hidden column.
    bool CanResize(int column) const { return IsVisible(column); }

    // A column dragged to display position `newPosition` (the order already shows it there)
    // lands no further left than the first visible column among the others.
    int DropPosition(const std::vector<int>& order, int column, int newPosition) const;

private:
    std::vector<ColumnState> columnStates_;
};

}  // namespace zorvel
