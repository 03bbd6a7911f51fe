#include "app/zorvel_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

#include "app/main_dlg.h"
#include "notes/add_note_dlg.h"
#include "platform/core/clock.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"

namespace {

using zorvel::clock::FaceFrame;

class ClockDlgTest : public zorvel::test::AppTest {
protected:
    void SetUp() override {
        clock_.Set(zorvel::MakeLocalTime(2024, 5, 17, 13, 5, 9));
        dlg_ = std::make_unique<CZorvelDlg>(context());
        dlg_->show();
    }
    void TearDown() override { dlg_.reset(); }

    void Trigger(CZorvelDlg::Command command) { dlg_->Action(command)->trigger(); }

    void SendMouse(QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(dlg_->mapToGlobal(local)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(dlg_.get(), &event);
    }

    zorvel::test::FakeClock& clock_ = clock;
    zorvel::test::CFakeDesktopShell& shell_ = shell;
    std::unique_ptr<CZorvelDlg> dlg_;
};

TEST_F(ClockDlgTest, IsAFramelessToolWindowAtTheTopLeft) {
    EXPECT_TRUE(dlg_->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dlg_->windowType(), Qt::Tool);
    EXPECT_TRUE(dlg_->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(dlg_->size(), QSize(268, 268));
    EXPECT_EQ(dlg_->pos(), QPoint(0, 0));
    EXPECT_EQ(dlg_->MainDlg(), nullptr);  // made the first time it is asked for
    // Clicks on the see-through parts are not the clock's.
    ASSERT_NE(dlg_->windowHandle(), nullptr);
    EXPECT_TRUE(dlg_->windowHandle()->mask().contains(QPoint(140, 90)));
    EXPECT_FALSE(dlg_->windowHandle()->mask().contains(QPoint(260, 260)));
}

TEST_F(ClockDlgTest, MenuHasTheTenCommandsInOrder) {
    const QStringList texts = {"我的闹钟", "我的便笺", "我的记事", "用户日志", "软件设置",
                               "趣味工具", "访问主页", "隐藏闹钟", "帮助",     "退出(&X)"};
    const QList<QAction*> actions = dlg_->Menu()->actions();
    ASSERT_EQ(actions.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(actions[i]->text(), texts[i]) << i;
        EXPECT_FALSE(actions[i]->isSeparator());
        EXPECT_FALSE(actions[i]->objectName().isEmpty());
        EXPECT_EQ(actions[i], dlg_->Action(static_cast<CZorvelDlg::Command>(i)));
    }
    // The tray icon carries the same menu and the tooltip "Zorvel".
    EXPECT_TRUE(shell_.trayShown);
    EXPECT_EQ(shell_.trayMenu, dlg_->Menu());
    EXPECT_EQ(shell_.trayToolTip, "Zorvel");
}

TEST_F(ClockDlgTest, PageCommandsShowTheMainWindowOnTheirPage) {
    const struct {
        CZorvelDlg::Command command;
        int page;
    } cases[] = {{CZorvelDlg::kSettingsCommand, CMainDlg::kSettingsPage},
                 {CZorvelDlg::kLogCommand, CMainDlg::kLogPage},
                 {CZorvelDlg::kHelpCommand, CMainDlg::kHelpPage},
                 {CZorvelDlg::kAlarmsCommand, CMainDlg::kAlarmPage},
                 {CZorvelDlg::kNotesCommand, CMainDlg::kNotesPage},
                 {CZorvelDlg::kEventsCommand, CMainDlg::kEventsPage},
                 {CZorvelDlg::kToolsCommand, CMainDlg::kToolsPage},
                 {CZorvelDlg::kHomePageCommand, CMainDlg::kHomePage}};
    for (const auto& c : cases) {
        if (dlg_->MainDlg())
            dlg_->MainDlg()->hide();
        Trigger(c.command);
        EXPECT_TRUE(dlg_->MainDlg()->isVisible()) << c.page;
        EXPECT_EQ(dlg_->MainDlg()->CurrentPage(), c.page);
        EXPECT_EQ(shell_.activeWindow, dlg_->MainDlg());
    }
    // The log command's page is the tab that reads "用户日记".
    Trigger(CZorvelDlg::kLogCommand);
    auto* tabs = dlg_->MainDlg()->findChild<QTabWidget*>("pageTabs");
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "用户日记");
}

TEST_F(ClockDlgTest, DoubleClickShowsTheMainWindowOnItsCurrentPage) {
    Trigger(CZorvelDlg::kEventsCommand);
    dlg_->MainDlg()->close();
    ASSERT_FALSE(dlg_->MainDlg()->isVisible());
    QTest::mouseDClick(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(140, 90));
    EXPECT_TRUE(dlg_->MainDlg()->isVisible());
    EXPECT_EQ(dlg_->MainDlg()->CurrentPage(), CMainDlg::kEventsPage);
}

TEST_F(ClockDlgTest, ExitAsksToEndAndEnterOrEscapeDoNothing) {
    QSignalSpy exit(dlg_.get(), &CZorvelDlg::exitRequested);
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(dlg_.get(), static_cast<Qt::Key>(key));
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_EQ(exit.count(), 0);
    Trigger(CZorvelDlg::kExitCommand);
    EXPECT_EQ(exit.count(), 1);
}

TEST_F(ClockDlgTest, FramesAlternateFromBAndAlphaIsConstant) {
    // The constructor drew once.
    EXPECT_EQ(dlg_->LastFaceFrame(), FaceFrame::kB);
    dlg_->Draw(255);
    EXPECT_EQ(dlg_->LastFaceFrame(), FaceFrame::kA);
    dlg_->Draw(255);
    EXPECT_EQ(dlg_->LastFaceFrame(), FaceFrame::kB);
    EXPECT_NEAR(dlg_->windowOpacity(), 254 / 255.0, 0.002);
    dlg_->Draw(50);
    EXPECT_NEAR(dlg_->windowOpacity(), 127 / 255.0, 0.002);
    dlg_->Draw(-1);
    EXPECT_NEAR(dlg_->windowOpacity(), 254 / 255.0, 0.002);
    dlg_->Draw(101);
    EXPECT_NEAR(dlg_->windowOpacity(), 254 / 255.0, 0.002);
}

TEST_F(ClockDlgTest, ShowsTheTimeOfTheProcessClock) {
    zorvel::CClockArt art;
    ASSERT_TRUE(art.Load(QString::fromLatin1(zorvel::CClockArt::kBuiltIn)));
    dlg_->Draw(255);
    EXPECT_EQ(dlg_->Frame(), art.Render({13, 5, 9}, dlg_->LastFaceFrame()));
    clock_.Advance(std::chrono::seconds(1));
    dlg_->Draw(255);
    EXPECT_EQ(dlg_->Frame(), art.Render({13, 5, 10}, dlg_->LastFaceFrame()));
    // What is painted is that frame.
    const QImage shown = dlg_->grab().toImage();
    EXPECT_EQ(shown.pixelColor(140, 90), dlg_->Frame().pixelColor(140, 90));
}

TEST_F(ClockDlgTest, TrayClickRaisesThenHidesThenShowsAgain) {
    shell_.activeWindow = nullptr;
    shell_.ClickTrayIcon();  // shown but not active: brought forward
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_TRUE(dlg_->IsClockShown());
    EXPECT_EQ(shell_.activeWindow, dlg_.get());

    shell_.ClickTrayIcon();  // shown and active: hidden
    EXPECT_FALSE(dlg_->isVisible());
    EXPECT_FALSE(dlg_->IsClockShown());

    shell_.ClickTrayIcon();  // hidden: shown and brought forward
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_TRUE(dlg_->IsClockShown());
    EXPECT_EQ(shell_.activeWindow, dlg_.get());
}

TEST_F(ClockDlgTest, HideCommandThenTrayClickBringsTheClockBack) {
    Trigger(CZorvelDlg::kHideCommand);
    EXPECT_FALSE(dlg_->isVisible());
    EXPECT_FALSE(dlg_->IsClockShown());
    shell_.ClickTrayIcon();
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_TRUE(dlg_->IsClockShown());
}

TEST_F(ClockDlgTest, WithoutATrayTheClockCannotBeLost) {
    shell_.hasTray = false;
    emit dlg_->Menu()->aboutToShow();
    EXPECT_FALSE(dlg_->Action(CZorvelDlg::kHideCommand)->isEnabled());
    dlg_->HideClock();
    EXPECT_TRUE(dlg_->isVisible());

    shell_.hasTray = true;
    emit dlg_->Menu()->aboutToShow();
    EXPECT_TRUE(dlg_->Action(CZorvelDlg::kHideCommand)->isEnabled());
    Trigger(CZorvelDlg::kHideCommand);
    ASSERT_FALSE(dlg_->isVisible());

    // The tray goes away while the clock is hidden: the next redraw shows it again.
    shell_.hasTray = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg_->isVisible(); }, 3000));
    EXPECT_TRUE(dlg_->IsClockShown());
}

