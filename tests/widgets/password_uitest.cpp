#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <ctime>

#include "settings/settings_service.h"
#include "storage/clock_database.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"
#include "widgets/password_hash.h"
#include "widgets/pwd_input_dlg.h"
#include "widgets/pwd_setting_dlg.h"

namespace {

using namespace zorvel;

TEST(PasswordHashTest, SaltedHashChecksExactly) {
    const std::u16string pwd = u"它's \"秘密\" " + std::u16string(300, u'长');
    constexpr int kQuick = 1000;  // the checks below, not the cost, are the point here
    std::string hash = HashPassword(pwd, kQuick);
    EXPECT_TRUE(hash.starts_with(kPasswordHashPrefix)) << hash;
    EXPECT_NE(hash, HashPassword(pwd, kQuick));  // a fresh salt every time
    EXPECT_TRUE(CheckPassword(pwd, hash));
    EXPECT_FALSE(CheckPassword(pwd.substr(0, pwd.size() - 1), hash));
    EXPECT_FALSE(CheckPassword(u"Abc", HashPassword(u"abc", kQuick)));
    EXPECT_TRUE(CheckPassword(u"", HashPassword(u"", kQuick)));
    EXPECT_FALSE(CheckPassword(u"", hash));

    // Older files hold the plain text; a damaged hash accepts nothing.
    EXPECT_TRUE(CheckPassword(u"旧密码", ToStored(u"旧密码")));
    EXPECT_FALSE(CheckPassword(u"旧密", ToStored(u"旧密码")));
    EXPECT_TRUE(CheckPassword(u"", ""));  // the shipped row
    std::string prefix = kPasswordHashPrefix;
    std::string rest = hash.substr(hash.find('$', prefix.size()));  // "$salt$hash"
    for (const std::string& broken : {prefix, prefix + "0" + rest, prefix + "99999999" + rest,
                                      hash.substr(0, hash.size() - 4), hash + "$x"})
        EXPECT_FALSE(CheckPassword(pwd, broken)) << broken;
}

TEST(PasswordHashTest, TodaysIterationCountAndWhatToStoreAgain) {
    EXPECT_EQ(kPasswordIterations, 600000);
    const std::string current = HashPassword(u"x");
    EXPECT_NE(current.find("$600000$"), std::string::npos) << current;
    EXPECT_FALSE(PasswordNeedsRehash(current));
    // Weaker values are read and should be stored again once the password is given.
    EXPECT_TRUE(PasswordNeedsRehash(HashPassword(u"x", 10000)));
    EXPECT_TRUE(PasswordNeedsRehash(ToStored(u"旧密码")));
    EXPECT_TRUE(PasswordNeedsRehash(""));
    // A damaged value is not "weaker": it accepts nothing and is left for the user to reset.
    EXPECT_FALSE(PasswordNeedsRehash(std::string(kPasswordHashPrefix) + "x$y$z"));
}

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
