#include "link/QRZUsbC1.h"
#include "link/TTComXDlg.h"
#include "platform/MessageService.h"
#include "platform/NetGuard.h"
#include "platform/PendingMessages.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <array>

namespace
{

// A flooding peer is held back by TCP once this much waits in a socket, not by our memory.
constexpr qint64 socketReadBufferSize = 64 * 1024;
// The portions the original socket components delivered per read event.
constexpr int serverReadPortion = 256;
constexpr int clientReadPortion = 1024;
constexpr int connectTimeoutMs = 5000;

QHostAddress listenAddress()
{
#ifdef KV8_TEST_BUILD
    // Tests never offer a port to other machines.
    return QHostAddress(QHostAddress::LocalHost);
#else
    return QHostAddress(QHostAddress::Any);
#endif
}

} // namespace

// --- receive ring ---

// What the hub keeps of one connection's stream beside its socket: where the bytes it has put
// into the ring stand between frames, and the unfinished frame it holds back while another board
// shares the ring. A child of the socket, so that it goes with it.
class TTComXDlg::ConnectionStream : public QObject
{
public:
    using QObject::QObject;
    FrameScanner inRing;
    QByteArray held;
};

TTComXDlg::ConnectionStream *TTComXDlg::findStream(const QTcpSocket *socket)
{
    if (!socket)
        return nullptr;
    // No meta-object of its own, so qobject_cast and findChild can't tell it from the socket's
    // other children.
    for (QObject *child : socket->children()) {
        if (auto *stream = dynamic_cast<ConnectionStream *>(child))
            return stream;
    }
    return nullptr;
}

int TTComXDlg::RxRingFree() const
{
    return (RxReadIndex - RxWriteIndex - 1 + RxRingSize) % RxRingSize;
}

int TTComXDlg::WriteRxRing(const uint8_t *data, int count)
{
    const int taken = std::min(count, RxRingFree());
    if (taken <= 0)
        return 0;
    const int first = std::min(taken, RxRingSize - RxWriteIndex);
    std::copy(data, data + first, RxRing.begin() + RxWriteIndex);
    std::copy(data + first, data + taken, RxRing.begin());
    RxWriteIndex = (RxWriteIndex + taken) % RxRingSize;
    return taken;
}

void TTComXDlg::DrainTransports()
{
    if (TransportKind == TransportSerial) {
        // Also on a port closed because its device went away: the bytes from before stay.
        if (CommX1.GetReceiveLength() > 0 && RxRingFree() > 0)
            CommX1Receive(CommX1.GetReceiveLength());
        return;
    }
    if (TransportKind != TransportTcp)
        return;
    if (!drainClosedConnections())
        return;
    const QList<QPointer<QTcpSocket>> connections = serverConnections_;
    for (const QPointer<QTcpSocket> &socket : connections) {
        if (socket && socket->bytesAvailable() > 0 && RxRingFree() > 0)
            ServerSocket1ClientRead(socket);
    }
    if (ClientSocket1 && ClientSocket1->bytesAvailable() > 0 && RxRingFree() > 0)
        ClientSocket1Read();
}

// Moves what closed connections still hold into the ring, oldest first, and deletes each one
// that is empty; true when none is left.
bool TTComXDlg::drainClosedConnections()
{
    while (!closedConnections_.isEmpty()) {
        QTcpSocket *socket = closedConnections_.first();
        if (socket) {
            readIntoRing(socket, serverReadPortion, QStringLiteral("ServerSocket1ClientRead"));
            if (hasUntakenBytes(socket))
                return false;
            socket->deleteLater();
        }
        closedConnections_.removeFirst();
    }
    return true;
}

// --- opening and closing ---

QTcpSocket *TTComXDlg::newClientSocket()
{
    auto *socket = new QTcpSocket(this);
    socket->setObjectName(QStringLiteral("ClientSocket1"));
    socket->setReadBufferSize(socketReadBufferSize);
    connect(socket, &QTcpSocket::connected, this, [this] { ClientSocket1Connect(); });
    connect(socket, &QTcpSocket::disconnected, this, [this] { ClientSocket1Disconnect(); });
    connect(socket, &QTcpSocket::readyRead, this, [this] { ClientSocket1Read(); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A peer that closes is a disconnect, reported by its own handler.
        if (error != QAbstractSocket::RemoteHostClosedError)
            ClientSocket1Error();
    });
    return socket;
}

