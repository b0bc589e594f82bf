#include "platform/IcmpEcho.h"

#include "platform/NetGuard.h"
#include "platform/Tick.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

enum : uint8_t { IcmpEchoReply = 0, IcmpUnreachable = 3, IcmpEchoRequest = 8, IcmpTimeExceeded = 11 };

uint16_t readU16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

uint16_t internetChecksum(const uint8_t *bytes, int length)
{
    uint32_t sum = 0;
    for (int i = 0; i + 1 < length; i += 2)
        sum += readU16(bytes + i);
    if (length % 2)
        sum += static_cast<uint32_t>(bytes[length - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

IcmpEchoClient::IcmpEchoClient(QObject *parent) : EchoClient(parent)
{
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        if (!pending_)
            return;
        EchoReply reply;
        reply.status = EchoReply::TimeOut;
        reply.sequence = sequence_;
        reply.roundTripMs = static_cast<int>(ticksSince(sentAt_, systemTick()));
        finish(reply);
    });
    identifier_ = static_cast<uint16_t>(::getpid());
}

IcmpEchoClient::~IcmpEchoClient()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

bool IcmpEchoClient::open(QString &cause)
{
    if (fd_ >= 0)
        return true;
    fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    raw_ = fd_ >= 0;
    if (!raw_) {
        const int rawError = errno;
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd_ < 0) {
            const int datagramError = errno;
            cause = QStringLiteral("ICMPソケットを開けません。\n\n"
                                   "raw ソケット: %1（root 権限か CAP_NET_RAW が必要です）\n"
                                   "datagram ソケット: %2（このユーザーのグループが "
                                   "net.ipv4.ping_group_range に含まれている必要があります）")
                        .arg(errnoText(rawError), errnoText(datagramError));
            return false;
        }
        // A datagram socket hands over no IP header: the TTL comes as ancillary data.
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
    }
    notifier_ = new QSocketNotifier(static_cast<qintptr>(fd_), QSocketNotifier::Read);
    connect(notifier_, &QSocketNotifier::activated, this, &IcmpEchoClient::readAnswers);
    return true;
}

bool IcmpEchoClient::send(const QString &address, int timeoutMs)
{
    if (fd_ < 0 || pending_)
        return false;
    if (!destinationAllowed(address)) {
        std::fprintf(stderr, "test build: refused ICMP echo to %s (only 127.0.0.0/8 is allowed)\n",
                     address.toLocal8Bit().constData());
        return false;
    }
    in_addr target{};
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &target) != 1)
        return false;

    ++sequence_;
    uint8_t packet[EchoMessageSize] = {IcmpEchoRequest, 0, 0, 0};
    packet[4] = static_cast<uint8_t>(identifier_ >> 8);
    packet[5] = static_cast<uint8_t>(identifier_);
    packet[6] = static_cast<uint8_t>(sequence_ >> 8);
    packet[7] = static_cast<uint8_t>(sequence_);
    for (int i = 0; i < EchoPayloadSize; ++i)
        packet[8 + i] = static_cast<uint8_t>('a' + i % 23);
    const uint16_t sum = internetChecksum(packet, EchoMessageSize);
    packet[2] = static_cast<uint8_t>(sum >> 8);
    packet[3] = static_cast<uint8_t>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = target;
    if (::sendto(fd_, packet, sizeof packet, 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0)
        return false;
    pending_ = true;
    target_ = target.s_addr;
    sentAt_ = systemTick();
    timeout_.start(timeoutMs < 0 ? 0 : timeoutMs);
    return true;
}

void IcmpEchoClient::readAnswers()
{
    for (;;) {
        uint8_t buffer[1500];
        char control[64];
        sockaddr_in from{};
        iovec io{buffer, sizeof buffer};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t got = ::recvmsg(fd_, &message, 0);
        if (got <= 0)
            return;
        int ttl = 0;
        const uint8_t *icmp = buffer;
        int length = static_cast<int>(got);
        if (raw_) {
            // A raw socket hands over the IP header too (its length in the low nibble).
            const int headerLength = (buffer[0] & 0x0F) * 4;
            if (headerLength < 20 || length < headerLength + 8)
                continue;
            ttl = buffer[8];
            icmp += headerLength;
            length -= headerLength;
        } else {
            for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
                if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL)
                    std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
            }
        }
        handlePacket(icmp, length, from.sin_addr.s_addr, ttl);
    }
}

void IcmpEchoClient::handlePacket(const uint8_t *icmp, int length, uint32_t source, int ttl)
{
    if (!pending_ || length < 8)
        return;
    EchoReply reply;
    reply.sequence = sequence_;
    reply.ttl = ttl;
    reply.bytesReceived = length;
    char text[INET_ADDRSTRLEN] = {};
    in_addr sourceAddress{};
    sourceAddress.s_addr = source;
    ::inet_ntop(AF_INET, &sourceAddress, text, sizeof text);
    reply.fromAddress = QString::fromLatin1(text);

    if (icmp[0] == IcmpEchoReply) {
        // A raw socket sees every ICMP packet of the host; a datagram socket's identifier is
        // the kernel's, so there only the sequence tells our answer.
        if (source != target_ || readU16(icmp + 6) != sequence_ || (raw_ && readU16(icmp + 4) != identifier_))
            return;
        reply.status = EchoReply::Echo;
    } else if (raw_ && (icmp[0] == IcmpUnreachable || icmp[0] == IcmpTimeExceeded)) {
        // The error quotes our request: its IP header, then the first 8 bytes of the echo.
        if (length < 8 + 20)
            return;
        const uint8_t *quoted = icmp + 8;
        const int quotedHeader = (quoted[0] & 0x0F) * 4;
        if (quotedHeader < 20 || length < 8 + quotedHeader + 8)
            return;
        uint32_t quotedTarget = 0;
        std::memcpy(&quotedTarget, quoted + 16, sizeof quotedTarget);
        const uint8_t *echo = quoted + quotedHeader;
        if (quotedTarget != target_ || echo[0] != IcmpEchoRequest || readU16(echo + 4) != identifier_ ||
            readU16(echo + 6) != sequence_)
            return;
        reply.status = icmp[0] == IcmpUnreachable ? EchoReply::ErrorUnreachable : EchoReply::ErrorTTLExceeded;
    } else {
        return;
    }
    reply.roundTripMs = static_cast<int>(ticksSince(sentAt_, systemTick()));
    finish(reply);
}

void IcmpEchoClient::finish(EchoReply reply)
{
    pending_ = false;
    timeout_.stop();
    emit replied(reply);
}
