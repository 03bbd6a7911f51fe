#include "widgets/pwd_setting_dlg.h"

#include <QLineEdit>

#include "storage/clock_database.h"
#include "widgets/password_hash.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CPwdSettingDlg::CPwdSettingDlg(CClockDatabase& database, QWidget* parent)
    : CPwdDlgBase(database, QStringLiteral("删除密码设置"), "pwdSettingDlg", "pwdSettingEdit",
                  parent) {}

void CPwdSettingDlg::OnOK() {
    const std::string hash = HashPassword(pwdEdit_->text().toStdU16String());
    if (!RunStorageAction(this, [&] { database_.SetDelPwd(hash); }))
        return;
    QDialog::accept();
}
