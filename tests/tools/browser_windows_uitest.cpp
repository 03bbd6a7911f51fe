#include <gtest/gtest.h>

#include <signal.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include "support/ui_helpers.h"
#include "tools/browser_windows.h"

namespace {

// The browser runs on the clock's kind of screen, here the tests' one.
const QString kStart = QStringLiteral("start -platform offscreen");

using zorvel::test::CloseNextMessageBox;
using zorvel::test::WaitUntil;

// A browser program that speaks the browser's lines without showing anything, and logs its
// arguments and what it hears. $FAKE_BROWSER chooses how it behaves.
constexpr char kFakeBrowser[] = R"(#!/bin/bash
dir=$(dirname "$0")
echo "start $*" >>"$dir/log"
case ${FAKE_BROWSER:-} in
  problem) echo "problem 找不到网页组件 /nowhere"; exit 2 ;;
  fails) exit 3 ;;
  hangs) while read -r line; do echo "$line" >>"$dir/log"; done; exit 0 ;;
  ends-once)
    # Ends as though its last window had just closed, missing the request on its way.
    if [ ! -e "$dir/ended" ]; then touch "$dir/ended"; read -r line; exit 0; fi ;;
esac
n=0
list=
while read -r verb request address; do
  echo "$verb $request $address" >>"$dir/log"
  [ "$verb" = open ] || continue
  n=$((n + 1))
  list="$list $n"
  echo "something else"
  echo "windows$list"
  echo "opened $request $n"
done
echo "end" >>"$dir/log"
)";

class BrowserWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        program_ = dir_.filePath("zorvel-browser");
        QFile file(program_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kFakeBrowser);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("ZORVEL_BROWSER", program_.toLocal8Bit());
        qunsetenv("FAKE_BROWSER");
        owner.show();
    }
    void TearDown() override {
        qunsetenv("ZORVEL_BROWSER");
        qunsetenv("FAKE_BROWSER");
    }

    QStringList Log() const {
        QFile file(dir_.filePath("log"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // Asks for a page and returns the warning that follows.
    QString Warning(CBrowserWindows& windows, bool expectOpened) {
        QString warning;
        CloseNextMessageBox(&warning);
        EXPECT_EQ(windows.Open(QUrl("http://127.0.0.1/a")), expectOpened);
        EXPECT_TRUE(WaitUntil([&] { return !warning.isEmpty(); }));
        return warning;
    }

    // Lets go of the browser and waits until it has ended and its process object is gone, so
    // that nothing of it outlives the test.
    static void LetGoAndWait(std::unique_ptr<CBrowserWindows>& windows) {
        const qint64 pid = windows->ProcessId();
        windows.reset();
        if (pid != 0) {
            EXPECT_TRUE(WaitUntil([&] { return ::kill(pid_t(pid), 0) != 0; }));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget owner;
    zorvel::test::ModalWatchdog watchdog;
    QString program_;

private:
    QTemporaryDir dir_;
};

TEST_F(BrowserWindowsTest, OneBrowserTakesEveryWindowAndANewOneFollowsACrash) {
    auto windows = std::make_unique<CBrowserWindows>(&owner);
    QSignalSpy changed(windows.get(), &CBrowserWindows::WindowsChanged);
    ASSERT_TRUE(windows->Open(QUrl(QStringLiteral("http://127.0.0.1:8/一?q=a b"))));
    ASSERT_TRUE(windows->Open(QUrl("http://127.0.0.1:8/two")));
    const qint64 first = windows->ProcessId();
    ASSERT_TRUE(WaitUntil([&] { return windows->Windows().size() == 2; }));
    EXPECT_EQ(windows->Windows(), (QList<std::uint64_t>{1, 2}));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(windows->ProcessId(), first);
    EXPECT_EQ(Log(), (QStringList{kStart, "open 1 http://127.0.0.1:8/%E4%B8%80?q=a%20b",
                                  "open 2 http://127.0.0.1:8/two"}));

    // Killed: its windows are gone, quietly, and the next page starts another browser.
    ::kill(pid_t(first), SIGKILL);
    ASSERT_TRUE(WaitUntil([&] { return windows->ProcessId() == 0; }));
    EXPECT_TRUE(windows->Windows().isEmpty());
    EXPECT_EQ(changed.count(), 3);
    ASSERT_TRUE(windows->Open(QUrl("http://127.0.0.1:8/three")));
    ASSERT_TRUE(WaitUntil([&] { return windows->Windows().size() == 1; }));
    const qint64 second = windows->ProcessId();
    EXPECT_NE(second, first);
    EXPECT_EQ(Log().mid(3), (QStringList{kStart, "open 3 http://127.0.0.1:8/three"}));

    // Let go of, the browser hears the end of its input and ends by itself.
    windows.reset();
    EXPECT_TRUE(WaitUntil([&] { return Log().last() == "end"; }));
    EXPECT_TRUE(WaitUntil([&] { return ::kill(pid_t(second), 0) != 0; }));
}

TEST_F(BrowserWindowsTest, ARequestABrowserEndingByItselfMissedGoesToTheNextOne) {
    qputenv("FAKE_BROWSER", "ends-once");
    auto windows = std::make_unique<CBrowserWindows>(&owner);
    ASSERT_TRUE(windows->Open(QUrl("http://127.0.0.1:8/")));
    ASSERT_TRUE(WaitUntil([&] { return windows->Windows().size() == 1; }));
    EXPECT_EQ(Log(), (QStringList{kStart, kStart, "open 1 http://127.0.0.1:8/"}));
    LetGoAndWait(windows);
    EXPECT_EQ(Log().last(), "end");
}

TEST_F(BrowserWindowsTest, ABrowserThatStopsAnsweringIsEndedAndTheNextPageStartsAnother) {
    qputenv("FAKE_BROWSER", "hangs");
    auto windows = std::make_unique<CBrowserWindows>(&owner, 300);
    EXPECT_TRUE(Warning(*windows, true).contains(QStringLiteral("没有响应")));
    EXPECT_TRUE(WaitUntil([&] { return windows->ProcessId() == 0; }));
    qunsetenv("FAKE_BROWSER");
    ASSERT_TRUE(windows->Open(QUrl("http://127.0.0.1:8/")));
    EXPECT_TRUE(WaitUntil([&] { return windows->Windows().size() == 1; }));
    LetGoAndWait(windows);
}

TEST_F(BrowserWindowsTest, ABrowserThatCannotRunIsNamedInAWarning) {
    CBrowserWindows windows(&owner);
    const auto check = [&](const QString& warning, const QString& says) {
        EXPECT_TRUE(warning.startsWith(QStringLiteral("无法打开浏览器：")))
            << warning.toStdString();
        EXPECT_TRUE(warning.contains(says)) << warning.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return windows.ProcessId() == 0; }));
        EXPECT_TRUE(windows.Windows().isEmpty());
    };
    qputenv("FAKE_BROWSER", "problem");
    check(Warning(windows, true), QStringLiteral("找不到网页组件 /nowhere"));
    qputenv("FAKE_BROWSER", "fails");
    check(Warning(windows, true), QStringLiteral("退出码 3"));

    QFile script(program_);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("#!/nowhere/bash\n");
    script.close();
    check(Warning(windows, true), program_);
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    check(Warning(windows, false), program_);
    qputenv("ZORVEL_BROWSER", "/nowhere/zorvel-browser");
    check(Warning(windows, false), QStringLiteral("找不到 /nowhere/zorvel-browser"));
}

TEST(BrowserProgram, IsLookedForInTheChosenPlaceOrBesideTheClockThenInTheInstall) {
    qunsetenv("ZORVEL_BROWSER");
    qunsetenv("ZORVEL_BROWSER_PLUGIN");
    const QStringList found = CBrowserWindows::ProgramCandidates();
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0], QCoreApplication::applicationDirPath() + "/zorvel-browser");
    EXPECT_TRUE(found[1].endsWith("/lib/zorvel/zorvel-browser")) << found[1].toStdString();

    QTemporaryDir dir;
    const struct {
        const char* variable;
        QString value;
        QString expected;
    } cases[] = {
        {"ZORVEL_BROWSER", dir.path(), dir.filePath("zorvel-browser")},
        {"ZORVEL_BROWSER", "/opt/b/my-browser", "/opt/b/my-browser"},
        // The older variable named the plugin the program replaces, in the same folder.
        {"ZORVEL_BROWSER_PLUGIN", "/opt/b/libzorvel_browser.so", "/opt/b/zorvel-browser"},
        {"ZORVEL_BROWSER_PLUGIN", dir.path(), dir.filePath("zorvel-browser")},
    };
    for (const auto& c : cases) {
        qputenv(c.variable, c.value.toLocal8Bit());
        EXPECT_EQ(CBrowserWindows::ProgramCandidates(), QStringList{c.expected}) << c.variable;
        qunsetenv(c.variable);
    }
}

}  // namespace
