#include "platform/url_opener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <memory>

#include "platform/program_launcher.h"

namespace {
// How long xdg-open may run before it counts as having handed the address over: in a desktop
// without a helper of its own it runs the browser and waits for it.
constexpr int kTakenAfterMs = 5000;

// Runs a program and reports once: when it ends, or when it has run long enough. Its error output
// goes to a file, not a pipe, so a browser started in its place never writes into a closed pipe
// once Zorvel has quit.
void RunWatched(const QString& program, const QStringList& arguments, UrlOpenSteps::Done done) {
    auto* process = new QProcess(QCoreApplication::instance());
    auto errors = std::make_shared<QTemporaryFile>();
    auto reported = std::make_shared<bool>(false);
    auto report = [done, reported](bool ok, const QString& output) {
        if (!std::exchange(*reported, true))
            done(ok, output);
    };
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    if (errors->open())
        process->setStandardErrorFile(errors->fileName());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, report](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         report(false, process->errorString());
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, errors, report, program](int code, QProcess::ExitStatus status) {
                         QString said;
                         if (errors->isOpen()) {
                             errors->seek(0);
                             // The end of it says what went wrong.
                             said = QString::fromLocal8Bit(errors->readAll().right(2000)).trimmed();
                         }
                         if (said.isEmpty())
                             said = status == QProcess::NormalExit
                                        ? QStringLiteral("%1 的退出码为 %2").arg(program).arg(code)
                                        : QStringLiteral("%1 异常退出").arg(program);
                         report(status == QProcess::NormalExit && code == 0, said);
                         process->deleteLater();
                     });
    QTimer::singleShot(kTakenAfterMs, process, [report] { report(true, {}); });
    // Quitting must not kill a browser that xdg-open still waits for: the process object is
    // let go instead of destroyed with the application.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process,
                     [process] { process->setParent(nullptr); });
    process->start(program, arguments);
}

// Each command of $BROWSER in turn; true when one started.
bool StartBrowserVariable(const QString& address, const UrlOpenSteps& steps) {
    if (!steps.start || !steps.environment)
        return false;
    // Each entry is a command; "%s" stands for the address, otherwise it goes last. The
    // address is always one argument of its own, never read by a shell.
    const QStringList commands = steps.environment("BROWSER").split(u':', Qt::SkipEmptyParts);
    for (const QString& command : commands) {
        QStringList words = SplitCommandLine(command);
        if (words.isEmpty())
            continue;
        bool placed = false;
        for (QString& word : words) {
            if (word.contains(QLatin1String("%s"))) {
                word.replace(QLatin1String("%s"), address);
                placed = true;
            }
        }
        if (!placed)
            words.append(address);
        const QString program = words.takeFirst();
        if (steps.start(program, words))
            return true;
    }
    return false;
}
}  // namespace

UrlOpenSteps SystemUrlOpenSteps() {
    UrlOpenSteps steps;
    steps.run = RunWatched;
    steps.start = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    steps.desktop = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    steps.environment = [](const char* name) { return qEnvironmentVariable(name); };
    steps.findProgram = [](const QString& name) { return QStandardPaths::findExecutable(name); };
    return steps;
}

void OpenUrl(const QUrl& url, std::function<void(const QString& reason)> failed,
             const UrlOpenSteps& steps) {
    auto fail = [failed](const QString& reason) {
        if (failed)
            failed(reason);
    };
    if (!url.isValid())
        return fail(QStringLiteral("这不是一个有效的网址。"));
    const QString address = url.toString(QUrl::FullyEncoded);
    const QString xdgOpen = steps.findProgram ? steps.findProgram(QStringLiteral("xdg-open")) : "";
    if (xdgOpen.isEmpty() || !steps.run) {
        if (StartBrowserVariable(address, steps) || (steps.desktop && steps.desktop(url)))
            return;
        return fail(
            QStringLiteral("没有找到可以打开它的浏览器：系统里没有 xdg-open，也没有可用的 "
                           "BROWSER 设置。"));
    }
    // The steps are copied: the answer comes after this call has returned.
    steps.run(xdgOpen, {address}, [address, steps, fail](bool ok, const QString& output) {
        if (ok || StartBrowserVariable(address, steps))
            return;
        QString reason = QStringLiteral("xdg-open 没能为它打开浏览器。");
        if (!output.isEmpty())
            reason += QLatin1Char('\n') + output;
        fail(reason);
    });
}
