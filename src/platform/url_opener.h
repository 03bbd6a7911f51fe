#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <utility>

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

// Hands addresses to the desktop's browser; tests put in a fake.
class IUrlOpener {
public:
    using Failed = std::function<void(const QString& reason)>;
    virtual ~IUrlOpener() = default;
    // As OpenUrl: `failed` hears the reason when nothing took the address.
    virtual void Open(const QUrl& url, Failed failed) = 0;
};

// OpenUrl with the given steps (the system's unless a test says otherwise).
class CSystemUrlOpener final : public IUrlOpener {
public:
    explicit CSystemUrlOpener(UrlOpenSteps steps = SystemUrlOpenSteps())
        : steps_(std::move(steps)) {}
    void Open(const QUrl& url, Failed failed) override { OpenUrl(url, std::move(failed), steps_); }

private:
    UrlOpenSteps steps_;
};
