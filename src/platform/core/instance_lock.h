#pragma once

#include <string>

namespace zorvel {

// One running copy per user: the first copy holds an exclusive flock on a file in the user's
// runtime directory and writes into it the text a later copy must show. The kernel drops the
// lock when the holder ends, also after a crash, so no stale file ever blocks a new start.
class CInstanceLock {
public:
    enum class State { kFirst, kAlreadyRunning, kFailed };

    CInstanceLock() = default;
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;
    ~CInstanceLock();

    // Tries to become the running copy, using the lock file in `directory`. The first copy
    // writes `text` into the file; a later copy reads it back (see RunningText).
    State Acquire(const std::string& directory, const std::string& text);
    // The same with the lock file at `path` (for a lock tied to one database file).
    State AcquireFile(const std::string& path, const std::string& text);

    // The text the running copy stored, for a later copy to show. Falls back to the text given
    // to Acquire when the file is still empty (the running copy is between lock and write).
    const std::string& RunningText() const { return runningText_; }

    // Lets the lock go; the destructor does the same.
    void Release();

    // $XDG_RUNTIME_DIR when it is a usable directory, otherwise /tmp/zorvel-<uid>, made private
    // to the user. Empty when neither can be used safely.
    static std::string DefaultDirectory();

    static constexpr const char* kFileName = "zorvel.lock";

private:
    int fd_ = -1;
    std::string runningText_;
};

}  // namespace zorvel