TEST_F(ClockDlgTest, KeyboardMenuOpensNearTheTopLeftCorner) {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1),
                            Qt::NoModifier);
    QApplication::sendEvent(dlg_.get(), &event);
    ASSERT_TRUE(dlg_->Menu()->isVisible());
    EXPECT_EQ(dlg_->Menu()->pos(), dlg_->mapToGlobal(QPoint(5, 5)));
    dlg_->Menu()->close();
}

TEST_F(ClockDlgTest, DragMovesThroughTheWindowSystemOrByItself) {
    SendMouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, {101, 100}, Qt::LeftButton);  // a click, not yet a drag
    EXPECT_EQ(shell_.systemMoves, 0);
    SendMouse(QEvent::MouseMove, {130, 110}, Qt::LeftButton);
    EXPECT_EQ(shell_.systemMoves, 1);
    SendMouse(QEvent::MouseButtonRelease, {130, 110}, Qt::NoButton);
    EXPECT_EQ(dlg_->pos(), QPoint(0, 0));

    // A window system that cannot move windows: the clock follows the pointer itself.
    shell_.systemMoveWorks = false;
    SendMouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, {130, 110}, Qt::LeftButton);
    EXPECT_EQ(dlg_->pos(), QPoint(30, 10));
    SendMouse(QEvent::MouseMove, {140, 130}, Qt::LeftButton);
    EXPECT_EQ(dlg_->pos(), QPoint(70, 40));
    SendMouse(QEvent::MouseButtonRelease, {140, 130}, Qt::NoButton);
}

