#include "support/ui_helpers.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace zorvel::test {

namespace {
QList<QPointer<QTimer>> g_waiting;
}

int TimeScale() {
    static const int scale = [] {
        const char* text = std::getenv("ZORVEL_TEST_TIME_SCALE");
        const int value = text ? std::atoi(text) : 1;
        return value >= 1 && value <= 100 ? value : 1;
    }();
    return scale;
}

HangGuard::HangGuard(const char* what, int seconds) {
    const auto limit = std::chrono::seconds(seconds * TimeScale());
    watcher_ = std::thread([this, what, limit] {
        std::unique_lock lock(mutex_);
        if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            std::fprintf(stderr, "hung: %s took more than %lld s\n", what,
                         static_cast<long long>(limit.count()));
            std::_Exit(1);
        }
    });
}

HangGuard::~HangGuard() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    done_.notify_one();
    watcher_.join();
}

void WhenModalImpl(const std::function<bool(QWidget*)>& tryAction, const char* what,
                   int timeoutMs) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QString("waiting for a modal %1").arg(what));
    g_waiting.append(timer);
    QElapsedTimer since;
    since.start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        // The modal window on top first, then any other window that is open (a message box
        // without a parent blocks nothing and so is not modal).
        QList<QWidget*> candidates;
        if (QWidget* modal = QApplication::activeModalWidget())
            candidates << modal;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!candidates.contains(w))
                candidates << w;
        for (QWidget* w : candidates) {
            if (!w->isVisible())
                continue;
            timer->stop();  // the action may open windows of its own
            if (tryAction(w)) {
                timer->deleteLater();
                return;
            }
            timer->start();
        }
        if (since.elapsed() > qint64{timeoutMs} * TimeScale()) {
            ADD_FAILURE() << "no modal " << what << " appeared";
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void CloseNextMessageBox(QString* text) {
    WhenModal<QMessageBox>([text](QMessageBox* box) {
        if (text)
            *text = box->text();
        box->accept();
    });
}

ModalWatchdog::ModalWatchdog() {
    timer_.setInterval(100);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal != seen_) {
            seen_ = modal;
            seenTicks_ = 0;
        } else if (++seenTicks_ >= 80 * TimeScale()) {
            ADD_FAILURE() << "a modal " << modal->metaObject()->className() << " was left open";
            if (auto* dlg = qobject_cast<QDialog*>(modal))
                dlg->reject();
            else
                modal->close();
        }
    });
    timer_.start();
}

ModalWatchdog::~ModalWatchdog() {
    for (const QPointer<QTimer>& t : g_waiting) {
        if (t && t->isActive())
            ADD_FAILURE() << "still " << t->objectName().toStdString();
        delete t.data();
    }
    g_waiting.clear();
}

void RunEventsFor(int ms) {
    QElapsedTimer since;
    since.start();
    while (since.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer since;
    since.start();
    while (!done()) {
        if (since.elapsed() > qint64{timeoutMs} * TimeScale())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void AnswerDiscardQuestion(QMessageBox::StandardButton choice, int* asked) {
    WhenModal<QMessageBox>([=](QMessageBox* box) {
        ++*asked;
        EXPECT_EQ(box->text(), "是否放弃修改？");
        EXPECT_EQ(box->windowTitle(), "Zorvel");
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(choice)->click();
    });
}

}  // namespace zorvel::test
