#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "alarms/add_alarm_clock.h"
#include "alarms/alarm_dlg.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "alarms/my_clock_dlg.h"
#include "alarms/zorvel_list_ctrl.h"
#include "settings/password_hash.h"
#include "settings/pwd_input_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

std::vector<CAlarmDlg*> OpenRingWindows() {
    std::vector<CAlarmDlg*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CAlarmDlg*>(w); d && d->isVisible())
            found.push_back(d);
    return found;
}

class AlarmPageTest : public test::TempDatabaseTest {
protected:
    void TearDown() override {
        for (CAlarmDlg* d : OpenRingWindows())
            d->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TempDatabaseTest::TearDown();
    }
};

TEST_F(AlarmPageTest, LoadsAlarmsAndRingsTheDueOnesInListOrder) {
    {
        CClockManager m;
        m.AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"第一", u"", kRingSilent);
        m.AddAlarmClock(u"2011-09-18 09:00:00", false, false, u"later", u"", kRingSilent);
        m.AddAlarmClock(u"2011-01-01 08:30:00", true, false, u"第二", u"", kRingSilent);
    }
    PlatformServices fakes;  // nothing to play or start: the alarms are silent
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    EXPECT_TRUE(page.IsTesting());
    ASSERT_EQ(page.alarmList().size(), 3u);

    std::vector<QString> rang;
    QObject::connect(&page, &CMyClockDlg::AlarmRang,
                     [&](const QString& id) { rang.push_back(id); });
    page.CheckDueAlarms(MakeLocalTime(2011, 9, 18, 8, 29, 59));
    EXPECT_TRUE(OpenRingWindows().empty());
    page.CheckDueAlarms(MakeLocalTime(2011, 9, 18, 8, 30, 0));
    page.CheckDueAlarms(MakeLocalTime(2011, 9, 18, 8, 30, 1));
    ASSERT_EQ(rang.size(), 2u);
    auto windows = OpenRingWindows();
    ASSERT_EQ(windows.size(), 2u);
    QStringList texts;
    for (auto* w : windows)
        texts << w->findChild<QLabel*>("alarmContentLabel")->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("第一")) && texts.contains(QStringLiteral("第二")));
    EXPECT_EQ(page.ringWindow->alarm()->id, rang.back().toStdString());
    // Both windows share their records with the list.
    EXPECT_EQ(page.ringWindow->alarm().get(), page.alarmList()[2].get());
}

// The alarm page as the user sees it, at a fixed time: 2011-09-18 10:15:30.
class AlarmPageUserTest : public AlarmPageTest {
protected:
    test::FixedClock clock{MakeLocalTime(2011, 9, 18, 10, 15, 30)};
    test::ModalWatchdog watchdog;
    PlatformServices fakes;

    static std::vector<std::u16string> StoredLogTexts() {
        std::vector<LogRecord> logs;
        CClockManager().GetAllLogs(logs);
        std::vector<std::u16string> texts;
        for (const LogRecord& l : logs)
            texts.push_back(FromStored(l.content));
        return texts;
    }
    static AlarmClockList StoredAlarms() {
        AlarmClockList alarms;
        CClockManager().GetAllAlarmClocks(alarms);
        return alarms;
    }
    static void AddAlarm(const char16_t* time, bool everyday, const char16_t* content) {
        CClockManager().AddAlarmClock(time, everyday, true, content, u"#系统歌曲2", 1);
    }
    static void RequirePassword(const std::u16string& pwd) {
        CClockDatabase db;
        db.SetDelPwd(HashPassword(pwd));
        db.SetPwdReq(true);
    }
    // Answers the next password prompt: each text in turn, then OK; an empty list cancels.
    static void AnswerPrompt(std::vector<QString> tries) {
        test::WhenModal<CPwdInputDlg>([tries](CPwdInputDlg* dlg) {
            auto* edit = dlg->findChild<QLineEdit*>("pwdInputEdit");
            if (tries.empty()) {
                dlg->findChild<QPushButton*>("cancelButton")->click();
                return;
            }
            for (size_t i = 0; i < tries.size(); ++i) {
                if (i + 1 < tries.size())
                    test::CloseNextMessageBox(nullptr);
                edit->setText(tries[i]);
                dlg->findChild<QPushButton*>("okButton")->click();
            }
        });
    }
    static void DoubleClickRow(CZorvelListCtrl* list, int row) {
        test::ProcessEvents();
        QRect cell = list->visualRect(list->itemModel()->index(row, 3));
        ASSERT_FALSE(cell.isEmpty());
        // A real double click starts with a whole click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    static QImage Picture(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }
};

TEST_F(AlarmPageUserTest, RowsShowTimesTextsAndWhatHasExpired) {
    {
        CMyClockDlg empty(nullptr, fakes);
        empty.OnInitDialog();
        EXPECT_EQ(empty.listCtrl()->GetItemCount(), 0);
        EXPECT_TRUE(empty.IsTesting());
    }
    AddAlarm(u"2011-09-18 10:16:00", false, u"下一分钟");
    AddAlarm(u"2011-09-18 10:15:30", false, u"正好现在");  // not later than now: expired
    AddAlarm(u"2001-01-01 08:05:00", true, u"每天的");
    CClockManager().AddAlarmClock(u"不是时间", false, true, u"读不懂", u"#系统歌曲1", 0);

    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    CZorvelListCtrl* list = page.findChild<CZorvelListCtrl*>("alarmList");
    ASSERT_NE(list, nullptr);
    QStringList headings;
    for (int c = 0; c < list->GetColumnCount(); ++c)
        headings << list->itemModel()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings, QStringList({"编号", "ID", "闹钟时间", "闹钟事件", "备注(双击修改)"}));
    EXPECT_FALSE(list->IsColumnVisible(1));

