#include "settings/pwd_setting_dlg.h"

#include <QLineEdit>
#include <memory>

#include "settings/core/password_hash.h"
#include "settings/settings_service.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CPwdSettingDlg::CPwdSettingDlg(CSettingsService& settings, QWidget* parent)
    : CPwdDlgBase(settings, QStringLiteral("删除密码设置"), "pwdSettingDlg", "pwdSettingEdit",
                  parent) {
    confirmEdit_ =
        AddField(QStringLiteral("确认密码："), "pwdConfirmEdit", QStringLiteral("确认密码"));
}

void CPwdSettingDlg::OnOK() {
    if (IsBusy())
        return;
    // An empty password would switch the protection on while guarding nothing.
    if (pwdEdit_->text().isEmpty()) {
        ShowWarning(this, QStringLiteral("密码不能为空，请输入新密码"));
        pwdEdit_->setFocus();
        return;
    }
    if (pwdEdit_->text() != confirmEdit_->text()) {
        ShowWarning(this, QStringLiteral("两次输入的密码不一致，请重新输入"));
        pwdEdit_->clear();
        confirmEdit_->clear();
        pwdEdit_->setFocus();
        return;
    }
    auto hash = std::make_shared<std::string>();
    RunOffThread([hash, typed = pwdEdit_->text().toStdU16String()] { *hash = HashPassword(typed); },
                 [this, hash] {
                     if (RunStorageAction(this, [&] { settings_.SetDelPwd(*hash); }))
                         done(QDialog::Accepted);
                 });
}
