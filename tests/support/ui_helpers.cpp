#include "support/ui_helpers.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <memory>

namespace zorvel::test {

namespace {
// Watchers still waiting; a test must not leave one behind for the next test to trip over.
QList<QPointer<QTimer>>& PendingWatchers() {
    static QList<QPointer<QTimer>> pending;
    return pending;
}
}  // namespace

void WhenModalImpl(const std::function<bool(QWidget*)>& tryAction, const char* what,
                   int timeoutMs) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QString("waiting for a modal %1").arg(what));
    PendingWatchers().append(timer);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            // Stop first: the action may open further modal windows of its own.
            timer->stop();
            if (tryAction(modal)) {
                timer->deleteLater();
                return;
            }
            timer->start();
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal " << what << " appeared";
        }
    });
    timer->start();
}

void CloseNextMessageBox(QString* text, int timeoutMs) {
    WhenModal<QMessageBox>(
        [text](QMessageBox* box) {
            if (text)
                *text = box->text();
            box->accept();
        },
        timeoutMs);
}

ModalWatchdog::ModalWatchdog() {
    timer_.setInterval(100);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal != seen_) {
            seen_ = modal;
            seenTicks_ = 0;
            return;
        }
        if (++seenTicks_ < 80)
            return;
        ADD_FAILURE() << "a modal " << modal->metaObject()->className() << " was left open";
        if (auto* dlg = qobject_cast<QDialog*>(modal))
            dlg->reject();
        else
            modal->close();
    });
    timer_.start();
}

ModalWatchdog::~ModalWatchdog() {
    timer_.stop();
    for (const QPointer<QTimer>& t : PendingWatchers()) {
        if (t && t->isActive()) {
            ADD_FAILURE() << "still " << t->objectName().toStdString();
            t->stop();
        }
        delete t.data();
    }
    PendingWatchers().clear();
}

void ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace zorvel::test
