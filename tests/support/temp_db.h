#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/clock_manager.h"
#include "support/fake_clock.h"

namespace zorvel::test {

// A temporary folder that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The stored log lines, in storage order, as window text.
std::vector<std::u16string> StoredLogTexts(CClockManager& manager);

// A fresh encrypted database in a temporary folder, with its store on a fake clock that
// stands at 2011-09-18 10:15:30 until the test moves it.
class TempDatabaseTest : public ::testing::Test {
protected:
    TempDatabaseTest();
    ~TempDatabaseTest() override;

    CClockManager& manager() { return store->Manager(); }
    CClockDatabase& database() { return store->Database(); }
    // The stored log lines, in storage order, as window text.
    std::vector<std::u16string> StoredLogTexts() { return test::StoredLogTexts(manager()); }

    TempDir dir;
    std::string dbPath;
    FakeClock clock;
    std::unique_ptr<CStore> store;
};

}  // namespace zorvel::test
