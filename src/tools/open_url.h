#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// The ways of handing an address to the desktop's browser, in the order they are tried.
// The program uses the system's; tests replace them.
struct UrlOpenSteps {
    // The desktop's default browser (QDesktopServices).
    std::function<bool(const QUrl&)> desktop;
    // Starts `program` with `arguments`, detached, without a shell.
    std::function<bool(const QString& program, const QStringList& arguments)> start;
    // An environment variable, empty when unset.
    std::function<QString(const char* name)> environment;
};

UrlOpenSteps SystemUrlOpenSteps();

// Opens `url` in the desktop's browser: the desktop's default, else `xdg-open`, else each
// command of `$BROWSER` (colon-separated, as the convention has it) with the address as an
// argument of its own. False when nothing took it.
bool OpenUrl(const QUrl& url, const UrlOpenSteps& steps = SystemUrlOpenSteps());
