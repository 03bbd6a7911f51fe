#include "platform/program_launcher.h"

#include <QFileInfo>
#include <QProcess>

QStringList SplitCommandLine(const QString& commandLine) {
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;  // the open quote, or null
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        QChar c = commandLine[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            } else if (c == '\\' && quote == '"' && i + 1 < commandLine.size() &&
                       (commandLine[i + 1] == '"' || commandLine[i + 1] == '\\')) {
                word += commandLine[++i];
            } else {
                word += c;
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == '\\' && i + 1 < commandLine.size()) {
            word += commandLine[++i];
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

bool CDetachedProgramLauncher::StartDetached(const QString& commandLine) {
    // A chosen program path may hold blanks: when the whole text names a program, run it as is.
    QFileInfo whole(commandLine.trimmed());
    if (whole.isFile() && whole.isExecutable())
        return QProcess::startDetached(whole.filePath(), {});
    QStringList words = SplitCommandLine(commandLine);
    if (words.isEmpty())
        return false;
    QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}
