#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "alarms/alarm_board.h"
#include "alarms/alarm_dlg.h"
#include "alarms/alarm_engine.h"
#include "alarms/core/alarm_time.h"
#include "alarms/core/ring_plan.h"
#include "alarms/ring_controller.h"
#include "app/change_notifier.h"
#include "platform/second_ticker.h"
#include "settings/settings_service.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

TimePoint T(int y, int mo, int d, int h, int mi, int s) {
    return MakeLocalTime(y, mo, d, h, mi, s) + std::chrono::milliseconds(15);
}

// The engine of the application context, in the test's thread: what it asks for is counted.
class EngineTest : public test::AppTest {
protected:
    EngineTest() : service(context().engine()) {
        QObject::disconnect(&service, &CAlarmEngine::RestDue, nullptr, nullptr);
        QObject::connect(&service, &CAlarmEngine::ChimeDue,
                         [this](int h, int m) { announced.emplace_back(h, m); });
        QObject::connect(&service, &CAlarmEngine::RestDue, [this] {
            ++reminders;
            service.RestReminderClosed();
        });
    }

    CAlarmEngine& service;
    std::vector<std::pair<int, int>> announced;
    int reminders = 0;
};

TEST_F(EngineTest, StartLoadsTheSettingsCacheAndTheAlarms) {
    EXPECT_FALSE(database().IsOpen());  // nothing touches the file before start-up
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"a", u"", 0);
    database().SetBDBS(true);
    app->Start();
    EXPECT_TRUE(service.IsRunning());
    EXPECT_EQ(service.settings().ZDBS, 1);  // the shipped row
    EXPECT_EQ(service.settings().BDBS, 1);
    EXPECT_EQ(service.states().alarmList().size(), 1u);
    EXPECT_TRUE(service.ticker().IsActive());
}

TEST_F(EngineTest, ChimesFollowTheCachedSwitchesWhoeverChangesThem) {
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
    EXPECT_EQ(service.settings().BDBS, 1);
    service.OnSecond(T(2030, 1, 1, 9, 29, 59));
    service.OnSecond(T(2030, 1, 1, 9, 30, 0));
    EXPECT_EQ(announced.back(), std::make_pair(9, 30));
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(EngineTest, RestReminderAfterTheIntervalAndCountingAgain) {
    database().SetRestRemind(1);
    database().SetRestRemindInterval(1);
    FlushChanges();
    for (int i = 0; i < 59; ++i)
        service.OnMinute(0);
    EXPECT_EQ(reminders, 0);
    service.OnMinute(0);
    EXPECT_EQ(reminders, 1);
    EXPECT_EQ(service.restCounter().restMinutes, 0);  // closed: counting starts again
    database().SetRestRemind(0);
    FlushChanges();
    for (int i = 0; i < 100; ++i)
        service.OnMinute(0);
    EXPECT_EQ(reminders, 1);
}

TEST_F(EngineTest, ExpiredAlarmsGoOnTheMinuteAndEveryPageHearsOfIt) {
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"passed", u"", 0);
    manager().AddLog(u"添加了一个闹钟 2011-09-18 08:30:00");
    app->Start();
    FlushChanges();
    // Off, as shipped: the passed alarm stays.
    service.OnMinute(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 31, 0)));
    AlarmClockList kept;
    manager().GetAllAlarmClocks(kept);
    EXPECT_EQ(kept.size(), 1u);
    context().settings().SetAutoDelAlarmClock(true);
    CUserLogsDlg logPage(manager(), context().notifier());
    ASSERT_EQ(logPage.listCtrl()->GetItemCount(), 1);
    int reloads = 0;
    QObject::connect(&service, &CAlarmEngine::AlarmListChanged, [&] { ++reloads; });

    service.OnMinute(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 31, 0)));
    AlarmClockList left;
    manager().GetAllAlarmClocks(left);
    EXPECT_TRUE(left.empty());
    FlushChanges();
    // The log page shows the line at once, and the alarm is out of the test.
    ASSERT_EQ(logPage.listCtrl()->GetItemCount(), 2);
    EXPECT_EQ(logPage.listCtrl()->GetItemText(1, 3), "自动删除了一个过期闹钟 2011-09-18 08:30:00");
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(service.states().alarmList().empty());
    service.OnMinute(std::chrono::system_clock::to_time_t(T(2011, 9, 18, 8, 32, 0)));
    EXPECT_EQ(StoredLogTexts().size(), 2u);
}

