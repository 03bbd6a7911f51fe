#pragma once

#include <QDialog>

namespace zorvel {

// Runs a dialog the user opened and returns its result. It is modal to its own window only,
// so a ring window that opens meanwhile (a top-level window of its own) still takes its
// snooze and close; the wait is a user's action, never a timer's, so no timer job waits
// behind it.
inline int RunWindowModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

}  // namespace zorvel
