#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

class QSocketNotifier;

// The outcome of one echo request.
struct EchoReply {
    enum Status { Echo, Error, TimeOut, ErrorUnreachable, ErrorTTLExceeded };
    Status status = Error;
    int bytesReceived = 0; // the ICMP message without the IP header
    QString fromAddress;
    int roundTripMs = 0;
    int sequence = 0;
    int ttl = 0;
};

// An ICMP echo client as the ping dialog uses it: open once, then one echo at a time, each
// ending in exactly one replied() (an answer, an ICMP error or the time-out), unless send
// refused it. Tests give the dialog a client of their own.
class EchoClient : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // False, with a message naming the cause, when no socket may be opened.
    virtual bool open(QString &cause) = 0;
    // Sends one echo request to a dotted IPv4 address, waiting at most timeoutMs for its
    // answer. False when nothing went out (address refused or malformed, send failed, not
    // open); then no reply follows.
    virtual bool send(const QString &address, int timeoutMs) = 0;

signals:
    void replied(const EchoReply &reply);
};

// The echo request's data: 32 bytes, so an answer counts 40 bytes with its ICMP header.
constexpr int EchoPayloadSize = 32;
constexpr int EchoMessageSize = 8 + EchoPayloadSize;

// ICMP echo over a raw socket (root or CAP_NET_RAW), else over an unprivileged datagram ICMP
// socket (the user's group inside net.ipv4.ping_group_range). Sequence numbers run 1, 2, 3, ...
// per client, one per request sent. Non-blocking: a socket notifier takes the answers, a timer
// ends the wait. In the test build only 127.0.0.0/8 is pinged.
class IcmpEchoClient : public EchoClient
{
    Q_OBJECT

public:
    explicit IcmpEchoClient(QObject *parent = nullptr);
    ~IcmpEchoClient() override;

    bool open(QString &cause) override;
    bool send(const QString &address, int timeoutMs) override;
    bool isRaw() const { return raw_; }

private:
    void readAnswers();
    void handlePacket(const uint8_t *packet, int length, uint32_t source, int ttl);
    void finish(EchoReply reply);

    int fd_ = -1;
    bool raw_ = false;
    QSocketNotifier *notifier_ = nullptr;
    QTimer timeout_;
    uint16_t identifier_ = 0;
    uint16_t sequence_ = 0;
    bool pending_ = false;
    uint32_t target_ = 0; // network byte order
    uint32_t sentAt_ = 0;
};

// The Internet checksum of RFC 1071 over the bytes (as stored, so it can be written back as is).
uint16_t internetChecksum(const uint8_t *bytes, int length);
