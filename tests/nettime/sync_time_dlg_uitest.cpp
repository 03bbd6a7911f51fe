#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

#include "nettime/core/time_protocol.h"
#include "nettime/sync_time_dlg.h"
#include "nettime/time_protocol_client.h"
#include "support/fakes.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;
using namespace std::chrono_literals;

// A server on 127.0.0.1 that serves each connection as the test says.
class LoopbackServer {
public:
    explicit LoopbackServer(std::function<void(QTcpSocket*)> serve) {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server_, &QTcpServer::newConnection, [this, serve] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
    }
    quint16 port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

QByteArray Bytes(std::uint32_t value) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(value >> (24 - 8 * i));
    return b;
}

// 2030-01-01 00:00:00 UTC, after any build of this program.
constexpr std::int64_t kLater = 1893456000;
constexpr std::uint32_t kLaterValue = std::uint32_t(kLater + nettime::kSecondsFrom1900To1970);

std::function<void(QTcpSocket*)> Reply(QByteArray bytes) {
    return [bytes](QTcpSocket* s) {
        s->write(bytes);
        s->disconnectFromHost();
    };
}

TEST(TimeProtocolClientTest, ReadsTheReplyUntilTheServerCloses) {
    LoopbackServer server(Reply(QByteArray::fromHex("D21D2743")));
    CTimeProtocolClient client(10s);
    QByteArray reply;
    auto ending = CTimeProtocolClient::Ending::kBroken;
    int finished = 0;
    QObject::connect(&client, &CTimeProtocolClient::Finished,
                     [&](const QByteArray& r, CTimeProtocolClient::Ending e) {
                         reply = r;
                         ending = e;
                         ++finished;
                     });
    client.Start("127.0.0.1", server.port());
    EXPECT_TRUE(client.IsRunning());
    ASSERT_TRUE(test::WaitUntil([&] { return finished > 0; }));
    EXPECT_EQ(ending, CTimeProtocolClient::Ending::kClosed);
    EXPECT_EQ(nettime::DecodeReply(std::string_view(reply.data(), reply.size())), 3525125955u);
    EXPECT_FALSE(client.IsRunning());
    test::ProcessEvents();
    EXPECT_EQ(finished, 1);
}

// The dialog on the test server's port (the real one is 37).
class SyncTimeDlgOnPort : public ::testing::Test {
protected:
    void Start(quint16 port, std::chrono::milliseconds timeout = 10s,
               const QString& server = "127.0.0.1") {
        SyncTimeOptions options;
        options.port = port;
        options.timeout = timeout;
        dlg = std::make_unique<CSyncTimeDlg>(&clockSetter, options);
        dlg->show();
        // Typed as a user would.
        dlg->findChild<QComboBox*>("serverList")->setEditText(server);
        SyncButton()->click();
    }
    QPushButton* SyncButton() { return dlg->findChild<QPushButton*>("syncButton"); }
    bool WaitForEnd() {
        return test::WaitUntil([&] { return !dlg->IsRunning(); });
    }
    static QString NoTime() { return "Connect server: 127.0.0.1...\nConnect shut down.\n"; }
    // The two lines and the reason.
    static QString NoTime(const QString& reason) { return NoTime() + reason + "\n"; }
    static QString FullRun(std::uint32_t value, std::int64_t t, const char* last) {
        return NoTime() + QString("Receive value : %1\n").arg(value) +
               QString::fromStdString(nettime::LocalTimeLine(t)) + "\n" + last + "\n";
    }

    test::CFakeClockSetter clockSetter;
    std::unique_ptr<CSyncTimeDlg> dlg;
};

TEST_F(SyncTimeDlgOnPort, AGoodReplySetsTheClockAndShowsFiveLines) {
    // Sorted, and the first one chosen.
    EXPECT_EQ(CSyncTimeDlg::DefaultServers(), QStringList({"time-a-g.nist.gov", "time-b-g.nist.gov",
                                                           "time-c-g.nist.gov", "time.inrim.it"}));
    EXPECT_EQ(SyncTimeOptions{}.port, 37);
    EXPECT_EQ(SyncTimeOptions{}.timeout, 10s);
    LoopbackServer server(Reply(Bytes(kLaterValue)));
    Start(server.port());
    EXPECT_FALSE(SyncButton()->isEnabled());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dlg->StatusText(), FullRun(kLaterValue, kLater, "Set Time OK."));
    ASSERT_EQ(clockSetter.requests.size(), 1u);
    EXPECT_EQ(clockSetter.requests[0], kLater * 1000000);
    EXPECT_TRUE(SyncButton()->isEnabled());

    // Again, refused by the system this time: said so, with the system's own words, and the
    // status starts afresh.
    clockSetter.answer = {false, true, "Interactive authentication required."};
    SyncButton()->click();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dlg->StatusText(),
              FullRun(kLaterValue, kLater, "Set Time Failure.") +
                  "原因：没有设置系统时间的权限（Interactive authentication required.）。\n");
    clockSetter.answer = {false, false, ""};
    SyncButton()->click();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dlg->StatusText(),
              FullRun(kLaterValue, kLater, "Set Time Failure.") + "原因：系统没有接受新的时间。\n");
}

