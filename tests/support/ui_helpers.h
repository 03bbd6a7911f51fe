#pragma once

#include <QMessageBox>

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace zorvel::test {

// Waits below are multiplied by ZORVEL_TEST_TIME_SCALE (1 to 100, default 1), for builds that
// run several times slower, such as the sanitized one.
int TimeScale();

// Runs `action` on the next modal window that opens and is a T, inside its event loop; fails
// the test when none comes within `timeoutMs`.
void WhenModalImpl(const std::function<bool(QWidget*)>& tryAction, const char* what, int timeoutMs);
template <typename T>
void WhenModal(std::function<void(T*)> action, int timeoutMs = 5000) {
    WhenModalImpl(
        [action](QWidget* w) {
            T* t = qobject_cast<T*>(w);
            if (t)
                action(t);
            return t != nullptr;
        },
        T::staticMetaObject.className(), timeoutMs);
}

// Answers the next message box with OK, keeping its text. Message boxes do not block: run the
// event loop (WaitUntil) for the answer to come.
void CloseNextMessageBox(QString* text);

// Turns a forgotten modal window into a failure instead of a hang, and at the end of the test
// fails (and drops) every WhenModal still waiting.
class ModalWatchdog {
public:
    ModalWatchdog();
    ~ModalWatchdog();

private:
    QTimer timer_;
    QPointer<QWidget> seen_;
    int seenTicks_ = 0;
};

// Ends the test program with a message when it is still inside the guarded code after
// `seconds` (scaled like the waits): a window thread stuck for minutes in one call cannot be
// interrupted from a timer of its own.
class HangGuard {
public:
    HangGuard(const char* what, int seconds);
    ~HangGuard();

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watcher_;
};

void ProcessEvents();

// Runs the event loop until `done` holds; false when it did not within `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Runs the event loop for exactly `ms` (not stretched: a test that races a timer of the
// program against it needs the real figure).
void RunEventsFor(int ms);

// Answers the next "是否放弃修改？" with `choice`, counting the questions in `asked`; checks it is
// the editors' one question (captioned "Zorvel", modal to its window, 否 the default).
void AnswerDiscardQuestion(QMessageBox::StandardButton choice, int* asked);

}  // namespace zorvel::test
