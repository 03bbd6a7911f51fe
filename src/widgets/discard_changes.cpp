#include "widgets/discard_changes.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace zorvel {

bool ConfirmDiscardChanges(QWidget* parent) {
    // Owned by the parent: should the editor go away while the question is open, the box goes
    // with it and the wait ends. Shown and waited for by hand, since QDialog::exec() would make
    // a box without a parent application-modal.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Question, QStringLiteral("Zorvel"),
                                                QStringLiteral("是否放弃修改？"),
                                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setObjectName(QStringLiteral("discardQuestion"));
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    int answer = QMessageBox::No;
    QEventLoop wait;
    QObject::connect(box, &QMessageBox::finished, &wait, [&](int result) {
        answer = result;
        wait.quit();
    });
    QObject::connect(box, &QObject::destroyed, &wait, &QEventLoop::quit);
    box->show();
    // The wait still delivers every event, and the box blocks its editor's window alone: a ring
    // window that opens meanwhile takes its snooze and close (the whole-program test of the note
    // editor does exactly that).
    wait.exec();
    delete box.data();
    return answer == QMessageBox::Yes;
}

}  // namespace zorvel
