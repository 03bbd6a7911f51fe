#include "platform/core/program_dir.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

DatabaseFolders Folders(const std::string& programDir, bool writable) {
    DatabaseFolders f;
    f.programDir = programDir;
    f.programDirWritable = writable;
    f.installedBinDir = "/home/u/.local/bin";
    f.userDataDir = "/home/u/.local/share/zorvel/";
    return f;
}

TEST(DatabaseDir, BuildOrUnpackedCopyKeepsItsDataBesideItself) {
    EXPECT_EQ(DatabaseDir(Folders("/home/u/src/zorvel/build/", true)), "/home/u/src/zorvel/build/");
    EXPECT_EQ(DatabaseDir(Folders("/tmp/zorvel-portable/", true)), "/tmp/zorvel-portable/");
    // "/usr" only as a whole folder name.
    EXPECT_EQ(DatabaseDir(Folders("/usrdata/zorvel/", true)), "/usrdata/zorvel/");
    // A folder the user may not write to never holds the database.
    EXPECT_EQ(DatabaseDir(Folders("/home/u/readonly/", false)), "/home/u/.local/share/zorvel/");
}

TEST(DatabaseDir, InstalledProgramUsesTheUsersDataDirectoryEvenWhenRootMayWriteThere) {
    for (const char* dir :
         {"/usr/bin/", "/usr/local/bin/", "/opt/zorvel/bin/", "/bin/", "/home/u/.local/bin/"}) {
        SCOPED_TRACE(dir);
        EXPECT_EQ(DatabaseDir(Folders(dir, true)), "/home/u/.local/share/zorvel/");
        EXPECT_EQ(DatabaseDir(Folders(dir, false)), "/home/u/.local/share/zorvel/");
    }
    // The configured directory matches with or without its trailing slash.
    DatabaseFolders f = Folders("/srv/apps/bin/", true);
    f.installedBinDir = "/srv/apps/bin";
    EXPECT_EQ(DatabaseDir(f), "/home/u/.local/share/zorvel/");
}

TEST(DatabaseDir, InstalledProgramKeepsAFileAnEarlierVersionLeftBesideIt) {
    DatabaseFolders f = Folders("/usr/local/bin/", true);
    f.besideProgramExists = true;
    EXPECT_EQ(DatabaseDir(f), "/usr/local/bin/");
    // Once the user's data directory has a file, that one is the database.
    f.inUserDataExists = true;
    EXPECT_EQ(DatabaseDir(f), "/home/u/.local/share/zorvel/");
    // A file the user can no longer write to is not taken.
    f.inUserDataExists = false;
    f.programDirWritable = false;
    EXPECT_EQ(DatabaseDir(f), "/home/u/.local/share/zorvel/");
}

}  // namespace
}  // namespace zorvel
