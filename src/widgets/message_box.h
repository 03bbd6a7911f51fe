#pragma once

#include <QString>

class QWidget;

namespace zorvel {

// A modal message with the program's title and an OK button.
void ShowMessage(QWidget* parent, const QString& text);
// A failure, named by its own message; the caller keeps running and keeps what the user
// typed.
void ShowStorageError(QWidget* parent, const QString& errorText);

}  // namespace zorvel
