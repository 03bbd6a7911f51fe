#include "app/command_line.h"

#include <termios.h>
#include <unistd.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>

#include "app/core/reset_password.h"
#include "app/script_bus.h"
#include "app/translations.h"
#include "calendar/holiday_files.h"
#include "calendar/today_texts.h"
#include "cli/core/ical.h"
#include "cli/core/json_text.h"
#include "cli/core/script_input.h"
#include "cli/core/script_store.h"
#include "platform/core/clock.h"
#include "platform/core/instance_lock.h"
#include "platform/core/program_dir.h"
#include "settings/core/password_hash.h"
#include "storage/backup.h"
#include "storage/clock_manager.h"
#include "storage/sqlite_wrapper.h"

namespace zorvel {

namespace {

constexpr const char* kCommandOptions[] = {"--reset-password", "--yes", "--help", "-h"};
constexpr const char* kCommands[] = {"alarm",  "note",    "memo",   "today", "show",
                                     "backup", "restore", "export", "import"};
constexpr char kCliLockText[] = "zorvel 命令正在使用数据文件，请稍后再启动 Zorvel。";

constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

void PrintError(const QString& text) {
    std::fprintf(stderr, "zorvel: %s\n", text.toLocal8Bit().constData());
}

void PrintError(const std::string& text) {
    PrintError(QString::fromStdString(text));
}

void Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
}

const char* kOverview =
    "不带命令时启动桌面时钟。命令：\n"
    "  alarm add --at \"2026-12-10 07:30\" --text 起床 [--repeat 规则] [--ring 铃声]\n"
    "                       添加闹钟；规则 once、daily、workdays、holidays 或\n"
    "                       weekly:1,2,3,4,5（1 为周一）；铃声 song1、song2、shake、\n"
    "                       silent 或一个 .mp3 文件\n"
    "  alarm list [--json]  列出闹钟\n"
    "  alarm delete 编号     删除闹钟\n"
    "  alarm skip 编号       跳过重复闹钟的下一次（再执行一次即取消）\n"
    "  note add 文字         添加便笺\n"
    "  note list [--json]   列出便笺\n"
    "  memo list [--json]   列出记事（纯文本）\n"
    "  today [--json]       今天的日期、农历、节气和班休\n"
    "  show [页面]           打开正在运行的 Zorvel 的一页：alarms、notes、memos、log、\n"
    "                       settings、tools\n"
    "  backup 文件           把数据备份到文件\n"
    "  restore 文件          用备份文件恢复数据（须先退出 Zorvel）\n"
    "  export --ics 文件     把闹钟、便笺和记事导出为 iCalendar 文件\n"
    "  import --ics 文件     从 iCalendar 文件导入（须先退出 Zorvel，或在闹钟页面上导入）\n"
    "  --reset-password [--yes]\n"
    "                       清除修改和删除闹钟、记事所需的密码（须先退出 Zorvel）\n"
    "修改或删除已有闹钟时，若设置了密码，会在终端上询问，或用 --password-stdin\n"
    "从标准输入读取。Zorvel 正在运行时，命令通过 D-Bus 交给它执行。\n"
    "退出状态：0 成功，1 操作被拒绝或失败，2 用法错误。\n";

// The session bus when one can be reached without starting one: scripts run from cron or a
// console have none, and then work on the file.
std::optional<QDBusConnection> SessionBus() {
    const bool named = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!named && (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus"))))
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

std::optional<QDBusConnection> RunningProgram() {
    auto bus = SessionBus();
    if (!bus || !bus->interface() ||
        !bus->interface()->isServiceRegistered(QString::fromLatin1(CScriptBus::kService)))
        return std::nullopt;
    return bus;
}

// The password from the first line of standard input, or asked on the terminal without echo.
std::optional<std::u16string> ReadPassword(bool fromStdin) {
    std::string line;
    if (fromStdin) {
        if (!std::getline(std::cin, line))
            return std::nullopt;
    } else {
        if (isatty(STDIN_FILENO) != 1)
            return std::nullopt;
        std::fputs("密码：", stderr);
        std::fflush(stderr);
        termios old{};
        tcgetattr(STDIN_FILENO, &old);
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
        const bool read = static_cast<bool>(std::getline(std::cin, line));
        tcsetattr(STDIN_FILENO, TCSANOW, &old);
        std::fputs("\n", stderr);
        if (!read)
            return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.c_str()).toStdU16String();
}

// Works on the file itself when Zorvel is not running, under the lock a starting copy takes.
class LocalFile {
public:
    bool Open() {
        path_ = DefaultDatabasePath();
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
        switch (lock_.AcquireFile(path_ + ".lock", kCliLockText)) {
            case CInstanceLock::State::kFirst:
            case CInstanceLock::State::kFailed:  // a read-only folder: reading still works
                break;
            case CInstanceLock::State::kAlreadyRunning:
                PrintError(QStringLiteral("Zorvel 正在运行，但无法通过 D-Bus 会话总线联系它。"));
                return false;
        }
        store_ = std::make_unique<CStore>(path_, clock_);
        return true;
    }
    CClockManager& manager() { return store_->Manager(); }
    std::time_t now() const { return clock_.NowTimeT(); }
    // True when the password is off, or the one given (or asked for) is right.
    bool Authorised(bool passwordStdin) {
        SoftSetting s;
        store_->Database().ReadSoftSetting(&s);
        if (!s.isPwdReq || s.delPwd.empty())
            return true;
        auto typed = ReadPassword(passwordStdin);
        if (!typed) {
            PrintError(QStringLiteral("需要密码：请在终端上运行，或用 --password-stdin。"));
            return false;
        }
        if (!CheckPassword(*typed, s.delPwd)) {
            PrintError(QStringLiteral("密码不正确"));
            return false;
        }
        return true;
    }

private:
    std::string path_;
    SystemClock clock_;
    CInstanceLock lock_;
    std::unique_ptr<CStore> store_;
};

int Outcome(const ScriptOutcome& outcome, bool printId) {
    if (!outcome.ok) {
        PrintError(outcome.message);
        return kRefused;
    }
    if (printId && !outcome.id.empty())
        Print(outcome.id + "\n");
    else if (!outcome.message.empty())
        Print(outcome.message + "\n");
    return kOk;
}

// A call to the running program; the answer's error message is printed.
template <typename T>
std::optional<T> Call(QDBusConnection bus, const QString& method, const QVariantList& args,
                      QString* errorName = nullptr) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(CScriptBus::kService), QString::fromLatin1(CScriptBus::kPath),
        QString::fromLatin1(CScriptBus::kInterface), method);
    call.setArguments(args);
    const QDBusMessage answer = bus.call(call, QDBus::Block, 30000);
    if (answer.type() == QDBusMessage::ErrorMessage) {
        if (errorName)
            *errorName = answer.errorName();
        if (!errorName || !answer.errorName().endsWith(QStringLiteral("WrongPassword")))
            PrintError(answer.errorMessage());
        return std::nullopt;
    }
    if constexpr (std::is_same_v<T, bool>) {
        return true;
    } else {
        if (answer.arguments().isEmpty())
            return T();
        return qvariant_cast<T>(answer.arguments().first());
    }
}

// A change to an existing alarm over the bus: tried without a password first, then with the
// one given or asked for when the program wants it.
std::optional<QString> CallWithPassword(QDBusConnection bus, const QString& method,
                                        const QString& id, bool passwordStdin) {
    QString error;
    if (auto answer = Call<QString>(bus, method, {id, QString()}, &error))
        return answer;
    if (!error.endsWith(QStringLiteral("WrongPassword")))
        return std::nullopt;
    auto typed = ReadPassword(passwordStdin);
    if (!typed) {
        PrintError(QStringLiteral("需要密码：请在终端上运行，或用 --password-stdin。"));
        return std::nullopt;
    }
    error.clear();
    auto answer = Call<QString>(bus, method, {id, QString::fromStdU16String(*typed)}, &error);
    if (!answer && error.endsWith(QStringLiteral("WrongPassword")))
        PrintError(QStringLiteral("密码不正确"));
    return answer;
}

// The alarm list the running program answered (JSON), as the terminal shows it.
std::string AlarmsTextFromJson(const QString& json) {
    std::vector<ScriptAlarmRow> rows;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.toUtf8()).array()) {
        const QJsonObject o = v.toObject();
        ScriptAlarmRow r;
        r.id = o.value(QStringLiteral("id")).toString().toStdString();
        r.next = o.value(QStringLiteral("next")).toString().toStdString();
        r.rule = o.value(QStringLiteral("rule")).toString().toStdString();
        r.text = o.value(QStringLiteral("text")).toString().toStdString();
        r.skipDate = o.value(QStringLiteral("skipDate")).toString().toStdString();
        r.pauseUntil = o.value(QStringLiteral("pauseUntil")).toString().toStdString();
        rows.push_back(std::move(r));
    }
    return AlarmsText(rows);
}

