#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/core/clock.h"

namespace zorvel::test {

// Runs `action` on the next modal window that opens and is a T, from inside its own event
// loop. Watches for `timeoutMs`, then reports a failure.
void WhenModalImpl(const std::function<bool(QWidget*)>& tryAction, const char* what, int timeoutMs);

template <typename T>
void WhenModal(std::function<void(T*)> action, int timeoutMs = 5000) {
    WhenModalImpl(
        [action](QWidget* w) {
            T* t = qobject_cast<T*>(w);
            if (!t)
                return false;
            action(t);
            return true;
        },
        T::staticMetaObject.className(), timeoutMs);
}

// Answers the next message box with OK and keeps its text in `*text`.
void CloseNextMessageBox(QString* text, int timeoutMs = 5000);

// Closes, with a test failure, any modal window left open for longer than a few seconds, so
// a fault shows as a failure instead of a hang. When it goes (at the end of a test), a
// WhenModal that is still waiting fails the test and is dropped.
class ModalWatchdog {
public:
    ModalWatchdog();
    ~ModalWatchdog();

private:
    QTimer timer_;
    QPointer<QWidget> seen_;
    int seenTicks_ = 0;
};

// Installs a fixed process clock for the life of the object.
class FixedClock {
public:
    explicit FixedClock(TimePoint at) : clock_(at) { SetCurrentClock(&clock_); }
    ~FixedClock() { SetCurrentClock(nullptr); }
    void Set(TimePoint at) { clock_.Set(at); }

private:
    FakeClock clock_;
};

// Lets queued events (and deferred deletes) run.
void ProcessEvents();

}  // namespace zorvel::test
