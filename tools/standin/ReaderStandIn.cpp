#include "tools/standin/ReaderStandIn.h"

#include "platform/NetGuard.h"
#include "platform/PendingMessages.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace
{

uint8_t requestId(const QByteArray &request)
{
    return request.size() > 1 ? static_cast<uint8_t>(request.at(1)) : 0;
}

uint8_t requestCmd(const QByteArray &request)
{
    return request.size() > 2 ? static_cast<uint8_t>(request.at(2)) : 0;
}

QByteArray requestData(const QByteArray &request)
{
    if (request.size() < 7)
        return {};
    return request.mid(4, static_cast<uint8_t>(request.at(3)));
}

} // namespace

ReaderStandIn::ReaderStandIn(QObject *parent) : QObject(parent), defaultResponder_(silence()) {}

ReaderStandIn::~ReaderStandIn()
{
    for (const QPointer<QTcpSocket> &socket : std::as_const(sockets_)) {
        if (socket)
            socket->disconnect(this);
    }
}

bool ReaderStandIn::listen(quint16 port)
{
    if (!server_) {
        server_ = new QTcpServer(this);
        connect(server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_->nextPendingConnection())
                adopt(socket);
        });
    }
    return server_->listen(QHostAddress(QHostAddress::LocalHost), port);
}

quint16 ReaderStandIn::serverPort() const
{
    return server_ ? server_->serverPort() : 0;
}

bool ReaderStandIn::connectTo(const QString &host, quint16 port)
{
    // Attempts that failed leave their sockets behind: drop them first.
    const QList<QPointer<QTcpSocket>> sockets = sockets_;
    for (const QPointer<QTcpSocket> &old : sockets) {
        if (old && old->state() == QAbstractSocket::UnconnectedState) {
            sockets_.removeAll(old);
            splitters_.remove(old);
            old->disconnect(this);
            old->deleteLater();
        }
    }
    auto *socket = new QTcpSocket(this);
    adopt(socket);
    return connectGuarded(*socket, host, port);
}

bool ReaderStandIn::waitConnected(int timeoutMs)
{
    return waitFor([this] { return isConnected(); }, timeoutMs);
}

QTcpSocket *ReaderStandIn::current() const
{
    for (auto it = sockets_.crbegin(); it != sockets_.crend(); ++it) {
        if (*it && (*it)->state() == QAbstractSocket::ConnectedState)
            return *it;
    }
    return nullptr;
}

bool ReaderStandIn::isConnected() const
{
    return current() != nullptr;
}

void ReaderStandIn::adopt(QTcpSocket *socket)
{
    socket->setParent(this);
    sockets_.append(socket);
    QPointer<QTcpSocket> guarded(socket);
    connect(socket, &QTcpSocket::readyRead, this, [this, guarded] {
        if (guarded)
            onReadyRead(guarded);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, guarded] {
        if (!guarded)
            return;
        onReadyRead(guarded);
        splitters_.remove(guarded);
        sockets_.removeAll(guarded);
        guarded->deleteLater();
    });
    if (socket->bytesAvailable() > 0)
        onReadyRead(socket);
}

void ReaderStandIn::disconnectPeer()
{
    if (QTcpSocket *socket = current())
        socket->disconnectFromHost();
}

void ReaderStandIn::close()
{
    if (server_)
        server_->close();
    const QList<QPointer<QTcpSocket>> sockets = sockets_;
    for (const QPointer<QTcpSocket> &socket : sockets) {
        if (socket)
            socket->disconnectFromHost();
    }
}

void ReaderStandIn::onReadyRead(QTcpSocket *socket)
{
    const QByteArray bytes = socket->readAll();
    if (bytes.isEmpty())
        return;
    receivedBytes_.append(bytes);
    const QList<QByteArray> frames = splitters_[socket].feed(bytes);
    for (const QByteArray &frame : frames) {
        received_.append(frame);
        emit frameReceived(frame);
        answer(frame);
    }
}

void ReaderStandIn::answer(const QByteArray &request)
{
    const uint8_t cmd = requestCmd(request);
    const QByteArray data = requestData(request);
    Responder responder = defaultResponder_;
    for (qsizetype i = 0; i < script_.size(); ++i) {
        const Entry &entry = script_.at(i);
        if (entry.cmd && *entry.cmd != cmd)
            continue;
        if (entry.subCode && (data.isEmpty() || static_cast<uint8_t>(data.at(0)) != *entry.subCode))
            continue;
        responder = entry.responder;
        script_.removeAt(i);
        break;
    }
    if (responder)
        schedule(responder(request));
}

void ReaderStandIn::schedule(const QList<Piece> &pieces)
{
    int at = 0;
    for (const Piece &piece : pieces) {
        at += piece.pauseMs;
        if (at == 0)
            send(piece.bytes);
        else
            sendAfter(at, piece.bytes);
    }
}

void ReaderStandIn::send(const QByteArray &bytes)
{
    if (QTcpSocket *socket = current()) {
        socket->write(bytes);
        socket->flush();
    }
}

void ReaderStandIn::sendAfter(int delayMs, const QByteArray &bytes)
{
    QTimer::singleShot(delayMs, this, [this, bytes] { send(bytes); });
}

void ReaderStandIn::expect(uint8_t cmd, std::optional<uint8_t> subCode, Responder responder)
{
    script_.append(Entry{cmd, subCode, std::move(responder)});
}

void ReaderStandIn::expectAny(Responder responder)
{
    script_.append(Entry{std::nullopt, std::nullopt, std::move(responder)});
}

void ReaderStandIn::clearReceived()
{
    received_.clear();
    receivedBytes_.clear();
}

bool ReaderStandIn::waitForFrames(int count, int timeoutMs)
{
    return waitFor([this, count] { return received_.size() >= count; }, timeoutMs);
}

ReaderStandIn::Responder ReaderStandIn::ack(const QByteArray &data)
{
    return [data](const QByteArray &request) { return QList<Piece>{{peerFrame(requestId(request), '0', data), 0}}; };
}

ReaderStandIn::Responder ReaderStandIn::nack(uint8_t errorClass, uint8_t errorCode)
{
    return [errorClass, errorCode](const QByteArray &request) {
        QByteArray data;
        data.append(static_cast<char>(errorClass));
        data.append(static_cast<char>(errorCode));
        return QList<Piece>{{peerFrame(requestId(request), '1', data), 0}};
    };
}

ReaderStandIn::Responder ReaderStandIn::silence()
{
    return [](const QByteArray &) { return QList<Piece>{}; };
}

ReaderStandIn::Responder ReaderStandIn::split(const QByteArray &frame, const QList<int> &sizes, int pauseMs)
{
    QList<Piece> parts;
    qsizetype at = 0;
    for (qsizetype i = 0; i < sizes.size() && at < frame.size(); ++i) {
        const qsizetype size = i + 1 == sizes.size() ? frame.size() - at : sizes.at(i);
        parts.append(Piece{frame.mid(at, size), parts.isEmpty() ? 0 : pauseMs});
        at += size;
    }
    if (at < frame.size())
        parts.append(Piece{frame.mid(at), parts.isEmpty() ? 0 : pauseMs});
    return pieces(parts);
}

ReaderStandIn::Responder ReaderStandIn::pieces(const QList<Piece> &parts)
{
    return [parts](const QByteArray &) { return parts; };
}

ReaderStandIn::Responder ReaderStandIn::modelReader()
{
    return [this](const QByteArray &request) {
        QList<Piece> parts;
        for (const QByteArray &frame : model_.answer(request))
            parts.append(Piece{frame, 0});
        return parts;
    };
}
