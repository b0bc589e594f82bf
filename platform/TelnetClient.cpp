#include "platform/TelnetClient.h"

#include "platform/NetGuard.h"

#include <QTcpSocket>

using namespace Telnet;

namespace
{

// A subnegotiation longer than this is not one we answer; its bytes are dropped all the same.
constexpr qsizetype maxSubnegotiation = 64;

void appendCommand(QByteArray &out, uint8_t command, uint8_t option)
{
    out.append(static_cast<char>(IAC));
    out.append(static_cast<char>(command));
    out.append(static_cast<char>(option));
}

} // namespace

TelnetFilter::TelnetFilter(QByteArray terminalType) : terminalType_(std::move(terminalType)) {}

void TelnetFilter::reset()
{
    state_ = State::Data;
    command_ = 0;
    sub_.clear();
    remote_.fill(false);
    local_.fill(false);
}

QByteArray TelnetFilter::feed(QByteArrayView input, QByteArray &replies)
{
    QByteArray data;
    for (const char c : input) {
        const auto byte = static_cast<uint8_t>(c);
        switch (state_) {
        case State::Data:
            if (byte == IAC)
                state_ = State::Iac;
            else
                data.append(c);
            break;
        case State::Iac:
            if (byte == IAC) {
                data.append(c);
                state_ = State::Data;
            } else if (byte >= WILL) {
                command_ = byte;
                state_ = State::Option;
            } else if (byte == SB) {
                sub_.clear();
                state_ = State::Sub;
            } else {
                // NOP, GA, DM and the other two-byte commands carry nothing for us.
                state_ = State::Data;
            }
            break;
        case State::Option:
            negotiate(command_, byte, replies);
            state_ = State::Data;
            break;
        case State::Sub:
            if (byte == IAC)
                state_ = State::SubIac;
            else if (sub_.size() < maxSubnegotiation)
                sub_.append(c);
            break;
        case State::SubIac:
            if (byte == SE) {
                endSubnegotiation(replies);
                state_ = State::Data;
            } else {
                // IAC IAC inside is one 0xFF of the subnegotiation.
                if (byte == IAC && sub_.size() < maxSubnegotiation)
                    sub_.append(c);
                state_ = State::Sub;
            }
            break;
        }
    }
    return data;
}

void TelnetFilter::negotiate(uint8_t command, uint8_t option, QByteArray &replies)
{
    switch (command) {
    case WILL:
        if (remote_[option])
            return;
        if (option == OptEcho || option == OptSuppressGoAhead) {
            remote_[option] = true;
            appendCommand(replies, DO, option);
        } else {
            appendCommand(replies, DONT, option);
        }
        break;
    case DO:
        if (local_[option])
            return;
        if (option == OptTerminalType) {
            local_[option] = true;
            appendCommand(replies, WILL, option);
        } else {
            appendCommand(replies, WONT, option);
        }
        break;
    case WONT:
        remote_[option] = false;
        break;
    case DONT:
        local_[option] = false;
        break;
    default:
        break;
    }
}

void TelnetFilter::endSubnegotiation(QByteArray &replies)
{
    if (sub_.size() < 2 || static_cast<uint8_t>(sub_.at(0)) != OptTerminalType ||
        static_cast<uint8_t>(sub_.at(1)) != TermTypeSend || !local_[OptTerminalType])
        return;
    replies.append(static_cast<char>(IAC));
    replies.append(static_cast<char>(SB));
    replies.append(static_cast<char>(OptTerminalType));
    replies.append(static_cast<char>(TermTypeIs));
    replies.append(escape(terminalType_));
    replies.append(static_cast<char>(IAC));
    replies.append(static_cast<char>(SE));
}

QByteArray TelnetFilter::escape(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size());
    for (const char c : data) {
        out.append(c);
        if (static_cast<uint8_t>(c) == IAC)
            out.append(c);
    }
    return out;
}

// --- TelnetClient ---

TelnetClient::TelnetClient(QObject *parent) : QObject(parent), socket_(new QTcpSocket(this))
{
    connect(socket_, &QTcpSocket::connected, this, [this] {
        filter_ = TelnetFilter(Terminal);
        emit connected();
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        readAvailable();
        emit disconnected();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &TelnetClient::readAvailable);
}

TelnetClient::~TelnetClient()
{
    // No signal of a socket being torn down may reach a half-destroyed owner.
    socket_->disconnect(this);
}

bool TelnetClient::connectToHost()
{
    socket_->abort();
    return connectGuarded(*socket_, Host, Port);
}

void TelnetClient::disconnectFromHost()
{
    if (socket_->state() != QAbstractSocket::UnconnectedState)
        socket_->disconnectFromHost();
}

bool TelnetClient::isConnected() const
{
    return socket_->state() == QAbstractSocket::ConnectedState;
}

bool TelnetClient::isConnecting() const
{
    return socket_->state() == QAbstractSocket::HostLookupState || socket_->state() == QAbstractSocket::ConnectingState;
}

bool TelnetClient::sendData(QByteArrayView data)
{
    if (!isConnected())
        return false;
    socket_->write(TelnetFilter::escape(data));
    return true;
}

void TelnetClient::readAvailable()
{
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty())
        return;
    QByteArray replies;
    const QByteArray data = filter_.feed(bytes, replies);
    if (!replies.isEmpty() && isConnected())
        socket_->write(replies);
    if (!data.isEmpty())
        emit dataAvailable(data);
}
