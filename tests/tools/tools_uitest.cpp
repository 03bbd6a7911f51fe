#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWindow>

#include "nettime/sync_time_dlg.h"
#include "platform/url_opener.h"
#include "support/fakes.h"
#include "support/ui_helpers.h"
#include "tools/about_dlg.h"
#include "tools/c12sc_dlg.h"
#include "tools/core/web_addresses.h"
#include "tools/homepage_dlg.h"
#include "tools/open_url.h"
#include "tools/ripple_picture.h"
#include "tools/tools_dlg.h"

namespace {

using namespace zorvel::test;

// Records every step OpenUrl takes; each answers as the test says.
struct FakeSteps {
    bool hasXdgOpen = true;
    bool xdgOpenWorks = false;
    bool desktopWorks = false;
    QStringList workingPrograms;
    QString browserVariable;
    QStringList tried;  // "desktop" or the program and its arguments, joined by "|"
    QStringList failures;

    UrlOpenSteps Steps() {
        UrlOpenSteps steps;
        steps.run = [this](const QString& program, const QStringList& arguments,
                           UrlOpenSteps::Done done) {
            tried << (QStringList{program} + arguments).join(u'|');
            done(xdgOpenWorks, xdgOpenWorks ? QString() : QStringLiteral("no method available"));
        };
        steps.desktop = [this](const QUrl&) {
            tried << QStringLiteral("desktop");
            return desktopWorks;
        };
        steps.start = [this](const QString& program, const QStringList& arguments) {
            tried << (QStringList{program} + arguments).join(u'|');
            return workingPrograms.contains(program);
        };
        steps.environment = [this](const char* name) {
            return QByteArray(name) == "BROWSER" ? browserVariable : QString();
        };
        steps.findProgram = [this](const QString& name) {
            return hasXdgOpen && name == "xdg-open" ? QStringLiteral("/usr/bin/xdg-open")
                                                    : QString();
        };
        return steps;
    }
    void Open(const QUrl& url) {
        OpenUrl(
            url, [this](const QString& reason) { failures << reason; }, Steps());
    }
};

TEST(OpenUrl, XdgOpenWatchedThenEachBrowserCommandThenTheDesktop) {
    const QUrl url(QStringLiteral("https://example.org/a b?q=1;rm -rf"));
    const QString address = url.toString(QUrl::FullyEncoded);
    {
        FakeSteps fake;
        fake.xdgOpenWorks = true;
        fake.Open(url);
        EXPECT_EQ(fake.tried, QStringList{"/usr/bin/xdg-open|" + address});
        EXPECT_TRUE(fake.failures.isEmpty());
    }
    {
        // $BROWSER: a list of commands; the address is one argument of its own, in place of
        // "%s" where the command has one, never handed to a shell.
        FakeSteps fake;
        fake.browserVariable = QStringLiteral("missing-browser --new:'my browser' --open=%s");
        fake.workingPrograms = {"my browser"};
        fake.Open(url);
        EXPECT_EQ(fake.tried,
                  (QStringList{"/usr/bin/xdg-open|" + address, "missing-browser|--new|" + address,
                               "my browser|--open=" + address}));
        EXPECT_TRUE(fake.failures.isEmpty());
    }
    {
        // xdg-open tried and failed: not asked again through the desktop, and said so, with what
        // it said.
        FakeSteps fake;
        fake.desktopWorks = true;
        fake.Open(url);
        EXPECT_EQ(fake.tried, QStringList{"/usr/bin/xdg-open|" + address});
        ASSERT_EQ(fake.failures.size(), 1);
        EXPECT_EQ(fake.failures[0], "xdg-open 没能为它打开浏览器。\nno method available");
    }
    {
        // No xdg-open: the desktop's own way is the last one.
        FakeSteps fake;
        fake.hasXdgOpen = false;
        fake.desktopWorks = true;
        fake.Open(url);
        EXPECT_EQ(fake.tried, QStringList{"desktop"});
        EXPECT_TRUE(fake.failures.isEmpty());
        fake.desktopWorks = false;
        fake.Open(url);
        ASSERT_EQ(fake.failures.size(), 1);
        EXPECT_TRUE(fake.failures[0].startsWith("没有找到可以打开它的浏览器"))
            << fake.failures[0].toStdString();
        fake.Open(QUrl());
        EXPECT_EQ(fake.failures.size(), 2);
    }
}

// The real way with an xdg-open that fails as it does on a desktop without a browser: the page
// says so in a message box, with xdg-open's own words, instead of only on the error output.
TEST(OpenUrl, AFailingXdgOpenIsSaidInAMessageBox) {
    ModalWatchdog watchdog;
    QTemporaryDir bin;
    QFile script(QDir(bin.path()).filePath("xdg-open"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    UrlOpenSteps steps = SystemUrlOpenSteps();
    steps.findProgram = [&](const QString& name) { return QDir(bin.path()).filePath(name); };
    steps.environment = [](const char*) { return QString(); };

    QWidget page;
    page.show();
    QString text;
    CloseNextMessageBox(&text);
    CSystemUrlOpener opener(steps);
    OpenUrlFor(&page, &opener, QUrl("https://example.org/"));
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text,
              "无法打开网页：https://example.org/\nxdg-open 没能为它打开浏览器。\n"
              "xdg-open: no method available for opening 'https://example.org/'");
}

TEST(AboutPage, UpdaterNextToTheProgramOrElseTheHomePage) {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zorvel about XXXXXX"));
    CFakeProgramLauncher launcher;
    QList<QUrl> opened;
    CAboutDlg about(
        &launcher, [&](const QUrl& url) { return opened << url, true; }, dir.path());
    EXPECT_EQ(about.findChild<QLabel*>("versionLine")->text(), QStringLiteral("Zorvel 1.0.0.1 版"));

    // No updater: the home page, where a new version can be had.
    emit about.UpdateLink()->linkActivated(QStringLiteral("#"));
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl(QString::fromLatin1(zorvel::web::kProjectHomePage)));

    // A file that is not a program is not run either.
    QFile updater(QDir(dir.path()).filePath("updater"));
    ASSERT_TRUE(updater.open(QIODevice::WriteOnly));
    updater.close();
    about.CheckForUpdate();
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(opened.size(), 2);

    updater.setPermissions(updater.permissions() | QFile::ExeOwner);
    about.CheckForUpdate();
    ASSERT_EQ(launcher.started.size(), 1u);
    // Quoted, so the blank in the folder's name does not split the program's path.
    EXPECT_EQ(SplitCommandLine(launcher.started[0]), QStringList{updater.fileName()});
    EXPECT_EQ(opened.size(), 2);

    emit about.FeedbackLink()->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[2], QUrl(QString::fromLatin1(zorvel::web::kFeedbackPage)));
    EXPECT_EQ(about.FeedbackLink()->accessibleName(), QStringLiteral("Bug提交/意见建议"));