// Adds through the running program when there is one, on the file otherwise; prints the new
// item's id.
int AddItem(const QString& method, const QVariantList& args,
            const std::function<ScriptOutcome(LocalFile&)>& onFile) {
    if (auto bus = RunningProgram()) {
        auto id = Call<QString>(*bus, method, args);
        if (!id)
            return kRefused;
        Print(id->toStdString() + "\n");
        return kOk;
    }
    LocalFile file;
    if (!file.Open())
        return kRefused;
    return Outcome(onFile(file), true);
}

struct Args {
    QStringList words;  // the command and its positional arguments
    bool json = false;
    bool passwordStdin = false;
    QString at, text, repeat, ring;
    bool hasAt = false, hasText = false;
};

int RunAlarm(const Args& a) {
    const QString verb = a.words.value(1);
    if (verb == QLatin1String("add")) {
        if (!a.hasAt || !a.hasText || a.words.size() != 2) {
            PrintError(
                QStringLiteral("用法：zorvel alarm add --at \"2026-12-10 07:30\" --text 文字 "
                               "[--repeat 规则] [--ring 铃声]"));
            return kUsage;
        }
        ScriptAlarmRequest request;
        request.at = a.at.toStdString();
        request.text = a.text.toStdString();
        if (!a.repeat.isEmpty())
            request.repeat = a.repeat.toStdString();
        if (!a.ring.isEmpty())
            request.ring = a.ring.toStdString();
        // Checked here too, so a mistake reads the same whether Zorvel runs or not.
        std::string why;
        auto alarm = CheckScriptAlarm(request, SystemClock().NowTimeT(), &why);
        if (!alarm) {
            PrintError(why);
            return kRefused;
        }
        // The program resolves a song file from its own folder: send the absolute path.
        const QString ring = alarm->ringType == 7 ? QString::fromStdU16String(alarm->ring)
                                                  : QString::fromStdString(request.ring);
        return AddItem(QStringLiteral("AddAlarm"),
                       {a.at, a.text, QString::fromStdString(request.repeat), ring},
                       [&](LocalFile& file) { return AddScriptAlarm(file.manager(), *alarm); });
    }
    // Asked once the command is known to need it: adding asks on its own.
    const auto bus = RunningProgram();
    if (verb == QLatin1String("list")) {
        if (a.words.size() != 2)
            return kUsage;
        if (bus) {
            auto json = Call<QString>(*bus, QStringLiteral("ListAlarms"), {});
            if (!json)
                return kRefused;
            Print(a.json ? json->toStdString() : AlarmsTextFromJson(*json));
            return kOk;
        }
        LocalFile file;
        if (!file.Open())
            return kRefused;
        const auto rows = ScriptAlarmRows(file.manager(), file.now());
        Print(a.json ? AlarmsJson(rows) : AlarmsText(rows));
        return kOk;
    }
    if (verb == QLatin1String("delete") || verb == QLatin1String("skip")) {
        if (a.words.size() != 3) {
            PrintError(QStringLiteral("用法：zorvel alarm %1 编号").arg(verb));
            return kUsage;
        }
        const QString id = a.words.at(2);
        const bool remove = verb == QLatin1String("delete");
        if (bus) {
            auto answer = CallWithPassword(
                *bus, remove ? QStringLiteral("DeleteAlarm") : QStringLiteral("SkipNext"), id,
                a.passwordStdin);
            if (!answer)
                return kRefused;
            if (!answer->isEmpty())
                Print(answer->toStdString() + "\n");
            return kOk;
        }
        LocalFile file;
        if (!file.Open() || !file.Authorised(a.passwordStdin))
            return kRefused;
        return Outcome(remove ? DeleteScriptAlarm(file.manager(), id.toStdString())
                              : SkipScriptAlarm(file.manager(), id.toStdString(), file.now()),
                       false);
    }
    PrintError(QStringLiteral("zorvel alarm 之后应是 add、list、delete 或 skip"));
    return kUsage;
}

