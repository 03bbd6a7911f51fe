#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "alarms/add_alarm_clock.h"
#include "alarms/alarm_board.h"
#include "alarms/alarm_dlg.h"
#include "alarms/alarm_engine.h"
#include "alarms/core/ring_plan.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "alarms/my_clock_dlg.h"
#include "settings/core/password_hash.h"
#include "settings/pwd_input_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

std::vector<CAlarmDlg*> OpenRingWindows() {
    std::vector<CAlarmDlg*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CAlarmDlg*>(w); d && d->isVisible())
            found.push_back(d);
    return found;
}

class AlarmPageTest : public test::AppTest {
protected:
    void TearDown() override {
        for (CAlarmDlg* d : OpenRingWindows())
            d->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(AlarmPageTest, LoadsAlarmsAndRingsTheDueOnesInListOrder) {
    {
        CClockManager& m = manager();
        m.AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"第一", u"", kRingSilent);
        m.AddAlarmClock(u"2011-09-18 09:00:00", false, false, u"later", u"", kRingSilent);
        m.AddAlarmClock(u"2011-01-01 08:30:00", true, false, u"第二", u"", kRingSilent);
    }
    CAlarmEngine& reminders = context().engine();
    CMyClockDlg page(context().alarms(), context().store(), context().settings(), clock);
    EXPECT_EQ(page.listCtrl()->GetItemCount(), 0);  // nothing is read before start-up
    app->Start();
    EXPECT_TRUE(reminders.IsRunning());
    ASSERT_EQ(context().alarms().alarmList().size(), 3u);
    EXPECT_EQ(page.listCtrl()->GetItemCount(), 3);

    std::vector<std::string> rang;
    QObject::connect(&reminders, &CAlarmEngine::RingDue,
                     [&](const RingSnapshot& r) { rang.push_back(r.alarm.id); });
    reminders.OnSecond(MakeLocalTime(2011, 9, 18, 8, 29, 59));
    EXPECT_TRUE(OpenRingWindows().empty());
    reminders.OnSecond(MakeLocalTime(2011, 9, 18, 8, 30, 0));
    reminders.OnSecond(MakeLocalTime(2011, 9, 18, 8, 30, 1));
    ASSERT_EQ(rang.size(), 2u);
    auto windows = OpenRingWindows();
    ASSERT_EQ(windows.size(), 2u);
    QStringList texts;
    for (auto* w : windows)
        texts << w->findChild<QLabel*>("alarmContentLabel")->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("第一")) && texts.contains(QStringLiteral("第二")));
    EXPECT_EQ(rang.back(), context().alarms().alarmList()[2]->id);  // in list order
}