TEST_F(EngineTest, TheTickerDrivesTheSecondAndMinuteJobsOnTheInjectedClock) {
    manager().AddAlarmClock(u"2011-09-18 10:16:00", false, false, u"soon", u"", kRingSilent);
    app->Start();
    std::vector<std::string> rang;
    QObject::disconnect(&service, &CAlarmEngine::RingDue, nullptr, nullptr);
    QObject::connect(&service, &CAlarmEngine::RingDue,
                     [&](const RingSnapshot& r) { rang.push_back(r.alarm.alarmTime); });
    database().SetRestRemind(1);
    database().SetRestRemindInterval(1);
    FlushChanges();
    // An hour of seconds, as the ticker would bring them.
    for (int s = 0; s < 3600; ++s) {
        clock.Advance(std::chrono::seconds(1));
        emit service.ticker().Tick();
    }
    EXPECT_EQ(rang, std::vector<std::string>{"2011-09-18 10:16:00"});
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{11, 0}}));  // on the hour only
    EXPECT_EQ(reminders, 1);                                            // sixty minutes counted
}

TEST_F(EngineTest, AListThatCouldNotBeReadIsReadAgainOnTheMinute) {
    manager().AddAlarmClock(u"2011-09-18 10:16:00", false, false, u"old", u"", kRingSilent);
    manager().AddAlarmClock(u"2011-09-18 10:17:00", false, false, u"new", u"", kRingSilent);
    std::vector<std::string> rang, missed;
    QObject::disconnect(&service, &CAlarmEngine::RingDue, nullptr, nullptr);
    QObject::disconnect(&service, &CAlarmEngine::AlarmsMissed, nullptr, nullptr);
    QObject::connect(&service, &CAlarmEngine::RingDue,
                     [&](const RingSnapshot& r) { rang.push_back(r.alarm.content); });
    QObject::connect(&service, &CAlarmEngine::AlarmsMissed, [&](const AlarmRecords& list) {
        for (const AlarmClockRecord& a : list)
            missed.push_back(a.content);
    });
    // Another process keeps the file locked while the program starts.
    CppSQLite3DB other;
    OpenKeyed(other, dbPath);
    other.ExecuteUpdate("BEGIN EXCLUSIVE;");
    service.Start();
    EXPECT_TRUE(service.states().alarmList().empty());  // after the busy wait of one attempt
    other.ExecuteUpdate("COMMIT;");
    // Read on the next minute: what is less than a minute late still rings, the rest is listed.
    clock.Set(T(2011, 9, 18, 10, 17, 20));
    service.OnMinute(clock.NowTimeT());
    ASSERT_EQ(service.states().alarmList().size(), 2u);
    service.OnSecond(T(2011, 9, 18, 10, 17, 21));
    EXPECT_EQ(rang, std::vector<std::string>{"new"});
    EXPECT_EQ(missed, std::vector<std::string>{"old"});
}

// The ring windows the context opened, newest last.
std::vector<CAlarmDlg*> RingWindows() {
    std::vector<CAlarmDlg*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CAlarmDlg*>(w); d && d->isVisible())
            found.push_back(d);
    return found;
}

void CloseRingWindows() {
    for (CAlarmDlg* d : RingWindows())
        d->close();
    test::ProcessEvents();
}

