#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <fstream>

#include "alarms/alarm_board.h"
#include "alarms/alarm_dlg.h"
#include "alarms/alarm_engine.h"
#include "alarms/core/ring_plan.h"
#include "alarms/core/state_files.h"
#include "app/autostart_question.h"
#include "app/main_dlg.h"
#include "settings/soft_setting_dlg.h"
#include "storage/clock_manager.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/stored_text.h"

namespace {

using namespace zorvel;

TimePoint T(int h, int mi, int s) {
    return MakeLocalTime(2011, 9, 18, h, mi, s) + std::chrono::milliseconds(15);
}
std::time_t At(int h, int mi, int s) {
    return std::chrono::system_clock::to_time_t(MakeLocalTime(2011, 9, 18, h, mi, s));
}

std::vector<CAlarmDlg*> RingWindows() {
    std::vector<CAlarmDlg*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CAlarmDlg*>(w); d && d->isVisible())
            found.push_back(d);
    return found;
}

QWidget* MissedNotice() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == "missedAlarmsDlg")
            return w;
    return nullptr;
}

class WakeTest : public test::AppTest {
protected:
    WakeTest() : engine(context().engine()) {
        QObject::connect(&engine, &CAlarmEngine::RingDue, [this](const RingSnapshot& r) {
            rang.push_back(FromStoredText(r.alarm.content));
        });
        QObject::connect(&engine, &CAlarmEngine::AlarmsMissed, [this](const AlarmRecords& a) {
            for (const AlarmClockRecord& r : a)
                missed.push_back(FromStoredText(r.content));
        });
    }
    ~WakeTest() override {
        for (CAlarmDlg* d : RingWindows())
            d->close();
        if (QWidget* w = MissedNotice())
            w->close();
        test::ProcessEvents();
    }
    void Run(TimePoint from, TimePoint to) {
        for (TimePoint t = from; t <= to; t += std::chrono::seconds(1)) {
            clock.Set(t);
            engine.OnSecond(t);
        }
        test::ProcessEvents();
    }
    void Add(const std::u16string& time, const std::u16string& text, bool everyday = false) {
        manager().AddAlarmClock(time, everyday, false, text, u"", kRingSilent);
    }
    CAlarmEngine& engine;
    QStringList rang, missed;
};

TEST_F(WakeTest, ARingPostsACriticalNoticeWhoseButtonsActAsTheWindows) {
    Add(u"2011-09-18 10:16:00", u"开会 <b>&</b>");
    Add(u"2011-09-18 10:16:00", u"喝水");
    app->Start();
    Run(T(10, 15, 59), T(10, 16, 0));
    ASSERT_EQ(RingWindows().size(), 2u);
    ASSERT_EQ(notifier.posted.size(), 2u);
    const DesktopNotice& n = notifier.posted[0].notice;
    EXPECT_EQ(n.summary, QStringLiteral("2011-09-18 10:16:00"));
    EXPECT_EQ(n.body, QStringLiteral("开会 <b>&</b>"));  // escaped by the notifier, not here
    EXPECT_TRUE(n.critical);
    EXPECT_EQ(n.category, QStringLiteral("x-zorvel.alarm"));
    ASSERT_EQ(n.actions.size(), 2);
    EXPECT_EQ(n.actions[0].second, QStringLiteral("延迟再响"));
    EXPECT_EQ(n.actions[1].second, QStringLiteral("关闭"));
    EXPECT_TRUE(sleep->idleBlock);  // no idle suspend cuts a ring short

    // "延迟再响" on the first notice: its window closes and the alarm rings a minute later.
    CAlarmDlg* first =
        FromStoredText(RingWindows()[0]->ring().alarm.content) == QStringLiteral("开会 <b>&</b>")
            ? RingWindows()[0]
            : RingWindows()[1];
    notifier.Choose(0, n.actions[0].first);
    test::ProcessEvents();
    EXPECT_EQ(RingWindows().size(), 1u);
    EXPECT_FALSE(RingWindows()[0] == first);
    EXPECT_TRUE(notifier.posted[0].withdrawn);
    EXPECT_TRUE(sleep->idleBlock);  // one still rings
    // Closing the other window takes its notice away; "关闭" on a closed window does nothing.
    RingWindows()[0]->close();
    test::ProcessEvents();
    EXPECT_TRUE(notifier.posted[1].withdrawn);
    EXPECT_FALSE(sleep->idleBlock);
    notifier.Choose(1, notifier.posted[1].notice.actions[1].first);

    rang.clear();
    Run(T(10, 16, 1), T(10, 17, 1));
    EXPECT_EQ(rang, QStringList{QStringLiteral("开会 <b>&</b>")});
    // "关闭" closes the window without a snooze: the one-off alarm is done.
    ASSERT_EQ(notifier.posted.size(), 3u);
    notifier.Choose(2, notifier.posted[2].notice.actions[1].first);
    test::ProcessEvents();
    EXPECT_TRUE(RingWindows().empty());
    EXPECT_EQ(engine.states().StateOf(engine.states().alarmList()[0]->id), AlarmState::kDone);
}

