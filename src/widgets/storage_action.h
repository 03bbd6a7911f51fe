#pragma once

#include <QString>
#include <utility>

#include "storage/sqlite_wrapper.h"
#include "widgets/message_box.h"

namespace zorvel {

// The text a window shows for a storage failure.
inline QString StorageErrorText(const CppSQLite3Exception& error) {
    return QString::fromUtf8(error.errorMessage());
}

// Runs one storage action for a window. A storage error never ends the program: it is shown
// over `parent` and the action reports false, so the window keeps what the user typed.
template <typename Action>
bool RunStorageAction(QWidget* parent, Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(parent, StorageErrorText(e));
        return false;
    }
}

}  // namespace zorvel
