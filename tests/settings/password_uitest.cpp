#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <ctime>

#include "settings/password_hash.h"
#include "settings/pwd_input_dlg.h"
#include "settings/pwd_setting_dlg.h"
#include "storage/clock_database.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;
using test::CloseNextMessageBox;
using test::WhenModal;

std::string StoredPwd() {
    SoftSetting s;
    CClockDatabase().ReadSoftSetting(&s);
    return s.delPwd;
}

TEST(PasswordHashTest, SaltedHashChecksExactlyAndQuickly) {
    const std::u16string pwd = u"它's \"秘密\" pass word 123";
    std::string a = HashPassword(pwd);
    std::string b = HashPassword(pwd);
    EXPECT_TRUE(a.starts_with(kPasswordHashPrefix)) << a;
    EXPECT_NE(a, b);  // a fresh salt every time
    EXPECT_EQ(a.find("秘密"), std::string::npos);

    // The check runs on the UI thread: its own work (not the machine's load) stays short.
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    EXPECT_TRUE(CheckPassword(pwd, a));
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    double ms = (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
    EXPECT_LT(ms, 100.0);
    EXPECT_TRUE(CheckPassword(pwd, b));
    EXPECT_FALSE(CheckPassword(u"它's \"秘密\" PASS word 123", a));
    EXPECT_FALSE(CheckPassword(pwd + u" ", a));
    EXPECT_FALSE(CheckPassword(u"", a));

    // No length limit, and the empty password is a password like any other.
    std::u16string longPwd(300, u'长');
    EXPECT_TRUE(CheckPassword(longPwd, HashPassword(longPwd)));
    EXPECT_FALSE(CheckPassword(longPwd.substr(1), HashPassword(longPwd)));
    std::string empty = HashPassword(u"");
    EXPECT_TRUE(CheckPassword(u"", empty));
    EXPECT_FALSE(CheckPassword(u"x", empty));
}

TEST(PasswordHashTest, OlderPlainValuesStillWorkAndBrokenHashesAcceptNothing) {
    EXPECT_TRUE(CheckPassword(u"旧密码", ToStored(u"旧密码")));
    EXPECT_FALSE(CheckPassword(u"旧密", ToStored(u"旧密码")));
    EXPECT_FALSE(CheckPassword(u"Abc", "abc"));
    EXPECT_TRUE(CheckPassword(u"", ""));  // the shipped row holds an empty password

    std::string good = HashPassword(u"pw");
    std::string body = good.substr(std::string(kPasswordHashPrefix).size());
    std::string prefix = kPasswordHashPrefix;
    for (const std::string& broken :
         {prefix, prefix + "abc", prefix + "0$" + body.substr(body.find('$') + 1),
          prefix + "99999999$" + body.substr(body.find('$') + 1), good.substr(0, good.size() - 4),
          good + "$x", prefix + body.substr(0, body.rfind('$')) + "$!!notbase64!!"}) {
        EXPECT_FALSE(CheckPassword(u"pw", broken)) << broken;
    }
}

class PasswordDialogTest : public test::TempDatabaseTest {
protected:
    test::ModalWatchdog watchdog;
};

TEST_F(PasswordDialogTest, SettingStoresAHashAndCancelStoresNothing) {
    {
        CPwdSettingDlg dlg;
        EXPECT_EQ(dlg.windowTitle(), "删除密码设置");
        dlg.findChild<QLineEdit*>("pwdSettingEdit")->setText("it's 密码");
        dlg.findChild<QPushButton*>("okButton")->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    std::string stored = StoredPwd();
    EXPECT_TRUE(stored.starts_with(kPasswordHashPrefix));
    EXPECT_TRUE(CheckPassword(u"it's 密码", stored));

    CPwdSettingDlg dlg;
    dlg.findChild<QLineEdit*>("pwdSettingEdit")->setText("other");
    dlg.findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(StoredPwd(), stored);
}

TEST_F(PasswordDialogTest, WrongPasswordIsToldAndTheRightOneThenAccepted) {
    CClockDatabase().SetDelPwd(HashPassword(u"Right"));
    CPwdInputDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "请输入密码");
    dlg.show();
    auto* edit = dlg.findChild<QLineEdit*>("pwdInputEdit");
    auto* ok = dlg.findChild<QPushButton*>("okButton");

    QString message;
    CloseNextMessageBox(&message);
    edit->setText("right");  // letter case counts
    ok->click();
    EXPECT_EQ(message, "密码错误");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(edit->text().isEmpty());

    edit->setText("Right");
    ok->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), CPwdInputDlg::kPasswordAccepted);
}

TEST_F(PasswordDialogTest, PromptOnlyWhenRequiredAndCancelRefuses) {
    CClockDatabase().SetDelPwd(ToStored(u"旧密码"));    // an older file's plain password
    EXPECT_TRUE(CPwdInputDlg::AskIfRequired(nullptr));  // not required: no prompt at all

    CClockDatabase().SetPwdReq(true);
    WhenModal<CPwdInputDlg>([](CPwdInputDlg* dlg) {
        dlg->findChild<QLineEdit*>("pwdInputEdit")->setText("旧密码");
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    EXPECT_TRUE(CPwdInputDlg::AskIfRequired(nullptr));

    WhenModal<CPwdInputDlg>([](CPwdInputDlg* dlg) {
        dlg->findChild<QLineEdit*>("pwdInputEdit")->setText("旧密码");
        dlg->findChild<QPushButton*>("cancelButton")->click();
    });
    EXPECT_FALSE(CPwdInputDlg::AskIfRequired(nullptr));
}

}  // namespace
