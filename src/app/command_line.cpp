#include "app/command_line.h"

#include <unistd.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/core/reset_password.h"
#include "platform/core/clock.h"
#include "platform/core/program_dir.h"
#include "widgets/translations.h"

namespace zorvel {

namespace {

constexpr const char* kCommandOptions[] = {"--reset-password", "--yes", "--help", "-h"};

void PrintError(const QString& text) {
    std::fprintf(stderr, "zorvel: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

bool IsCommandLineCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : kCommandOptions) {
            const size_t n = std::strlen(option);
            if (std::strncmp(argv[i], option, n) == 0 && (argv[i][n] == '\0' || argv[i][n] == '='))
                return true;
        }
    }
    return false;
}

int RunCommandLine(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorvel"));
    InstallQtTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zorvel：桌面闹钟与个人提醒。不带选项时启动桌面时钟。"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示这段说明。"));
    const QCommandLineOption resetPassword(
        QStringLiteral("reset-password"),
        QStringLiteral("清除修改和删除闹钟、记事所需的密码（须先退出 Zorvel）。"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("不在终端上询问，直接执行（用于脚本）。"));
    parser.addOptions({help, resetPassword, yes});

    const auto usageError = [&](const QString& text) {
        PrintError(text);
        std::fputs(parser.helpText().toLocal8Bit().constData(), stderr);
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("多余的参数：") +
                          parser.positionalArguments().join(QLatin1Char(' ')));
    if (!parser.isSet(resetPassword))
        return usageError(QStringLiteral("--yes 只能与 --reset-password 一起使用。"));

    ResetPasswordRequest request;
    request.databasePath = DefaultDatabasePath();
    request.yes = parser.isSet(yes);
    request.interactive = isatty(STDIN_FILENO) == 1;
    const SystemClock clock;
    return RunResetPassword(request, clock, std::cin, std::cout, std::cerr);
}

}  // namespace zorvel