TEST_F(WakeTest, MissedAlarmsPostOneNoticeThatOpensTheListAgain) {
    Add(u"2011-09-18 11:00:00", u"吃药");
    Add(u"2011-09-18 12:00:00", u"午饭");
    app->Start();
    Run(T(10, 15, 31), T(10, 15, 32));
    // Asleep until after both.
    Run(T(12, 30, 0), T(12, 30, 0));
    ASSERT_EQ(missed.size(), 2u);
    ASSERT_EQ(notifier.posted.size(), 1u);
    const DesktopNotice& n = notifier.posted[0].notice;
    EXPECT_EQ(n.summary, QStringLiteral("错过的闹钟"));
    EXPECT_FALSE(n.critical);
    EXPECT_TRUE(n.body.contains(QStringLiteral("吃药")) && n.body.contains(QStringLiteral("午饭")));
    ASSERT_NE(MissedNotice(), nullptr);
    MissedNotice()->close();
    test::ProcessEvents();
    ASSERT_EQ(MissedNotice(), nullptr);
    notifier.Choose(0, QStringLiteral("default"));
    test::ProcessEvents();
    ASSERT_NE(MissedNotice(), nullptr);
    EXPECT_EQ(MissedNotice()->findChild<QListWidget*>("missedList")->count(), 2);
}

TEST_F(WakeTest, SleepWritesTheStateAndWakingListsWhatPassedAndRingsWhatIsAhead) {
    Add(u"2011-09-18 11:00:00", u"吃药");
    Add(u"2011-09-18 07:30:00", u"起床", true);
    app->Start();
    EXPECT_TRUE(sleep->sleepDelay);
    Run(T(10, 15, 31), T(10, 15, 40));
    std::remove(dir.File("state/last-seen").c_str());
    sleep->Send(true);
    // Written before the lock goes, so the suspend waits for it.
    EXPECT_FALSE(sleep->sleepDelay);
    std::ifstream seen(dir.File("state/last-seen"));
    long long written = 0;
    seen >> written;
    EXPECT_EQ(written, At(10, 15, 40));
    EXPECT_TRUE(std::ifstream(dir.File("state/snoozes")).good());

    // Woken by the wake-up half a minute before the next morning's alarm.
    const TimePoint woken = MakeLocalTime(2011, 9, 19, 7, 29, 30);
    clock.Set(woken);
    sleep->Send(false);
    test::ProcessEvents();
    EXPECT_TRUE(sleep->sleepDelay);
    EXPECT_EQ(missed, QStringList{QStringLiteral("吃药")});  // at once, not at the next tick
    EXPECT_TRUE(rang.empty());
    for (TimePoint t = woken + std::chrono::seconds(1); t <= woken + std::chrono::seconds(31);
         t += std::chrono::seconds(1)) {
        clock.Set(t);
        engine.OnSecond(t);
    }
    EXPECT_EQ(rang, QStringList{QStringLiteral("起床")});  // rung, not listed as missed
    EXPECT_EQ(missed.size(), 1u);
}