// The alarms as the context runs them: due alarms open ring windows, snoozes come back from
// them. Ticks are given second by second on the fake clock.
class SnoozeTest : public EngineTest {
protected:
    SnoozeTest() {
        QObject::connect(&service, &CAlarmEngine::RingDue,
                         [this](const RingSnapshot& r) { rang.push_back(r.alarm.content); });
    }
    ~SnoozeTest() override { CloseRingWindows(); }
    void Start(std::u16string time = u"2011-09-18 08:30:00") {
        clock.Set(MakeLocalTime(2011, 9, 18, 8, 29, 50));
        manager().AddAlarmClock(time, false, false, u"开会", u"", kRingSilent);
        app->Start();
    }
    // Every second from `from` to `to`, as the ticker brings them.
    void Run(TimePoint from, TimePoint to) {
        for (TimePoint t = from; t <= to; t += std::chrono::seconds(1)) {
            clock.Set(t);
            service.OnSecond(t);
        }
    }
    void Snooze(CAlarmDlg* window) { window->findChild<QPushButton*>("snoozeButton")->click(); }
    std::vector<std::string> rang;
};

TEST_F(SnoozeTest, ALateSnoozeRingsAMinuteAfterTheClick) {
    Start();
    Run(T(2011, 9, 18, 8, 29, 51), T(2011, 9, 18, 8, 30, 0));
    ASSERT_EQ(rang.size(), 1u);
    ASSERT_EQ(RingWindows().size(), 1u);
    // The user comes back 70 seconds later and presses "延迟再响" (0 时 1 分).
    Run(T(2011, 9, 18, 8, 30, 1), T(2011, 9, 18, 8, 31, 10));
    Snooze(RingWindows()[0]);
    EXPECT_EQ(service.states().StateOf(service.states().alarmList()[0]->id), AlarmState::kSnoozed);
    Run(T(2011, 9, 18, 8, 31, 11), T(2011, 9, 18, 8, 31, 59));
    EXPECT_EQ(rang.size(), 1u);
    Run(T(2011, 9, 18, 8, 32, 0), T(2011, 9, 18, 8, 34, 0));
    EXPECT_EQ(rang.size(), 2u);  // at 08:32:00, once
    // Rung: the snooze is over and the alarm keeps its own time again.
    EXPECT_NE(service.states().StateOf(service.states().alarmList()[0]->id), AlarmState::kSnoozed);
    EXPECT_EQ(service.states().alarmList()[0]->alarmTime, "2011-09-18 08:30:00");
}

TEST_F(SnoozeTest, ASnoozeSurvivesReloadsAndEndsWithAnEdit) {
    Start();
    Run(T(2011, 9, 18, 8, 29, 51), T(2011, 9, 18, 8, 30, 20));
    Snooze(RingWindows()[0]);
    // Another alarm is added: the list is read again.
    manager().AddAlarmClock(u"2011-09-18 18:00:00", false, false, u"回家", u"", kRingSilent);
    FlushChanges();
    ASSERT_EQ(service.states().alarmList().size(), 2u);
    EXPECT_EQ(service.states().alarmList()[0]->alarmTime, "2011-09-18 08:31:00");
    EXPECT_FALSE(
        IsExpiredAlarm(*service.states().alarmList()[0], clock.NowTimeT()));  // not "已过期"
    Run(T(2011, 9, 18, 8, 30, 21), T(2011, 9, 18, 8, 31, 5));
    EXPECT_EQ(rang.size(), 2u);

    // Snoozed again, then edited: the edit ends the snooze.
    ASSERT_EQ(RingWindows().size(), 1u);
    Snooze(RingWindows()[0]);
    const std::string id = service.states().alarmList()[0]->id;
    EXPECT_EQ(service.states().StateOf(id), AlarmState::kSnoozed);
    manager().ModifyAlarmClock(id, u"2011-09-18 08:30:00", false, false, u"改了", u"", kRingSilent);
    FlushChanges();
    EXPECT_NE(service.states().StateOf(id), AlarmState::kSnoozed);
    Run(T(2011, 9, 18, 8, 31, 6), T(2011, 9, 18, 8, 33, 0));
    EXPECT_EQ(rang.size(), 2u);
}

