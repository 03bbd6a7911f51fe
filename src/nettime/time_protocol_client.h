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
    explicit CTimeProtocolClient(std::chrono::milliseconds timeout, QObject* parent = nullptr);

    // Starts an exchange with `host` (a name or an address); ignored while one runs.
    void Start(const QString& host, quint16 port);
    // Ends the running exchange without Finished.
    void Cancel();
    bool IsRunning() const { return socket_ != nullptr; }

signals:
    // The first bytes of the reply have come.
    void ReplyArrived();
    // The exchange is over: what was received, and whether the server closed the connection
    // after it (false on a time-out, a failure or more bytes than a reply has).
    void Finished(const QByteArray& reply, bool closedByServer);

private:
    void Finish(bool closedByServer);

    std::chrono::milliseconds timeout_;
    QTimer deadline_;
    QTcpSocket* socket_ = nullptr;
    QByteArray reply_;
};
