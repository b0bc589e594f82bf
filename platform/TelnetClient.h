#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

class QTcpSocket;

// Telnet commands and the options this client knows by number.
namespace Telnet
{
enum : uint8_t {
    SE = 240,
    SB = 250,
    WILL = 251,
    WONT = 252,
    DO = 253,
    DONT = 254,
    IAC = 255,
};
enum : uint8_t {
    OptEcho = 1,
    OptSuppressGoAhead = 3,
    OptTerminalType = 24,
};
enum : uint8_t { TermTypeIs = 0, TermTypeSend = 1 };
} // namespace Telnet

// The protocol side of a plain telnet client, without I/O: feed it what the server sent and it
// gives back the data bytes, and the negotiation answers to send. It accepts the server's ECHO
// and SUPPRESS-GO-AHEAD, offers its terminal type when asked, and refuses every other option.
// It answers only a request that would change an option's state, so two peers can't loop, and
// never answers WONT or DONT. Its state lasts from one feed to the next (an IAC sequence may
// be split between reads).
class TelnetFilter
{
public:
    explicit TelnetFilter(QByteArray terminalType = QByteArrayLiteral("dumb"));

    // Data bytes of the input; negotiation answers are appended to replies.
    QByteArray feed(QByteArrayView input, QByteArray &replies);
    void reset();

    // Data as it goes on the wire: every 0xFF doubled.
    static QByteArray escape(QByteArrayView data);

    bool remoteEnabled(uint8_t option) const { return remote_[option]; }
    bool localEnabled(uint8_t option) const { return local_[option]; }

private:
    enum class State { Data, Iac, Option, Sub, SubIac };
    void negotiate(uint8_t command, uint8_t option, QByteArray &replies);
    void endSubnegotiation(QByteArray &replies);

    QByteArray terminalType_;
    State state_ = State::Data;
    uint8_t command_ = 0;
    QByteArray sub_;
    std::array<bool, 256> remote_{}; // options the server performs (it said WILL, we said DO)
    std::array<bool, 256> local_{};  // options we perform (it said DO, we said WILL)
};

// A telnet connection to one host, on the GUI thread. Host and Port are set before
// connectToHost; the connection goes through the program's one guarded connect, so the test
// build reaches loopback only. Nothing here throws: a refused or failed connection simply
// never signals connected.
class TelnetClient : public QObject
{
    Q_OBJECT

public:
    explicit TelnetClient(QObject *parent = nullptr);
    ~TelnetClient() override;

    QString Host;
    quint16 Port = 23;
    QByteArray Terminal = QByteArrayLiteral("dumb");

    // Starts connecting; false (and nothing started) when the destination is refused.
    bool connectToHost();
    void disconnectFromHost();
    bool isConnected() const;
    // A connection is under way (looking the host up or connecting).
    bool isConnecting() const;
    // Sends data bytes (0xFF doubled); false when not connected.
    bool sendData(QByteArrayView data);

signals:
    void connected();
    void disconnected();
    void dataAvailable(const QByteArray &data);

private:
    void readAvailable();

    QTcpSocket *socket_;
    TelnetFilter filter_;
};
