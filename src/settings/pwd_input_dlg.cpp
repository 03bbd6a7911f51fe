#include "settings/pwd_input_dlg.h"

#include <QLineEdit>
#include <memory>

#include "settings/core/password_hash.h"
#include "settings/settings_service.h"
#include "widgets/storage_action.h"
#include "widgets/window_modal.h"

using namespace zorvel;

CPwdInputDlg::CPwdInputDlg(CSettingsService& settings, QWidget* parent)
    : CPwdDlgBase(settings, QStringLiteral("请输入密码"), "pwdInputDlg", "pwdInputEdit", parent) {}

void CPwdInputDlg::OnOK() {
    if (IsBusy())
        return;
    struct Check {
        std::u16string typed;
        std::string stored;
        bool right = false;
        std::string upgraded;  // a stronger hash of a right password stored the old way
    };
    auto check = std::make_shared<Check>();
    check->typed = pwdEdit_->text().toStdU16String();
    check->stored = settings_.value().delPwd;
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
                RunStorageAction(this, [&] { settings_.SetDelPwd(check->upgraded); });
            done(kPasswordAccepted);
        });
}

bool CPwdInputDlg::AskIfRequired(CSettingsService& settings, QWidget* parent) {
    // Settings that cannot be read guard nothing: the reason is shown and nothing happens.
    if (!settings.IsLoaded() && !RunStorageAction(parent, [&] { settings.Load(); }))
        return false;
    if (!settings.value().isPwdReq)
        return true;
    CPwdInputDlg dlg(settings, parent);
    return RunWindowModal(dlg) == kPasswordAccepted;
}

std::function<bool(QWidget*)> PasswordPromptFor(CSettingsService& settings) {
    return [&settings](QWidget* parent) { return CPwdInputDlg::AskIfRequired(settings, parent); };
}