int RunNoteOrMemo(const Args& a) {
    const bool note = a.words.value(0) == QLatin1String("note");
    const QString verb = a.words.value(1);
    if (note && verb == QLatin1String("add")) {
        if (a.words.size() != 3) {
            PrintError(QStringLiteral("用法：zorvel note add 文字"));
            return kUsage;
        }
        return AddItem(QStringLiteral("AddNote"), {a.words.at(2)}, [&](LocalFile& file) {
            return AddScriptNote(file.manager(), a.words.at(2).toStdString(), file.now());
        });
    }
    if (verb != QLatin1String("list") || a.words.size() != 2) {
        PrintError(note ? QStringLiteral("zorvel note 之后应是 add 或 list")
                        : QStringLiteral("zorvel memo 之后应是 list"));
        return kUsage;
    }
    // Reading needs no lock: SQLite keeps a reader and the running program apart.
    SystemClock clock;
    CStore store(DefaultDatabasePath(), clock);
    if (note) {
        std::vector<NoteRecord> notes;
        store.Manager().GetAllNotes(notes);
        Print(a.json ? NotesJson(notes) : NotesText(notes));
    } else {
        std::vector<EventRecord> memos;
        store.Manager().GetAllEvents(memos);
        Print(a.json ? MemosJson(memos) : MemosText(memos));
    }
    return kOk;
}

