#include "widgets/pwd_input_dlg.h"

#include <QLineEdit>
#include <memory>

#include "storage/clock_database.h"
#include "widgets/password_hash.h"
#include "widgets/storage_action.h"
#include "widgets/window_modal.h"

using namespace zorvel;

CPwdInputDlg::CPwdInputDlg(CClockDatabase& database, QWidget* parent)
    : CPwdDlgBase(database, QStringLiteral("请输入密码"), "pwdInputDlg", "pwdInputEdit", parent) {}

void CPwdInputDlg::OnOK() {
    if (IsBusy())
        return;
    SoftSetting setting;
    if (!RunStorageAction(this, [&] { database_.ReadSoftSetting(&setting); }))
        return;
    struct Check {
        std::u16string typed;
        std::string stored;
        bool right = false;
        std::string upgraded;  // a stronger hash of a right password stored the old way
    };
    auto check = std::make_shared<Check>();
    check->typed = pwdEdit_->text().toStdU16String();
    check->stored = setting.delPwd;
    RunOffThread(
        [check] {
            check->right = CheckPassword(check->typed, check->stored);
            if (check->right && PasswordNeedsRehash(check->stored))
                check->upgraded = HashPassword(check->typed);
        },
        [this, check] {
            if (!check->right) {
                ShowWarning(this, QStringLiteral("密码错误"));
                pwdEdit_->clear();
                pwdEdit_->setFocus();
                return;
            }
            // Not storing the stronger hash loses nothing: the old value still works.
            if (!check->upgraded.empty())
                RunStorageAction(this, [&] { database_.SetDelPwd(check->upgraded); });
            done(kPasswordAccepted);
        });
}

bool CPwdInputDlg::AskIfRequired(CClockDatabase& database, QWidget* parent) {
    SoftSetting setting;
    if (!RunStorageAction(parent, [&] { database.ReadSoftSetting(&setting); }))
        return false;
    if (!setting.isPwdReq)
        return true;
    CPwdInputDlg dlg(database, parent);
    return RunWindowModal(dlg) == kPasswordAccepted;
}
