#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTest>

#include "alarms/alarm_dlg.h"
#include "alarms/alarm_engine.h"
#include "alarms/ring_controller.h"
#include "settings/settings_service.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

TimePoint T(int y, int mo, int d, int h, int mi, int s) {
    return MakeLocalTime(y, mo, d, h, mi, s);
}

// Rings go through the context as in the program: the engine (in the test's thread here) plays
// the song and runs the effects, the context opens the window, the window reports the choice.
class AlarmDlgTest : public test::AppTest {
protected:
    void SetUp() override {
        alarm = std::make_shared<AlarmClockRecord>();
        alarm->alarmTime = "2011-09-18 08:30:00";
        alarm->content = ToStored(u"该起床了");
        alarm->isRing = true;
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CAlarmDlg*>(w))
                d->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CAlarmEngine& engine() { return context().engine(); }
    // Stores the alarm under a new id and rings it in the first second of its minute; the
    // window opens as the window thread gets to it.
    CAlarmDlg* Open(int ringType, int ringPlayType = 2) {
        context().settings().SetRingPlayType(ringPlayType);
        alarm->ringType = ringType;
        alarm->id = "{A" + std::to_string(++opened) + "}";
        database().InsertAlarmClock(*alarm);
        engine().ReloadAlarms();
        clock.Set(MakeLocalTime(2011, 9, 18, 8, 30, 0));
        engine().OnSecond(clock.Now());
        clock.Set(MakeLocalTime(2011, 9, 18, 8, 30, 5));  // the alarm has just begun to ring
        test::ProcessEvents();
        CAlarmDlg* newest = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CAlarmDlg*>(w); d && d->ring().alarm.id == alarm->id)
                newest = d;
        return newest;
    }
    // The alarm as it may ring now.
    std::string TimeOf(const std::string& id) {
        for (const AlarmClockPtr& a : engine().states().alarmList())
            if (a->id == id)
                return a->alarmTime;
        return "(gone)";
    }
    void CheckSongEnd(CAlarmDlg* dlg) {
        engine().rings().CheckSongEnd(dlg->ring().ring);
        test::ProcessEvents();  // what the engine tells the window arrives
    }
    bool IsWatchingSong(CAlarmDlg* dlg) {
        return engine().rings().IsWatchingSong(dlg->ring().ring);
    }
    test::CFakeSongPlayer* Player() { return players.empty() ? nullptr : players.back(); }

    AlarmClockPtr alarm;
    int opened = 0;
};

TEST_F(AlarmDlgTest, ShowsTheAlarmAndSnoozesByTheDefaultMinute) {
    QPointer<CAlarmDlg> dlg = Open(kRingSilent);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("设定时间到了"));
    EXPECT_EQ(dlg->findChild<QLabel*>("alarmTimeLabel")->text(), "2011-09-18 08:30:00");
    EXPECT_EQ(dlg->findChild<QLabel*>("alarmContentLabel")->text(), QStringLiteral("该起床了"));
    auto* hours = dlg->findChild<QComboBox*>("delayHoursCombo");
    auto* minutes = dlg->findChild<QComboBox*>("delayMinutesCombo");
    ASSERT_EQ(hours->count(), 24);
    ASSERT_EQ(minutes->count(), 59);
    EXPECT_EQ(hours->itemText(23), "23");
    EXPECT_EQ(minutes->itemText(0), "1");
    EXPECT_EQ(hours->currentText(), "0");
    EXPECT_EQ(minutes->currentText(), "1");
    EXPECT_TRUE(hours->isEditable() && minutes->isEditable());

    const std::string id = alarm->id;
    dlg->findChild<QPushButton*>("snoozeButton")->click();
    EXPECT_EQ(TimeOf(id), "2011-09-18 08:31:00");
    EXPECT_EQ(engine().states().StateOf(id), AlarmState::kSnoozed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dlg.isNull());  // the window is gone
    AlarmClockList stored;
    manager().GetAllAlarmClocks(stored);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->alarmTime, "2011-09-18 08:30:00");  // and nothing was written
}