TEST_F(SyncTimeDlgOnPort, AnythingButFourBytesAndACloseIsNoTimeAndSaysWhy) {
    const std::pair<QByteArray, QString> replies[] = {
        {QByteArray(), "原因：服务器没有发来时间就关闭了连接。"},
        {Bytes(kLaterValue).left(3), "原因：服务器的回答只有 3 个字节，应为 4 个。"},
        {Bytes(kLaterValue) + "\r\n", "原因：服务器的回答超过 4 个字节，它不是时间服务器。"},
        {"SSH-2.0-OpenSSH_9.2\r\n", "原因：服务器的回答超过 4 个字节，它不是时间服务器。"},
        // 2011, before this program was built; zero.
        {QByteArray::fromHex("D21D2743"),
         QString("原因：服务器给出的时间（%1）早于本程序的编译日期，不可信。")
             .arg(QString::fromStdString(nettime::LocalTimeLine(1316137155)).trimmed())},
        {QByteArray(4, '\0'), "原因：服务器发来的时间是 0，不是真实的时间。"},
    };
    for (const auto& [reply, reason] : replies) {
        SCOPED_TRACE(reply.toHex().toStdString());
        LoopbackServer server(Reply(reply));
        Start(server.port());
        ASSERT_TRUE(WaitForEnd());
        EXPECT_EQ(dlg->StatusText().toStdString(), NoTime(reason).toStdString());
    }
    // Nobody listening.
    quint16 closedPort;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        closedPort = gone.serverPort();
    }
    Start(closedPort);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dlg->StatusText(),
              NoTime(QString("原因：无法连接服务器“127.0.0.1”的 %1 端口。").arg(closedPort)));
    // A name that cannot be resolved (refused before any lookup leaves the machine).
    Start(closedPort, 10s, "bad name!");
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dlg->StatusText(),
              "Connect server: bad name!...\nConnect shut down.\n"
              "原因：无法解析服务器名称“bad name!”。\n");
    EXPECT_TRUE(clockSetter.requests.empty());
}

TEST_F(SyncTimeDlgOnPort, ASilentServerTimesOutAndASecondClickIsIgnored) {
    std::vector<QTcpSocket*> held;
    LoopbackServer server([&](QTcpSocket* s) { held.push_back(s); });
    // Long enough that the server has the connection well before it ends, however slow the
    // machine; the run ends only by the time-out.
    const auto timeout = std::chrono::milliseconds(1500 * test::TimeScale());
    Start(server.port(), timeout);
    EXPECT_FALSE(SyncButton()->isEnabled());
    SyncButton()->click();  // disabled: nothing happens
    // The event loop runs meanwhile: nothing blocks, and the run goes on.
    ASSERT_TRUE(test::WaitUntil([&] { return !held.empty(); }));
    EXPECT_TRUE(dlg->IsRunning());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(held.size(), 1u);
    EXPECT_EQ(dlg->StatusText(),
              NoTime(QString("原因：服务器在 %1 秒内没有回答。")
                         .arg(QString::number(double(timeout.count()) / 1000.0))));
    EXPECT_TRUE(clockSetter.requests.empty());
}

TEST_F(SyncTimeDlgOnPort, ExitDuringARunNeverSetsTheClockLater) {
    std::vector<QTcpSocket*> held;
    LoopbackServer server([&](QTcpSocket* s) { held.push_back(s); });
    Start(server.port(), 600ms);
    ASSERT_TRUE(test::WaitUntil([&] { return !held.empty(); }));
    dlg->findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(dlg->IsRunning());
    // The answer comes after all: nobody is listening any more.
    held[0]->write(Bytes(kLaterValue));
    held[0]->disconnectFromHost();
    test::RunEventsFor(900);
    EXPECT_EQ(dlg->StatusText(), "Connect server: 127.0.0.1...\n");
    EXPECT_TRUE(clockSetter.requests.empty());

    // Hidden while the system is still deciding: its answer is not shown either.
    clockSetter.answerAtOnce = false;
    LoopbackServer good(Reply(Bytes(kLaterValue)));
    Start(good.port());
    ASSERT_TRUE(test::WaitUntil([&] { return !clockSetter.requests.empty(); }));
    dlg->hide();
    clockSetter.Answer();
    EXPECT_FALSE(dlg->StatusText().contains("Set Time"));
    EXPECT_TRUE(SyncButton()->isEnabled());
}

TEST_F(SyncTimeDlgOnPort, SecondsCountFromTheReplyUntilTheClose) {
    LoopbackServer server([](QTcpSocket* s) {
        s->write(Bytes(kLaterValue));
        s->flush();
        QTimer::singleShot(1500, s, [s] { s->disconnectFromHost(); });
    });
    Start(server.port());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dlg->StatusText(), FullRun(kLaterValue, kLater + 1, "Set Time OK."));
    ASSERT_EQ(clockSetter.requests.size(), 1u);
    EXPECT_EQ(clockSetter.requests[0], (kLater + 1) * 1000000);
}

}  // namespace
