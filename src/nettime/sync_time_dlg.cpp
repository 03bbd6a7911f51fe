#include "nettime/sync_time_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/clock_setter.h"

using namespace zorvel::nettime;

QStringList CSyncTimeDlg::DefaultServers() {
    // Three of the US national time laboratory and one of Italy's, all answering on port 37.
    QStringList servers{QStringLiteral("time-a-g.nist.gov"), QStringLiteral("time-b-g.nist.gov"),
                        QStringLiteral("time-c-g.nist.gov"), QStringLiteral("time.inrim.it")};
    servers.sort();
    return servers;
}

CSyncTimeDlg::CSyncTimeDlg(IClockSetter* clock, SyncTimeOptions options)
    : QDialog(nullptr, Qt::Window), clock_(clock), options_(options) {
    // A dialog to screen readers, an ordinary window to the window manager: a dialog window
    // would be transient and left out of the taskbar.
    setObjectName("syncTimeDlg");
    setWindowTitle(QStringLiteral("网络校时"));
    setWindowIcon(QApplication::windowIcon());
    client_ = new CTimeProtocolClient(options_.timeout, this);

    auto* serverLabel = new QLabel(QStringLiteral("请选择校时一个服务器："));
    servers_ = new QComboBox;
    servers_->setObjectName("serverList");
    servers_->setAccessibleName(QStringLiteral("服务器"));
    servers_->setEditable(true);
    servers_->setInsertPolicy(QComboBox::InsertAlphabetically);
    servers_->addItems(DefaultServers());
    servers_->setCurrentIndex(0);
    serverLabel->setBuddy(servers_);
    syncButton_ = new QPushButton(QStringLiteral("同步时间"));
    syncButton_->setObjectName("syncButton");
    syncButton_->setDefault(true);
    auto* statusLabel = new QLabel(QStringLiteral("状态显示："));
    statusEdit_ = new QPlainTextEdit;
    statusEdit_->setObjectName("statusEdit");
    statusEdit_->setAccessibleName(QStringLiteral("状态显示"));
    statusEdit_->setReadOnly(true);
    statusEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    statusLabel->setBuddy(statusEdit_);
    auto* exitButton = new QPushButton(QStringLiteral("退出"));
    exitButton->setObjectName("exitButton");

    auto* serverRow = new QHBoxLayout;
    serverRow->setSpacing(8);
    serverRow->addWidget(servers_, 1);
    serverRow->addWidget(syncButton_);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(serverLabel);
    layout->addLayout(serverRow);
    layout->addSpacing(4);
    layout->addWidget(statusLabel);
    layout->addWidget(statusEdit_, 1);
    layout->addLayout(buttonRow);
    resize(420, 300);

    tickTimer_.setInterval(1000);
    connect(&tickTimer_, &QTimer::timeout, this, [this] { ++ticks_; });
    connect(syncButton_, &QPushButton::clicked, this, &CSyncTimeDlg::OnSync);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(client_, &CTimeProtocolClient::ReplyArrived, this, [this] {
        // Counting from here, not from the click: the exchange itself may take seconds.
        ticks_ = 0;
        tickTimer_.start();
    });
    connect(client_, &CTimeProtocolClient::Finished, this, &CSyncTimeDlg::OnReply);
}

CSyncTimeDlg::~CSyncTimeDlg() = default;

bool CSyncTimeDlg::IsRunning() const {
    return client_->IsRunning() || setting_;
}

void CSyncTimeDlg::AppendLine(const QString& line) {
    status_ += line + QLatin1Char('\n');
    statusEdit_->setPlainText(status_);
    statusEdit_->moveCursor(QTextCursor::End);
}

void CSyncTimeDlg::OnSync() {
    if (IsRunning())
        return;
    status_.clear();
    statusEdit_->clear();
    tickTimer_.stop();
    ticks_ = 0;
    server_ = servers_->currentText().trimmed();
    syncButton_->setEnabled(false);
    AppendLine(QStringLiteral("Connect server: %1...").arg(server_));
    client_->Start(server_, options_.port);
}

