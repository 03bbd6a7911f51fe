#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <string>
#include <vector>

#include "browser/core/browser_protocol.h"

class CBrowserWindowList;

// Carries out what Zorvel asks on `input` with the windows of `windows`, and tells it on
// `output` what was done and which windows are open. Finished() once the last window has
// closed, or when the input ends (Zorvel has gone or let go of its browser); then every
// window is closed.
class CBrowserHost : public QObject {
    Q_OBJECT
public:
    // Takes both descriptors over and closes them.
    CBrowserHost(int input, int output, CBrowserWindowList* windows);
    ~CBrowserHost() override;

signals:
    void Finished();

private:
    // False once the input has ended.
    bool ReadInput();
    void Handle(const std::string& line);
    void OnWindowsChanged();
    void Write(const std::string& line);
    void Finish();

    int input_;
    int output_;
    CBrowserWindowList* windows_;
    QSocketNotifier notifier_;
    zorvel::browser::LineReader reader_;
    std::vector<std::uint64_t> sent_;
    bool finished_ = false;
};
