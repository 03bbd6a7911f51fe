#include "nettime/time_protocol_client.h"

#include <QTcpSocket>

namespace {
// More than a reply can hold: the peer is not a time server.
constexpr int kMaxReply = 4;
}  // namespace

CTimeProtocolClient::CTimeProtocolClient(std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), timeout_(timeout) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { Finish(Ending::kTimedOut); });
}

void CTimeProtocolClient::Start(const QString& host, quint16 port) {
    if (socket_)
        return;
    reply_.clear();
    connected_ = false;
    socket_ = new QTcpSocket(this);
    QTcpSocket* socket = socket_;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        if (socket == socket_)
            connected_ = true;
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket != socket_)
            return;
        const bool first = reply_.isEmpty();
        reply_ += socket->readAll();
        if (first && !reply_.isEmpty())
            emit ReplyArrived();
        if (reply_.size() > kMaxReply)
            Finish(Ending::kTooLong);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == socket_)
            Finish(Ending::kClosed);
    });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) {
                if (socket != socket_)
                    return;
                if (error == QAbstractSocket::RemoteHostClosedError)
                    Finish(Ending::kClosed);
                else if (error == QAbstractSocket::HostNotFoundError)
                    Finish(Ending::kHostNotFound);
                else
                    Finish(connected_ ? Ending::kBroken : Ending::kConnectFailed);
            });
    deadline_.start(timeout_);
    socket->connectToHost(host, port);
}

void CTimeProtocolClient::Cancel() {
    deadline_.stop();
    if (QTcpSocket* socket = std::exchange(socket_, nullptr)) {
        socket->abort();
        socket->deleteLater();
    }
}

void CTimeProtocolClient::Finish(Ending ending) {
    if (!socket_)
        return;
    // Bytes that came with the close are part of the reply.
    if (socket_->bytesAvailable() > 0)
        reply_ += socket_->readAll();
    Cancel();
    if (ending == Ending::kClosed && reply_.size() > kMaxReply)
        ending = Ending::kTooLong;
    emit Finished(reply_, ending);
}
