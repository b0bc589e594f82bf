#include "tools/standin/LanBoardConsole.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace
{

enum : uint8_t { SE = 240, SB = 250, WILL = 251, WONT = 252, DO = 253, DONT = 254, IAC = 255 };
enum : uint8_t { OptEcho = 1, OptSga = 3, OptTerminalType = 24 };

QByteArray byteString(std::initializer_list<uint8_t> values)
{
    QByteArray out;
    for (uint8_t v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray command(uint8_t verb, uint8_t option)
{
    return byteString({IAC, verb, option});
}

} // namespace

LanBoardConsole::LanBoardConsole(QObject *parent) : QObject(parent), server_(new QTcpServer(this))
{
    settings = {
        {"madr", "02-4B-58-00-00-01"},
        {"l_ip", "192.168.1.100"},
        {"l_pt", "10777"},
        {"f_ip", "192.168.1.1"},
        {"f_pt", "3335"},
        {"mask", "16"},
        {"conn", "1"},
        {"bps", "16"},
        {"timv", "10"},
        {"keep", "1"},
        {"timr", "1"},
    };
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = server_->nextPendingConnection())
            adopt(socket);
    });
}

LanBoardConsole::~LanBoardConsole()
{
    for (const QPointer<QTcpSocket> &socket : std::as_const(sockets_)) {
        if (socket)
            socket->disconnect(this);
    }
}

bool LanBoardConsole::listen(quint16 port)
{
    return server_->listen(QHostAddress(QHostAddress::LocalHost), port);
}

quint16 LanBoardConsole::port() const
{
    return server_->serverPort();
}

bool LanBoardConsole::isConnected() const
{
    for (const QPointer<QTcpSocket> &socket : sockets_) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            return true;
    }
    return false;
}

void LanBoardConsole::dropConnections()
{
    const QList<QPointer<QTcpSocket>> sockets = sockets_;
    for (const QPointer<QTcpSocket> &socket : sockets) {
        if (socket)
            socket->abort();
    }
}

void LanBoardConsole::adopt(QTcpSocket *socket)
{
    ++connections_;
    sockets_.append(socket);
    sessions_.insert(socket, Session{});
    QPointer<QTcpSocket> guarded(socket);
    connect(socket, &QTcpSocket::readyRead, this, [this, guarded] {
        if (guarded)
            onReadyRead(guarded);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, guarded] {
        if (!guarded)
            return;
        sessions_.remove(guarded);
        sockets_.removeAll(guarded);
        guarded->deleteLater();
    });
    write(socket, command(WILL, OptEcho) + command(WILL, OptSga) + command(DO, OptTerminalType) +
                      QByteArrayLiteral("\r\nPASSWORD:"));
}

void LanBoardConsole::write(QTcpSocket *socket, const QByteArray &bytes)
{
    if (silent_ || bytes.isEmpty())
        return;
    socket->write(bytes);
    socket->flush();
}

void LanBoardConsole::onReadyRead(QTcpSocket *socket)
{
    const QByteArray bytes = socket->readAll();
    for (const char c : bytes) {
        // The session may end inside a line's answer (a dropped connection).
        if (!sessions_.contains(socket))
            return;
        Session &s = sessions_[socket];
        const auto byte = static_cast<uint8_t>(c);
        switch (s.state) {
        case 0:
            if (byte == IAC)
                s.state = 1;
            else
                onData(socket, s, c);
            break;
        case 1:
            if (byte == IAC) {
                s.state = 0;
                onData(socket, s, c);
            } else if (byte >= WILL) {
                s.command = byte;
                s.state = 2;
            } else if (byte == SB) {
                s.sub.clear();
                s.state = 3;
            } else {
                s.state = 0;
            }
            break;
        case 2:
            negotiation_ += command(s.command, byte);
            if (s.command == WILL && byte == OptTerminalType)
                write(socket, byteString({IAC, SB, OptTerminalType, 1, IAC, SE}));
            s.state = 0;
            break;
        case 3:
            if (byte == IAC)
                s.state = 4;
            else
                s.sub.append(c);
            break;
        case 4:
            if (byte == SE) {
                s.state = 0;
                onSubnegotiation(socket, s.sub);
            } else {
                s.sub.append(c);
                s.state = 3;
            }
            break;
        }
    }
}

void LanBoardConsole::onSubnegotiation(QTcpSocket *, const QByteArray &sub)
{
    negotiation_ += byteString({IAC, SB}) + sub + byteString({IAC, SE});
    if (sub.size() >= 2 && static_cast<uint8_t>(sub.at(0)) == OptTerminalType && sub.at(1) == 0)
        terminalType_ = sub.mid(2);
}

void LanBoardConsole::onData(QTcpSocket *socket, Session &s, char byte)
{
    received_.append(byte);
    // The password is not echoed; everything after the log-in is.
    if (s.loggedIn)
        write(socket, QByteArray(1, byte));
    if (byte != '\n') {
        s.line.append(byte);
        return;
    }
    QByteArray line = s.line;
    s.line.clear();
    if (line.endsWith('\r'))
        line.chop(1);
    onLine(socket, s, line);
}

void LanBoardConsole::onLine(QTcpSocket *socket, Session &s, const QByteArray &line)
{
    if (!s.loggedIn) {
        if (line == password) {
            s.loggedIn = true;
            write(socket, QByteArrayLiteral("\r\n>"));
        } else {
            write(socket, QByteArrayLiteral("\r\nPASSWORD:"));
        }
        return;
    }
    write(socket, answers_.contains(line) ? answers_.value(line) : answerTo(line));
}

QByteArray LanBoardConsole::answerTo(const QByteArray &line)
{
    if (line.isEmpty())
        return QByteArrayLiteral(">");
    if (line == "save") {
        ++saveCount;
        return QByteArrayLiteral(">OK\r\n");
    }
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
        if (!settings.contains(line))
            return QByteArrayLiteral(">NG\r\n");
        return '>' + settings.value(line) + QByteArrayLiteral("\r\n");
    }
    const QByteArray key = line.left(equals);
    if (!settings.contains(key) || refused_.contains(key))
        return QByteArrayLiteral(">NG\r\n");
    settings.insert(key, line.mid(equals + 1));
    return QByteArrayLiteral(">OK\r\n");
}
