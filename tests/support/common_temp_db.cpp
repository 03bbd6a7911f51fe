#include "support/temp_db.h"

#include <cstdlib>

#include "storage/text_codec.h"

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

TempDatabaseTest::TempDatabaseTest()
    : dbPath(dir.File("zorvel.db3")),
      clock(MakeLocalTime(2011, 9, 18, 10, 15, 30)),
      store(std::make_unique<CStore>(dbPath, clock)) {}

TempDatabaseTest::~TempDatabaseTest() = default;

std::vector<std::u16string> StoredLogTexts(CClockManager& manager) {
    std::vector<LogRecord> logs;
    manager.GetAllLogs(logs);
    std::vector<std::u16string> texts;
    for (const LogRecord& l : logs)
        texts.push_back(FromStored(l.content));
    return texts;
}

}  // namespace zorvel::test
