#pragma once

#include <QString>
#include <string>

#include "notes/note_editor_dlg.h"
#include "widgets/editor_load.h"

// "编辑便笺": changes a stored note, identified by its id, and what its desktop note shows.
class CEditNoteDlg : public CNoteEditorDlg {
    Q_OBJECT
public:
    CEditNoteDlg(const QString& id, CClockManager& manager, const zorvel::Clock& clock,
                 QWidget* parent);

    // How loading the note went; the dialog is run only when it was loaded (the desktop
    // runs it for a note that is shown but no longer stored, with the text it shows).
    using Load = EditorLoad;
    Load loadResult() const { return loadResult_; }
    const QString& loadError() const { return loadError_; }

    void OnOK();

    std::string noteId;  // stored text

protected:
    void accept() override { OnOK(); }

private:
    void InitFromNote();

    Load loadResult_ = Load::kMissing;
    QString loadError_;
};
