#pragma once

#include <QString>

#include "notes/note_editor_dlg.h"

// "添加便笺": a new note, stored and put on the desktop at the first free place of the row.
class CAddNoteDlg : public CNoteEditorDlg {
    Q_OBJECT
public:
    CAddNoteDlg(CClockManager& manager, const zorvel::Clock& clock, QWidget* parent);

    void OnOK();
    // The id of the note stored, once it is.
    const QString& newId() const { return newId_; }

protected:
    void accept() override { OnOK(); }

private:
    QString newId_;
};