void TTComXDlg::openTcp()
{
    if (TcpServerMode) {
        if (TcpListenPort < 0 || TcpListenPort > 65535 ||
            !ServerSocket1->listen(listenAddress(), static_cast<quint16>(TcpListenPort))) {
            // fConnected stays 0: a connection wait then lasts until the operator cancels it.
            AppendLog(QStringLiteral("ServerSocket1 Listen Error: ") + ServerSocket1->errorString());
            showMessage(QStringLiteral("TCPポート") + QString::number(TcpListenPort) +
                            QStringLiteral("で接続を待てません。"),
                        ownerWidget());
            return;
        }
        ServerSocket1Listen();
        return;
    }
    // A fresh socket for every connect, so that nothing of an earlier connection reaches the
    // handlers of this one.
    if (!ClientSocket1 || ClientSocket1->state() != QAbstractSocket::UnconnectedState) {
        retireSocket(ClientSocket1);
        ClientSocket1 = newClientSocket();
    }
    if (TcpReaderPort >= 0 && TcpReaderPort <= 65535)
        connectGuarded(*ClientSocket1, TcpReaderAddr, static_cast<quint16>(TcpReaderPort));
    WaitConnect();
}

// A deliberate close writes no disconnect line and lets what was sent go out first.
void TTComXDlg::retireSocket(QTcpSocket *socket)
{
    if (!socket)
        return;
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ConnectedState) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    } else {
        // Still looking up or connecting: nothing was sent, nothing to let go out.
        socket->abort();
        socket->deleteLater();
    }
}

void TTComXDlg::closeTcp()
{
    if (ServerSocket1->isListening())
        ServerSocket1->close();
    const QList<QPointer<QTcpSocket>> connections = serverConnections_;
    serverConnections_.clear();
    for (const QPointer<QTcpSocket> &socket : connections)
        retireSocket(socket);
    // What closed connections still held goes with the ring that the next opening empties.
    for (const QPointer<QTcpSocket> &socket : std::as_const(closedConnections_)) {
        if (socket)
            socket->deleteLater();
    }
    closedConnections_.clear();
    if (ClientSocket1 && ClientSocket1->state() != QAbstractSocket::UnconnectedState) {
        retireSocket(ClientSocket1);
        ClientSocket1 = newClientSocket();
    }
}

int TTComXDlg::listeningPort() const
{
    return ServerSocket1 && ServerSocket1->isListening() ? ServerSocket1->serverPort() : 0;
}

int TTComXDlg::serverConnectionCount() const
{
    return static_cast<int>(serverConnections_.size());
}

bool TTComXDlg::WaitConnect()
{
    TimeoutTimer(0, connectTimeoutMs);
    for (;;) {
        processPendingMessages(timeoutLeft(connectTimeoutMs));
        if (fConnected)
            return true;
        if (applicationClosing())
            return false;
        if (TimeoutTimer(1, connectTimeoutMs)) {
            AppendLog(QStringLiteral("コネクト待ち　タイムオーバー"));
            return false;
        }
    }
}

// --- server events ---

void TTComXDlg::acceptPendingConnections()
{
    while (ServerSocket1->hasPendingConnections()) {
        QTcpSocket *socket = ServerSocket1->nextPendingConnection();
        if (!socket)
            break;
        socket->setParent(this);
        socket->setReadBufferSize(socketReadBufferSize);
        QPointer<QTcpSocket> guarded(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, guarded] {
            if (guarded)
                ServerSocket1ClientRead(guarded);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, guarded] {
            if (guarded)
                ServerSocket1ClientDisconnect(guarded);
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, guarded](QAbstractSocket::SocketError error) {
            if (guarded && error != QAbstractSocket::RemoteHostClosedError)
                ServerSocket1ClientError(guarded);
        });
        serverConnections_.append(guarded);
        ServerSocket1ClientConnect(socket);
        // Bytes that came with the connection have had no read event of their own yet.
        if (socket->bytesAvailable() > 0)
            ServerSocket1ClientRead(socket);
    }
}