int RunShow(const Args& a) {
    if (a.words.size() > 2)
        return kUsage;
    auto bus = RunningProgram();
    if (!bus) {
        PrintError(QStringLiteral("Zorvel 没有运行（或无法通过 D-Bus 会话总线联系它）。"));
        return kRefused;
    }
    const QString page = a.words.size() == 2 ? a.words.at(1) : QStringLiteral("alarms");
    return Call<bool>(*bus, QStringLiteral("ShowPage"), {page}) ? kOk : kRefused;
}

int RunBackupOrRestore(const Args& a) {
    if (a.words.size() != 2) {
        PrintError(QStringLiteral("用法：zorvel %1 文件").arg(a.words.value(0)));
        return kUsage;
    }
    const std::string file = a.words.at(1).toStdString();
    try {
        if (a.words.at(0) == QLatin1String("backup")) {
            // The online backup is consistent while the program writes: no lock needed.
            BackupDatabase(DefaultDatabasePath(), file);
            Print("已备份到 " + file + "\n");
            return kOk;
        }
        if (RunningProgram()) {
            PrintError(
                QStringLiteral("Zorvel 正在运行：请在“软件设置”里恢复数据，或先退出 Zorvel。"));
            return kRefused;
        }
        LocalFile lock;
        if (!lock.Open())
            return kRefused;
        RestoreDatabase(DefaultDatabasePath(), file);
        // Brings a backup from an older release up to this one.
        lock.manager().Database().Open();
        Print("已从 " + file + " 恢复数据；原来的数据保存在 " + DefaultDatabasePath() +
              ".before-restore\n");
        return kOk;
    } catch (const std::exception& e) {
        PrintError(std::string(e.what()));
        return kRefused;
    }
}

