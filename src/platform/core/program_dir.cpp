#include "platform/core/program_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zorvel {

namespace {
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

namespace {
// $<variable>/zorvel/ when the variable holds an absolute path, else ~/<fallback>/zorvel/.
std::string XdgDir(const char* variable, const char* fallback) {
    const char* xdg = std::getenv(variable);
    if (xdg && *xdg == '/')
        return WithSlash(xdg) + "zorvel/";
    const char* home = std::getenv("HOME");
    std::string h = home && *home ? home : "";
    if (h.empty()) {
        if (passwd* pw = getpwuid(getuid()))
            h = pw->pw_dir;
    }
    return WithSlash(h) + fallback + "/zorvel/";
}
}  // namespace

std::string UserDataDir() {
    return XdgDir("XDG_DATA_HOME", ".local/share");
}

std::string UserStateDir() {
    return XdgDir("XDG_STATE_HOME", ".local/state");
}

std::string DefaultDatabasePath() {
    std::string dir = ProgramDir();
    if (access(dir.c_str(), W_OK) == 0)
        return dir + "zorvel.db3";
    return UserDataDir() + "zorvel.db3";
}

std::string DataDirs::Find(const std::string& relative) const {
    std::error_code ec;
    for (const std::string& dir : dirs) {
        std::string path = dir + relative;
        if (std::filesystem::exists(path, ec))
            return path;
    }
    return (dirs.empty() ? std::string("./") : dirs.front()) + relative;
}

DataDirs DataDirs::Installed() {
    DataDirs d;
    d.dirs.push_back(ProgramDir());
#ifdef ZORVEL_DATA_DIR
    d.dirs.push_back(WithSlash(ZORVEL_DATA_DIR));
#endif
    return d;
}

DataDirs DataDirs::In(const std::string& dir) {
    return DataDirs{{WithSlash(dir)}};
}

}  // namespace zorvel
