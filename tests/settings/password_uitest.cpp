#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <ctime>

#include "settings/core/password_hash.h"
#include "settings/pwd_input_dlg.h"
#include "settings/pwd_setting_dlg.h"
#include "settings/settings_service.h"
#include "storage/clock_database.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

class PasswordDialogTest : public test::TempDatabaseTest {
protected:
    CSettingsService settings{database()};
    // Clicks OK and waits for the hashing to end, as the user waits for the buttons.
    static void ClickOk(CPwdDlgBase* dlg) {
        dlg->findChild<QPushButton*>("okButton")->click();
        EXPECT_TRUE(dlg->IsBusy());
        EXPECT_FALSE(dlg->findChild<QPushButton*>("okButton")->isEnabled());
        ASSERT_TRUE(test::WaitUntil([&] { return !dlg->IsBusy(); }, 30000));
    }
};

TEST_F(PasswordDialogTest, SettingStoresAHashThatThePromptAcceptsAfterAWrongTry) {
    CPwdSettingDlg setting(settings, nullptr);
    setting.show();
    auto* newPassword = setting.findChild<QLineEdit*>("pwdSettingEdit");
    EXPECT_EQ(newPassword->echoMode(), QLineEdit::Password);  // never readable on screen
    newPassword->setText("Right");
    setting.findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(setting.result(), QDialog::Rejected);
    SoftSetting s;
    database().ReadSoftSetting(&s);
    EXPECT_EQ(s.delPwd, "");
    setting.show();
    // Typed twice; a difference stores nothing and asks again with both fields empty.
    auto* confirm = setting.findChild<QLineEdit*>("pwdConfirmEdit");
    EXPECT_EQ(confirm->echoMode(), QLineEdit::Password);
    confirm->setText("Rigth");
    QString mismatch;
    test::CloseNextMessageBox(&mismatch);
    setting.findChild<QPushButton*>("okButton")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !mismatch.isEmpty(); }));
    EXPECT_EQ(mismatch, "两次输入的密码不一致，请重新输入");
    EXPECT_TRUE(setting.isVisible());
    EXPECT_TRUE(newPassword->text().isEmpty());
    EXPECT_TRUE(confirm->text().isEmpty());
    database().ReadSoftSetting(&s);
    EXPECT_EQ(s.delPwd, "");
    // 确定 on the two emptied fields would guard nothing: refused.
    QString empty;
    test::CloseNextMessageBox(&empty);
    setting.findChild<QPushButton*>("okButton")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !empty.isEmpty(); }));
    EXPECT_EQ(empty, "密码不能为空，请输入新密码");
    EXPECT_FALSE(setting.IsBusy());
    EXPECT_TRUE(setting.isVisible());
    database().ReadSoftSetting(&s);
    EXPECT_EQ(s.delPwd, "");
    newPassword->setText("Right");
    confirm->setText("Right");
    ClickOk(&setting);
    EXPECT_EQ(setting.result(), QDialog::Accepted);
    EXPECT_FALSE(setting.isVisible());
    database().ReadSoftSetting(&s);
    EXPECT_TRUE(s.delPwd.starts_with(kPasswordHashPrefix));
    EXPECT_FALSE(PasswordNeedsRehash(s.delPwd));

    CPwdInputDlg dlg(settings, nullptr);
    dlg.show();
    auto* edit = dlg.findChild<QLineEdit*>("pwdInputEdit");
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    QString message;
    test::CloseNextMessageBox(&message);
    edit->setText("right");  // letter case counts
    ClickOk(&dlg);
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_EQ(message, "密码错误");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(edit->text().isEmpty());
    edit->setText("Right");
    ClickOk(&dlg);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), CPwdInputDlg::kPasswordAccepted);
}

TEST_F(PasswordDialogTest, APlainPasswordFromAnOlderFileIsStoredAsAHashOnceGiven) {
    database().SetDelPwd(ToStored(u"旧密码"));
    CPwdInputDlg dlg(settings, nullptr);
    dlg.show();
    dlg.findChild<QLineEdit*>("pwdInputEdit")->setText(QStringLiteral("旧密码"));
    ClickOk(&dlg);
    EXPECT_EQ(dlg.result(), CPwdInputDlg::kPasswordAccepted);
    SoftSetting s;
    database().ReadSoftSetting(&s);
    EXPECT_TRUE(s.delPwd.starts_with(kPasswordHashPrefix)) << s.delPwd;
    EXPECT_TRUE(CheckPassword(u"旧密码", s.delPwd));
}

}  // namespace
