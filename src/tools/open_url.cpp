#include "tools/open_url.h"

#include <QDesktopServices>
#include <QProcess>

#include "platform/program_launcher.h"

UrlOpenSteps SystemUrlOpenSteps() {
    UrlOpenSteps steps;
    steps.desktop = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    steps.start = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    steps.environment = [](const char* name) { return qEnvironmentVariable(name); };
    return steps;
}

bool OpenUrl(const QUrl& url, const UrlOpenSteps& steps) {
    if (!url.isValid())
        return false;
    const QString address = url.toString(QUrl::FullyEncoded);
    if (steps.desktop && steps.desktop(url))
        return true;
    if (steps.start && steps.start(QStringLiteral("xdg-open"), {address}))
        return true;
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
