#pragma once

#include <QIcon>
#include <QStandardItemModel>
#include <QTreeView>
#include <vector>

#include "widgets/core/list_columns.h"

// The report list of the alarm, notes, memo and log pages: full-row multiple selection,
// grid lines, movable columns, 32-pixel row pictures, hidden columns (for ids) kept in front,
// and rows in exactly the order the page inserted them (no sorting).
class CZorvelListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CZorvelListCtrl(QWidget* parent = nullptr);

    // One state per column, entry i describing column i.
    const std::vector<zorvel::ColumnState>& columnStates() const { return columns_.columnStates(); }

    // Columns. Inserting and deleting keep columnStates in step.
    int InsertColumn(int index, const QString& heading, int width);
    bool DeleteColumn(int index);
    int GetColumnCount() const;
    bool SetColumnVisible(int column, bool visible);
    bool IsColumnVisible(int column) const { return columns_.IsVisible(column); }
    // Refused (false) for a hidden column.
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // Fits the column to its contents (and heading); -1 fits every visible column.
    void AutoSizeColumn(int column);
    // A width that shows `sample` (after the row picture when `withImage`) in full in this
    // control's font, and never less than `atLeast`. Pages use it so that their fixed-form
    // texts, such as times, are not cut off whatever the desktop's font.
    int FitWidth(const QString& sample, int atLeast, bool withImage = false) const;
    // Display order: element p is the column shown at position p.
    std::vector<int> GetColumnOrder() const;

    // Rows.
    int InsertItem(int row, const QString& text, const QIcon& image = QIcon());
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const;
    bool IsItemSelected(int row) const;
    // Rows selected, from the last to the first: the order in which to delete them.
    std::vector<int> SelectedRowsFromBottom() const;
    void SelectRow(int row, bool add = true);

    QStandardItemModel* itemModel() const { return model_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void ApplyOrder(const std::vector<int>& order);
    void OnSectionMoved(int column, int oldPosition, int newPosition);

    QStandardItemModel* model_;
    zorvel::ListColumns columns_;
    bool reordering_ = false;
};
