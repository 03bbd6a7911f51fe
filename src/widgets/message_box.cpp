#include "widgets/message_box.h"

#include <QMessageBox>

namespace zorvel {

void ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("zorvel"), text, QMessageBox::Ok,
                    parent);
    box.setObjectName("messageBox");
    box.exec();
}

void ShowStorageError(QWidget* parent, const QString& errorText) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("zorvel"), errorText, QMessageBox::Ok,
                    parent);
    box.setObjectName("storageErrorBox");
    box.exec();
}

}  // namespace zorvel
