#include "widgets/pwd_setting_dlg.h"

#include <QLineEdit>
#include <memory>

#include "storage/clock_database.h"
#include "widgets/password_hash.h"
#include "widgets/storage_action.h"

using namespace zorvel;

CPwdSettingDlg::CPwdSettingDlg(CClockDatabase& database, QWidget* parent)
    : CPwdDlgBase(database, QStringLiteral("删除密码设置"), "pwdSettingDlg", "pwdSettingEdit",
                  parent) {}

void CPwdSettingDlg::OnOK() {
    if (IsBusy())
        return;
    auto hash = std::make_shared<std::string>();
    RunOffThread([hash, typed = pwdEdit_->text().toStdU16String()] { *hash = HashPassword(typed); },
                 [this, hash] {
                     if (RunStorageAction(this, [&] { database_.SetDelPwd(*hash); }))
                         QDialog::accept();
                 });
}
