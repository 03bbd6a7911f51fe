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

// Where the database file lives: "zorvel.db3" in the program directory when that directory is
// writable, otherwise in the user's data directory.
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
