#include "notes/edit_note_dlg.h"

#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"

using namespace zorvel;

CEditNoteDlg::CEditNoteDlg(const QString& id, CClockManager& manager, const Clock& clock,
                           QWidget* parent)
    : CNoteEditorDlg(QStringLiteral("编辑便笺"), "editNoteDlg", manager, clock, parent),
      noteId(ToStoredText(id)) {
    InitFromNote();
}

void CEditNoteDlg::InitFromNote() {
    NoteRecord note;
    if (!ReadItem([&] {
            manager_.GetNote(noteId, &note);
            return !note.id.empty();
        }))
        return;
    SetText(FromStoredText(note.content));
    SetLoaded();
}

void CEditNoteDlg::OnOK() {
    std::u16string text;
    if (!TextToStore(&text))
        return;
    const std::u16string ringTime = RingTimeText();
    std::u16string newId;
    bool stored = false;
    if (!RunStorageAction(this, [&] {
            stored = manager_.ModifyNote(noteId, text, kNoteIsRing, ringTime, kNoteIsShowOnDesktop);
            if (!stored) {
                // The note was deleted while the dialog was open: what the user wrote is kept
                // as a note of its own.
                stored = manager_.AddNote(newId, text, kNoteIsRing, ringTime, kNoteIsShowOnDesktop);
            }
        }))
        return;
    if (!stored) {
        ShowWarning(this, TooLongText());
        return;
    }
    // The desktop follows the change notification: the note shows its new text (again, when
    // it was closed), and a note stored anew takes the place of the one that went away.
    if (!newId.empty())
        noteId = ToStoredText(QString::fromStdU16String(newId));
    QDialog::accept();
}
