#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "alarms/alarm_engine.h"
#include "app/main_dlg.h"
#include "chimes/time_voice.h"
#include "settings/pwd_input_dlg.h"
#include "settings/pwd_setting_dlg.h"
#include "settings/settings_service.h"
#include "settings/soft_setting_dlg.h"
#include "storage/clock_database.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

class SoftSettingPageTest : public test::AppTest {
protected:
    void Open() {
        page = std::make_unique<CSoftSettingDlg>(CMainDlg::SettingsPageParts(context()));
        page->show();
    }
    SoftSetting Stored() {
        SoftSetting s;
        database().ReadSoftSetting(&s);
        return s;
    }
    // The settings as the alarm engine has them (the chimes and the rest count use these).
    const SoftSetting& Engine() { return context().engine().settings(); }
    QCheckBox* Box(const char* name) { return page->findChild<QCheckBox*>(name); }
    QComboBox* List(const char* name) { return page->findChild<QComboBox*>(name); }
    static void Choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Waits for the password being hashed or checked.
    static void ClickOk(QPointer<CPwdDlgBase> dlg) {
        dlg->findChild<QPushButton*>("okButton")->click();
        ASSERT_TRUE(test::WaitUntil([&] { return !dlg || !dlg->IsBusy(); }, 30000));
    }
    void SwitchOnWith(const QString& password) {
        test::WhenModal<CPwdSettingDlg>([password](CPwdSettingDlg* dlg) {
            dlg->findChild<QLineEdit*>("pwdSettingEdit")->setText(password);
            dlg->findChild<QLineEdit*>("pwdConfirmEdit")->setText(password);
            ClickOk(dlg);
        });
        Box("pwdReqCheck")->click();
    }

    test::ModalWatchdog watchdog;
    std::unique_ptr<CSoftSettingDlg> page;
};

TEST_F(SoftSettingPageTest, EachChangeIsStoredAndCachedAtOnce) {
    database().SetZDBS(false);
    app->Start();
    Open();
    EXPECT_FALSE(Box("zdbsCheck")->isChecked());
    Box("zdbsCheck")->click();
    EXPECT_TRUE(Stored().ZDBS);
    EXPECT_EQ(Engine().ZDBS, 1);  // the next chime sees it
    EXPECT_TRUE(context().settings().value().ZDBS);
    Box("bdbsCheck")->click();
    EXPECT_TRUE(Stored().BDBS);
    EXPECT_EQ(Engine().BDBS, 1);
    Box("bdbsCheck")->click();
    EXPECT_FALSE(Stored().BDBS);
    EXPECT_EQ(Engine().BDBS, 0);
    Box("autoDelCheck")->click();
    EXPECT_TRUE(Stored().isAutoDelAlarmClock);
    Box("restRemindCheck")->click();
    EXPECT_TRUE(Stored().isRestRemind);
    EXPECT_TRUE(Engine().isRestRemind);

    // Fixed lists: nothing typed can become an entry.
    QComboBox* hours = List("restIntervalList");
    QComboBox* ring = List("ringPlayTypeList");
    EXPECT_FALSE(hours->isEditable());
    EXPECT_FALSE(ring->isEditable());
    ASSERT_EQ(hours->count(), 5);
    ASSERT_EQ(ring->count(), 3);
    EXPECT_EQ(ring->itemText(2), "一直播放");
    Choose(hours, 2);
    EXPECT_EQ(Stored().restRemindInterval, 3);
    EXPECT_EQ(Engine().restRemindInterval, 3);
    EXPECT_EQ(ring->currentIndex(), 2);  // as shipped
    Choose(ring, 0);
    EXPECT_EQ(Stored().ringPlayType, 0);

    // The change signal brings nothing that differs.
    FlushChanges();
    EXPECT_EQ(Engine().restRemindInterval, 3);
    EXPECT_EQ(Engine().ZDBS, 1);

    // Hidden start-up choice: its handlers still store.
    auto* mainRadio = page->findChild<QRadioButton*>("startupMainRadio");
    EXPECT_FALSE(mainRadio->isVisible());
    mainRadio->click();
    EXPECT_EQ(Stored().startupWindow, 1);
    EXPECT_FALSE(page->findChild<QRadioButton*>("startupClockRadio")->isChecked());

    // A page made afterwards shows what was stored.
    Open();
    EXPECT_TRUE(Box("zdbsCheck")->isChecked());
    EXPECT_FALSE(Box("bdbsCheck")->isChecked());
    EXPECT_TRUE(Box("autoDelCheck")->isChecked());
    EXPECT_EQ(List("restIntervalList")->currentIndex(), 2);
    EXPECT_EQ(List("ringPlayTypeList")->currentIndex(), 0);
    EXPECT_TRUE(page->findChild<QRadioButton*>("startupMainRadio")->isChecked());
}

TEST_F(SoftSettingPageTest, AChangeThatCannotBeStoredPutsItsControlBack) {
    Open();
    const bool before = Box("bdbsCheck")->isChecked();
    const int hours = Engine().restRemindInterval;
    CppSQLite3DB other;  // another program holds the file locked
    OpenKeyed(other, dbPath);
    other.ExecuteUpdate("BEGIN EXCLUSIVE;");
    QStringList messages;
    QString message;
    test::CloseNextMessageBox(&message);
    Box("bdbsCheck")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    messages << message;
    message.clear();
    test::CloseNextMessageBox(&message);
    Choose(List("restIntervalList"), 4);
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    other.ExecuteUpdate("ROLLBACK;");
    EXPECT_NE(messages[0].indexOf("locked"), -1) << messages[0].toStdString();
    EXPECT_EQ(Box("bdbsCheck")->isChecked(), before);
    EXPECT_EQ(Engine().BDBS, int(before));
    EXPECT_EQ(List("restIntervalList")->currentIndex(), hours - 1);
    EXPECT_EQ(Engine().restRemindInterval, hours);
}