    ASSERT_EQ(list->GetItemCount(), 4);
    QStringList times, remarks;
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(list->GetItemText(r, 0), QString::number(r + 1));
        times << list->GetItemText(r, 2);
        remarks << list->GetItemText(r, 4);
    }
    EXPECT_EQ(times,
              QStringList({"2011-09-18 10:16:00", "2011-09-18 10:15:30", "每天 8:5", "不是时间"}));
    EXPECT_EQ(remarks, QStringList({"#系统歌曲2", "已过期", "#系统歌曲2", "已过期"}));
    QImage expired = Picture(QIcon(":/alarms/expired.svg"));
    QImage active = Picture(QIcon(":/alarms/active.svg"));
    ASSERT_NE(expired, active);
    std::vector<bool> marked;
    for (int r = 0; r < 4; ++r) {
        QImage picture = Picture(list->itemModel()->item(r, 0)->icon());
        EXPECT_TRUE(picture == expired || picture == active) << r;
        marked.push_back(picture == expired);
    }
    EXPECT_EQ(marked, (std::vector<bool>{false, true, false, true}));

    // The scheduler's list holds the very alarms of the rows, in row order.
    ASSERT_EQ(page.alarmList().size(), 4u);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(QString::fromStdString(page.alarmList()[r]->id), list->GetItemText(r, 1));
}

TEST_F(AlarmPageUserTest, DeletesSelectedRowsFromTheBottomUp) {
    AddAlarm(u"2011-09-18 11:00:00", false, u"一");
    AddAlarm(u"2011-09-18 12:00:00", false, u"二");
    AddAlarm(u"2011-09-18 07:00:00", true, u"三");
    AddAlarm(u"2011-09-18 13:00:00", false, u"四");
    AddAlarm(u"2011-09-18 14:00:00", false, u"五");
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    CZorvelListCtrl* list = page.listCtrl();
    auto* del = page.findChild<QPushButton*>("deleteAlarmButton");
    del->click();  // nothing selected
    EXPECT_EQ(StoredAlarms().size(), 5u);

    list->SelectRow(0);
    list->SelectRow(2);
    list->SelectRow(4);
    del->click();
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0, 0), "2");
    EXPECT_EQ(list->GetItemText(1, 0), "4");
    EXPECT_EQ(list->GetItemText(1, 3), "四");
    EXPECT_EQ(StoredLogTexts(),
              (std::vector<std::u16string>{u"手动删除了一个闹钟 2011-09-18 14:00:00",
                                           u"手动删除了一个闹钟 每天 2011-09-18 07:00:00",
                                           u"手动删除了一个闹钟 2011-09-18 11:00:00"}));
    AlarmClockList left = StoredAlarms();
    ASSERT_EQ(left.size(), 2u);
    ASSERT_EQ(page.alarmList().size(), 2u);
    EXPECT_EQ(page.alarmList()[0]->id, left[0]->id);
    EXPECT_EQ(page.alarmList()[1]->id, left[1]->id);
}

