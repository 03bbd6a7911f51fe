#include "widgets/list_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "platform/log_categories.h"
#include "storage/clock_database.h"
#include "widgets/storage_action.h"
#include "widgets/zorvel_list_ctrl.h"

CListPage::CListPage(const Setup& setup, CClockDatabase& database, PasswordPrompt askPassword,
                     QWidget* parent)
    : QWidget(parent), database_(database), askPassword_(std::move(askPassword)), setup_(setup) {
    setObjectName(QString::fromLatin1(setup.pageName));
    listCtrl_ = new CZorvelListCtrl;
    listCtrl_->setObjectName(QString::fromLatin1(setup.listName));
    listCtrl_->setAccessibleName(setup.listTitle);

    auto* row = new QHBoxLayout;
    row->addStretch();
    if (setup.addName) {
        addButton_ = new QPushButton(setup.addText);
        addButton_->setObjectName(QString::fromLatin1(setup.addName));
        // Enter belongs to the window (it hides the main window), not to a page's button.
        addButton_->setAutoDefault(false);
        row->addWidget(addButton_);
        connect(addButton_, &QPushButton::clicked, this, [this] { OnAdd(); });
    }
    deleteButton_ = new QPushButton(QStringLiteral("删除"));
    deleteButton_->setObjectName(QString::fromLatin1(setup.deleteName));
    deleteButton_->setAutoDefault(false);
    row->addWidget(deleteButton_);
    connect(deleteButton_, &QPushButton::clicked, this, &CListPage::OnDelete);
    connect(listCtrl_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { OnListDblClk(index.row(), index.column()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(listCtrl_, 1);
    layout->addLayout(row);
}

QWidget* CListPage::EditorParent() {
    return window();
}

bool CListPage::PasswordAllows() {
    if (!setup_.passwordGuarded)
        return true;
    return askPassword_ && askPassword_(this);
}

void CListPage::ShowReadError(const QString& error) {
    zorvel::ShowStorageError(this, error);
}

bool CListPage::ReadForPage(const std::function<void()>& read) {
    try {
        read();
        return true;
    } catch (const CppSQLite3Exception& e) {
        if (database_.IsOpen())
            zorvel::ShowStorageError(this, zorvel::StorageErrorText(e));
        else
            qCWarning(lcStorage, "%s", e.errorMessage());
        return false;
    }
}

void CListPage::OnListDblClk(int row, int column) {
    if (row < 0 || row >= listCtrl_->GetItemCount() || column < 0 ||
        column >= listCtrl_->GetColumnCount())
        return;
    // Keep the row's id: the list may be rebuilt while the password prompt is open.
    const QString id = listCtrl_->GetItemText(row, setup_.idColumn);
    if (!PasswordAllows())
        return;
    EditItem(id);
}

void CListPage::OnDelete() {
    if (!PasswordAllows())
        return;
    // Taken after the prompt: the rows may have been rebuilt meanwhile.
    const std::vector<int> rows = listCtrl_->SelectedRowsFromBottom();
    bool removed = false;
    zorvel::RunStorageAction(this, [&] {
        for (int row : rows) {
            // An item that is already gone loses its row all the same.
            removed = DeleteItem(listCtrl_->GetItemText(row, setup_.idColumn)) || removed;
            listCtrl_->DeleteItem(row);
        }
    });
    // Only a removal raises a change notification for the page to pass over.
    ownDeletionPending_ = ownDeletionPending_ || removed;
}

bool CListPage::TakeOwnDeletion() {
    return std::exchange(ownDeletionPending_, false);
}

void CListPage::OnStoredChange() {
    if (!TakeOwnDeletion())
        Refill();
}

void CListPage::AppendRow(const QIcon& image, const QString& id,
                          const std::vector<QString>& texts) {
    const int row = listCtrl_->GetItemCount();
    listCtrl_->InsertItem(row, QString::number(row + 1), image);
    listCtrl_->SetItemText(row, setup_.idColumn, id);
    int column = setup_.idColumn + 1;
    for (const QString& text : texts)
        listCtrl_->SetItemText(row, column++, text);
}