TEST_F(SoftSettingPageTest, StartupWindowOutOfRangeChecksNeitherRadio) {
    database().SetStartupWindow(2);
    Open();
    EXPECT_FALSE(page->findChild<QRadioButton*>("startupClockRadio")->isChecked());
    EXPECT_FALSE(page->findChild<QRadioButton*>("startupMainRadio")->isChecked());
}

TEST_F(SoftSettingPageTest, TestLinksSpeakWhateverTheBoxesSay) {
    database().SetZDBS(false);
    database().SetBDBS(false);
    Open();
    EXPECT_FALSE(Box("zdbsCheck")->isChecked());
    EXPECT_FALSE(Box("bdbsCheck")->isChecked());
    int finished = 0;
    QObject::connect(&context().engine().voice(), &CTimeVoice::Finished, [&] { ++finished; });
    int linkCount = 0;
    for (QPushButton* link : page->findChildren<QPushButton*>()) {
        if (link->text() != "测试语音报时")
            continue;
        ++linkCount;
        link->click();
        ASSERT_TRUE(test::WaitUntil([&] { return finished == linkCount; }));
    }
    EXPECT_EQ(linkCount, 2);
}

TEST_F(SoftSettingPageTest, AutostartFollowsTheBoxAndFailureTakesItBack) {
    // The entry exists though the row says otherwise: the box tells the truth and the row
    // follows.
    autostart.enabled = true;
    Open();
    EXPECT_TRUE(Box("autoRunCheck")->isChecked());
    EXPECT_TRUE(Stored().isAutoRun);

    Box("autoRunCheck")->click();
    EXPECT_FALSE(autostart.enabled);
    EXPECT_FALSE(Stored().isAutoRun);
    Box("autoRunCheck")->click();
    EXPECT_TRUE(autostart.enabled);
    EXPECT_TRUE(Stored().isAutoRun);

    autostart.fail = true;
    QString message;
    test::CloseNextMessageBox(&message);
    Box("autoRunCheck")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_EQ(message, "设置开机启动失败！");
    EXPECT_TRUE(Box("autoRunCheck")->isChecked());
    EXPECT_TRUE(Stored().isAutoRun);
}

TEST_F(SoftSettingPageTest, PasswordBoxSetsAndClearsProtectionOnlyWithThePassword) {
    Open();
    QCheckBox* box = Box("pwdReqCheck");
    // Cancelled: nothing stored, the box off again.
    test::WhenModal<CPwdSettingDlg>(
        [](CPwdSettingDlg* dlg) { dlg->findChild<QPushButton*>("cancelButton")->click(); });
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(Stored().isPwdReq);

    SwitchOnWith("口令");
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(Stored().isPwdReq);

    // Switching off: cancelled, then a wrong try and cancelled, then the right one.
    test::WhenModal<CPwdInputDlg>(
        [](CPwdInputDlg* dlg) { dlg->findChild<QPushButton*>("cancelButton")->click(); });
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(Stored().isPwdReq);

    test::WhenModal<CPwdInputDlg>([](CPwdInputDlg* dlg) {
        QString message;
        test::CloseNextMessageBox(&message);
        dlg->findChild<QLineEdit*>("pwdInputEdit")->setText("口");
        ClickOk(dlg);
        ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
        EXPECT_EQ(message, "密码错误");
        dlg->findChild<QPushButton*>("cancelButton")->click();
    });
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(Stored().isPwdReq);

    test::WhenModal<CPwdInputDlg>([](CPwdInputDlg* dlg) {
        dlg->findChild<QLineEdit*>("pwdInputEdit")->setText("口令");
        ClickOk(dlg);
    });
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(Stored().isPwdReq);
}

// A screen reader's toggle action changes a box without a click; the change is stored all the
// same. A cancelled password dialog puts its box back without storing or asking again.
TEST_F(SoftSettingPageTest, AToggleFromAScreenReaderIsStoredLikeAClick) {
    app->Start();
    Open();
    auto toggle = [](QCheckBox* box) {
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(box);
        ASSERT_TRUE(access && access->actionInterface());
        access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    const bool zdbs = Stored().ZDBS;
    toggle(Box("zdbsCheck"));
    EXPECT_EQ(Stored().ZDBS, !zdbs);
    EXPECT_EQ(Engine().ZDBS, !zdbs);
    toggle(Box("restRemindCheck"));
    EXPECT_TRUE(Stored().isRestRemind);
    EXPECT_TRUE(Engine().isRestRemind);
    toggle(Box("autoRunCheck"));
    EXPECT_TRUE(autostart.enabled);
    EXPECT_TRUE(Stored().isAutoRun);

    // Only the setting dialog opens, once; a second one would be left to the watchdog.
    int dialogs = 0;
    test::WhenModal<CPwdSettingDlg>([&](CPwdSettingDlg* dlg) {
        ++dialogs;
        dlg->findChild<QPushButton*>("cancelButton")->click();
    });
    toggle(Box("pwdReqCheck"));
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(Box("pwdReqCheck")->isChecked());
    EXPECT_FALSE(Stored().isPwdReq);
    EXPECT_FALSE(context().settings().value().isPwdReq);
}

}  // namespace
