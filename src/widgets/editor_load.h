#pragma once

#include <QString>

#include "storage/sqlite_wrapper.h"
#include "widgets/storage_action.h"

// How an editor over a stored item read it: the editor is run only when it was loaded; a
// missing item refills the page that asked, a failed read is shown.
enum class EditorLoad { kLoaded, kMissing, kFailed };

// What an editor over a stored item keeps of its read (see CListPage::RunEditor).
class CEditorLoad {
public:
    using Load = EditorLoad;
    Load loadResult() const { return loadResult_; }
    const QString& loadError() const { return loadError_; }

protected:
    // Runs `read` (true when the item is stored): a storage error or a missing item is
    // noted and gives false. The editor calls SetLoaded once it has taken the item in.
    template <typename Read>
    bool ReadItem(Read read) {
        try {
            if (!read()) {
                loadResult_ = Load::kMissing;
                return false;
            }
        } catch (const CppSQLite3Exception& e) {
            loadResult_ = Load::kFailed;
            loadError_ = zorvel::StorageErrorText(e);
            return false;
        }
        return true;
    }
    void SetLoaded() { loadResult_ = Load::kLoaded; }

private:
    Load loadResult_ = Load::kMissing;
    QString loadError_;
};
