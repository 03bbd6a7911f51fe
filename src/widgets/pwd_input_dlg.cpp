#include "widgets/pwd_input_dlg.h"

#include <QLineEdit>

#include "storage/clock_database.h"
#include "widgets/password_hash.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CPwdInputDlg::CPwdInputDlg(CClockDatabase& database, QWidget* parent)
    : CPwdDlgBase(database, QStringLiteral("请输入密码"), "pwdInputDlg", "pwdInputEdit", parent) {}

void CPwdInputDlg::OnOK() {
    SoftSetting setting;
    if (!RunStorageAction(this, [&] { database_.ReadSoftSetting(&setting); }))
        return;
    if (CheckPassword(pwdEdit_->text().toStdU16String(), setting.delPwd)) {
        done(kPasswordAccepted);
        return;
    }
    ShowMessage(this, QStringLiteral("密码错误"));
    pwdEdit_->clear();
    pwdEdit_->setFocus();
}

bool CPwdInputDlg::AskIfRequired(CClockDatabase& database, QWidget* parent) {
    SoftSetting setting;
    if (!RunStorageAction(parent, [&] { database.ReadSoftSetting(&setting); }))
        return false;
    if (!setting.isPwdReq)
        return true;
    CPwdInputDlg dlg(database, parent);
    return dlg.exec() == kPasswordAccepted;
}
