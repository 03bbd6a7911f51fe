#include "tools/browser_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include "widgets/message_box.h"

namespace {

const QString kProgram = QStringLiteral("zorvel-browser");
// How long a browser whose input has ended may take to close its pages.
constexpr int kEndingMs = 10000;

QString FindProgram(QString* why) {
    QStringList reasons;
    for (const QString& path : CBrowserWindows::ProgramCandidates()) {
        const QFileInfo info(path);
        if (info.isFile() && info.isExecutable())
            return path;
        reasons << (info.exists() ? QStringLiteral("%1 不能运行").arg(path)
                                  : QStringLiteral("找不到 %1").arg(path));
    }
    *why = reasons.join(QLatin1Char('\n'));
    return {};
}

}  // namespace

CBrowserWindows::CBrowserWindows(QWidget* owner, int answerWithinMs) : owner_(owner) {
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(answerWithinMs);
    connect(&answerTimer_, &QTimer::timeout, this, &CBrowserWindows::OnNoAnswer);
}

CBrowserWindows::~CBrowserWindows() {
    if (process_)
        Let(process_);
}

QStringList CBrowserWindows::ProgramCandidates() {
    // An explicit choice (tests, a relocated install) is the only place looked in. The older
    // variable named the browser's plugin file, which lay where the program lies now.
    for (const char* variable : {"ZORVEL_BROWSER", "ZORVEL_BROWSER_PLUGIN"}) {
        const QString chosen = qEnvironmentVariable(variable);
        if (chosen.isEmpty())
            continue;
        const QFileInfo info(chosen);
        if (info.isDir())
            return {QDir(chosen).filePath(kProgram)};
        if (qstrcmp(variable, "ZORVEL_BROWSER") != 0 && info.fileName() != kProgram)
            return {info.dir().filePath(kProgram)};
        return {chosen};
    }
    return {QDir(QCoreApplication::applicationDirPath()).filePath(kProgram),
            QDir(QStringLiteral(ZORVEL_BROWSER_DIR)).filePath(kProgram)};
}

qint64 CBrowserWindows::ProcessId() const {
    return process_ ? process_->processId() : 0;
}

bool CBrowserWindows::Open(const QUrl& url) {
    const std::uint64_t request = ++lastRequest_;
    const std::string line = zorvel::browser::OpenLine(request, url.toEncoded().toStdString());
    if (line.empty()) {
        Warn(QStringLiteral("网址无效：%1").arg(url.toString()));
        return false;
    }
    if (!process_ && !Start())
        return false;
    unanswered_[request] = line;
    process_->write(line.data(), qint64(line.size()));
    if (!answerTimer_.isActive())
        answerTimer_.start();
    return true;
}

bool CBrowserWindows::Start() {
    QString why;
    const QString program = FindProgram(&why);
    if (program.isEmpty()) {
        Warn(why);
        return false;
    }
    process_ = new QProcess(this);
    // What the browser and its pages say goes where ours goes.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::readyReadStandardOutput, this, &CBrowserWindows::OnOutput);
    connect(process_, &QProcess::finished, this, &CBrowserWindows::OnFinished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            OnStartFailed();
    });
    reader_ = {};
    problem_.clear();
    hung_ = false;
    // On the clock's own kind of screen (X11 through XWayland on a Wayland session, as the
    // clock chooses), where the browser windows have always been.
    QStringList arguments;
    if (!QGuiApplication::platformName().isEmpty())
        arguments << QStringLiteral("-platform") << QGuiApplication::platformName();
    process_->start(program, arguments);
    // Gone already when the program could not be started at all (warned about).
    return process_ != nullptr;
}

void CBrowserWindows::OnOutput() {
    if (!process_)
        return;
    const QByteArray bytes = process_->readAllStandardOutput();
    for (const std::string& line : reader_.Feed(std::string_view(bytes.data(), bytes.size()))) {
        const auto message = zorvel::browser::ParseBrowserMessage(line);
        if (!message)
            continue;
        switch (message->kind) {
            case zorvel::browser::BrowserMessage::Kind::kOpened:
                unanswered_.erase(message->request);
                sentAgain_ = false;
                if (unanswered_.empty())
                    answerTimer_.stop();
                else
                    answerTimer_.start();
                break;
            case zorvel::browser::BrowserMessage::Kind::kWindows:
                SetWindows(QList<std::uint64_t>(message->windows.begin(), message->windows.end()));
                break;
            case zorvel::browser::BrowserMessage::Kind::kProblem:
                if (problem_.isEmpty()) {
                    problem_ = QString::fromStdString(message->text);
                    Warn(problem_);
                }
                break;
        }
    }
}

void CBrowserWindows::OnFinished(int exitCode, QProcess::ExitStatus status) {
    OnOutput();
    QProcess* ended = process_;
    process_ = nullptr;
    if (ended) {
        disconnect(ended, nullptr, this, nullptr);
        ended->deleteLater();
    }
    SetWindows({});
    answerTimer_.stop();
    if (hung_) {
        unanswered_.clear();
        Warn(QStringLiteral("浏览器程序没有响应，已将它关闭。请再试一次。"));
        return;
    }
    if (unanswered_.empty())
        return;
    // A browser ending of its own accord as its last window closed may have missed what was
    // sent meanwhile: a new one gets it, once. A browser that failed gets it no more.
    if (problem_.isEmpty() && status == QProcess::NormalExit && exitCode == 0 && !sentAgain_) {
        sentAgain_ = true;
        const auto requests = unanswered_;
        if (!Start()) {
            unanswered_.clear();
            return;
        }
        for (const auto& [request, line] : requests)
            process_->write(line.data(), qint64(line.size()));
        answerTimer_.start();
        return;
    }
    unanswered_.clear();
    if (problem_.isEmpty())
        Warn(status == QProcess::CrashExit
                 ? QStringLiteral("浏览器程序意外结束")
                 : QStringLiteral("浏览器程序意外结束（退出码 %1）").arg(exitCode));
}

void CBrowserWindows::OnStartFailed() {
    QProcess* failed = process_;
    process_ = nullptr;
    unanswered_.clear();
    answerTimer_.stop();
    if (!failed)
        return;
    disconnect(failed, nullptr, this, nullptr);
    failed->deleteLater();
    Warn(QStringLiteral("无法启动 %1：%2").arg(failed->program(), failed->errorString()));
}

void CBrowserWindows::OnNoAnswer() {
    // A browser that opens no window for so long is stuck, and would take every later page
    // with it; its windows are stuck as well. Ended, it makes room for a new one.
    if (!process_ || unanswered_.empty())
        return;
    hung_ = true;
    process_->kill();
}

void CBrowserWindows::Let(QProcess* process) {
    // Not killed: at the end of its input the browser closes its pages and ends by itself.
    // It is told so by the pipe's end, which also comes when this program ends in any way.
    disconnect(process, nullptr, this, nullptr);
    process->setParent(nullptr);
    if (process == process_)
        process_ = nullptr;
    process->closeWriteChannel();
    if (process->state() == QProcess::NotRunning) {
        delete process;
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(kEndingMs, process, &QProcess::kill);
}

void CBrowserWindows::SetWindows(const QList<std::uint64_t>& windows) {
    if (windows == windows_)
        return;
    windows_ = windows;
    emit WindowsChanged();
}

void CBrowserWindows::Warn(const QString& why) {
    zorvel::ShowWarning(owner_, QStringLiteral("无法打开浏览器：\n%1").arg(why));
}
