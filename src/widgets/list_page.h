#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "widgets/editor_load.h"
#include "widgets/window_modal.h"

class CClockDatabase;
class CZorvelListCtrl;
class QPushButton;

// What the list pages (alarms, notes, memos, log) share: the list filling the page with its
// buttons in a row below it on the right, numbered rows with a picture and a hidden id column,
// editing by double click, deletion of the selected rows from the bottom up, and, where the
// page asks for it, the password prompt before editing and deleting.
class CListPage : public QWidget {
    Q_OBJECT
public:
    struct Setup {
        const char* pageName;    // object name of the page
        const char* listName;    // object name of the list
        QString listTitle;       // accessible name of the list
        const char* addName;     // object name of the add button; nullptr: no add button
        QString addText;         // its text
        const char* deleteName;  // object name of the delete button
        bool passwordGuarded;    // edit and delete ask for the password when it is set
        int idColumn;            // the hidden column holding each row's stored id
    };

    // Asks for the password where one is set; true when the operation may go ahead.
    using PasswordPrompt = std::function<bool(QWidget* parent)>;

    // `askPassword` is needed when the page is password guarded; without it a guarded
    // operation never goes ahead.
    CListPage(const Setup& setup, CClockDatabase& database, PasswordPrompt askPassword,
              QWidget* parent);

    CZorvelListCtrl* listCtrl() const { return listCtrl_; }
    QPushButton* addButton() const { return addButton_; }
    QPushButton* deleteButton() const { return deleteButton_; }

    // Rebuilds every row from storage.
    virtual void Refill() = 0;
    // The add button; a double click on a row.
    virtual void OnAdd() {}
    // A double click on a row: the password (where asked for), then the row's editor. A
    // double click below the last row (of which Qt's list reports nothing) asks for nothing,
    // as there is nothing there to open.
    void OnListDblClk(int row, int column);
    // The delete button: removes the selected rows from storage and from the list, from the
    // last up, each row's stored item by its id. A storage error stops the deletion there.
    void OnDelete();

protected:
    // Opens the editor of the item with this id (after the password, where asked for).
    virtual void EditItem(const QString& id) { (void)id; }
    // Removes one item from storage; false when it was not there (any more).
    virtual bool DeleteItem(const QString& id) = 0;

    // Where the page's change notification goes: refills the rows, except after the page's
    // own deletion, whose rows are gone already and whose remaining rows keep their numbers
    // (as after any deletion) until the page is refilled.
    void OnStoredChange();
    // True (once) when the change that just came round was the page's own deletion.
    bool TakeOwnDeletion();

    // Runs an editor over a stored item once it has read the item: an item deleted meanwhile
    // refills the page to show what is really stored, a failed read is shown. The editor
    // tells how its read went with loadResult() (an EditorLoad) and
    // loadError().
    template <typename Editor>
    void RunEditor(Editor& editor) {
        switch (editor.loadResult()) {
            case EditorLoad::kFailed:
                ShowReadError(editor.loadError());
                return;
            case EditorLoad::kMissing:
                Refill();
                return;
            case EditorLoad::kLoaded:
                break;
        }
        zorvel::RunWindowModal(editor);
    }
    void ShowReadError(const QString& error);

    // Appends a numbered row with its picture, its id and the texts of the following columns.
    void AppendRow(const QIcon& image, const QString& id, const std::vector<QString>& texts);
    // The window the page's editors and prompts belong to.
    QWidget* EditorParent();
    // True when no password is needed or the right one was given.
    bool PasswordAllows();
    // Runs a read that fills the page; false when it failed. A file that cannot be opened at
    // all has been named to the user once, at start-up: the page then stays empty without a
    // message of its own. Other failures are shown.
    bool ReadForPage(const std::function<void()>& read);

    CClockDatabase& database_;
    PasswordPrompt askPassword_;

private:
    Setup setup_;
    CZorvelListCtrl* listCtrl_;
    bool ownDeletionPending_ = false;
    QPushButton* addButton_ = nullptr;
    QPushButton* deleteButton_;
};
