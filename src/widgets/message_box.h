#pragma once

#include <QString>

class QWidget;

namespace zorvel {

// The program's message boxes: captioned "Zorvel", with an OK button, modal to `parent`'s
// window only (a box without a parent blocks nothing). They return at once and delete
// themselves when closed, so no caller waits in a nested event loop and a ringing alarm can
// always be answered.
void ShowMessage(QWidget* parent, const QString& text);
// The same with the warning icon: something the user asked for did not happen.
void ShowWarning(QWidget* parent, const QString& text);
// A storage failure, named by its own message; the caller keeps running and keeps what the
// user typed.
void ShowStorageError(QWidget* parent, const QString& errorText);

}  // namespace zorvel