    EXPECT_EQ(about.findChild<QLabel*>("licenceLine")->text(),
              QStringLiteral("本程序是自由软件，按 GNU 通用公共许可证第 3 版或更新版本发布"));
    emit about.LicenceLink()->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(opened.size(), 4);
    EXPECT_EQ(opened[3], QUrl(QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html")));
}

TEST(ToolsPage, GridOfButtonsAndTheLocalDialogs) {
    ModalWatchdog watchdog;
    CFakeClockSetter clock;
    QList<QUrl> opened;
    CToolsDlg page(&clock, [&](const QUrl& url) { return opened << url, true; });
    page.resize(560, 330);
    page.show();

    const auto buttons = page.Buttons();
    ASSERT_EQ(buttons.size(), 17);
    // Three to a row: the fourth button starts the second row under the first.
    EXPECT_EQ(buttons[3]->x(), buttons[0]->x());
    EXPECT_GT(buttons[3]->y(), buttons[0]->y());
    EXPECT_EQ(buttons[1]->y(), buttons[0]->y());
    EXPECT_EQ(buttons[16]->y(), buttons[15]->y());
    EXPECT_GT(buttons[15]->y(), buttons[12]->y());

    buttons[0]->click();  // 在线电影: the desktop's own browser
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("https"));

    QString table;
    WhenModal<C12SCDlg>([&](C12SCDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("十二时辰"));
        table = dialog->TableText();
        // A screen reader walks the rows as a table: name, then what it is called.
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(dialog->Table());
        ASSERT_NE(access, nullptr);
        EXPECT_EQ(access->role(), QAccessible::Table);
        QAccessibleTableInterface* cells = access->tableInterface();
        ASSERT_NE(cells, nullptr);
        EXPECT_EQ(cells->rowCount(), 12);
        EXPECT_EQ(cells->columnCount(), 2);
        EXPECT_EQ(cells->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("【子时】"));
        EXPECT_TRUE(
            cells->cellAt(11, 1)->text(QAccessible::Name).startsWith(QStringLiteral("人定")));
        dialog->findChild<QPushButton*>("cancelButton")->click();
    });
    buttons[5]->click();
    EXPECT_EQ(table.count(u'\n'), 12);
    EXPECT_TRUE(table.startsWith(QStringLiteral("【子时】")));

    // One network time dialog, shown again on every press.
    buttons[16]->click();
    CSyncTimeDlg* sync = page.SyncTimeDlg();
    ASSERT_NE(sync, nullptr);
    EXPECT_TRUE(sync->isVisible());
    sync->hide();
    buttons[16]->click();
    EXPECT_EQ(page.SyncTimeDlg(), sync);
    EXPECT_TRUE(sync->isVisible());
    // A dialog to screen readers, and an ordinary window of its own to the window manager: not
    // transient for another window, so the taskbar lists it.
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(sync);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Dialog);
    ASSERT_NE(sync->windowHandle(), nullptr);
    EXPECT_EQ(sync->windowHandle()->transientParent(), nullptr);
    EXPECT_EQ(sync->windowType(), Qt::Window);
}

TEST(HomePage, RipplesOnlyWhileSeen) {
    CHomepageDlg page([](const QUrl&) { return true; }, [] { return 0u; });
    CRipplePicture* picture = page.Picture();
    EXPECT_FALSE(picture->IsAnimating());
    page.show();
    ASSERT_TRUE(WaitUntil([&] { return picture->IsAnimating(); }));
    // Every tick drops (the fake draws 0): the water moves.
    picture->Advance();
    picture->Advance();
    EXPECT_FALSE(picture->Field()->IsCalm());

    page.showMinimized();
    EXPECT_TRUE(WaitUntil([&] { return !picture->IsAnimating(); }));
    page.showNormal();
    EXPECT_TRUE(WaitUntil([&] { return picture->IsAnimating(); }));
    page.hide();
    EXPECT_FALSE(picture->IsAnimating());
    EXPECT_TRUE(page.Link()->text().contains(QString::fromLatin1(zorvel::web::kProjectHomePage)));
}

}  // namespace
