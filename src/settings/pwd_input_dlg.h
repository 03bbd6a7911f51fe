#pragma once

#include <functional>

#include "settings/pwd_dlg_layout.h"

// "请输入密码": asks for the delete password before a protected operation. Ends with
// kPasswordAccepted when the password was right; a wrong one says so, clears the field and
// lets the user try again.
class CPwdInputDlg : public CPwdDlgBase {
    Q_OBJECT
public:
    static constexpr int kPasswordAccepted = 1000000;

    CPwdInputDlg(CSettingsService& settings, QWidget* parent);

    // When the settings ask for a password, runs the prompt; true when the operation may go
    // on (no password needed, or the right one given).
    static bool AskIfRequired(CSettingsService& settings, QWidget* parent);

    void OnOK() override;
};

// The prompt as a list page asks for it.
std::function<bool(QWidget*)> PasswordPromptFor(CSettingsService& settings);
