#pragma once

#include <QString>
#include <string>

#include "notes/note_editor_dlg.h"
#include "widgets/editor_load.h"

// "编辑便笺": changes a stored note, identified by its id, and what its desktop note shows.
class CEditNoteDlg : public CNoteEditorDlg, public CEditorLoad {
    Q_OBJECT
public:
    CEditNoteDlg(const QString& id, CClockManager& manager, const zorvel::Clock& clock,
                 QWidget* parent);
    // Run only when loaded, except by the desktop for a note that is shown but no longer
    // stored (with the text it shows).

    void OnOK();

    std::string noteId;  // stored text

protected:
    void accept() override { OnOK(); }

private:
    void InitFromNote();
};
