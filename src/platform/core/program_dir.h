#pragma once

#include <string>
#include <vector>

namespace zorvel {

// The directory of the running executable, with a trailing '/'.
std::string ProgramDir();

// The user's data directory for Zorvel: $XDG_DATA_HOME/zorvel/ (default ~/.local/share/zorvel/).
std::string UserDataDir();

// The user's state directory for Zorvel: $XDG_STATE_HOME/zorvel/ (default
// ~/.local/state/zorvel/), for what the program notes about its own runs.
std::string UserStateDir();

// What decides where the database lives.
struct DatabaseFolders {
    std::string programDir;  // with a trailing '/'
    bool programDirWritable = false;
    std::string installedBinDir;       // where `make install` and the package put the program
    std::string userDataDir;           // with a trailing '/'
    bool besideProgramExists = false;  // zorvel.db3 is already in the program directory
    bool inUserDataExists = false;     // zorvel.db3 is already in the user's data directory
};

// Whether `dir` (with a trailing '/') is an installed program's directory: the configured
// install directory, or one under a system prefix (/usr, /opt, ...), which even a user who may
// write there (root) must not fill with personal data.
bool IsInstalledProgramDir(const std::string& dir, const std::string& installedBinDir);

// Whether this process runs an installed program (not one in a build or unpacked folder).
bool IsInstalledCopy();

// The folder of the database file: the program directory for a copy run where it was built or
// unpacked (when that directory is writable), the user's data directory for an installed
// program. An installed program that an earlier version let keep its file beside it keeps
// using that file until the user's data directory has one.
std::string DatabaseDir(const DatabaseFolders& folders);

// Where the database file lives for this process: "zorvel.db3" in DatabaseDir().
std::string DefaultDatabasePath();

// The folders searched, in order, for shipped data files ("sound/EM.wav", "mp3/1.mp3").
struct DataDirs {
    std::vector<std::string> dirs;  // each with a trailing '/'

    // The first existing file of that name; the path in the first folder when none has it,
    // so callers can name the missing file.
    std::string Find(const std::string& relative) const;

    // Next to the executable, then the installed data directory.
    static DataDirs Installed();
    // One folder only.
    static DataDirs In(const std::string& dir);
};

}  // namespace zorvel
