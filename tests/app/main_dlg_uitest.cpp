#include "app/main_dlg.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <fstream>
#include <iterator>

#include "alarms/my_clock_dlg.h"
#include "app/today_panel.h"
#include "calendar/holiday_files.h"
#include "calendar/holiday_tables.h"
#include "platform/second_ticker.h"
#include "settings/user_logs_dlg.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "tools/about_dlg.h"
#include "widgets/message_box.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

class MainDlgTest : public test::AppTest {};

// Links on the pages go to the platform's browser opener; one it cannot open is said over the
// main window.
TEST_F(MainDlgTest, PageLinksOpenThroughThePlatform) {
    CMainDlg dlg(context());
    dlg.show();
    auto* about = qobject_cast<CAboutDlg*>(dlg.Page(CMainDlg::kHelpPage));
    ASSERT_NE(about, nullptr);
    emit about->UpdateLink()->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(urlOpener.opened.size(), 1u);
    EXPECT_EQ(urlOpener.opened[0].scheme(), "https");

    urlOpener.failure = QStringLiteral("没有浏览器");
    QString text;
    test::CloseNextMessageBox(&text);
    emit about->UpdateLink()->linkActivated(QStringLiteral("#"));
    ASSERT_TRUE(test::WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_TRUE(text.startsWith(QStringLiteral("无法打开网页：https://"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("没有浏览器"))) << text.toStdString();
}

// The main window's today panel, driven by the second ticker on the fake clock.
class TodayPanelTest : public test::AppTest {
protected:
    TodayPanelTest() {
        dlg = std::make_unique<CMainDlg>(context());
        dlg->show();
    }
    QString Line(int id) { return dlg->todayPanel()->Line(id)->text(); }
    void TickAt(TimePoint t) {
        clock.Set(t + std::chrono::milliseconds(15));
        emit context().ticker().Tick();
    }
    std::unique_ptr<CMainDlg> dlg;
};

QTabWidget* Tabs(const CMainDlg& dlg) {
    return dlg.findChild<QTabWidget*>("pageTabs");
}

TEST_F(MainDlgTest, StartsHiddenWithTheEightPagesInOrder) {
    CMainDlg dlg(context());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.windowTitle(), "Zorvel");
    QTabWidget* tabs = Tabs(dlg);
    ASSERT_NE(tabs, nullptr);
    const QStringList titles = {"我的闹钟", "我的便笺", "我的记事", "用户日记",
                                "软件设置", "趣味工具", "访问主页", "帮助"};
    const QStringList names = {"alarmPage",    "notesPage", "eventsPage", "logPage",
                               "settingsPage", "toolsPage", "homePage",   "helpPage"};
    ASSERT_EQ(tabs->count(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(tabs->tabText(i), titles[i]);
        EXPECT_EQ(tabs->widget(i)->objectName(), names[i]);
        EXPECT_EQ(dlg.Page(i), tabs->widget(i));
        EXPECT_FALSE(dlg.Page(i)->accessibleName().isEmpty());
    }
    EXPECT_EQ(dlg.CurrentPage(), CMainDlg::kAlarmPage);
    EXPECT_NE(dlg.TodayPanel(), nullptr);
}

TEST_F(MainDlgTest, SelectPageIgnoresNumbersOutOfRange) {
    CMainDlg dlg(context());
    dlg.SelectPage(CMainDlg::kSettingsPage);
    EXPECT_EQ(dlg.CurrentPage(), 4);
    EXPECT_TRUE(dlg.Page(4)->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.Page(0)->isVisibleTo(&dlg));
    dlg.SelectPage(8);
    dlg.SelectPage(-1);
    EXPECT_EQ(dlg.CurrentPage(), 4);
    EXPECT_EQ(dlg.Page(8), nullptr);
}

TEST_F(MainDlgTest, SetPageReplacesAPlaceholderAndKeepsTabAndSelection) {
    CMainDlg dlg(context());
    dlg.SelectPage(CMainDlg::kNotesPage);
    QPointer<QWidget> old = dlg.Page(CMainDlg::kNotesPage);
    auto* notes = new QLabel("notes");
    dlg.SetPage(CMainDlg::kNotesPage, notes);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(dlg.Page(CMainDlg::kNotesPage), notes);
    EXPECT_EQ(notes->objectName(), "notesPage");
    EXPECT_EQ(Tabs(dlg)->tabText(CMainDlg::kNotesPage), "我的便笺");
    EXPECT_EQ(dlg.CurrentPage(), CMainDlg::kNotesPage);

    // Replacing another page leaves the selection alone and keeps a name it was given.
    auto* help = new QLabel("help");
    help->setObjectName("aboutBox");
    ASSERT_NE(dlg.alarmPage(), nullptr);
    dlg.SetPage(CMainDlg::kAlarmPage, help);
    EXPECT_EQ(dlg.alarmPage(), nullptr);  // no pointer to the page that went
    EXPECT_EQ(dlg.CurrentPage(), CMainDlg::kNotesPage);
    EXPECT_EQ(dlg.Page(CMainDlg::kAlarmPage)->objectName(), "aboutBox");
    EXPECT_EQ(Tabs(dlg)->count(), 8);

    QLabel stray;
    dlg.SetPage(9, &stray);  // out of range: nothing happens
    EXPECT_EQ(Tabs(dlg)->count(), 8);
}

TEST_F(TodayPanelTest, StartsWithThePagesAndTheDateLines) {
    EXPECT_EQ(dlg->Page(CMainDlg::kAlarmPage), dlg->alarmPage());
    EXPECT_EQ(dlg->Page(CMainDlg::kLogPage), static_cast<QWidget*>(dlg->logPage()));
    // The clock line waits for the first second; the date lines are there at once.
    EXPECT_TRUE(Line(1000).isEmpty());
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
    EXPECT_FALSE(Line(1001).isEmpty());
}

TEST_F(TodayPanelTest, FollowsTheClockPastMidnight) {
    TickAt(MakeLocalTime(2011, 9, 18, 12, 0, 0));
    EXPECT_EQ(Line(1000), "2011-09-18 12:00:00");
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
    EXPECT_EQ(Line(1001), QStringLiteral("辛卯 兔年　八月廿一"));
    EXPECT_EQ(Line(1002), QStringLiteral("节气：---"));
    EXPECT_EQ(Line(1003), QStringLiteral("2012年春节：2012-01-23"));
    EXPECT_EQ(Line(1004), QStringLiteral("辛卯 丁酉 丙子 甲午"));
    EXPECT_EQ(Line(1007), QStringLiteral("今天：休息日"));
    TickAt(MakeLocalTime(2011, 9, 18, 23, 0, 0));  // a new double hour: the hour pillar changes
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
    EXPECT_NE(Line(1004), QStringLiteral("辛卯 丁酉 丙子 甲午"));
    TickAt(MakeLocalTime(2011, 9, 19, 0, 0, 0));
    EXPECT_EQ(Line(1000), "2011-09-19 00:00:00");
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期一"));
    EXPECT_EQ(Line(1001), QStringLiteral("辛卯 兔年　八月廿二"));
    EXPECT_EQ(Line(1007), QStringLiteral("今天：工作日"));
}

// A schedule fetched or read while the program runs shows at the next second, the same day.
TEST_F(TodayPanelTest, StatusLineFollowsANewSchedule) {
    TickAt(MakeLocalTime(2011, 9, 19, 12, 0, 0));
    EXPECT_EQ(Line(1007), QStringLiteral("今天：工作日"));
    zorvel::SetCurrentHolidaySchedule(
        zorvel::ScheduleWithYears({{2011, {{2011, 9, 19, true, "测试"}}}}));
    TickAt(MakeLocalTime(2011, 9, 19, 12, 0, 1));
    const QString shown = Line(1007);
    zorvel::SetCurrentHolidaySchedule(zorvel::ShippedHolidaySchedule());
    EXPECT_EQ(shown, QStringLiteral("今天：测试 休"));
}

TEST_F(TodayPanelTest, FieldsExposeWhatTheyShow) {
    TickAt(MakeLocalTime(2011, 9, 18, 12, 0, 0));
    for (int id : {1000, 1001, 1002, 1003, 1004, 1006, 1007}) {
        QLineEdit* line = dlg->todayPanel()->Line(id);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(line);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), line->text()) << id;
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << id;
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dlg->todayPanel()->Line(1000))
                  ->text(QAccessible::Name),
              "2011-09-18 12:00:00");
}

