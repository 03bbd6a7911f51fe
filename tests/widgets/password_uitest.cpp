#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <ctime>

#include "storage/clock_database.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"
#include "widgets/password_hash.h"
#include "widgets/pwd_input_dlg.h"
#include "widgets/pwd_setting_dlg.h"

namespace {

using namespace zorvel;

TEST(PasswordHashTest, SaltedHashChecksExactlyAndQuickly) {
    const std::u16string pwd = u"它's \"秘密\" " + std::u16string(300, u'长');
    std::string hash = HashPassword(pwd);
    EXPECT_TRUE(hash.starts_with(kPasswordHashPrefix)) << hash;
    EXPECT_NE(hash, HashPassword(pwd));  // a fresh salt every time
    // The check runs on the UI thread: its own work (not the machine's load) stays short.
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    EXPECT_TRUE(CheckPassword(pwd, hash));
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    EXPECT_LT((end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6, 100.0);
    EXPECT_FALSE(CheckPassword(pwd.substr(0, pwd.size() - 1), hash));
    EXPECT_FALSE(CheckPassword(u"Abc", HashPassword(u"abc")));
    EXPECT_TRUE(CheckPassword(u"", HashPassword(u"")));
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

class PasswordDialogTest : public test::TempDatabaseTest {
protected:
    test::ModalWatchdog watchdog;
};

TEST_F(PasswordDialogTest, SettingStoresAHashThatThePromptAcceptsAfterAWrongTry) {
    CPwdSettingDlg setting(database(), nullptr);
    setting.findChild<QLineEdit*>("pwdSettingEdit")->setText("Right");
    setting.findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(setting.result(), QDialog::Rejected);
    SoftSetting s;
    database().ReadSoftSetting(&s);
    EXPECT_EQ(s.delPwd, "");
    setting.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(setting.result(), QDialog::Accepted);
    database().ReadSoftSetting(&s);
    EXPECT_TRUE(s.delPwd.starts_with(kPasswordHashPrefix));

    CPwdInputDlg dlg(database(), nullptr);
    dlg.show();
    auto* edit = dlg.findChild<QLineEdit*>("pwdInputEdit");
    QString message;
    test::CloseNextMessageBox(&message);
    edit->setText("right");  // letter case counts
    dlg.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(message, "密码错误");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(edit->text().isEmpty());
    edit->setText("Right");
    dlg.findChild<QPushButton*>("okButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), CPwdInputDlg::kPasswordAccepted);
}

}  // namespace
