#include "widgets/zorvel_list_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

CZorvelListCtrl::CZorvelListCtrl(QWidget* parent)
    : QTreeView(parent), model_(new QStandardItemModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setIconSize(QSize(32, 32));
    setTextElideMode(Qt::ElideRight);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAlternatingRowColors(false);

    QHeaderView* head = header();
    head->setSectionsMovable(true);
    head->setFirstSectionMovable(true);
    head->setSectionsClickable(false);
    head->setSortIndicatorShown(false);
    head->setStretchLastSection(false);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    head->setHighlightSections(false);
    // A double click on a divider fits the column to the left of it.
    disconnect(head, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(head, &QHeaderView::sectionHandleDoubleClicked, this,
            [this](int column) { AutoSizeColumn(column); });
    connect(head, &QHeaderView::sectionMoved, this, &CZorvelListCtrl::OnSectionMoved);

    // Every way of adding or removing a column goes through the model, so the states follow.
    connect(model_, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex& parentIndex, int first, int last) {
                if (parentIndex.isValid())
                    return;
                for (int c = first; c <= last; ++c)
                    columns_.Inserted(c, model_->columnCount());
            });
    connect(model_, &QAbstractItemModel::columnsRemoved, this,
            [this](const QModelIndex& parentIndex, int first, int last) {
                if (parentIndex.isValid())
                    return;
                for (int c = last; c >= first; --c)
                    columns_.Removed(c);
            });
}

int CZorvelListCtrl::InsertColumn(int index, const QString& heading, int width) {
    if (index < 0 || index > model_->columnCount())
        index = model_->columnCount();
    if (!model_->insertColumn(index))
        return -1;
    auto* item = new QStandardItem(heading);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    model_->setHorizontalHeaderItem(index, item);
    header()->setSectionResizeMode(index, QHeaderView::Interactive);
    header()->resizeSection(index, width);
    return index;
}

bool CZorvelListCtrl::DeleteColumn(int index) {
    if (index < 0 || index >= model_->columnCount())
        return false;
    return model_->removeColumn(index);
}

int CZorvelListCtrl::GetColumnCount() const {
    return model_->columnCount();
}

std::vector<int> CZorvelListCtrl::GetColumnOrder() const {
    std::vector<int> order;
    const QHeaderView* head = header();
    order.reserve(static_cast<size_t>(head->count()));
    for (int p = 0; p < head->count(); ++p)
        order.push_back(head->logicalIndex(p));
    return order;
}

void CZorvelListCtrl::ApplyOrder(const std::vector<int>& order) {
    QHeaderView* head = header();
    reordering_ = true;
    for (int p = 0; p < static_cast<int>(order.size()); ++p) {
        int from = head->visualIndex(order[p]);
        if (from != p)
            head->moveSection(from, p);
    }
    reordering_ = false;
}

bool CZorvelListCtrl::SetColumnVisible(int column, bool visible) {
    if (column < 0 || column >= GetColumnCount())
        return false;
    setUpdatesEnabled(false);
    QHeaderView* head = header();
    if (!visible && columns_.IsVisible(column)) {
        ApplyOrder(columns_.Hide(column, GetColumnOrder(), head->sectionSize(column)));
        // Hidden: no width and no divider to drag.
        head->setSectionResizeMode(column, QHeaderView::Fixed);
        head->setSectionHidden(column, true);
    } else if (visible && !columns_.IsVisible(column)) {
        ApplyOrder(columns_.Show(column, GetColumnOrder()));
        head->setSectionHidden(column, false);
        head->setSectionResizeMode(column, QHeaderView::Interactive);
        head->resizeSection(column, columns_.RememberedWidth(column));
    }
    setUpdatesEnabled(true);
    return true;
}

bool CZorvelListCtrl::SetColumnWidth(int column, int width) {
    if (!columns_.CanResize(column))
        return false;
    header()->resizeSection(column, width);
    return true;
}

int CZorvelListCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= GetColumnCount())
        return 0;
    return header()->sectionSize(column);
}

int CZorvelListCtrl::FitWidth(const QString& sample, int atLeast, bool withImage) const {
    int width = fontMetrics().horizontalAdvance(sample) + 16;
    if (withImage)
        width += iconSize().width() + 6;
    return std::max(atLeast, width);
}

void CZorvelListCtrl::AutoSizeColumn(int column) {
    if (column == -1) {
        for (int c = 0; c < GetColumnCount(); ++c)
            AutoSizeColumn(c);
        return;
    }
    if (!columns_.CanResize(column))
        return;
    resizeColumnToContents(column);
}

void CZorvelListCtrl::OnSectionMoved(int column, int /*oldPosition*/, int newPosition) {
    if (reordering_)
        return;
    int position = columns_.DropPosition(GetColumnOrder(), column, newPosition);
    if (position != newPosition) {
        reordering_ = true;
        header()->moveSection(newPosition, position);
        reordering_ = false;
    }
}

int CZorvelListCtrl::InsertItem(int row, const QString& text, const QIcon& image) {
    if (row < 0 || row > model_->rowCount())
        row = model_->rowCount();
    QList<QStandardItem*> items;
    for (int c = 0; c < std::max(1, model_->columnCount()); ++c) {
        auto* item = new QStandardItem;
        item->setEditable(false);
        items << item;
    }
    items[0]->setText(text);
    if (!image.isNull())
        items[0]->setIcon(image);
    model_->insertRow(row, items);
    return row;
}

bool CZorvelListCtrl::SetItemText(int row, int column, const QString& text) {
    QStandardItem* item = model_->item(row, column);
    if (!item)
        return false;
    item->setText(text);
    return true;
}

QString CZorvelListCtrl::GetItemText(int row, int column) const {
    QStandardItem* item = model_->item(row, column);
    return item ? item->text() : QString();
}

bool CZorvelListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= model_->rowCount())
        return false;
    return model_->removeRow(row);
}

void CZorvelListCtrl::DeleteAllItems() {
    model_->removeRows(0, model_->rowCount());
}

int CZorvelListCtrl::GetItemCount() const {
    return model_->rowCount();
}

bool CZorvelListCtrl::IsItemSelected(int row) const {
    return row >= 0 && row < model_->rowCount() &&
           selectionModel()->rowIntersectsSelection(row, QModelIndex());
}

std::vector<int> CZorvelListCtrl::SelectedRowsFromBottom() const {
    std::vector<int> rows;
    for (int row = model_->rowCount() - 1; row >= 0; --row)
        if (IsItemSelected(row))
            rows.push_back(row);
    return rows;
}

void CZorvelListCtrl::SelectRow(int row, bool add) {
    if (row < 0 || row >= model_->rowCount())
        return;
    auto flags = QItemSelectionModel::Rows |
                 (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    selectionModel()->select(model_->index(row, 0), flags);
}

void CZorvelListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Plus && (event->modifiers() & Qt::ControlModifier) &&
        (event->modifiers() & Qt::KeypadModifier)) {
        AutoSizeColumn(-1);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CZorvelListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    // Grid lines: one under every row and one at the right edge of every shown column.
    painter->save();
    QColor line = palette().color(QPalette::Mid);
    line.setAlpha(90);
    painter->setPen(line);
    const QRect r = option.rect;
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    const QHeaderView* head = header();
    for (int p = 0; p < head->count(); ++p) {
        int c = head->logicalIndex(p);
        if (head->isSectionHidden(c))
            continue;
        int x = head->sectionViewportPosition(c) + head->sectionSize(c) - 1;
        painter->drawLine(x, r.top(), x, r.bottom());
    }
    painter->restore();
}