TEST_F(SnoozeTest, AJumpOverAnAlarmShowsOneNoticeAndPlaysNothing) {
    manager().AddAlarmClock(u"2011-09-18 09:00:00", false, true, u"吃药", u"", kRingSystemSong1);
    manager().AddAlarmClock(u"2001-01-01 10:00:00", true, true, u"喝水", u"", kRingRestart);
    clock.Set(MakeLocalTime(2011, 9, 18, 8, 0, 0));
    app->Start();
    Run(T(2011, 9, 18, 8, 0, 1), T(2011, 9, 18, 8, 0, 3));
    // Three hours asleep.
    Run(T(2011, 9, 18, 11, 0, 30), T(2011, 9, 18, 11, 0, 31));
    EXPECT_TRUE(rang.empty());
    EXPECT_TRUE(RingWindows().empty());
    EXPECT_TRUE(players.empty());
    EXPECT_TRUE(power.calls.empty());
    QListWidget* listed = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QStringLiteral("错过的闹钟"))
            listed = w->findChild<QListWidget*>("missedList");
    ASSERT_NE(listed, nullptr);
    ASSERT_EQ(listed->count(), 2);
    EXPECT_EQ(listed->item(0)->text(), QStringLiteral("2011-09-18 09:00:00    吃药"));
    EXPECT_EQ(listed->item(1)->text(), QStringLiteral("每天 10:0    喝水"));
    listed->window()->close();
}

TEST_F(SnoozeTest, AlarmsDueWhileTheProgramWasNotRunningAreListedAtStart) {
    manager().AddAlarmClock(u"2011-09-18 07:00:00", false, true, u"早就过了", u"", 0);
    manager().AddAlarmClock(u"2011-09-18 09:00:00", false, true, u"关机时", u"", 0);
    // Last seen running at 08:00; started again at 10:15:30.
    std::filesystem::create_directories(dir.File("state"));
    std::ofstream(dir.File("state/last-seen"))
        << std::chrono::system_clock::to_time_t(MakeLocalTime(2011, 9, 18, 8, 0, 0)) << "\n";
    app->Start();
    QListWidget* listed = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == "missedAlarmsDlg")
            listed = w->findChild<QListWidget*>("missedList");
    ASSERT_NE(listed, nullptr);
    ASSERT_EQ(listed->count(), 1);
    EXPECT_TRUE(listed->item(0)->text().endsWith(QStringLiteral("关机时")));
    listed->window()->close();
    // The moment is noted for the next start.
    std::ifstream in(dir.File("state/last-seen"));
    long long seen = 0;
    in >> seen;
    EXPECT_EQ(seen, clock.NowTimeT());
}

TEST_F(SnoozeTest, RingWindowsOfOneMinuteOpenCascaded) {
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"一", u"", kRingSilent);
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"二", u"", kRingSilent);
    clock.Set(MakeLocalTime(2011, 9, 18, 8, 29, 50));
    app->Start();
    Run(T(2011, 9, 18, 8, 29, 51), T(2011, 9, 18, 8, 30, 0));
    auto windows = RingWindows();
    ASSERT_EQ(windows.size(), 2u);
    const QPoint step = windows[1]->pos() - windows[0]->pos();
    EXPECT_GT(std::abs(step.x()), 10);  // a title bar's height apart, down and to the right
    EXPECT_EQ(step.x(), step.y());
}

}  // namespace

