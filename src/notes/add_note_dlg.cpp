#include "notes/add_note_dlg.h"

#include "storage/clock_manager.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CAddNoteDlg::CAddNoteDlg(CClockManager& manager, const Clock& clock, QWidget* parent)
    : CNoteEditorDlg(QStringLiteral("添加便笺"), "addNoteDlg", manager, clock, parent) {}

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
    // The desktop shows the new note when the change notification comes round.
    newId_ = QString::fromStdU16String(id);
    QDialog::accept();
}