// Holiday years the user keeps beside the database count here as in the program.
void LoadUserHolidays() {
    for (const std::string& problem : LoadHolidayFolder(HolidayFolderFor(DefaultDatabasePath())))
        PrintError(problem);
}

int RunToday(const Args& a) {
    if (a.words.size() != 1)
        return kUsage;
    LoadUserHolidays();
    const std::time_t now = SystemClock().NowTimeT();
    std::tm t{};
    localtime_r(&now, &t);
    const int y = t.tm_year + 1900, m = t.tm_mon + 1, d = t.tm_mday;
    const TodayTexts texts = ComputeTodayTexts(y, m, d, t.tm_hour, t.tm_min, t.tm_sec);
    const DayStatus status = CurrentHolidaySchedule()->StatusOf(y, m, d);
    const std::string line = DayStatusText(status);
    if (!a.json) {
        Print(texts.greeting + "\n" + texts.lunarDate + "\n" + texts.solarTerm + "\n" +
              texts.springFestival + "\n" + texts.pillars + "\n" + line + "\n");
        return kOk;
    }
    char date[40];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
    Print(json::Object()
              .Text("date", date)
              .Text("greeting", texts.greeting)
              .Text("lunarDate", texts.lunarDate)
              .Text("solarTerm", texts.solarTerm)
              .Text("springFestival", texts.springFestival)
              .Text("pillars", texts.pillars)
              .Text("status", line)
              .Text("workday", status.workday ? "班" : "休")
              .TextOrNull("holiday", status.holiday)
              .Bool("official", status.official)
              .Bool("yearKnown", status.yearKnown)
              .Str() +
          "\n");
    return kOk;
}

int RunExportOrImport(const Args& a, const QString& ics) {
    if (a.words.size() != 1 || ics.isEmpty()) {
        PrintError(QStringLiteral("用法：zorvel %1 --ics 文件").arg(a.words.value(0)));
        return kUsage;
    }
    const std::string file = ics.toStdString();
    if (a.words.at(0) == QLatin1String("export")) {
        LoadUserHolidays();
        SystemClock clock;
        CStore store(DefaultDatabasePath(), clock);
        const std::string text =
            ExportIcal(store.Manager(), *CurrentHolidaySchedule(), clock.NowTimeT());
        const std::string part = file + ".part";
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        std::error_code ec;
        if (!out || (std::filesystem::rename(part, file, ec), ec)) {
            std::filesystem::remove(part, ec);
            PrintError("无法写入 " + file);
            return kRefused;
        }
        Print("已导出到 " + file + "\n");
        return kOk;
    }
    if (RunningProgram()) {
        PrintError(QStringLiteral("Zorvel 正在运行：请在闹钟页面上导入，或先退出 Zorvel。"));
        return kRefused;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        PrintError("无法读取 " + file);
        return kRefused;
    }
    constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;
    std::string text;
    text.resize(kMaxBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxBytes) {
        PrintError(file + " 太大（超过 16 MB）");
        return kRefused;
    }
    LocalFile local;
    if (!local.Open())
        return kRefused;
    IcalImport import;
    std::string error;
    if (!ReadIcal(text, local.manager(), local.now(), &import, &error)) {
        PrintError(file + "：" + error);
        return kRefused;
    }
    for (const std::string& refused : import.refused)
        std::fprintf(stderr, "无法导入 %s\n", refused.c_str());
    StoreIcalImport(local.manager(), import);
    Print("导入了 " + std::to_string(import.alarms.size()) + " 个闹钟、" +
          std::to_string(import.notes.size()) + " 条便笺、" + std::to_string(import.memos.size()) +
          " 条记事" +
          (import.alreadyStored ? "；" + std::to_string(import.alreadyStored) + " 项已存在，跳过"
                                : "") +
          "\n");
    return kOk;
}

}  // namespace

