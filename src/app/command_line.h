#pragma once

namespace zorvel {

// The commands that run instead of the desktop clock, from a terminal or a script, and need no
// display. Whether the command line names one of them (any other arguments, such as Qt's own
// "-platform", still go to the clock).
bool IsCommandLineCommand(int argc, char** argv);

// Parses the command line and runs the command it names; returns the process exit code
// (2 for a command line that cannot be understood).
int RunCommandLine(int argc, char** argv);

}  // namespace zorvel
