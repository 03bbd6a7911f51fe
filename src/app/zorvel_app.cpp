#include "app/zorvel_app.h"

#include <QApplication>
#include <QMessageBox>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "alarms/alarm_board.h"
#include "alarms/alarm_engine.h"
#include "alarms/core/state_files.h"
#include "app/app_context.h"
#include "app/autostart_question.h"
#include "app/change_notifier.h"
#include "app/command_line.h"
#include "app/core/platform_choice.h"
#include "app/main_dlg.h"
#include "app/script_bus.h"
#include "app/translations.h"
#include "app/zorvel_dlg.h"
#include "platform/core/instance_lock.h"
#include "platform/core/program_dir.h"
#include "platform/log_categories.h"
#include "platform/platform_services.h"
#include "settings/settings_service.h"
#include "storage/backup.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"

namespace {

constexpr int kStartUpDelayMs = 100;

bool HasPlatformArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// Shown before the program runs (no clock, no alarm, no timer yet), so waiting for the answer
// in a modal box holds nothing up.
void ShowError(QMessageBox::Icon icon, const QString& text) {
    // Also on stderr, for a start from a terminal or a script.
    std::fprintf(stderr, "zorvel: %s\n", text.toLocal8Bit().constData());
    QMessageBox box(icon, QStringLiteral("Zorvel"), text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("errorBox"));
    box.exec();
}

}  // namespace

int CZorvelApp::Run(int argc, char** argv) {
    // Commands such as --reset-password run from a terminal, without a display or a clock.
    if (zorvel::IsCommandLineCommand(argc, argv))
        return zorvel::RunCommandLine(argc, argv);

    // Asked for on the command line rather than through the environment, so that programs the
    // alarms start do not inherit it.
    std::vector<char*> args(argv, argv + argc);
    char platformOption[] = "-platform";
    std::string platform;
    const auto env = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    if (auto preferred = zorvel::PreferredPlatform(env, HasPlatformArgument(argc, argv))) {
        platform = *preferred;
        args.push_back(platformOption);
        args.push_back(platform.data());
    }
    int qtArgc = static_cast<int>(args.size());
    args.push_back(nullptr);

    QApplication app(qtArgc, args.data());
    const std::string platformNote =
        zorvel::PlatformNote(env, QGuiApplication::platformName().toStdString());
    if (!platformNote.empty())
        std::fprintf(stderr, "zorvel: %s\n", platformNote.c_str());
    QApplication::setApplicationName(QString::fromLatin1(kTitle));
    // Ties the windows to the installed desktop entry (its icon and name in docks and
    // switchers).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zorvel.Zorvel"));
    // The clock is a tool window and the main window only hides: the program ends through
    // "退出(&X)" alone.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own buttons and dialogs in Chinese ("确定", "取消", the file dialog).
    zorvel::InstallQtTranslations(app);

    zorvel::CInstanceLock lock;
    switch (lock.Acquire(zorvel::CInstanceLock::DefaultDirectory(), kRunningText)) {
        case zorvel::CInstanceLock::State::kFirst:
            break;
        case zorvel::CInstanceLock::State::kAlreadyRunning:
            ShowError(QMessageBox::Information, QString::fromStdString(lock.RunningText()));
            return 0;
        case zorvel::CInstanceLock::State::kFailed:
            ShowError(QMessageBox::Warning, QString::fromUtf8(kLockFailedText));
            return 1;
    }

    // Two copies must never share one database, whatever their environment (another runtime
    // directory puts the lock above elsewhere): a second lock sits next to the file itself.
    const std::string databasePath = zorvel::DefaultDatabasePath();
    std::error_code noFolder;
    std::filesystem::create_directories(std::filesystem::path(databasePath).parent_path(),
                                        noFolder);
    zorvel::CInstanceLock databaseLock;
    switch (databaseLock.AcquireFile(databasePath + ".lock", kRunningText)) {
        case zorvel::CInstanceLock::State::kFirst:
            break;
        case zorvel::CInstanceLock::State::kAlreadyRunning:
            ShowError(QMessageBox::Information, QString::fromStdString(databaseLock.RunningText()));
            return 0;
        case zorvel::CInstanceLock::State::kFailed:
            // A folder without a lock (read-only media) must not keep the alarms from ringing.
            qCWarning(lcApp, "cannot lock %s.lock", databasePath.c_str());
            break;
    }

    QApplication::setWindowIcon(ZorvelIcon());
    const zorvel::SystemClock systemClock;
    CLinuxPlatform linuxPlatform;
    zorvel::CStateFiles stateFiles(zorvel::UserStateDir());
    CAppContext::Parts parts;
    parts.clock = &systemClock;
    parts.platform = linuxPlatform.Bundle();
    parts.platform.state = &stateFiles;
    parts.databasePath = databasePath;
    parts.stateDir = zorvel::UserStateDir();
    parts.engineThread = true;
    IAutostart* autostart = parts.platform.autostart;
    CAppContext context(std::move(parts));
    CAutostartQuestion autostartQuestion(context.alarms(), autostart, stateFiles,
                                         zorvel::IsInstalledCopy());

    CZorvelDlg clock(context);
    QObject::connect(&clock, &CZorvelDlg::exitRequested, &app, &QCoreApplication::quit);
    clock.show();

    CScriptBus::Handlers busParts;
    busParts.store = &context.store();
    busParts.clock = &systemClock;
    busParts.requiredPassword = [&context] {
        const SoftSetting& s = context.settings().value();
        return s.isPwdReq ? s.delPwd : std::string();
    };
    busParts.showPage = [&clock](int page) { clock.ShowMainWindow(CMainDlg::kAlarmPage + page); };
    busParts.snooze = [&context](const std::string& id) { return context.AnswerRing(id, true); };
    busParts.dismiss = [&context](const std::string& id) { return context.AnswerRing(id, false); };
    CScriptBus bus(std::move(busParts));
    QObject::connect(&context.notifier(), &CChangeNotifier::AlarmsChanged, &bus,
                     &CScriptBus::TellAlarmsChanged);
    QObject::connect(&context.alarms().engine(), &CAlarmEngine::RingDue, &bus,
                     [&bus](const zorvel::RingSnapshot& ring) {
                         bus.TellRinging(
                             ring.alarm.id, ring.alarm.alarmTime,
                             zorvel::Utf16ToUtf8(zorvel::FromStored(ring.alarm.content)));
                     });
    // Once a day a copy of the data in backups/ beside it, made away from the window thread.
    QTimer dailyBackup;
    dailyBackup.setInterval(60 * 60 * 1000);
    const auto keepDailyBackup = [databasePath, &systemClock] {
        const std::time_t now = systemClock.NowTimeT();
        std::tm local{};
        localtime_r(&now, &local);
        const zorvel::CivilDate today{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
        QThreadPool::globalInstance()->start([databasePath, today] {
            try {
                zorvel::KeepDailyBackup(databasePath, today);
            } catch (const std::exception& e) {
                qCWarning(lcStorage, "no daily backup: %s", e.what());
            }
        });
    };
    QObject::connect(&dailyBackup, &QTimer::timeout, keepDailyBackup);
    // Reading storage costs a key derivation: leave it until the clock has drawn its first
    // frame. Scripts are answered once the lists are loaded.
    QTimer::singleShot(kStartUpDelayMs, &clock, [&context, &bus, &dailyBackup, keepDailyBackup] {
        context.Start();
        bus.Register();
        dailyBackup.start();
        keepDailyBackup();
    });
    return app.exec();
}
