#include "widgets/message_box.h"

#include <QMessageBox>

namespace zorvel {

namespace {
void Show(QWidget* parent, QMessageBox::Icon icon, const QString& text, const char* name) {
    auto* box = new QMessageBox(icon, QStringLiteral("Zorvel"), text, QMessageBox::Ok, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    box->show();
}
}  // namespace

void ShowMessage(QWidget* parent, const QString& text) {
    Show(parent, QMessageBox::Information, text, "messageBox");
}

void ShowWarning(QWidget* parent, const QString& text) {
    Show(parent, QMessageBox::Warning, text, "messageBox");
}

void ShowStorageError(QWidget* parent, const QString& errorText) {
    Show(parent, QMessageBox::Warning, errorText, "storageErrorBox");
}

}  // namespace zorvel
