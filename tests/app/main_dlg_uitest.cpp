#include "app/main_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QTabWidget>

namespace {

QTabWidget* Tabs(const CMainDlg& dlg) {
    return dlg.findChild<QTabWidget*>("pageTabs");
}

TEST(MainDlg, StartsHiddenWithTheEightPagesInOrder) {
    CMainDlg dlg;
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(g_pMainDlg, &dlg);
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

TEST(MainDlg, SelectPageIgnoresNumbersOutOfRange) {
    CMainDlg dlg;
    dlg.SelectPage(CMainDlg::kSettingsPage);
    EXPECT_EQ(dlg.CurrentPage(), 4);
    EXPECT_TRUE(dlg.Page(4)->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.Page(0)->isVisibleTo(&dlg));
    dlg.SelectPage(8);
    dlg.SelectPage(-1);
    EXPECT_EQ(dlg.CurrentPage(), 4);
    EXPECT_EQ(dlg.Page(8), nullptr);
}

TEST(MainDlg, SetPageReplacesAPlaceholderAndKeepsTabAndSelection) {
    CMainDlg dlg;
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
    dlg.SetPage(CMainDlg::kAlarmPage, help);
    EXPECT_EQ(dlg.CurrentPage(), CMainDlg::kNotesPage);
    EXPECT_EQ(dlg.Page(CMainDlg::kAlarmPage)->objectName(), "aboutBox");
    EXPECT_EQ(Tabs(dlg)->count(), 8);

    QLabel stray;
    dlg.SetPage(9, &stray);  // out of range: nothing happens
    EXPECT_EQ(Tabs(dlg)->count(), 8);
}

}  // namespace
