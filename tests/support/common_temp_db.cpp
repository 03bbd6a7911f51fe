#include "support/temp_db.h"

#include "storage/clock_manager.h"
#include "storage/text_codec.h"

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
    previousPath_ = DatabasePathForTesting();
    dbPath = dir_.File("zorvel.db3");
    SetDatabasePathForTesting(dbPath);
}

void TempDatabaseTest::TearDown() {
    SetDatabasePathForTesting(previousPath_);
}

void UseTemporaryDatabaseForProcess() {
    static TempDir dir;  // removed when the test program ends
    SetDatabasePathForTesting(dir.File("zorvel.db3"));
}

std::vector<std::u16string> StoredLogTexts() {
    std::vector<LogRecord> logs;
    CClockManager().GetAllLogs(logs);
    std::vector<std::u16string> texts;
    for (const LogRecord& l : logs)
        texts.push_back(FromStored(l.content));
    return texts;
}

}  // namespace zorvel::test
