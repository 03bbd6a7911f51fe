#include <gtest/gtest.h>

#include <QLineEdit>

#include "alarms/my_clock_dlg.h"
#include "app/main_dlg.h"
#include "app/today_panel.h"
#include "storage/clock_manager.h"
#include "storage/settings_cache.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"

namespace {

using namespace zorvel;

TimePoint T(int y, int mo, int d, int h, int mi, int s) {
    return MakeLocalTime(y, mo, d, h, mi, s) + std::chrono::milliseconds(15);
}

class MainDlgSchedulerTest : public test::TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        dlg = std::make_unique<CMainDlg>();
        dlg->OnInitDialog();
        dlg->show();
        dlg->announceTime = [this](int h, int m) { announced.emplace_back(h, m); };
        dlg->showRestReminder = [this] { ++reminders; };
    }
    void TearDown() override {
        dlg.reset();
        TempDatabaseTest::TearDown();
    }
    QString Line(int id) { return dlg->todayPanel()->Line(id)->text(); }

    std::unique_ptr<CMainDlg> dlg;
    std::vector<std::pair<int, int>> announced;
    int reminders = 0;
};

TEST_F(MainDlgSchedulerTest, StartsWithThePagesAndTheSettingsCache) {
    EXPECT_EQ(dlg->Page(CMainDlg::kAlarmPage), dlg->alarmPage());
    EXPECT_EQ(dlg->Page(CMainDlg::kLogPage), reinterpret_cast<QWidget*>(dlg->logPage()));
    EXPECT_TRUE(dlg->alarmPage()->IsTesting());
    EXPECT_EQ(g_settingsCache().ZDBS, 1);  // the shipped row
    EXPECT_EQ(g_settingsCache().BDBS, 0);
    // The clock line waits for the first second; the date lines are there at once.
    EXPECT_TRUE(Line(1000).isEmpty());
    EXPECT_TRUE(Line(1006).startsWith(QStringLiteral("您好，今天是星期")));
    EXPECT_FALSE(Line(1001).isEmpty());
}

TEST_F(MainDlgSchedulerTest, ChimesFollowTheCachedSwitches) {
    g_settingsCache().ZDBS = 1;
    g_settingsCache().BDBS = 0;
    for (int s = 55; s < 60; ++s)
        dlg->OnSecond(T(2030, 1, 1, 7, 59, s));
    for (int s = 0; s < 3; ++s)
        dlg->OnSecond(T(2030, 1, 1, 8, 0, s));
    dlg->OnSecond(T(2030, 1, 1, 8, 29, 59));
    dlg->OnSecond(T(2030, 1, 1, 8, 30, 0));
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{8, 0}}));
    // Switched on in the settings page: the next half hour speaks, without a restart.
    g_settingsCache().BDBS = 1;
    dlg->OnSecond(T(2030, 1, 1, 9, 29, 59));
    dlg->OnSecond(T(2030, 1, 1, 9, 30, 0));
    EXPECT_EQ(announced.back(), std::make_pair(9, 30));
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(MainDlgSchedulerTest, TodayPanelFollowsTheClockPastMidnight) {
    dlg->OnSecond(T(2011, 9, 18, 12, 0, 0));
    EXPECT_EQ(Line(1000), "2011-09-18 12:00:00");
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
    EXPECT_EQ(Line(1001), QStringLiteral("辛卯 兔年　八月廿一"));
    EXPECT_EQ(Line(1002), QStringLiteral("节气：---"));
    EXPECT_EQ(Line(1003), QStringLiteral("2012年春节：2012-01-23"));
    EXPECT_EQ(Line(1004), QStringLiteral("辛卯 丁酉 丙子 甲午"));
    dlg->OnSecond(T(2011, 9, 18, 23, 0, 0));  // a new double hour: the hour pillar changes
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
    EXPECT_NE(Line(1004), QStringLiteral("辛卯 丁酉 丙子 甲午"));
    dlg->OnSecond(T(2011, 9, 19, 0, 0, 0));
    EXPECT_EQ(Line(1000), "2011-09-19 00:00:00");
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期一"));
    EXPECT_EQ(Line(1001), QStringLiteral("辛卯 兔年　八月廿二"));
}

TEST_F(MainDlgSchedulerTest, RestReminderAfterTheIntervalAndCountingAgain) {
    g_settingsCache().isRestRemind = true;
    g_settingsCache().restRemindInterval = 1;
    for (int i = 0; i < 59; ++i)
        dlg->OnRestTimer();
    EXPECT_EQ(reminders, 0);
    dlg->OnRestTimer();
    EXPECT_EQ(reminders, 1);
    EXPECT_EQ(dlg->restCounter().restMinutes, 0);  // closed: counting starts again
    g_settingsCache().isRestRemind = false;
    for (int i = 0; i < 100; ++i)
        dlg->OnRestTimer();
    EXPECT_EQ(reminders, 1);
}

TEST_F(MainDlgSchedulerTest, ExpiredAlarmsDeletedOnTheMinuteTick) {
    {
        CClockManager& m = manager();
        m.AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"passed", u"", 0);
        m.Database().SetAutoDelAlarmClock(true);
    }
    dlg->alarmPage()->FillAlarmList();
    std::vector<std::string> logged;
    static std::vector<std::string>* sink = nullptr;
    sink = &logged;
    dlg->deleteLogger = [](const DeletedAlarmInfo& info) { sink->push_back(info.timeText); };
    dlg->OnDeleteExpiredTimer(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 31, 0)));
    EXPECT_EQ(logged, std::vector<std::string>{"2011-09-18 08:30:00"});
    AlarmClockList left;
    manager().GetAllAlarmClocks(left);
    EXPECT_TRUE(left.empty());
    // Once deleted it is not looked for again, though the page still lists it.
    dlg->OnDeleteExpiredTimer(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 32, 0)));
    EXPECT_EQ(logged.size(), 1u);
}

TEST_F(MainDlgSchedulerTest, HiddenPanelWaitsUntilShown) {
    dlg->hide();
    dlg->OnSecond(T(2011, 9, 18, 12, 0, 0));
    EXPECT_NE(Line(1000), "2011-09-18 12:00:00");
    dlg->show();
    EXPECT_EQ(Line(1000), "2011-09-18 12:00:00");
    EXPECT_EQ(Line(1006), QStringLiteral("您好，今天是星期天"));
}

}  // namespace