TEST_F(AlarmDlgTest, TypedDelaysCount) {
    struct Case {
        QString hours, minutes, expected;
    };
    for (const Case& c :
         {Case{"0", "90", "2011-09-18 10:00:00"}, Case{"abc", "xyz", "2011-09-18 08:30:00"},
          Case{"2", "1234567890", "2011-09-18 10:30:00"}}) {
        CAlarmDlg* dlg = Open(kRingSilent);
        dlg->findChild<QComboBox*>("delayHoursCombo")->setEditText(c.hours);
        dlg->findChild<QComboBox*>("delayMinutesCombo")->setEditText(c.minutes);
        QTest::keyClick(dlg->findChild<QComboBox*>("delayMinutesCombo")->lineEdit(),
                        Qt::Key_Return);
        const std::string expected = c.expected.toStdString();
        EXPECT_EQ(TimeOf(alarm->id), expected) << c.hours.toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(AlarmDlgTest, CloseBoxSilencesWithoutSnoozing) {
    QPointer<CAlarmDlg> dlg = Open(kRingSystemSong1, kPlayUntilClosed);
    const quint64 ring = dlg->ring().ring;
    ASSERT_TRUE(Player());
    EXPECT_FALSE(Player()->IsStopped());
    EXPECT_TRUE(Player()->looping);
    EXPECT_TRUE(Player()->lastPath.endsWith("mp3/1.mp3"));
    dlg->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dlg.isNull());
    EXPECT_TRUE(engine().rings().IsPlaying(ring) == false);
    EXPECT_EQ(engine().states().StateOf(alarm->id), AlarmState::kDone);
    EXPECT_EQ(TimeOf(alarm->id), "2011-09-18 08:30:00");
    engine().OnSecond(T(2011, 9, 18, 8, 30, 6));
    EXPECT_EQ(players.size(), 1u);  // and it does not ring again
}

TEST_F(AlarmDlgTest, PlayTwiceThenSilence) {
    CAlarmDlg* dlg = Open(kRingSystemSong2, kPlayTwice);
    ASSERT_EQ(players.size(), 1u);
    EXPECT_TRUE(Player()->lastPath.endsWith("mp3/2.mp3"));
    EXPECT_FALSE(Player()->looping);
    CheckSongEnd(dlg);  // still playing: nothing happens
    EXPECT_EQ(players.size(), 1u);
    Player()->EndSong();
    CheckSongEnd(dlg);
    ASSERT_EQ(players.size(), 2u);  // the second and last time
    Player()->EndSong();
    CheckSongEnd(dlg);
    EXPECT_EQ(players.size(), 2u);
    EXPECT_FALSE(IsWatchingSong(dlg));
    dlg->close();
}

TEST_F(AlarmDlgTest, PlayOnceIsWatchedUntilItEndsAndLoopRestartsWhenItStops) {
    CAlarmDlg* once = Open(kRingSystemSong1, kPlayOnce);
    EXPECT_TRUE(IsWatchingSong(once));
    Player()->EndSong();
    CheckSongEnd(once);
    EXPECT_EQ(players.size(), 1u);  // not played again
    EXPECT_FALSE(IsWatchingSong(once));
    once->close();

    alarm->ring = ToStored(u"/home/我/歌.mp3");
    CAlarmDlg* loop = Open(kRingCustomSong, kPlayUntilClosed);
    EXPECT_EQ(Player()->lastPath, QStringLiteral("/home/我/歌.mp3"));
    EXPECT_TRUE(IsWatchingSong(loop));
    size_t before = players.size();
    Player()->EndSong();  // the player stopped by itself
    CheckSongEnd(loop);
    EXPECT_EQ(players.size(), before + 1);
    EXPECT_TRUE(Player()->looping);
    EXPECT_EQ(Player()->lastPath, QStringLiteral("/home/我/歌.mp3"));
    loop->close();
}

TEST_F(AlarmDlgTest, ASongThatFailsOnceStartedIsReportedInEveryPlayMode) {
    for (int mode : {kPlayOnce, kPlayTwice, kPlayUntilClosed}) {
        CAlarmDlg* dlg = Open(kRingSystemSong1, mode);
        auto* error = dlg->findChild<QLabel*>("songErrorLabel");
        EXPECT_TRUE(error->isHidden());
        // The player finds out that it cannot decode the file after it has started.
        Player()->error = "cannot decode";
        Player()->stopped = true;
        CheckSongEnd(dlg);
        EXPECT_FALSE(error->isHidden()) << mode;
        EXPECT_EQ(error->text(), QStringLiteral("歌曲无法播放：cannot decode")) << mode;
        EXPECT_FALSE(IsWatchingSong(dlg));
        dlg->close();
    }
}

TEST_F(AlarmDlgTest, UnplayableSongIsReportedAndTheWindowStillWorks) {
    nextSongError = "no such file";
    CAlarmDlg* dlg = Open(kRingSystemSong1, kPlayUntilClosed);
    auto* error = dlg->findChild<QLabel*>("songErrorLabel");
    EXPECT_FALSE(error->isHidden());
    EXPECT_TRUE(error->text().contains("no such file"));
    EXPECT_FALSE(IsWatchingSong(dlg));
    dlg->findChild<QPushButton*>("snoozeButton")->click();
    EXPECT_EQ(TimeOf(alarm->id), "2011-09-18 08:31:00");
}

TEST_F(AlarmDlgTest, ProgramRestartAndPowerOff) {
    alarm->content = ToStored(u"touch '/tmp/zorvel test'");
    Open(kRingRunProgram)->close();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], "touch '/tmp/zorvel test'");

    CAlarmDlg* off = Open(kRingPowerOff);
    EXPECT_EQ(power.calls, std::vector<QString>{"PowerOff"});
    off->close();

    power.calls.clear();
    QElapsedTimer sinceRing;
    sinceRing.start();
    CAlarmDlg* restart = Open(kRingRestart);
    EXPECT_TRUE(power.calls.empty());  // not before the two-second pause
    ASSERT_TRUE(test::WaitUntil([&] { return !power.calls.empty(); }, 10000));
    EXPECT_GE(sinceRing.elapsed(), 1900);
    EXPECT_EQ(power.calls, std::vector<QString>{"Reboot"});
    restart->close();

    // With isRing off nothing happens at all: by the time a restart with its ring on, opened
    // after them, has come, none of them has done anything.
    power.calls.clear();
    alarm->isRing = false;
    for (int type : {kRingPowerOff, kRingRestart, kRingRunProgram, kRingSystemSong1})
        Open(type)->close();
    alarm->isRing = true;
    CAlarmDlg* control = Open(kRingRestart);
    ASSERT_TRUE(test::WaitUntil([&] { return !power.calls.empty(); }, 10000));
    EXPECT_EQ(power.calls, std::vector<QString>{"Reboot"});
    control->close();
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(players.size(), 0u);
}

