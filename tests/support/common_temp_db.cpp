#include "support/temp_db.h"

#include <cstdlib>

namespace zorvel::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvel-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made)
        throw std::runtime_error("mkdtemp failed");
    path_ = made;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempDatabaseTest::SetUp() {
    dbPath = dir_.File("zorvel.db3");
    SetDatabasePathForTesting(dbPath);
}

void TempDatabaseTest::TearDown() {
    SetDatabasePathForTesting("");
}

}  // namespace zorvel::test