class ClockDlgLifetime : public zorvel::test::AppTest {};

TEST_F(ClockDlgLifetime, EndingTheClockEndsTheMainWindowAndTheTrayIcon) {
    {
        CZorvelDlg dlg(context());
        dlg.ShowMainWindow(CMainDlg::kLogPage);
        ASSERT_NE(dlg.MainDlg(), nullptr);
        EXPECT_EQ(dlg.MainDlg()->CurrentPage(), CMainDlg::kLogPage);
        EXPECT_TRUE(shell.trayShown);
    }
    EXPECT_FALSE(shell.trayShown);
}

// A closed main window is destroyed (its memory comes back) and built again on its last page;
// a dialog of it still open with typed text keeps it until the dialog is done.
TEST_F(ClockDlgLifetime, AClosedMainWindowGoesUnlessADialogOfItIsOpen) {
    CZorvelDlg dlg(context());
    dlg.ShowMainWindow(CMainDlg::kNotesPage);
    QPointer<CMainDlg> first = dlg.MainDlg();
    first->close();
    ASSERT_TRUE(zorvel::test::WaitUntil([&] { return first.isNull(); }));
    EXPECT_EQ(dlg.MainDlg(), nullptr);
    dlg.ShowMainWindow();
    ASSERT_NE(dlg.MainDlg(), nullptr);
    EXPECT_TRUE(dlg.MainDlg()->isVisible());
    EXPECT_EQ(dlg.MainDlg()->CurrentPage(), CMainDlg::kNotesPage);

    QPointer<CMainDlg> second = dlg.MainDlg();
    QPointer<CAddNoteDlg> editor = new CAddNoteDlg(manager(), clock, second);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
    editor->textEdit()->setPlainText("写了一半");
    second->close();
    zorvel::test::ProcessEvents();
    EXPECT_FALSE(dlg.ReleaseMainWindowIfIdle());
    ASSERT_FALSE(second.isNull());
    ASSERT_FALSE(editor.isNull());
    EXPECT_EQ(editor->textEdit()->toPlainText(), "写了一半");
    editor->OnOK();  // stored, and the dialog is done
    ASSERT_TRUE(zorvel::test::WaitUntil([&] { return second.isNull(); }));
    std::vector<NoteRecord> notes;
    manager().GetAllNotes(notes);
    ASSERT_EQ(notes.size(), 1u);
}

}  // namespace
