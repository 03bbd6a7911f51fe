#include "platform/core/program_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zorvel {

namespace {
std::string& TestDataDir() {
    static std::string dir;
    return dir;
}

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}
}  // namespace

std::string ProgramDir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "./";
    return WithSlash(exe.parent_path().string());
}

std::string DataFilePath(const std::string& relative) {
    if (!TestDataDir().empty())
        return WithSlash(TestDataDir()) + relative;
    std::string local = ProgramDir() + relative;
    std::error_code ec;
    if (std::filesystem::exists(local, ec))
        return local;
#ifdef ZORVEL_DATA_DIR
    std::string installed = WithSlash(ZORVEL_DATA_DIR) + relative;
    if (std::filesystem::exists(installed, ec))
        return installed;
#endif
    return local;
}

std::string UserDataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/')
        return WithSlash(xdg) + "zorvel/";
    const char* home = std::getenv("HOME");
    std::string h = home && *home ? home : "";
    if (h.empty()) {
        if (passwd* pw = getpwuid(getuid()))
            h = pw->pw_dir;
    }
    return WithSlash(h) + ".local/share/zorvel/";
}

void SetDataDirForTesting(const std::string& dir) {
    TestDataDir() = dir;
}

}  // namespace zorvel
