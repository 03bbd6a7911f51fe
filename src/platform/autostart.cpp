#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <utility>

CXdgAutostart::CXdgAutostart(QString configHome, QString program)
    : configHome_(std::move(configHome)), program_(std::move(program)) {}

QString CXdgAutostart::DefaultConfigHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString CXdgAutostart::EntryPath() const {
    return configHome_ + QStringLiteral("/autostart/zorvel.desktop");
}

bool CXdgAutostart::IsEnabled() const {
    return QFileInfo(EntryPath()).isFile();
}

QString CXdgAutostart::ExecArgument(const QString& path) {
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = path;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool quote = false;
    for (QChar c : arg)
        quote = quote || kReserved.contains(c);
    if (quote) {
        QString quoted;
        for (QChar c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        arg = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // The whole line is also a string value, which has escapes of its own.
    QString value;
    for (QChar c : arg) {
        if (c == '\\')
            value += QStringLiteral("\\\\");
        else if (c == '\n')
            value += QStringLiteral("\\n");
        else if (c == '\t')
            value += QStringLiteral("\\t");
        else if (c == '\r')
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

bool CXdgAutostart::Enable() {
    if (program_.isEmpty() || !QDir().mkpath(configHome_ + QStringLiteral("/autostart")))
        return false;
    QSaveFile file(EntryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString text = QStringLiteral(
                       "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Zorvel\n"
                       "Comment=桌面闹钟和提醒\n"
                       "Exec=%1\n"
                       "Icon=zorvel\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
                       .arg(ExecArgument(program_));
    file.write(text.toUtf8());
    return file.commit();
}

bool CXdgAutostart::Disable() {
    QFile::remove(EntryPath());
    return !QFileInfo::exists(EntryPath());
}
