#pragma once

class QCoreApplication;

namespace zorvel {

// Loads Qt's own Chinese (zh_CN) translations, so the standard buttons and dialogs (确定, 取消,
// the file dialog) speak the program's language. False when they are not installed; the
// program then runs on with Qt's English texts.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace zorvel