TEST_F(TodayPanelTest, HiddenPanelWaitsUntilShown) {
    dlg->hide();
    TickAt(MakeLocalTime(2011, 9, 18, 12, 0, 0));
    EXPECT_NE(Line(1000), "2011-09-18 12:00:00");
    dlg->show();
    EXPECT_EQ(Line(1000), "2011-09-18 12:00:00");
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
}

TEST_F(MainDlgTest, EnterHidesTheWindowLikeEscapeAndNoPageButtonTakesIt) {
    CMainDlg dlg(context());
    dlg.show();
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
        EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
    }
    // Enter in the alarm list, where the focus is when the page is used.
    auto* list = dlg.alarmPage()->listCtrl();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // and no editor opened
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Enter);
    EXPECT_FALSE(dlg.isVisible());
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

// A file that cannot be read (here: not a database at all) is named once, the pages stay
// empty, and the file is left as it was.
TEST_F(MainDlgTest, AnUnreadableFileIsReportedOnceAndLeftAlone) {
    const std::string junk(4096, 'z');
    { std::ofstream(dbPath, std::ios::binary) << junk; }
    QStringList shown;
    const auto collectBoxes = [&] {
        test::ProcessEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                shown << box->text();
                EXPECT_EQ(box->windowTitle(), "Zorvel");
                EXPECT_EQ(box->icon(), QMessageBox::Warning);
                box->close();
            }
    };
    app->Start();
    collectBoxes();
    {
        CMainDlg dlg(context());
        dlg.show();
        collectBoxes();
        EXPECT_EQ(dlg.alarmPage()->listCtrl()->GetItemCount(), 0);
        EXPECT_EQ(dlg.logPage()->listCtrl()->GetItemCount(), 0);
    }
    ASSERT_EQ(shown.size(), 1) << shown.join(" | ").toStdString();
    EXPECT_TRUE(shown[0].contains(QString::fromStdString(dbPath))) << shown[0].toStdString();
    std::ifstream in(dbPath, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), junk);
}

TEST_F(MainDlgTest, StandardDialogsSpeakChineseAndBoxesAreCaptionedZorvel) {
    ShowStorageError(nullptr, QStringLiteral("磁盘已满"));
    ShowMessage(nullptr, QStringLiteral("好了"));
    int seen = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible())
            continue;
        ++seen;
        EXPECT_EQ(box->windowTitle(), "Zorvel");
        EXPECT_EQ(box->button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        EXPECT_EQ(box->icon(), box->text() == QStringLiteral("磁盘已满")
                                   ? QMessageBox::Warning
                                   : QMessageBox::Information);
        box->close();
    }
    EXPECT_EQ(seen, 2);
}

}  // namespace
