#include "settings/pwd_input_dlg.h"

#include <QLineEdit>

#include "settings/password_hash.h"
#include "settings/pwd_dlg_layout.h"
#include "storage/clock_database.h"
#include "widgets/message_box.h"

using namespace zorvel;

CPwdInputDlg::CPwdInputDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("pwdInputDlg");
    setWindowTitle(QStringLiteral("请输入密码"));
    pwdEdit_ = BuildPasswordDialog(this, "pwdInputEdit");
}

void CPwdInputDlg::OnOK() {
    SoftSetting setting;
    try {
        CClockDatabase().ReadSoftSetting(&setting);
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(this, e);
        return;
    }
    if (CheckPassword(pwdEdit_->text().toStdU16String(), setting.delPwd)) {
        done(kPasswordAccepted);
        return;
    }
    ShowMessage(this, QStringLiteral("密码错误"));
    pwdEdit_->clear();
    pwdEdit_->setFocus();
}

bool CPwdInputDlg::AskIfRequired(QWidget* parent) {
    SoftSetting setting;
    try {
        CClockDatabase().ReadSoftSetting(&setting);
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(parent, e);
        return false;
    }
    if (!setting.isPwdReq)
        return true;
    CPwdInputDlg dlg(parent);
    return dlg.exec() == kPasswordAccepted;
}
