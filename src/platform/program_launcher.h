#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Starts another program from a command line, detached from Zorvel.
class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    virtual bool StartDetached(const QString& commandLine) = 0;
};

// Splits a command line into words the way a shell does: blanks separate, single and
// double quotes group, a backslash escapes; nothing is expanded.
QStringList SplitCommandLine(const QString& commandLine);

class CDetachedProgramLauncher final : public IProgramLauncher {
public:
    bool StartDetached(const QString& commandLine) override;
};
