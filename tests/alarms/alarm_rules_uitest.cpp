#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "alarms/add_alarm_clock.h"
#include "alarms/core/alarm_operations.h"
#include "alarms/my_clock_dlg.h"
#include "storage/clock_manager.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

class AlarmRulesPageTest : public test::AppTest {
protected:
    void SetUp() override {
        // Sunday 18 September 2011; the workday alarm rings next on Monday.
        AddAlarm(manager(),
                 AlarmValues{u"2011-09-18 07:30:00", true, true, u"上班", u"", 0, "workdays"});
        AddAlarm(manager(),
                 AlarmValues{u"2011-09-18 11:00:00", false, true, u"开会", u"", 0, "once"});
        app->Start();
        page.show();
    }
    QString Remark(int row) { return page.listCtrl()->GetItemText(row, 4); }
    void Select(int row) {
        page.listCtrl()->setCurrentIndex(page.listCtrl()->itemModel()->index(row, 2));
    }
    void Click(const char* button) {
        page.findChild<QPushButton*>(button)->click();
        FlushChanges();
    }

    test::ModalWatchdog watchdog;
    CMyClockDlg page{context().alarms(), context().store(), context().settings(), clock};
};

TEST_F(AlarmRulesPageTest, SkipAndPauseShowInTheListAndOnlyForRepeatingAlarms) {
    ASSERT_EQ(page.listCtrl()->GetItemCount(), 2);
    EXPECT_EQ(page.listCtrl()->GetItemText(0, 2), "法定工作日 7:30");
    EXPECT_EQ(Remark(0), "下次：9月19日 周一 07:30");

    Select(0);
    Click("skipNextButton");
    EXPECT_EQ(Remark(0), "跳过9月19日 · 下次：9月20日 周二 07:30");
    Click("skipNextButton");  // again: undone
    EXPECT_EQ(Remark(0), "下次：9月19日 周一 07:30");

    test::WhenModal<QDialog>([](QDialog* dlg) {
        ASSERT_EQ(dlg->objectName(), "pauseDialog");
        dlg->findChild<QDateEdit*>("pauseDatePicker")->setDate(QDate(2011, 10, 8));
        dlg->findChild<QPushButton*>("pauseOkButton")->click();
    });
    Click("pauseButton");
    EXPECT_EQ(Remark(0), "暂停到10月8日 · 下次：10月8日 周六 07:30");  // a worked Saturday

    // A one-off alarm is told so, and nothing changes.
    Select(1);
    QString message;
    test::CloseNextMessageBox(&message);
    Click("skipNextButton");
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_TRUE(message.contains("一次性")) << message.toStdString();
    AlarmClockList alarms;
    manager().GetAllAlarmClocks(alarms);
    EXPECT_EQ(alarms[1]->skipDate, "");
}

TEST_F(AlarmRulesPageTest, TheEditorRefusesAWeekWithoutDaysAndTellsOfUnpublishedYears) {
    CAddAlarmClock dlg(manager(), clock, nullptr);
    auto* repeat = dlg.findChild<QComboBox*>("repeatCombo");
    repeat->setCurrentIndex(4);  // 每周
    QString message;
    test::CloseNextMessageBox(&message);
    dlg.findChild<QPushButton*>("okButton")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_NE(dlg.result(), QDialog::Accepted);

    // Nothing shipped covers 2040: the workday rule says it goes by the week.
    clock.Set(MakeLocalTime(2040, 3, 1, 9, 0, 0));
    repeat->setCurrentIndex(2);  // 法定工作日
    auto* note = dlg.findChild<QLabel*>("ruleNoteLabel");
    EXPECT_EQ(note->text(), "2040年放假安排尚未公布，暂按周一至周五");
    repeat->setCurrentIndex(4);
    EXPECT_TRUE(note->text().isEmpty());
    dlg.findChild<QPushButton*>("workweekButton")->click();
    dlg.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    AlarmClockList alarms;
    manager().GetAllAlarmClocks(alarms);
    ASSERT_EQ(alarms.size(), 3u);
    EXPECT_EQ(alarms[2]->rule, "weekly:1,2,3,4,5");
    EXPECT_TRUE(alarms[2]->isEveryday);
}

}  // namespace