void TTComXDlg::ServerSocket1Listen()
{
    AppendLog(QStringLiteral("ServerSocket1Listen"));
}

void TTComXDlg::ServerSocket1ClientConnect(QTcpSocket *)
{
    AppendLog(QStringLiteral("ServerSocket1ClientConnect"));
    AppendLog(QStringLiteral("ActiveConnections: ") + QString::number(serverConnections_.size()));
    fConnected = 1;
}

void TTComXDlg::ServerSocket1ClientDisconnect(QTcpSocket *socket)
{
    // What the peer sent before it closed is taken as far as the ring has room now; the rest
    // waits in the socket, which stays until the receive path has taken all of it.
    ServerSocket1ClientRead(socket);
    AppendLog(QStringLiteral("ServerSocket1ClientDisconnect"));
    serverConnections_.removeAll(QPointer<QTcpSocket>(socket));
    // Connected while any board still is; SendFrame then writes to the newest of them.
    fConnected = serverConnections_.isEmpty() ? 0 : 1;
    socket->disconnect(this);
    if (hasUntakenBytes(socket))
        closedConnections_.append(QPointer<QTcpSocket>(socket));
    else
        socket->deleteLater();
}

void TTComXDlg::ServerSocket1ClientRead(QTcpSocket *socket)
{
    // Bytes of a closed connection come first, so that each connection's bytes stay together.
    if (!closedConnections_.isEmpty() && !drainClosedConnections())
        return;
    readIntoRing(socket, serverReadPortion, QStringLiteral("ServerSocket1ClientRead"));
}

void TTComXDlg::ServerSocket1ClientError(QTcpSocket *socket)
{
    AppendLog(QStringLiteral("ServerSocket1ClientError"));
    socket->disconnectFromHost();
}

void TTComXDlg::ServerSocket1ThreadEnd()
{
    // Kept for the log line: non-blocking sockets run no threads that could end.
    AppendLog(QStringLiteral("ServerSocket1ThreadEnd"));
}

// --- client events ---

void TTComXDlg::ClientSocket1Connect()
{
    AppendLog(QStringLiteral("ClientSocket1Connect"));
    fConnected = 1;
}

void TTComXDlg::ClientSocket1Disconnect()
{
    ClientSocket1Read();
    AppendLog(QStringLiteral("ClientSocket1Disconnect"));
    fConnected = 0;
}

void TTComXDlg::ClientSocket1Read()
{
    if (ClientSocket1)
        readIntoRing(ClientSocket1, clientReadPortion, QString());
}

// One read event of the original component per portion (with its log line, when the event has
// one) until the socket is drained; what the ring can't take stays in the socket until
// DrainTransports runs after the next poll.
void TTComXDlg::readIntoRing(QTcpSocket *socket, int portion, const QString &eventLine)
{
    ConnectionStream *stream = findStream(socket);
    if (!stream)
        stream = new ConnectionStream(socket);
    for (;;) {
        if (waitsForAnotherFrame(socket))
            return;
        putHeldIntoRing(socket, *stream);
        const qint64 available = socket->bytesAvailable();
        const int room = RxRingFree() - static_cast<int>(stream->held.size());
        if (available <= 0 || room <= 0)
            return;
        if (!eventLine.isEmpty())
            AppendLog(eventLine);
        std::array<uint8_t, std::max(serverReadPortion, clientReadPortion)> buffer;
        const int wanted = static_cast<int>(std::min<qint64>({available, portion, room}));
        const qint64 got = socket->read(reinterpret_cast<char *>(buffer.data()), wanted);
        if (got <= 0)
            return;
        stream->held.append(reinterpret_cast<const char *>(buffer.data()), got);
        putHeldIntoRing(socket, *stream);
    }
}