namespace {

// The engine does not wait for the windows: the song starts when the alarm is due, before any
// window exists; what acts on the machine waits until the window is on screen.
TEST_F(EngineTest, TheSongStartsBeforeTheWindowAndTheMachineWaitsForIt) {
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"歌", u"", kRingSystemSong1);
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, true, u"关机", u"", kRingPowerOff);
    clock.Set(MakeLocalTime(2011, 9, 18, 8, 29, 50));
    service.Start();
    // A window thread too busy to open anything.
    QObject::disconnect(&service, &CAlarmEngine::RingDue, nullptr, nullptr);
    std::vector<RingSnapshot> due;
    QObject::connect(&service, &CAlarmEngine::RingDue,
                     [&](const RingSnapshot& r) { due.push_back(r); });
    service.OnSecond(T(2011, 9, 18, 8, 30, 0));
    ASSERT_EQ(due.size(), 2u);
    ASSERT_EQ(players.size(), 1u);
    EXPECT_FALSE(players[0]->IsStopped());
    EXPECT_TRUE(service.rings().IsPlaying(due[0].ring));
    EXPECT_TRUE(power.calls.empty());  // nobody has seen why yet
    service.RingWindowShown(due[1].ring);
    service.RingWindowShown(due[1].ring);  // told once, acted on once
    EXPECT_EQ(power.calls, std::vector<QString>{"PowerOff"});
    // The window's answer stops the song.
    service.SnoozeRing(due[0].ring, 0, 5);
    EXPECT_FALSE(service.rings().IsPlaying(due[0].ring));
    EXPECT_EQ(service.states().StateOf(due[0].alarm.id), AlarmState::kSnoozed);
}

TEST_F(EngineTest, ASnoozeSurvivesARestartAndOneThatPassedMeanwhileIsListed) {
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"开会", u"", kRingSilent);
    manager().AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"吃药", u"", kRingSilent);
    clock.Set(MakeLocalTime(2011, 9, 18, 8, 29, 50));
    service.Start();
    std::vector<RingSnapshot> due;
    QObject::disconnect(&service, &CAlarmEngine::RingDue, nullptr, nullptr);
    QObject::connect(&service, &CAlarmEngine::RingDue,
                     [&](const RingSnapshot& r) { due.push_back(r); });
    clock.Set(T(2011, 9, 18, 8, 30, 0));
    service.OnSecond(clock.Now());
    ASSERT_EQ(due.size(), 2u);
    service.SnoozeRing(due[0].ring, 0, 10);  // 08:40
    service.SnoozeRing(due[1].ring, 2, 0);   // 10:30

    // The program ends at 08:31 and starts again at 09:00.
    clock.Set(T(2011, 9, 18, 8, 31, 0));
    app.reset();
    clock.Set(T(2011, 9, 18, 9, 0, 0));
    Restart();
    CAlarmEngine& again = context().engine();
    std::vector<std::string> missed, rang;
    QObject::connect(&again, &CAlarmEngine::AlarmsMissed, [&](const AlarmRecords& list) {
        for (const AlarmClockRecord& a : list)
            missed.push_back(FromStored(a.content) == u"开会" ? a.alarmTime : "?");
    });
    QObject::connect(&again, &CAlarmEngine::RingDue,
                     [&](const RingSnapshot& r) { rang.push_back(r.alarm.alarmTime); });
    again.Start();
    EXPECT_EQ(missed, std::vector<std::string>{"2011-09-18 08:40:00"});
    for (TimePoint t = T(2011, 9, 18, 10, 29, 58); t < T(2011, 9, 18, 10, 31, 0);
         t += std::chrono::seconds(1))
        again.OnSecond(t);
    EXPECT_EQ(rang, std::vector<std::string>{"2011-09-18 10:30:00"});
    // Rung: nothing is left to restore at the next start.
    Restart();
    missed.clear();
    QObject::connect(&context().engine(), &CAlarmEngine::AlarmsMissed,
                     [&](const AlarmRecords& list) { missed.resize(missed.size() + list.size()); });
    context().engine().Start();
    EXPECT_TRUE(missed.empty());
}

}  // namespace