bool IsCommandLineCommand(int argc, char** argv) {
    if (argc > 1)
        for (const char* command : kCommands)
            if (std::strcmp(argv[1], command) == 0)
                return true;
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
    parser.setApplicationDescription(QString::fromUtf8(kOverview));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示这段说明。"));
    const QCommandLineOption resetPassword(
        QStringLiteral("reset-password"),
        QStringLiteral("清除修改和删除闹钟、记事所需的密码（须先退出 Zorvel）。"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("不在终端上询问，直接执行（用于脚本）。"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("以 JSON 输出列表。"));
    const QCommandLineOption passwordStdin(QStringLiteral("password-stdin"),
                                           QStringLiteral("从标准输入的第一行读取密码。"));
    const QCommandLineOption at(QStringLiteral("at"), QStringLiteral("闹钟的时间。"),
                                QStringLiteral("时间"));
    const QCommandLineOption text(QStringLiteral("text"), QStringLiteral("闹钟的内容。"),
                                  QStringLiteral("文字"));
    const QCommandLineOption repeat(QStringLiteral("repeat"), QStringLiteral("重复方式。"),
                                    QStringLiteral("规则"));
    const QCommandLineOption ring(QStringLiteral("ring"), QStringLiteral("铃声。"),
                                  QStringLiteral("铃声"));
    const QCommandLineOption ics(QStringLiteral("ics"), QStringLiteral("iCalendar 文件。"),
                                 QStringLiteral("文件"));
    parser.addOptions({help, resetPassword, yes, json, passwordStdin, at, text, repeat, ring, ics});
    parser.addPositionalArgument(QStringLiteral("命令"), QStringLiteral("见上。"),
                                 QStringLiteral("[命令]"));

    const auto usageError = [&](const QString& why) {
        PrintError(why);
        std::fputs("（zorvel --help 显示用法）\n", stderr);
        return kUsage;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return kOk;
    }
    Args a;
    a.words = parser.positionalArguments();
    a.json = parser.isSet(json);
    a.passwordStdin = parser.isSet(passwordStdin);
    a.hasAt = parser.isSet(at);
    a.hasText = parser.isSet(text);
    a.at = parser.value(at);
    a.text = parser.value(text);
    a.repeat = parser.value(repeat);
    a.ring = parser.value(ring);

    if (!a.words.isEmpty()) {
        if (parser.isSet(resetPassword) || parser.isSet(yes))
            return usageError(QStringLiteral("--reset-password 不能与其他命令一起使用。"));
        const bool alarmAdd =
            a.words.value(0) == QLatin1String("alarm") && a.words.value(1) == QLatin1String("add");
        if (!alarmAdd && (a.hasAt || a.hasText || parser.isSet(repeat) || parser.isSet(ring)))
            return usageError(QStringLiteral("--at、--text、--repeat、--ring 只用于 alarm add。"));
        const QString command = a.words.at(0);
        try {
            if (command == QLatin1String("alarm"))
                return RunAlarm(a);
            if (command == QLatin1String("note") || command == QLatin1String("memo"))
                return RunNoteOrMemo(a);
            if (command == QLatin1String("show"))
                return RunShow(a);
            if (command == QLatin1String("backup") || command == QLatin1String("restore"))
                return RunBackupOrRestore(a);
            if (command == QLatin1String("today"))
                return RunToday(a);
            if (command == QLatin1String("export") || command == QLatin1String("import"))
                return RunExportOrImport(a, parser.value(ics));
        } catch (const CppSQLite3Exception& e) {
            PrintError(std::string(e.errorMessage()));
            return kRefused;
        }
        return usageError(QStringLiteral("未知的命令：") + command);
    }
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
