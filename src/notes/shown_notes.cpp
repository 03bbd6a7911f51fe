#include "notes/shown_notes.h"

#include <QGuiApplication>
#include <QScreen>
#include <vector>

#include "app/change_notifier.h"
#include "notes/core/note_placement.h"
#include "notes/edit_note_dlg.h"
#include "notes/note_background_dlg.h"
#include "notes/show_note_dlg.h"
#include "platform/desktop_shell.h"
#include "platform/log_categories.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"

using namespace zorvel;

CShownNotes::CShownNotes(CStore& store, const Clock& clock, CDesktopShell* shell,
                         CChangeNotifier& notifier)
    : store_(store), clock_(clock), shell_(shell) {
    connect(&notifier, &CChangeNotifier::NotesChanged, this, &CShownNotes::Refresh);
}

CShownNotes::~CShownNotes() {
    for (auto& [id, editor] : editors_)
        delete editor.data();
    for (auto& [id, window] : notes_)
        delete window;
}

QRect CShownNotes::Area() const {
    if (shell_)
        return shell_->AvailableArea();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void CShownNotes::ShowStoredNotes() {
    started_ = true;
    std::vector<NoteRecord> records;
    try {
        store_.Manager().GetAllNotes(records);
    } catch (const CppSQLite3Exception& e) {
        // A file that cannot be opened at all has been named to the user once already.
        if (store_.Database().IsOpen())
            ShowStorageError(nullptr, StorageErrorText(e));
        else
            qCWarning(lcNotes, "%s", e.errorMessage());
        return;
    }
    // Every note is shown, whatever its isShowOnDesktop says: nothing ever sets it off.
    for (const NoteRecord& record : records) {
        const QString id = FromStoredText(record.id);
        known_[id] = {record.content, record.ringTime};
        ShowDesktopNote(id, FromStoredText(record.content));
    }
}

void CShownNotes::Refresh() {
    if (!started_)
        return;  // the notes come onto the desktop at start-up, not before
    std::vector<NoteRecord> records;
    try {
        store_.Manager().GetAllNotes(records);
    } catch (const CppSQLite3Exception& e) {
        // The desktop stays as it is; the next change tries again.
        qCWarning(lcNotes, "%s", e.errorMessage());
        return;
    }
    std::map<QString, std::pair<std::string, std::string>> stored;
    for (const NoteRecord& record : records) {
        const QString id = FromStoredText(record.id);
        auto value = std::make_pair(record.content, record.ringTime);
        auto it = known_.find(id);
        if (it == known_.end() || it->second != value)
            ShowDesktopNote(id, FromStoredText(record.content));
        stored[id] = std::move(value);
    }
    for (const auto& [id, value] : known_)
        if (!stored.count(id))
            ForgetDesktopNote(id);
    known_ = std::move(stored);
}

CNoteBackgroundDlg* CShownNotes::ShowDesktopNote(const QString& id, const QString& text) {
    if (CNoteBackgroundDlg* shown = Find(id)) {
        shown->SetNoteText(text);
        return shown;
    }
    const QRect area = Area();
    std::vector<notes::Point> taken;
    for (const auto& [shownId, window] : notes_)
        taken.push_back({window->x(), window->y()});
    const notes::Point place =
        notes::FirstFreePlace({area.x(), area.y(), area.width(), area.height()}, taken);

    auto* window = new CNoteBackgroundDlg(id, text, *this, shell_);
    window->move(place.x, place.y);
    window->show();
    window->raise();
    notes_[id] = window;
    return window;
}

void CShownNotes::UpdateDesktopNote(const QString& id, const QString& text) {
    ShowDesktopNote(id, text);
}

void CShownNotes::ForgetDesktopNote(const QString& id) {
    auto it = notes_.find(id);
    if (it == notes_.end())
        return;
    CNoteBackgroundDlg* window = it->second;
    notes_.erase(it);
    window->hide();
    // It may be running the command that brought us here.
    window->deleteLater();
}

bool CShownNotes::DeleteNoteEverywhere(const QString& id) {
    const bool removed = store_.Manager().RemoveNote(id.toStdU16String());
    ForgetDesktopNote(id);
    return removed;
}

void CShownNotes::EditNote(const QString& id) {
    std::erase_if(editors_, [](const auto& entry) { return entry.second.isNull(); });
    if (auto it = editors_.find(id); it != editors_.end() && it->second) {
        CEditNoteDlg* open = it->second;
        if (shell_) {
            shell_->ActivateWindow(open);
        } else {
            open->raise();
            open->activateWindow();
        }
        return;
    }
    CNoteBackgroundDlg* note = Find(id);
    auto* editor = new CEditNoteDlg(id, store_.Manager(), clock_, nullptr);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    // A window of its own: it blocks nothing, not even the note it edits.
    editor->setWindowModality(Qt::NonModal);
    switch (editor->loadResult()) {
        case CEditNoteDlg::Load::kFailed:
            ShowStorageError(note, editor->loadError());
            delete editor;
            return;
        case CEditNoteDlg::Load::kMissing:
            // Shown but no longer stored: what the note shows is kept, and stored anew when
            // saved.
            if (note)
                editor->SetText(note->ContentDlg()->noteText());
            break;
        case CEditNoteDlg::Load::kLoaded:
            break;
    }
    editors_[id] = editor;
    editor->show();
}

CNoteBackgroundDlg* CShownNotes::Find(const QString& id) const {
    auto it = notes_.find(id);
    return it == notes_.end() ? nullptr : it->second;
}
