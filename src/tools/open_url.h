#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QWidget;

// The ways of handing an address to the desktop's browser. The program uses the system's;
// tests replace them.
struct UrlOpenSteps {
    using Done = std::function<void(bool ok, const QString& output)>;
    // Runs `program` with `arguments`, without a shell, and tells `done` later (on this thread)
    // whether it took the address: it ended with code 0, or was still running after a few
    // seconds (a browser it started in its place). On failure `output` holds what it said.
    std::function<void(const QString& program, const QStringList& arguments, Done done)> run;
    // Starts `program` with `arguments`, detached, without a shell.
    std::function<bool(const QString& program, const QStringList& arguments)> start;
    // The desktop's own way (QDesktopServices), for a system without xdg-open.
    std::function<bool(const QUrl&)> desktop;
    // An environment variable, empty when unset.
    std::function<QString(const char* name)> environment;
    // The path of a program found on $PATH, empty when there is none.
    std::function<QString(const QString& name)> findProgram;
};

UrlOpenSteps SystemUrlOpenSteps();

// Opens `url` in the desktop's browser: with `xdg-open`, watching whether it managed; else with
// each command of `$BROWSER` (colon-separated, as the convention has it) with the address as an
// argument of its own; else, where there is no xdg-open, the desktop's own way. When nothing
// took it, `failed` is called with the reason (a sentence, then what xdg-open said).
void OpenUrl(const QUrl& url, std::function<void(const QString& reason)> failed,
             const UrlOpenSteps& steps = SystemUrlOpenSteps());

// The same for a window: an address that cannot be opened is said in a message box over
// `parent` (when it is still there).
void OpenUrlFor(QWidget* parent, const QUrl& url, const UrlOpenSteps& steps = SystemUrlOpenSteps());
