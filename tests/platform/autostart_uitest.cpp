#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "support/temp_db.h"

namespace {

TEST(XdgAutostartTest, EntryAppearsAndGoesAndGoneCountsAsOff) {
    zorvel::test::TempDir dir;
    // Neither the config folder nor its autostart folder exists yet.
    const QString config = QString::fromStdString(dir.File("config"));
    CXdgAutostart autostart(config, QStringLiteral("/opt/my apps/zorvel"));
    EXPECT_EQ(autostart.EntryPath(), config + "/autostart/zorvel.desktop");
    EXPECT_FALSE(autostart.IsEnabled());
    EXPECT_TRUE(autostart.Disable());  // nothing there: already off

    ASSERT_TRUE(autostart.Enable());
    EXPECT_TRUE(autostart.IsEnabled());
    QFile file(autostart.EntryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/my apps/zorvel\"\n")) << text.toStdString();
    ASSERT_TRUE(autostart.Enable());  // again: still one entry

    EXPECT_TRUE(autostart.Disable());
    EXPECT_FALSE(QFileInfo::exists(autostart.EntryPath()));
    EXPECT_TRUE(autostart.Disable());
}

TEST(XdgAutostartTest, EnableFailsWhereTheFolderCannotBeMade) {
    zorvel::test::TempDir dir;
    const QString blocker = QString::fromStdString(dir.File("file"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    CXdgAutostart autostart(blocker, QStringLiteral("/usr/bin/zorvel"));
    EXPECT_FALSE(autostart.Enable());
    EXPECT_FALSE(autostart.IsEnabled());
}

TEST(XdgAutostartTest, ExecArgumentQuotesAsDesktopEntriesRequire) {
    EXPECT_EQ(CXdgAutostart::ExecArgument("/usr/bin/zorvel"), "/usr/bin/zorvel");
    EXPECT_EQ(CXdgAutostart::ExecArgument("/home/用户/zorvel"), "/home/用户/zorvel");
    EXPECT_EQ(CXdgAutostart::ExecArgument("/a/100%/zorvel"), "/a/100%%/zorvel");
    EXPECT_EQ(CXdgAutostart::ExecArgument("/a b/zorvel"), "\"/a b/zorvel\"");
    // Inside quotes ", `, $ and \ take a backslash; the value escape then doubles each one.
    EXPECT_EQ(CXdgAutostart::ExecArgument("/a\"b/$x"), "\"/a\\\\\"b/\\\\$x\"");
    EXPECT_EQ(CXdgAutostart::ExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(CXdgAutostart::ExecArgument("/a\nb"), "\"/a\\nb\"");
}

}  // namespace