// The alarm page as the user sees it, at a fixed time: 2011-09-18 10:15:30.
class AlarmPageUserTest : public AlarmPageTest {
protected:
    void SetUp() override {
        AlarmPageTest::SetUp();
        struct {
            const char16_t* time;
            bool everyday;
        } alarms[] = {{u"2011-09-18 11:00:00", false},
                      {u"2011-09-18 10:15:30", false},
                      {u"2001-01-01 08:05:00", true},
                      {u"2011-09-18 14:00:00", false}};
        for (const auto& a : alarms)
            manager().AddAlarmClock(a.time, a.everyday, true, u"闹钟", u"#系统歌曲2", 1);
        app->Start();
        page.show();
        list = page.listCtrl();
    }
    std::vector<std::u16string> LogTexts() { return StoredLogTexts(); }
    const AlarmClockList& alarmList() { return context().alarms().alarmList(); }
    // Answers the next password prompt with each text in turn, as a user would: each wrong
    // one is answered by a message, which the user closes before the next try. None at all
    // cancels the prompt.
    static void AnswerPrompt(std::vector<QString> tries) {
        test::WhenModal<CPwdInputDlg>([tries](CPwdInputDlg* dlg) {
            if (tries.empty())
                dlg->findChild<QPushButton*>("cancelButton")->click();
            QPointer<CPwdInputDlg> prompt = dlg;
            for (size_t i = 0; i < tries.size() && prompt; ++i) {
                QString message;
                if (i + 1 < tries.size())
                    test::CloseNextMessageBox(&message);
                prompt->findChild<QLineEdit*>("pwdInputEdit")->setText(tries[i]);
                prompt->findChild<QPushButton*>("okButton")->click();
                // The check runs off the UI thread; the buttons wait for it.
                ASSERT_TRUE(test::WaitUntil([&] { return !prompt || !prompt->IsBusy(); }, 10000));
                if (i + 1 < tries.size()) {
                    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
                }
            }
        });
    }
    void DoubleClickRow(int row) {
        test::ProcessEvents();
        QPoint at = list->visualRect(list->itemModel()->index(row, 3)).center();
        // A real double click starts with a whole click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void Delete() { page.findChild<QPushButton*>("deleteAlarmButton")->click(); }

    test::ModalWatchdog watchdog;
    CMyClockDlg page{context().alarms(), context().store(), context().settings(), clock};
    CZorvelListCtrl* list = nullptr;
};

TEST_F(AlarmPageUserTest, RowsShowTimesTextsAndWhatHasExpired) {
    EXPECT_FALSE(list->IsColumnVisible(1));
    ASSERT_EQ(list->GetItemCount(), 4);
    QStringList times, remarks;
    QImage expired = QIcon(":/alarms/expired.svg").pixmap(32).toImage();
    QImage active = QIcon(":/alarms/active.svg").pixmap(32).toImage();
    std::vector<bool> marked;
    for (int r = 0; r < 4; ++r) {
        times << list->GetItemText(r, 2);
        remarks << list->GetItemText(r, 4);
        QImage picture = list->itemModel()->item(r, 0)->icon().pixmap(32).toImage();
        EXPECT_TRUE(picture == expired || picture == active);
        marked.push_back(picture == expired);
        // The scheduler's list holds the very alarms of the rows, in row order.
        EXPECT_EQ(QString::fromStdString(alarmList()[r]->id), list->GetItemText(r, 1));
    }
    EXPECT_EQ(times, QStringList({"2011-09-18 11:00:00", "2011-09-18 10:15:30", "每天 8:5",
                                  "2011-09-18 14:00:00"}));
    // A one-off alarm due this very second counts as expired, an every-day one never.
    EXPECT_EQ(remarks, QStringList({"#系统歌曲2", "已过期", "#系统歌曲2", "#系统歌曲2"}));
    EXPECT_EQ(marked, (std::vector<bool>{false, true, false, false}));
}

TEST_F(AlarmPageUserTest, DeletesSelectedRowsFromTheBottomUp) {
    Delete();  // nothing selected
    EXPECT_EQ(list->GetItemCount(), 4);
    list->SelectRow(0);
    list->SelectRow(2);
    list->SelectRow(3);
    Delete();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "2");
    // Out of the alarm test at once, before the change has come round.
    ASSERT_EQ(alarmList().size(), 1u);
    // The deletion comes round as a change; the remaining row keeps its number until the page
    // is refilled.
    FlushChanges();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "2");
    page.Refill();
    EXPECT_EQ(list->GetItemText(0, 0), "1");
    EXPECT_EQ(LogTexts(),
              (std::vector<std::u16string>{u"手动删除了一个闹钟 2011-09-18 14:00:00",
                                           u"手动删除了一个闹钟 每天 2001-01-01 08:05:00",
                                           u"手动删除了一个闹钟 2011-09-18 11:00:00"}));
    AlarmClockList left;
    manager().GetAllAlarmClocks(left);
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(alarmList().size(), 1u);
    EXPECT_EQ(alarmList()[0]->id, left[0]->id);
}