TEST_F(AlarmPageUserTest, AddingRebuildsRowsAndTheSchedulersList) {
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    page.show();
    test::WhenModal<CAddAlarmClock>([](CAddAlarmClock* dlg) {
        dlg->findChild<QLineEdit*>("contentEdit")->setText("新闹钟");
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    page.findChild<QPushButton*>("addAlarmButton")->click();
    ASSERT_EQ(page.listCtrl()->GetItemCount(), 1);
    EXPECT_EQ(page.listCtrl()->GetItemText(0, 3), "新闹钟");
    ASSERT_EQ(page.alarmList().size(), 1u);
    EXPECT_EQ(page.alarmList()[0]->alarmTime, "2011-09-18 10:16:00");

    // A cancelled editor leaves everything as it was.
    test::WhenModal<CAddAlarmClock>([](CAddAlarmClock* dlg) { dlg->reject(); });
    page.findChild<QPushButton*>("addAlarmButton")->click();
    EXPECT_EQ(page.listCtrl()->GetItemCount(), 1);
    EXPECT_EQ(StoredAlarms().size(), 1u);
}

TEST_F(AlarmPageUserTest, PasswordIsAskedBeforeEditing) {
    AddAlarm(u"2011-09-18 11:00:00", false, u"一");
    RequirePassword(u"口令");
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    page.show();
    int editorsOpened = 0;

    // Cancelled: no editor.
    AnswerPrompt({});
    DoubleClickRow(page.listCtrl(), 0);
    test::ProcessEvents();

    // Wrong, then right: the editor opens for the row's alarm.
    AnswerPrompt({"口", "口令"});
    QString editedContent;
    test::WhenModal<CEditAlarmClockDlg>([&](CEditAlarmClockDlg* dlg) {
        ++editorsOpened;
        editedContent = dlg->findChild<QLineEdit*>("contentEdit")->text();
        dlg->findChild<QLineEdit*>("contentEdit")->setText("一改");
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    DoubleClickRow(page.listCtrl(), 0);
    EXPECT_EQ(editorsOpened, 1);
    EXPECT_EQ(editedContent, "一");
    EXPECT_EQ(page.listCtrl()->GetItemText(0, 3), "一改");
    EXPECT_EQ(StoredLogTexts(),
              (std::vector<std::u16string>{u"更新了一个闹钟 2011-09-18 11:00:00"}));
}

TEST_F(AlarmPageUserTest, PasswordIsAskedBeforeDeleting) {
    AddAlarm(u"2011-09-18 11:00:00", false, u"一");
    AddAlarm(u"2011-09-18 12:00:00", false, u"二");
    RequirePassword(u"pw");
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    page.listCtrl()->SelectRow(1);
    auto* del = page.findChild<QPushButton*>("deleteAlarmButton");

    AnswerPrompt({});
    del->click();
    EXPECT_EQ(StoredAlarms().size(), 2u);
    EXPECT_EQ(page.listCtrl()->GetItemCount(), 2);
    EXPECT_TRUE(StoredLogTexts().empty());

    AnswerPrompt({"PW", "pw"});  // letter case counts
    del->click();
    ASSERT_EQ(page.listCtrl()->GetItemCount(), 1);
    EXPECT_EQ(page.listCtrl()->GetItemText(0, 3), "一");
    EXPECT_EQ(StoredAlarms().size(), 1u);
    EXPECT_EQ(StoredLogTexts().size(), 1u);
}

TEST_F(AlarmPageUserTest, StorageErrorWhileDeletingIsShownAndThePageGoesOn) {
    AddAlarm(u"2011-09-18 11:00:00", false, u"一");
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    page.listCtrl()->SelectRow(0);
    std::string broken = dbPath + ".broken";
    std::ofstream(broken) << std::string(4096, 'x');
    SetDatabasePathForTesting(broken);
    QString message;
    test::CloseNextMessageBox(&message);
    page.findChild<QPushButton*>("deleteAlarmButton")->click();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(page.listCtrl()->GetItemCount(), 1);
    EXPECT_EQ(page.alarmList().size(), 1u);
    EXPECT_TRUE(page.IsTesting());
}

}  // namespace
