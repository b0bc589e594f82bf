#include "platform/NetGuard.h"

#include <QAbstractSocket>
#include <QHostAddress>

#include <cstdio>

bool destinationAllowed(const QHostAddress &address)
{
#ifdef KV8_TEST_BUILD
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return (address.toIPv4Address() >> 24) == 127;
    return address == QHostAddress(QHostAddress::LocalHostIPv6);
#else
    Q_UNUSED(address);
    return true;
#endif
}

bool destinationAllowed(const QString &address)
{
#ifdef KV8_TEST_BUILD
    QHostAddress parsed;
    if (address.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    if (!parsed.setAddress(address))
        return false;
    return destinationAllowed(parsed);
#else
    Q_UNUSED(address);
    return true;
#endif
}

bool connectGuarded(QAbstractSocket &socket, const QString &address, quint16 port)
{
    if (!destinationAllowed(address)) {
        std::fprintf(stderr, "test build: refused connection to %s:%u (only 127.0.0.0/8 is allowed)\n",
                     address.toLocal8Bit().constData(), static_cast<unsigned>(port));
        return false;
    }
    socket.connectToHost(address, port);
    return true;
}
