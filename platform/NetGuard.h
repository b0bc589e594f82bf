#pragma once

#include <QString>

class QAbstractSocket;
class QHostAddress;

// In the test build every destination outside 127.0.0.0/8 is refused, so a test that forgot
// to set a loopback address fails loudly instead of sending traffic off the machine.
// In the program itself every destination is allowed.
bool destinationAllowed(const QHostAddress &address);
bool destinationAllowed(const QString &address);

// The one place where the program opens an outgoing TCP connection. Returns false (and
// starts nothing) when the destination is refused; the refusal is printed to stderr.
bool connectGuarded(QAbstractSocket &socket, const QString &address, quint16 port);
