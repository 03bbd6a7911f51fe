#pragma once

class QDialog;
class QLineEdit;

namespace zorvel {

// The shared look of the two password dialogs: "密码：" and a field, then 确定 and 取消.
// Returns the field; the OK button calls the dialog's accept().
QLineEdit* BuildPasswordDialog(QDialog* dialog, const char* editName);

}  // namespace zorvel
