#pragma once

// The application: makes sure one copy runs per user, then runs the desktop clock until the
// user chooses "退出(&X)". A command on the command line (src/app/command_line.h) runs instead.
class CZorvelApp {
public:
    // The whole run; returns the process exit code.
    int Run(int argc, char** argv);

    // Shown by a later copy when nothing was read from the running one, and stored by the first.
    static constexpr const char* kRunningText = "闹钟程序已在运行中!";
    // Shown when the lock that keeps one copy per user cannot be made.
    static constexpr const char* kLockFailedText = "创建用于互斥运行的内存映射文件对象失败!";
    // The application's name (its settings and runtime folders are named after it).
    static constexpr const char* kTitle = "zorvel";
};
