// What a person reads when the data file cannot be written or read: a plain sentence first,
// SQLite's own text below it; and a read-only file is named once at start.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QMessageBox>
#include <filesystem>
#include <fstream>

#include "storage/clock_manager.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/storage_action.h"

namespace {

using namespace zorvel;

// The texts of the message boxes showing now, which are closed.
QStringList TakeMessageBoxes() {
    test::ProcessEvents();
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
            texts << box->text();
            box->close();
        }
    }
    test::ProcessEvents();
    return texts;
}

// A file nobody may write, root included: root passes over the permission bits, not over the
// immutable flag.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : path_(path) {
        if (geteuid() != 0) {
            made_ = chmod(path.c_str(), 0444) == 0;
            return;
        }
        made_ = SetImmutable(true);
    }
    ~ReadOnlyFile() {
        if (geteuid() == 0)
            SetImmutable(false);
        else
            chmod(path_.c_str(), 0644);
    }
    bool made() const { return made_; }

private:
    bool SetImmutable(bool on) {
        const int fd = open(path_.c_str(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }
    std::string path_;
    bool made_ = false;
};

class StorageErrorsTest : public test::AppTest {};

TEST_F(StorageErrorsTest, AReadOnlyFileIsSaidOnceAtStartAndEverySaveSaysWhy) {
    database().Open();
    ReadOnlyFile readOnly(dbPath);
    if (!readOnly.made())
        GTEST_SKIP() << "cannot make a file read-only here";
    Restart();
    app->Start();
    EXPECT_EQ(TakeMessageBoxes(), QStringList{"数据文件是只读的，所做的修改都无法保存：\n" +
                                              QString::fromStdString(dbPath)});
    test::RunEventsFor(200);  // the engine has read its alarms; nothing more is said
    EXPECT_EQ(TakeMessageBoxes(), QStringList{});

    EXPECT_FALSE(RunStorageAction(nullptr, [&] { database().SetRingPlayType(1); }));
    const QStringList said = TakeMessageBoxes();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("无法保存：数据文件是只读的。\nSQLITE_READONLY[8]: "))
        << said[0].toStdString();
}

TEST_F(StorageErrorsTest, ALockedFileAFullDiskAndAForeignFileEachHaveTheirSentence) {
    // Another program holds the file.
    database().Open();
    CppSQLite3DB other;
    OpenKeyed(other, dbPath);
    other.ExecuteUpdate("BEGIN EXCLUSIVE;");
    EXPECT_FALSE(RunStorageAction(nullptr, [&] { database().SetRingPlayType(1); }));
    QStringList said = TakeMessageBoxes();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("数据文件正被另一个程序锁住，请稍后再试。\nSQLITE_BUSY[5]: "))
        << said[0].toStdString();
    other.ExecuteUpdate("ROLLBACK;");
    other.Close();

    // No room for the journal: the disk is full as far as SQLite can tell.
    const std::string journal = dbPath + "-journal";
    std::filesystem::create_symlink("/dev/full", journal);
    EXPECT_FALSE(RunStorageAction(nullptr, [&] { database().SetRingPlayType(1); }));
    std::filesystem::remove(journal);
    said = TakeMessageBoxes();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("无法保存：磁盘已满。\nSQLITE_FULL[13]: "))
        << said[0].toStdString();

    // A file of something else in its place.
    const std::string foreign = dir.File("foreign.db3");
    std::ofstream(foreign) << std::string(4096, 'x');
    CStore store(foreign, clock);
    EXPECT_FALSE(RunStorageAction(nullptr, [&] {
        SoftSetting s;
        store.Database().ReadSoftSetting(&s);
    }));
    said = TakeMessageBoxes();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith(
        "无法读取：这不是 Zorvel 的数据文件，或者它已损坏。\nSQLITE_NOTADB[26]: "))
        << said[0].toStdString();
}

}  // namespace
