#include "widgets/core/list_columns.h"

#include <algorithm>

namespace zorvel {

namespace {
int PositionOf(const std::vector<int>& order, int column) {
    auto it = std::find(order.begin(), order.end(), column);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}
}  // namespace

bool ListColumns::IsVisible(int column) const {
    return column >= 0 && column < static_cast<int>(columnStates_.size()) &&
           columnStates_[column].visible;
}

void ListColumns::Inserted(int index, int columnCount) {
    if (static_cast<int>(columnStates_.size()) >= columnCount)
        return;
    index = std::clamp(index, 0, static_cast<int>(columnStates_.size()));
    columnStates_.insert(columnStates_.begin() + index, ColumnState{});
}

void ListColumns::Removed(int index) {
    if (index >= 0 && index < static_cast<int>(columnStates_.size()))
        columnStates_.erase(columnStates_.begin() + index);
}

std::vector<int> ListColumns::Hide(int column, std::vector<int> order, int currentWidth) {
    int position = PositionOf(order, column);
    if (!IsVisible(column) || position < 0)
        return order;
    ColumnState& state = columnStates_[column];
    state.position = position;
    order.erase(order.begin() + position);
    order.insert(order.begin(), column);
    state.width = currentWidth;
    state.visible = false;
    return order;
}

std::vector<int> ListColumns::Show(int column, std::vector<int> order) {
    int position = PositionOf(order, column);
    if (column < 0 || column >= static_cast<int>(columnStates_.size()) || IsVisible(column) ||
        position < 0)
        return order;
    int last = static_cast<int>(order.size()) - 1;
    int target = columnStates_[column].position;
    while (position < last && position < target) {
        std::swap(order[position], order[position + 1]);
        ++position;
    }
    while (position < last && !IsVisible(order[position + 1])) {
        std::swap(order[position], order[position + 1]);
        ++position;
    }
    columnStates_[column].visible = true;
    return order;
}

int ListColumns::RememberedWidth(int column) const {
    if (column < 0 || column >= static_cast<int>(columnStates_.size()))
        return 0;
    return columnStates_[column].width;
}

int ListColumns::DropPosition(const std::vector<int>& order, int column, int newPosition) const {
    std::vector<int> others;
    for (int c : order)
        if (c != column)
            others.push_back(c);
    int firstVisible = static_cast<int>(others.size());
    for (int i = 0; i < static_cast<int>(others.size()); ++i) {
        if (IsVisible(others[i])) {
            firstVisible = i;
            break;
        }
    }
    return std::max(newPosition, firstVisible);
}

}  // namespace zorvel
