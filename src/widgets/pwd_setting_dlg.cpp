#include "widgets/pwd_setting_dlg.h"

#include <QLineEdit>

#include "widgets/password_hash.h"
#include "widgets/pwd_dlg_layout.h"
#include "storage/clock_database.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CPwdSettingDlg::CPwdSettingDlg(CClockDatabase& database, QWidget* parent)
    : QDialog(parent), database_(database) {
    setObjectName("pwdSettingDlg");
    setWindowTitle(QStringLiteral("删除密码设置"));
    pwdEdit_ = BuildPasswordDialog(this, "pwdSettingEdit");
}

void CPwdSettingDlg::OnOK() {
    const std::string hash = HashPassword(pwdEdit_->text().toStdU16String());
    if (!RunStorageAction(this, [&] { database_.SetDelPwd(hash); }))
        return;
    QDialog::accept();
}
