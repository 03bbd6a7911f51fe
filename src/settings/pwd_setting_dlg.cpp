#include "settings/pwd_setting_dlg.h"

#include <QLineEdit>

#include "settings/password_hash.h"
#include "settings/pwd_dlg_layout.h"
#include "storage/clock_database.h"
#include "widgets/message_box.h"

using namespace zorvel;

CPwdSettingDlg::CPwdSettingDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("pwdSettingDlg");
    setWindowTitle(QStringLiteral("删除密码设置"));
    pwdEdit_ = BuildPasswordDialog(this, "pwdSettingEdit");
}

void CPwdSettingDlg::OnOK() {
    try {
        CClockDatabase().SetDelPwd(HashPassword(pwdEdit_->text().toStdU16String()));
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(this, e);
        return;
    }
    QDialog::accept();
}
