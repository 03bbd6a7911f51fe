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

bool IsInstalledProgramDir(const std::string& dir, const std::string& installedBinDir) {
    if (!installedBinDir.empty() && WithSlash(installedBinDir) == dir)
        return true;
    for (const char* prefix : {"/usr/", "/bin/", "/sbin/", "/opt/", "/snap/", "/app/"}) {
        if (dir.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

std::string DatabaseDir(const DatabaseFolders& folders) {
    if (!folders.programDirWritable)
        return folders.userDataDir;
    if (!IsInstalledProgramDir(folders.programDir, folders.installedBinDir))
        return folders.programDir;
    if (folders.besideProgramExists && !folders.inUserDataExists)
        return folders.programDir;
    return folders.userDataDir;
}

bool IsInstalledCopy() {
    std::string installedBinDir;
#ifdef ZORVEL_INSTALL_BINDIR
    installedBinDir = ZORVEL_INSTALL_BINDIR;
#endif
    return IsInstalledProgramDir(ProgramDir(), installedBinDir);
}

std::string DefaultDatabasePath() {
    constexpr const char* kFile = "zorvel.db3";
    DatabaseFolders folders;
    folders.programDir = ProgramDir();
    folders.programDirWritable = access(folders.programDir.c_str(), W_OK) == 0;
#ifdef ZORVEL_INSTALL_BINDIR
    folders.installedBinDir = ZORVEL_INSTALL_BINDIR;
#endif
    folders.userDataDir = UserDataDir();
    std::error_code ec;
    folders.besideProgramExists = std::filesystem::exists(folders.programDir + kFile, ec);
    folders.inUserDataExists = std::filesystem::exists(folders.userDataDir + kFile, ec);
    return DatabaseDir(folders) + kFile;
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