namespace {
// "10" or "0.4": the time-out as the reason line gives it.
QString Seconds(std::chrono::milliseconds timeout) {
    return QString::number(double(timeout.count()) / 1000.0);
}

// The system's own words, in brackets, when it gave any.
QString InBrackets(const std::string& message) {
    const QString text = QString::fromStdString(message).trimmed();
    return text.isEmpty() ? QString() : QStringLiteral("（%1）").arg(text);
}
}  // namespace

void CSyncTimeDlg::OnReply(const QByteArray& reply, CTimeProtocolClient::Ending ending) {
    using Ending = CTimeProtocolClient::Ending;
    const std::uint32_t ticks = ticks_;
    tickTimer_.stop();
    AppendLine(QStringLiteral("Connect shut down."));
    switch (ending) {
        case Ending::kClosed:
            break;
        case Ending::kHostNotFound:
            return EndRun(QStringLiteral("原因：无法解析服务器名称“%1”。").arg(server_));
        case Ending::kConnectFailed:
            return EndRun(QStringLiteral("原因：无法连接服务器“%1”的 %2 端口。")
                              .arg(server_)
                              .arg(options_.port));
        case Ending::kTimedOut:
            return EndRun(
                QStringLiteral("原因：服务器在 %1 秒内没有回答。").arg(Seconds(options_.timeout)));
        case Ending::kTooLong:
            return EndRun(QStringLiteral("原因：服务器的回答超过 4 个字节，它不是时间服务器。"));
        case Ending::kBroken:
            return EndRun(QStringLiteral("原因：连接在收到回答之前中断了。"));
    }
    const auto value = DecodeReply(std::string_view(reply.data(), std::size_t(reply.size())));
    if (!value) {
        return EndRun(reply.isEmpty()
                          ? QStringLiteral("原因：服务器没有发来时间就关闭了连接。")
                          : QStringLiteral("原因：服务器的回答只有 %1 个字节，应为 4 个。")
                                .arg(reply.size()));
    }
    // Zero is what a server without a clock sends; it would read as 2036.
    if (*value == 0)
        return EndRun(QStringLiteral("原因：服务器发来的时间是 0，不是真实的时间。"));
    const std::int64_t t = ToUnixTime(*value, ticks);
    // No right answer can be earlier, and a wrong year would make every one-off alarm look long
    // past.
    if (t < options_.earliest) {
        const QString when =
            QString::fromStdString(LocalTimeLine(static_cast<std::time_t>(t))).trimmed();
        return EndRun(
            QStringLiteral("原因：服务器给出的时间（%1）早于本程序的编译日期，不可信。").arg(when));
    }
    AppendLine(QStringLiteral("Receive value : %1").arg(*value));
    AppendLine(QString::fromStdString(LocalTimeLine(static_cast<std::time_t>(t))));
    if (!clock_) {
        AppendLine(QStringLiteral("Set Time Failure."));
        return EndRun(QStringLiteral("原因：本程序无法设置系统时间。"));
    }
    setting_ = true;
    const std::uint64_t run = run_;
    clock_->SetTime(t * 1000000, [this, run, guard = QPointer<CSyncTimeDlg>(this)](
                                     const ClockSetResult& result) {
        if (guard && run == run_)
            OnClockSet(result);
    });
}

void CSyncTimeDlg::OnClockSet(const ClockSetResult& result) {
    if (result.ok) {
        AppendLine(QStringLiteral("Set Time OK."));
        return EndRun();
    }
    AppendLine(QStringLiteral("Set Time Failure."));
    EndRun((result.denied ? QStringLiteral("原因：没有设置系统时间的权限%1。")
                          : QStringLiteral("原因：系统没有接受新的时间%1。"))
               .arg(InBrackets(result.message)));
}

void CSyncTimeDlg::EndRun(const QString& reason) {
    if (!reason.isEmpty())
        AppendLine(reason);
    setting_ = false;
    syncButton_->setEnabled(true);
}

void CSyncTimeDlg::hideEvent(QHideEvent* event) {
    // Minimising is no reason to stop.
    if (event->spontaneous()) {
        QDialog::hideEvent(event);
        return;
    }
    // A hidden window never sets the clock later.
    if (client_->IsRunning())
        client_->Cancel();
    tickTimer_.stop();
    ++run_;
    EndRun();
    QDialog::hideEvent(event);
}
