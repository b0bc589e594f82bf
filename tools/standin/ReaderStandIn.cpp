#include "tools/standin/ReaderStandIn.h"

#include "platform/NetGuard.h"
#include "platform/PendingMessages.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

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

ReaderStandIn::ReaderStandIn(QObject *parent)
    : QObject(parent), defaultResponder_(silence()), reportTimer_(new QTimer(this))
{
    reportTimer_->setInterval(ReportIntervalMs);
    connect(reportTimer_, &QTimer::timeout, this, &ReaderStandIn::reportField);
}

ReaderStandIn::~ReaderStandIn()
{
    for (const QPointer<QTcpSocket> &socket : std::as_const(sockets_)) {
        if (socket)
            socket->disconnect(this);
    }
    closeSide(pty_);
    closeSide(pipes_);
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
    closeSide(pty_);
    closeSide(pipes_);
}

QString ReaderStandIn::openPseudoTerminal()
{
    closeSide(pty_);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0)
        return QString();
    const char *name = ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : nullptr;
    const QString path = name ? QString::fromLocal8Bit(name) : QString();
    const int slave = name ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    if (slave < 0) {
        ::close(master);
        return QString();
    }
    // Raw until the program sets the line up, so that nothing is echoed back meanwhile.
    termios raw;
    if (::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    pty_.readFd = master;
    pty_.writeFd = master;
    pty_.keepFd = slave;
    watchSide(pty_);
    return path;
}

bool ReaderStandIn::openPipes(const QString &folder)
{
    closeSide(pipes_);
    const QByteArray toReader = QFile::encodeName(QDir(folder).filePath(QStringLiteral("PIPE00")));
    const QByteArray fromReader = QFile::encodeName(QDir(folder).filePath(QStringLiteral("PIPE01")));
    for (const QByteArray &path : {toReader, fromReader}) {
        if (::mkfifo(path.constData(), 0600) != 0 && errno != EEXIST)
            return false;
    }
    // Read and write opens of a FIFO never block and never see the other end hang up.
    pipes_.readFd = ::open(toReader.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    pipes_.writeFd = ::open(fromReader.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (pipes_.readFd < 0 || pipes_.writeFd < 0) {
        closeSide(pipes_);
        return false;
    }
    watchSide(pipes_);
    return true;
}

void ReaderStandIn::watchSide(FdSide &side)
{
    side.reader = new QSocketNotifier(side.readFd, QSocketNotifier::Read, this);
    connect(side.reader, &QSocketNotifier::activated, this, [this, &side] { readSide(side); });
    side.writer = new QSocketNotifier(side.writeFd, QSocketNotifier::Write, this);
    side.writer->setEnabled(false);
    connect(side.writer, &QSocketNotifier::activated, this, [this, &side] { writeSide(side); });
}

void ReaderStandIn::readSide(FdSide &side)
{
    QByteArray bytes;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(side.readFd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, n);
    if (!bytes.isEmpty())
        takeBytes(bytes, side.splitter);
}

void ReaderStandIn::writeSide(FdSide &side)
{
    while (!side.outbox.isEmpty()) {
        const ssize_t n = ::write(side.writeFd, side.outbox.constData(), static_cast<size_t>(side.outbox.size()));
        if (n <= 0)
            break;
        side.outbox.remove(0, n);
    }
    side.writer->setEnabled(!side.outbox.isEmpty());
}

void ReaderStandIn::closeSide(FdSide &side)
{
    delete side.reader;
    delete side.writer;
    for (int fd : {side.readFd, side.keepFd}) {
        if (fd >= 0)
            ::close(fd);
    }
    if (side.writeFd >= 0 && side.writeFd != side.readFd)
        ::close(side.writeFd);
    side = FdSide();
}

void ReaderStandIn::onReadyRead(QTcpSocket *socket)
{
    const QByteArray bytes = socket->readAll();
    if (!bytes.isEmpty())
        takeBytes(bytes, splitters_[socket]);
}

void ReaderStandIn::takeBytes(const QByteArray &bytes, FrameSplitter &splitter)
{
    receivedBytes_.append(bytes);
    const QList<QByteArray> frames = splitter.feed(bytes);
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
        return;
    }
    FdSide &side = pty_.writeFd >= 0 ? pty_ : pipes_;
    if (side.writeFd < 0)
        return;
    side.outbox.append(bytes);
    writeSide(side);
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
        followModelMode();
        return parts;
    };
}

void ReaderStandIn::followModelMode()
{
    // Restarting a running timer would put the next report off with every request.
    if (!model_.reportsByItself())
        reportTimer_->stop();
    else if (!reportTimer_->isActive())
        reportTimer_->start();
}

void ReaderStandIn::reportField()
{
    // The mode may have been changed in the model directly.
    followModelMode();
    for (const QByteArray &frame : model_.fieldReport())
        send(frame);
}