// Where another connection's bytes begin, the collector drops a frame it had begun.
void TTComXDlg::markRingSource(QTcpSocket *socket)
{
    if (ringSource_ != socket) {
        ringSource_ = socket;
        streamStarts_.push_back(RxWriteIndex);
    }
}

// A board alone (the client's connection always is), or one whose peer has closed, puts all it
// holds into the ring; while another board shares the ring, only its whole frames go in, so
// that no read event of the other can land inside one of them.
void TTComXDlg::putHeldIntoRing(QTcpSocket *socket, ConnectionStream &stream)
{
    if (stream.held.isEmpty())
        return;
    const bool shared = socket->state() == QAbstractSocket::ConnectedState && serverConnections_.size() > 1;
    const qsizetype count =
        shared ? stream.inRing.wholeLength(stream.held.constData(), stream.held.size()) : stream.held.size();
    if (count == 0 || RxRingFree() == 0)
        return;
    markRingSource(socket);
    const int taken = WriteRxRing(reinterpret_cast<const uint8_t *>(stream.held.constData()), static_cast<int>(count));
    stream.inRing.take(stream.held.constData(), taken);
    stream.held.remove(0, taken);
}

// An open board whose frame the ring holds unfinished keeps the ring until that frame is whole:
// the others' bytes wait in their sockets meanwhile. This happens only where a board was alone
// when another connected; a closed connection never waits.
bool TTComXDlg::waitsForAnotherFrame(QTcpSocket *socket) const
{
    if (!ringSource_ || ringSource_ == socket || socket->state() != QAbstractSocket::ConnectedState ||
        !serverConnections_.contains(ringSource_))
        return false;
    const ConnectionStream *source = findStream(ringSource_);
    return source && source->inRing.inFrame();
}

bool TTComXDlg::hasUntakenBytes(const QTcpSocket *socket) const
{
    const ConnectionStream *stream = findStream(socket);
    return socket->bytesAvailable() > 0 || (stream && !stream->held.isEmpty());
}

// The collector has given up the frame it had begun: the board that sent it no longer keeps the
// ring for it.
void TTComXDlg::ringFrameAbandoned()
{
    if (ConnectionStream *stream = findStream(ringSource_))
        stream->inRing.reset();
}

void TTComXDlg::ClientSocket1Error()
{
    AppendLog(QStringLiteral("ClientSocket1Error"));
    if (ClientSocket1->state() == QAbstractSocket::ConnectedState)
        ClientSocket1->disconnectFromHost();
    else
        ClientSocket1->abort();
}

// --- the send primitive ---

unsigned TTComXDlg::SendFrame(const uint8_t *bytes, int count)
{
    if (count <= 0)
        return 0;
    if (TransportKind == TransportUsb) {
        int written = 0;
        if (!UsbDevice || !UsbDevice->UsbWrite(bytes, count, &written))
            return 0;
        return static_cast<unsigned>(written);
    }
    if (TransportKind == TransportTcp) {
        if (!fConnected)
            return 0;
        QTcpSocket *target = nullptr;
        if (TcpServerMode) {
            // The most recently accepted connection that is still open.
            for (auto it = serverConnections_.crbegin(); it != serverConnections_.crend(); ++it) {
                if (*it && (*it)->state() == QAbstractSocket::ConnectedState) {
                    target = *it;
                    break;
                }
            }
        } else if (ClientSocket1 && ClientSocket1->state() == QAbstractSocket::ConnectedState) {
            target = ClientSocket1;
        }
        if (!target)
            return 0;
        const qint64 sent = target->write(reinterpret_cast<const char *>(bytes), count);
        target->flush();
        return sent > 0 ? static_cast<unsigned>(sent) : 0;
    }
    return CommX1.TransBlock(bytes, count) ? 1u : 0u;
}

unsigned TTComXDlg::SendFrame(const QByteArray &frame)
{
    return SendFrame(reinterpret_cast<const uint8_t *>(frame.constData()), static_cast<int>(frame.size()));
}