TEST_F(WakeTest, TheWakeUpFollowsTheNextAlarmAndTheSetting) {
    Add(u"2011-09-18 12:00:00", u"午饭");
    app->Start();
    ASSERT_EQ(wakeWays.size(), 2u);
    EXPECT_EQ(wakeWays[0]->armed, At(11, 59, 30));
    EXPECT_EQ(context().alarms().wakeAvailability(),
              static_cast<int>(CWakeChooser::Availability::kWorks));
    // An earlier alarm is added: armed for it.
    Add(u"2011-09-18 11:00:00", u"吃药");
    FlushChanges();
    EXPECT_EQ(wakeWays[0]->armed, At(10, 59, 30));
    // It rings and is snoozed for an hour: the next ring is the lunch at 12:00 again.
    Run(T(10, 59, 59), T(11, 0, 1));
    ASSERT_EQ(RingWindows().size(), 1u);
    engine.SnoozeRing(RingWindows()[0]->ring().ring, 0, 30);
    EXPECT_EQ(wakeWays[0]->armed, At(11, 29, 30));
    RingWindows()[0]->close();

    // Switched off: disarmed, and still off after a restart.
    context().alarms().SetWakeEnabled(false);
    EXPECT_EQ(wakeWays[0]->armed, 0);
    EXPECT_EQ(ReadChoice(dir.File("state/choices"), "wakeFromSleep"), "0");
    wakeWorks[0] = false;
    Restart();
    app->Start();
    EXPECT_FALSE(context().alarms().wakeEnabled());
    EXPECT_EQ(wakeWays[1]->armed, 0);  // systemd refused; the helper works but is off
    context().alarms().SetWakeEnabled(true);
    EXPECT_NE(wakeWays[1]->armed, 0);

    // Neither way works: nothing to switch on.
    wakeWorks[1] = false;
    Restart();
    app->Start();
    EXPECT_EQ(context().alarms().wakeAvailability(),
              static_cast<int>(CWakeChooser::Availability::kNone));
}

TEST_F(WakeTest, StartingAtLoginIsAskedOnceOfAnInstalledCopyWithAlarms) {
    test::CFakeStateStore state;
    {
        // Not installed, or no alarm yet: nothing asked.
        CAutostartQuestion notInstalled(context().alarms(), &autostart, state, false);
        CAutostartQuestion installed(context().alarms(), &autostart, state, true);
        app->Start();
        test::ProcessEvents();
        EXPECT_EQ(installed.box(), nullptr);
        Add(u"2011-09-18 12:00:00", u"午饭");
        FlushChanges();
        test::ProcessEvents();
        EXPECT_EQ(notInstalled.box(), nullptr);
        ASSERT_NE(installed.box(), nullptr);
        EXPECT_FALSE(installed.box()->isModal());
        EXPECT_EQ(installed.box()->text(), QStringLiteral("开机时自动运行 Zorvel，以免错过闹钟？"));
        installed.box()->findChild<QPushButton*>("yesButton")->click();
        test::ProcessEvents();
        EXPECT_TRUE(autostart.enabled);
        EXPECT_EQ(state.choices["askedAutostart"], "yes");
    }
    // Answered: never again, whatever the box on the settings page says since.
    autostart.enabled = false;
    Restart();
    CAutostartQuestion again(context().alarms(), &autostart, state, true);
    app->Start();
    test::ProcessEvents();
    EXPECT_EQ(again.box(), nullptr);
}

TEST_F(WakeTest, TheSettingIsGreyedWithItsReasonWhereNoWayWorks) {
    wakeWorks[0] = wakeWorks[1] = false;
    Restart();
    app->Start();
    {
        CSoftSettingDlg page(CMainDlg::SettingsPageParts(context()));
        auto* box = page.findChild<QCheckBox*>("wakeFromSleepCheck");
        auto* reason = page.findChild<QLabel*>("wakeReason");
        ASSERT_TRUE(box && reason);
        EXPECT_EQ(box->text(), QStringLiteral("休眠时到点唤醒电脑"));
        EXPECT_FALSE(box->isEnabled());
        EXPECT_FALSE(box->isChecked());
        EXPECT_FALSE(reason->isHidden());
        EXPECT_EQ(reason->text(), QStringLiteral("需要 systemd 254 或 zorvel-wake 的唤醒权限"));
    }
    wakeWorks[1] = true;
    Restart();
    Add(u"2011-09-18 12:00:00", u"午饭");
    app->Start();
    CSoftSettingDlg page(CMainDlg::SettingsPageParts(context()));
    auto* box = page.findChild<QCheckBox*>("wakeFromSleepCheck");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->isChecked());  // on by default where it can work
    EXPECT_TRUE(page.findChild<QLabel*>("wakeReason")->isHidden());
    EXPECT_EQ(wakeWays[1]->armed, At(11, 59, 30));
    box->click();
    EXPECT_EQ(wakeWays[1]->armed, 0);
    EXPECT_EQ(ReadChoice(dir.File("state/choices"), "wakeFromSleep"), "0");
}

}  // namespace
