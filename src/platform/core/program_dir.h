#pragma once

#include <string>

namespace zorvel {

// The directory of the running executable, with a trailing '/'.
std::string ProgramDir();

// Finds a shipped data file ("sound/EM.wav", "mp3/1.mp3") next to the executable, or else
// in the installed data directory. Returns the path next to the executable when neither
// has it, so callers can name the missing file.
std::string DataFilePath(const std::string& relative);

// The user's data directory for Zorvel: $XDG_DATA_HOME/zorvel/ (default ~/.local/share/zorvel/).
std::string UserDataDir();

// Tests point the data lookup at a folder of their own; empty restores the normal lookup.
void SetDataDirForTesting(const std::string& dir);

}  // namespace zorvel
