#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <map>
#include <string>

#include "browser/core/browser_protocol.h"

class QWidget;

// Opens pages in built-in browser windows and keeps the list of those still open, in opening
// order. The windows belong to the browser program, zorvel-browser, which alone loads the web
// engine: it is started for the first window, takes every further one, and ends when its last
// window closes. A browser that crashes or is killed takes only its windows along; the next
// page starts a new one. So does a browser that stops answering: it is ended.
class CBrowserWindows : public QObject {
    Q_OBJECT
public:
    // How long the browser may take to open a window before it counts as hung.
    static constexpr int kAnswerWithinMs = 30000;

    // `owner` is the parent of warnings.
    explicit CBrowserWindows(QWidget* owner, int answerWithinMs = kAnswerWithinMs);
    // The browser closes the windows and ends once it hears from us no more.
    ~CBrowserWindows() override;

    // Asks for a new browser window opening `url`, starting the browser when none runs. False
    // (after a warning naming the reason) when there is no browser program to start.
    bool Open(const QUrl& url);
    // The browser's windows, by their numbers there, in opening order.
    QList<std::uint64_t> Windows() const { return windows_; }
    // The running browser's process id, or 0.
    qint64 ProcessId() const;

    // Where the browser program is looked for, in order: only in $ZORVEL_BROWSER (a file, or
    // a folder holding it) when that is set, otherwise beside this program and then in the
    // installed lib/zorvel/.
    static QStringList ProgramCandidates();

signals:
    void WindowsChanged();

private:
    bool Start();
    void OnOutput();
    void OnFinished(int exitCode, QProcess::ExitStatus status);
    void OnStartFailed();
    void OnNoAnswer();
    void Let(QProcess* process);
    void SetWindows(const QList<std::uint64_t>& windows);
    void Warn(const QString& why);

    QPointer<QWidget> owner_;
    QProcess* process_ = nullptr;
    zorvel::browser::LineReader reader_;
    // Requests sent to the running browser and not yet answered, by number.
    std::map<std::uint64_t, std::string> unanswered_;
    std::uint64_t lastRequest_ = 0;
    // Whether the unanswered requests were already sent again to a new browser.
    bool sentAgain_ = false;
    QString problem_;
    QList<std::uint64_t> windows_;
    QTimer answerTimer_;
    bool hung_ = false;
};
