#include "platform/core/instance_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace zorvel {
namespace {

namespace fs = std::filesystem;
const std::string kText = "闹钟程序已在运行中!";

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zorvel-lock-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string LockPath() const { return dir_ + "/" + CInstanceLock::kFileName; }

    std::string dir_;
};

TEST_F(InstanceLockTest, SecondCopyReadsTheFirstCopysTextUntilItEnds) {
    CInstanceLock first;
    ASSERT_EQ(first.Acquire(dir_, kText), CInstanceLock::State::kFirst);

    CInstanceLock second;
    EXPECT_EQ(second.Acquire(dir_, "another text"), CInstanceLock::State::kAlreadyRunning);
    EXPECT_EQ(second.RunningText(), kText);
    // Asking again changes nothing for the running copy.
    EXPECT_EQ(second.Acquire(dir_, "another text"), CInstanceLock::State::kAlreadyRunning);
    EXPECT_EQ(first.RunningText(), "");

    first.Release();
    CInstanceLock third;
    EXPECT_EQ(third.Acquire(dir_, kText), CInstanceLock::State::kFirst);
}

TEST_F(InstanceLockTest, ALeftoverFileFromAnEndedCopyDoesNotBlock) {
    std::ofstream(LockPath()) << "some old text that is longer than the new one";
    CInstanceLock lock;
    ASSERT_EQ(lock.Acquire(dir_, kText), CInstanceLock::State::kFirst);
    std::ifstream in(LockPath());
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, kText);
}

TEST_F(InstanceLockTest, ACopyThatCrashedLeavesNoLockBehind) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CInstanceLock lock;
        const bool ok = lock.Acquire(dir_, kText) == CInstanceLock::State::kFirst;
        char c = ok ? '1' : '0';
        if (write(ready[1], &c, 1) != 1)
            _exit(2);
        pause();  // killed by the parent, never returns
        _exit(0);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    ASSERT_EQ(c, '1');

    CInstanceLock other;
    EXPECT_EQ(other.Acquire(dir_, kText), CInstanceLock::State::kAlreadyRunning);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(other.Acquire(dir_, kText), CInstanceLock::State::kFirst);
}

TEST_F(InstanceLockTest, AStartBetweenLockAndWriteStillSaysWhy) {
    // The running copy holds the lock but has not written its text yet.
    const int fd = open(LockPath().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    CInstanceLock lock;
    EXPECT_EQ(lock.Acquire(dir_, kText), CInstanceLock::State::kAlreadyRunning);
    EXPECT_EQ(lock.RunningText(), kText);
    close(fd);
}

TEST_F(InstanceLockTest, FailsRatherThanFollowOrGuess) {
    CInstanceLock lock;
    EXPECT_EQ(lock.Acquire(dir_ + "/missing", kText), CInstanceLock::State::kFailed);
    EXPECT_EQ(lock.Acquire("", kText), CInstanceLock::State::kFailed);
    // A planted link must not make us write through it.
    const std::string target = dir_ + "/target";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, LockPath());
    EXPECT_EQ(lock.Acquire(dir_, kText), CInstanceLock::State::kFailed);
    std::ifstream in(target);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "keep");
}

class RuntimeDirTest : public InstanceLockTest {
protected:
    void SetUp() override {
        InstanceLockTest::SetUp();
        if (const char* v = std::getenv("XDG_RUNTIME_DIR"))
            saved_ = v;
    }
    void TearDown() override {
        if (saved_)
            setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        InstanceLockTest::TearDown();
    }
    std::optional<std::string> saved_;
};

TEST_F(RuntimeDirTest, UsesAPrivateRuntimeDirectory) {
    chmod(dir_.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    EXPECT_EQ(CInstanceLock::DefaultDirectory(), dir_);
}

TEST_F(RuntimeDirTest, FallsBackToAPrivateFolderInTmp) {
    const std::string fallback = "/tmp/zorvel-" + std::to_string(geteuid());
    for (const char* value : {"", "relative/dir", "/nonexistent/zorvel-test"}) {
        setenv("XDG_RUNTIME_DIR", value, 1);
        EXPECT_EQ(CInstanceLock::DefaultDirectory(), fallback) << value;
    }
    // A runtime directory others may write to is not trusted.
    chmod(dir_.c_str(), 0777);
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    EXPECT_EQ(CInstanceLock::DefaultDirectory(), fallback);
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(CInstanceLock::DefaultDirectory(), fallback);

    struct stat st {};
    ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
}

}  // namespace
}  // namespace zorvel
