#pragma once

#include <QDialog>

class CClockDatabase;
class QLineEdit;

// What the two password dialogs share: "密码：" and a field, then 确定 and 取消; OK runs
// OnOK, which decides whether the dialog ends.
class CPwdDlgBase : public QDialog {
    Q_OBJECT
public:
    virtual void OnOK() = 0;

protected:
    CPwdDlgBase(CClockDatabase& database, const QString& title, const char* objectName,
                const char* editName, QWidget* parent);
    void accept() override { OnOK(); }

    CClockDatabase& database_;
    QLineEdit* pwdEdit_;
};
