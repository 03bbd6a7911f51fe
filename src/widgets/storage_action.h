#pragma once

#include <QString>
#include <utility>

#include "storage/sqlite_wrapper.h"
#include "storage/storage_error.h"
#include "widgets/message_box.h"

namespace zorvel {

// The text a window shows for a storage failure: what it means in a plain sentence first,
// SQLite's own text below it.
inline QString StorageErrorText(const CppSQLite3Exception& error) {
    return QString::fromStdString(DescribeStorageError(error));
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