TEST_F(AlarmDlgTest, ShakesOnceAndEndsWhereItStarted) {
    CAlarmDlg* dlg = Open(kRingShake);
    QPoint start = dlg->pos();
    EXPECT_FALSE(dlg->IsShaking() && dlg->pos() != start);
    // Other timers keep running while it shakes: the shake takes its steps from the event loop.
    QTimer fired;
    int ticksWhileShaking = 0;
    QObject::connect(&fired, &QTimer::timeout, [&] {
        if (dlg->IsShaking() && dlg->pos() != start)
            ++ticksWhileShaking;
    });
    fired.start(50);
    QSet<int> xs;
    auto watch = [&] {
        xs.insert(dlg->pos().x() - start.x());
        return false;
    };
    // Half a second after the window opens it shakes; then it stops where it started.
    ASSERT_TRUE(test::WaitUntil([&] { return watch() || dlg->pos() != start; }));
    ASSERT_TRUE(test::WaitUntil([&] { return watch() || !dlg->IsShaking(); }, 10000));
    EXPECT_EQ(dlg->pos(), start);
    EXPECT_TRUE(xs.contains(-3) && xs.contains(3));
    EXPECT_GE(ticksWhileShaking, 5);
    dlg->close();
}

}  // namespace

namespace {
TEST(SplitCommandLineTest, QuotesAndEscapesGroupWords) {
    EXPECT_EQ(SplitCommandLine("touch /tmp/x"), (QStringList{"touch", "/tmp/x"}));
    EXPECT_EQ(SplitCommandLine("  a   b  "), (QStringList{"a", "b"}));
    EXPECT_EQ(SplitCommandLine(R"(vlc "/home/我/My Music/a.mp3" --x)"),
              (QStringList{"vlc", "/home/我/My Music/a.mp3", "--x"}));
    EXPECT_EQ(SplitCommandLine(R"(echo 'it"s' a\ b "q\"x" '')"),
              (QStringList{"echo", "it\"s", "a b", "q\"x", ""}));
    EXPECT_TRUE(SplitCommandLine("   ").isEmpty());
}
// A screen reader reads the time and the message, not only what the labels are for.
TEST_F(AlarmDlgTest, LabelsExposeWhatTheyShow) {
    QPointer<CAlarmDlg> dlg = Open(kRingSilent);
    for (const char* name : {"alarmTimeLabel", "alarmContentLabel"}) {
        auto* label = dlg->findChild<QLabel*>(name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), label->text()) << name;
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << name;
    }
    dlg->close();
}

TEST_F(AlarmDlgTest, AVeryLongTextScrollsInsteadOfGrowingTheWindow) {
    alarm->content = ToStored(std::u16string(450, u'长'));
    QPointer<CAlarmDlg> dlg = Open(kRingSilent);
    const QRect screen = dlg->screen()->availableGeometry();
    EXPECT_LE(dlg->height(), 400);
    EXPECT_TRUE(screen.contains(dlg->geometry()));
    auto* area = dlg->findChild<QScrollArea*>("alarmContentArea");
    ASSERT_NE(area, nullptr);
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);  // the rest is a scroll away
    dlg->close();
}

}  // namespace
