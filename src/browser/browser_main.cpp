// zorvel-browser: the built-in browser's windows, in a process of their own so that closing
// them gives their memory back and no web page can take the clock's alarms down. Zorvel
// starts it and tells it what to open on its standard input (see core/browser_protocol.h).
#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <csignal>
#include <string>

#include "app/translations.h"
#include "browser/browser_host.h"
#include "browser/browser_window_list.h"
#include "browser/core/browser_protocol.h"

int main(int argc, char** argv) {
    // The messages keep descriptors of their own. Whatever else writes to the standard output
    // (Qt, the web engine, page processes) goes to the standard error instead, and page
    // processes get no end of the pipes from Zorvel.
    const int input = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    const int output = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (input < 0 || output < 0)
        return 1;
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing >= 0) {
        ::dup2(nothing, STDIN_FILENO);
        ::close(nothing);
    }
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    // A Zorvel that has gone is noticed at the end of the input, not by a signal.
    std::signal(SIGPIPE, SIG_IGN);

    // Qt WebEngine draws pages through a GL context shared with the application, which must
    // be asked for before the application starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The same name as the clock's: pages keep their cookies and cache where they always did.
    QApplication::setApplicationName(QStringLiteral("zorvel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zorvel.Zorvel"));
    // The host decides when the program ends: a request may be on its way as the last window
    // closes.
    QApplication::setQuitOnLastWindowClosed(false);
    zorvel::InstallQtTranslations(app);

    const QString problem = CBrowserWindowList::Problem();
    if (!problem.isEmpty()) {
        const std::string line = zorvel::browser::ProblemLine(problem.toStdString());
        [[maybe_unused]] const ssize_t written = ::write(output, line.data(), line.size());
        return 2;
    }

    CBrowserWindowList windows;
    CBrowserHost host(input, output, &windows);
    QObject::connect(&host, &CBrowserHost::Finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return app.exec();
}
