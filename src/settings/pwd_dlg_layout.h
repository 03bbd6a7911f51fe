#pragma once

#include <QDialog>
#include <functional>
#include <vector>

class CSettingsService;
class QDialogButtonBox;
class QGridLayout;
class QLineEdit;
class QThread;

// What the two password dialogs share: "密码：" and a field, then 确定 and 取消; OK runs
// OnOK, which decides whether the dialog ends.
class CPwdDlgBase : public QDialog {
    Q_OBJECT
public:
    virtual void OnOK() = 0;

    // Whether a password is being hashed or checked; the buttons wait meanwhile.
    bool IsBusy() const { return worker_ != nullptr; }

protected:
    CPwdDlgBase(CSettingsService& settings, const QString& title, const char* objectName,
                const char* editName, QWidget* parent);
    ~CPwdDlgBase() override;
    void accept() override { OnOK(); }

    // Runs `work` on a thread of its own (password hashing takes a good part of a second),
    // then `done` here, unless the dialog was closed meanwhile.
    void RunOffThread(std::function<void()> work, std::function<void()> done);

    // Adds one more masked field under the others, with its label.
    QLineEdit* AddField(const QString& label, const char* editName, const QString& accessibleName);

    CSettingsService& settings_;
    QLineEdit* pwdEdit_;

private:
    void SetBusy(bool busy);

    QDialogButtonBox* buttons_;
    QGridLayout* fields_;
    std::vector<QLineEdit*> edits_;
    QThread* worker_ = nullptr;
};
