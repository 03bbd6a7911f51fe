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

#include "nettime/time_protocol_client.h"
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
    : QWidget(nullptr, Qt::Window), clock_(clock), options_(options) {
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
    connect(exitButton, &QPushButton::clicked, this, &QWidget::hide);
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
    const QString server = servers_->currentText().trimmed();
    syncButton_->setEnabled(false);
    AppendLine(QStringLiteral("Connect server: %1...").arg(server));
    client_->Start(server, options_.port);
}

void CSyncTimeDlg::OnReply(const QByteArray& reply, bool closedByServer) {
    const std::uint32_t ticks = ticks_;
    tickTimer_.stop();
    AppendLine(QStringLiteral("Connect shut down."));
    const auto value =
        closedByServer ? DecodeReply(std::string_view(reply.data(), reply.size())) : std::nullopt;
    const std::int64_t t = value ? ToUnixTime(*value, ticks) : 0;
    // Nothing usable (including a time no right answer can have): the run ends here.
    if (!value || *value == 0 || t < options_.earliest) {
        EndRun();
        return;
    }
    AppendLine(QStringLiteral("Receive value : %1").arg(*value));
    AppendLine(QString::fromStdString(LocalTimeLine(static_cast<std::time_t>(t))));
    if (!clock_) {
        AppendLine(QStringLiteral("Set Time Failure."));
        EndRun();
        return;
    }
    setting_ = true;
    const std::uint64_t run = run_;
    clock_->SetTime(t * 1000000, [this, run, guard = QPointer<CSyncTimeDlg>(this)](bool ok) {
        if (!guard || run != run_)
            return;
        AppendLine(ok ? QStringLiteral("Set Time OK.") : QStringLiteral("Set Time Failure."));
        EndRun();
    });
}

void CSyncTimeDlg::EndRun() {
    setting_ = false;
    syncButton_->setEnabled(true);
}

void CSyncTimeDlg::hideEvent(QHideEvent* event) {
    // Minimising is no reason to stop.
    if (event->spontaneous()) {
        QWidget::hideEvent(event);
        return;
    }
    // A hidden window never sets the clock later.
    if (client_->IsRunning())
        client_->Cancel();
    tickTimer_.stop();
    ++run_;
    EndRun();
    QWidget::hideEvent(event);
}
