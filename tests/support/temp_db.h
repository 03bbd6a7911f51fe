#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/clock_database.h"

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

// Points the storage layer at a fresh encrypted database in a temporary folder.
class TempDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string dbPath;

private:
    std::string previousPath_;
    TempDir dir_;
};

// Gives the whole test program a database of its own, so no test ever reaches the file next
// to the test executable. Called by both test mains.
void UseTemporaryDatabaseForProcess();

// The stored log lines, in storage order, as window text.
std::vector<std::u16string> StoredLogTexts();

}  // namespace zorvel::test
