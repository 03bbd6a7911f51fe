#pragma once

#include "settings/pwd_dlg_layout.h"

// "删除密码设置": stores a new delete password (as a salted hash) and ends with Accepted.
// The password is typed twice, since a typo in a masked field would lock the user out, and may
// not be empty.
// Switching the protection on is the caller's part.
class CPwdSettingDlg : public CPwdDlgBase {
    Q_OBJECT
public:
    CPwdSettingDlg(CSettingsService& settings, QWidget* parent);

    void OnOK() override;

private:
    QLineEdit* confirmEdit_;
};