TEST_F(AlarmPageUserTest, PasswordIsAskedBeforeEditingAndDeleting) {
    database().SetDelPwd(HashPassword(u"口令", 1000));  // quick to check; upgraded when given
    database().SetPwdReq(true);
    int editors = 0;
    test::WhenModal<CEditAlarmClockDlg>([&](CEditAlarmClockDlg* dlg) {
        ++editors;
        dlg->findChild<QLineEdit*>("contentEdit")->setText("改了");
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    AnswerPrompt({});
    DoubleClickRow(0);
    EXPECT_EQ(editors, 0);
    AnswerPrompt({"口", "口令"});
    DoubleClickRow(0);
    EXPECT_EQ(editors, 1);
    test::ProcessEvents();
    EXPECT_EQ(list->GetItemText(0, 3), "改了");  // rebuilt after the edit
    EXPECT_EQ(alarmList()[0]->content, ToStored(u"改了"));

    list->SelectRow(1, false);
    AnswerPrompt({});
    Delete();
    EXPECT_EQ(list->GetItemCount(), 4);
    AnswerPrompt({"口令"});
    Delete();
    EXPECT_EQ(list->GetItemCount(), 3);
    // The first right answer stored the password again with today's iteration count.
    SoftSetting s;
    database().ReadSoftSetting(&s);
    EXPECT_FALSE(PasswordNeedsRehash(s.delPwd)) << s.delPwd;
    EXPECT_TRUE(CheckPassword(u"口令", s.delPwd));
}

TEST_F(AlarmPageUserTest, AddingRebuildsTheRowsAndAStorageErrorLeavesThemAlone) {
    test::WhenModal<CAddAlarmClock>([](CAddAlarmClock* dlg) {
        dlg->findChild<QLineEdit*>("contentEdit")->setText("新闹钟");
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    page.findChild<QPushButton*>("addAlarmButton")->click();
    test::ProcessEvents();
    ASSERT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(list->GetItemText(4, 3), "新闹钟");
    EXPECT_EQ(alarmList()[4]->alarmTime, "2011-09-18 10:16:00");

    // Another program holds the file locked.
    CppSQLite3DB other;
    OpenKeyed(other, dbPath);
    other.ExecuteUpdate("BEGIN EXCLUSIVE;");
    QString message;
    test::CloseNextMessageBox(&message);
    page.Refill();
    other.ExecuteUpdate("ROLLBACK;");
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_NE(message.indexOf("locked"), -1) << message.toStdString();
    EXPECT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(alarmList().size(), 5u);
}

// A click that comes from the window system, which drops it when a modal window blocks the
// widget's window (a click sent straight to the widget would pass).
void ClickAsTheUser(QWidget* w) {
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {},
                      w->mapTo(w->window(), w->rect().center()));
}

// A ringing alarm can always be answered: a ring window that opens while an editor or the
// password prompt is open takes its snooze and its close at once, as the user gives them.
TEST_F(AlarmPageUserTest, RingWindowsOpenedUnderAnOpenDialogTakeSnoozeAndClose) {
    CAlarmEngine& reminders = context().engine();
    const auto ringNow = [&](const TimePoint& at) {
        reminders.OnSecond(at);
        auto windows = OpenRingWindows();
        return windows.empty() ? nullptr : windows.back();
    };
    int answered = 0;
    test::WhenModal<CAddAlarmClock>([&](CAddAlarmClock* editor) {
        QPointer<CAlarmDlg> ring = ringNow(MakeLocalTime(2011, 9, 18, 11, 0, 0));
        ASSERT_TRUE(ring);
        ClickAsTheUser(ring->findChild<QPushButton*>("snoozeButton"));
        EXPECT_TRUE(test::WaitUntil([&] { return !ring; }, 2000)) << "the snooze was blocked";
        EXPECT_EQ(alarmList()[0]->alarmTime, "2011-09-18 11:01:00");

        // A second one is closed by the keyboard (Escape), as the window system delivers it.
        QPointer<CAlarmDlg> second = ringNow(MakeLocalTime(2011, 9, 18, 14, 0, 0));
        ASSERT_TRUE(second);
        QTest::keyClick(second->windowHandle(), Qt::Key_Escape);
        EXPECT_TRUE(test::WaitUntil([&] { return !second; }, 2000)) << "the close was blocked";
        EXPECT_TRUE(editor->isVisible());
        ++answered;
        editor->reject();
    });
    page.findChild<QPushButton*>("addAlarmButton")->click();
    EXPECT_EQ(answered, 1);

    database().SetDelPwd(HashPassword(u"口令", 1000));
    database().SetPwdReq(true);
    test::WhenModal<CPwdInputDlg>([&](CPwdInputDlg* prompt) {
        QPointer<CAlarmDlg> ring = ringNow(MakeLocalTime(2011, 9, 19, 8, 5, 0));  // every day
        ASSERT_TRUE(ring);
        ClickAsTheUser(ring->findChild<QPushButton*>("snoozeButton"));
        EXPECT_TRUE(test::WaitUntil([&] { return !ring; }, 2000)) << "the snooze was blocked";
        ++answered;
        prompt->reject();
    });
    list->SelectRow(0);
    Delete();
    EXPECT_EQ(answered, 2);
}

}  // namespace
