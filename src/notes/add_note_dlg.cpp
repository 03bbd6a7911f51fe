#include "notes/add_note_dlg.h"

#include "notes/shown_notes.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CAddNoteDlg::CAddNoteDlg(CClockManager& manager, const Clock& clock, CShownNotes& shownNotes,
                         QWidget* parent)
    : CNoteEditorDlg(QStringLiteral("添加便笺"), "addNoteDlg", manager, clock, shownNotes, parent) {
}

void CAddNoteDlg::OnOK() {
    std::u16string text;
    if (!TextToStore(&text))
        return;
    std::u16string id;
    bool stored = false;
    if (!RunStorageAction(this, [&] {
            stored = manager_.AddNote(id, text, kNoteIsRing, RingTimeText(), kNoteIsShowOnDesktop);
        }))
        return;
    if (!stored) {
        // Nothing but the length makes the record service refuse a note.
        ShowWarning(this, TooLongText());
        return;
    }
    newId_ = QString::fromStdU16String(id);
    shownNotes_.ShowDesktopNote(newId_, QString::fromStdU16String(text));
    QDialog::accept();
}
