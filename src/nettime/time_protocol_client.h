#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

class QTcpSocket;

// One Time Protocol exchange, without blocking: connect, read until the server closes, with
// one time-out for the connection and the read together.
class CTimeProtocolClient : public QObject {
    Q_OBJECT
public:
    // How an exchange ended.
    enum class Ending {
        kClosed,         // the server closed the connection after at most a reply's bytes
        kHostNotFound,   // the name could not be resolved
        kConnectFailed,  // no connection (refused, unreachable)
        kTimedOut,       // no complete answer within the time-out
        kTooLong,        // more bytes than a reply has: not a time server
        kBroken,         // the connection failed after it was made
    };
    Q_ENUM(Ending)

    explicit CTimeProtocolClient(std::chrono::milliseconds timeout, QObject* parent = nullptr);

    // Starts an exchange with `host` (a name or an address); ignored while one runs.
    void Start(const QString& host, quint16 port);
    // Ends the running exchange without Finished.
    void Cancel();
    bool IsRunning() const { return socket_ != nullptr; }
    std::chrono::milliseconds timeout() const { return timeout_; }

signals:
    // The first bytes of the reply have come.
    void ReplyArrived();
    // The exchange is over: what was received, and how it ended.
    void Finished(const QByteArray& reply, CTimeProtocolClient::Ending ending);

private:
    void Finish(Ending ending);

    std::chrono::milliseconds timeout_;
    QTimer deadline_;
    QTcpSocket* socket_ = nullptr;
    bool connected_ = false;
    QByteArray reply_;
};
