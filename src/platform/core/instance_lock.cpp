#include "platform/core/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace zorvel {

namespace {

// A directory we may keep the lock in: really a directory (not a link to one), ours, and not
// writable by anyone else, so no other user can take or fake the lock.
bool IsPrivateDirectory(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 022) == 0;
}

bool WriteAll(int fd, const std::string& text) {
    if (ftruncate(fd, 0) != 0)
        return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadSome(int fd) {
    // The stored text is one short line; anything longer than this is not ours to show whole.
    char buffer[512];
    ssize_t n;
    do {
        n = pread(fd, buffer, sizeof buffer, 0);
    } while (n < 0 && errno == EINTR);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace

CInstanceLock::~CInstanceLock() {
    Release();
}

void CInstanceLock::Release() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

CInstanceLock::State CInstanceLock::Acquire(const std::string& directory, const std::string& text) {
    if (directory.empty()) {
        Release();
        runningText_.clear();
        return State::kFailed;
    }
    return AcquireFile(directory + "/" + kFileName, text);
}

CInstanceLock::State CInstanceLock::AcquireFile(const std::string& path, const std::string& text) {
    Release();
    runningText_.clear();
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return State::kFailed;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (!WriteAll(fd, text)) {
            close(fd);
            return State::kFailed;
        }
        fd_ = fd;
        return State::kFirst;
    }
    const bool held = errno == EWOULDBLOCK;
    if (held)
        runningText_ = ReadSome(fd);
    close(fd);
    if (!held)
        return State::kFailed;
    // The running copy writes right after locking; a start in between must still say why it
    // stops rather than show an empty box.
    if (runningText_.empty())
        runningText_ = text;
    return State::kAlreadyRunning;
}

std::string CInstanceLock::DefaultDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/' && IsPrivateDirectory(runtime) && access(runtime, W_OK) == 0)
        return runtime;
    const std::string fallback = "/tmp/zorvel-" + std::to_string(geteuid());
    if (mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateDirectory(fallback) ? fallback : std::string();
}

}  // namespace zorvel
