#include <gtest/gtest.h>

#include "alarms/core/ring_plan.h"
#include "alarms/reminder_service.h"
#include "platform/second_ticker.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/settings_cache.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/change_notifier.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

TimePoint T(int y, int mo, int d, int h, int mi, int s) {
    return MakeLocalTime(y, mo, d, h, mi, s) + std::chrono::milliseconds(15);
}

// The service of the application context, without its windows: what it asks for is counted.
class ReminderServiceTest : public test::AppTest {
protected:
    ReminderServiceTest() : service(context().reminders()) {
        QObject::disconnect(&service, &CReminderService::ChimeDue, nullptr, nullptr);
        QObject::disconnect(&service, &CReminderService::RestDue, nullptr, nullptr);
        QObject::connect(&service, &CReminderService::ChimeDue,
                         [this](int h, int m) { announced.emplace_back(h, m); });
        QObject::connect(&service, &CReminderService::RestDue, [this] {
            ++reminders;
            service.RestReminderClosed();
        });
    }

    CReminderService& service;
    std::vector<std::pair<int, int>> announced;
    int reminders = 0;
};

TEST_F(ReminderServiceTest, StartLoadsTheSettingsCacheAndTheAlarms) {
    EXPECT_FALSE(database().IsOpen());  // nothing touches the file before start-up
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"a", u"", 0);
    database().SetBDBS(true);
    app->Start();
    EXPECT_TRUE(service.IsRunning());
    EXPECT_EQ(context().settings().ZDBS, 1);  // the shipped row
    EXPECT_EQ(context().settings().BDBS, 1);
    EXPECT_EQ(service.alarmList().size(), 1u);
    EXPECT_TRUE(context().ticker().IsActive());
}

TEST_F(ReminderServiceTest, ChimesFollowTheCachedSwitchesWhoeverChangesThem) {
    app->Start();
    for (int s = 55; s < 60; ++s)
        service.OnSecond(T(2030, 1, 1, 7, 59, s));
    for (int s = 0; s < 3; ++s)
        service.OnSecond(T(2030, 1, 1, 8, 0, s));
    service.OnSecond(T(2030, 1, 1, 8, 29, 59));
    service.OnSecond(T(2030, 1, 1, 8, 30, 0));
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{8, 0}}));
    // Switched on in storage: the cache follows the change, and the next half hour speaks
    // without a restart.
    database().SetBDBS(true);
    FlushChanges();
    EXPECT_EQ(context().settings().BDBS, 1);
    service.OnSecond(T(2030, 1, 1, 9, 29, 59));
    service.OnSecond(T(2030, 1, 1, 9, 30, 0));
    EXPECT_EQ(announced.back(), std::make_pair(9, 30));
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(ReminderServiceTest, RestReminderAfterTheIntervalAndCountingAgain) {
    context().settings().isRestRemind = true;
    context().settings().restRemindInterval = 1;
    for (int i = 0; i < 59; ++i)
        service.OnMinute(0);
    EXPECT_EQ(reminders, 0);
    service.OnMinute(0);
    EXPECT_EQ(reminders, 1);
    EXPECT_EQ(service.restCounter().restMinutes, 0);  // closed: counting starts again
    context().settings().isRestRemind = false;
    for (int i = 0; i < 100; ++i)
        service.OnMinute(0);
    EXPECT_EQ(reminders, 1);
}

TEST_F(ReminderServiceTest, ExpiredAlarmsGoOnTheMinuteAndEveryPageHearsOfIt) {
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"passed", u"", 0);
    manager().AddLog(u"添加了一个闹钟 2011-09-18 08:30:00");
    database().SetAutoDelAlarmClock(true);
    app->Start();
    FlushChanges();
    CUserLogsDlg logPage(manager(), context().notifier());
    ASSERT_EQ(logPage.listCtrl()->GetItemCount(), 1);
    int reloads = 0;
    QObject::connect(&service, &CReminderService::AlarmListReloaded, [&] { ++reloads; });

    service.OnMinute(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 31, 0)));
    AlarmClockList left;
    manager().GetAllAlarmClocks(left);
    EXPECT_TRUE(left.empty());
    FlushChanges();
    // The log page shows the line at once, and the alarm is out of the test.
    ASSERT_EQ(logPage.listCtrl()->GetItemCount(), 2);
    EXPECT_EQ(logPage.listCtrl()->GetItemText(1, 3), "自动删除了一个过期闹钟 2011-09-18 08:30:00");
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(service.alarmList().empty());
    service.OnMinute(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 32, 0)));
    EXPECT_EQ(StoredLogTexts().size(), 2u);
}

TEST_F(ReminderServiceTest, TheTickerDrivesTheSecondAndMinuteJobsOnTheInjectedClock) {
    manager().AddAlarmClock(u"2011-09-18 10:16:00", false, false, u"soon", u"", kRingSilent);
    app->Start();
    std::vector<std::string> rang;
    QObject::disconnect(&service, &CReminderService::AlarmDue, nullptr, nullptr);
    QObject::connect(&service, &CReminderService::AlarmDue,
                     [&](const AlarmClockPtr& a) { rang.push_back(a->alarmTime); });
    context().settings().isRestRemind = true;
    context().settings().restRemindInterval = 1;
    // An hour of seconds, as the ticker would bring them.
    for (int s = 0; s < 3600; ++s) {
        clock.Advance(std::chrono::seconds(1));
        emit context().ticker().Tick();
    }
    EXPECT_EQ(rang, std::vector<std::string>{"2011-09-18 10:16:00"});
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{11, 0}}));  // on the hour only
    EXPECT_EQ(reminders, 1);                                            // sixty minutes counted
}

}  // namespace
