#pragma once

#include <QDialog>

class QLineEdit;
class CClockDatabase;

// "删除密码设置": stores a new delete password (as a salted hash) and ends with Accepted.
// Switching the protection on is the caller's part.
class CPwdSettingDlg : public QDialog {
    Q_OBJECT
public:
    CPwdSettingDlg(CClockDatabase& database, QWidget* parent);

    void OnOK();

protected:
    void accept() override { OnOK(); }

private:
    CClockDatabase& database_;
    QLineEdit* pwdEdit_;
};
