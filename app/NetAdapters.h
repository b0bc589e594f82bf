#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// One IPv4 address of the PC with its mask, both as host-order numbers (octet 1 in the top byte).
struct AdapterEntry {
    uint32_t address = 0;
    uint32_t mask = 0;
};

// The PC's IPv4 addresses that carry a mask, in the system's order, without 127.0.0.1.
QList<AdapterEntry> listIpv4Adapters();

// A dotted address as a number; an empty or malformed text gives 0.
uint32_t ipv4FromText(const QString &text);
QString ipv4Text(uint32_t address);
int octetOf(uint32_t address, int index); // index 0 is the first octet

// An adapter is on the target's network unless its mask is 0, or one of the first three mask
// octets is 255 while that octet of address and target differ (the fourth is not compared).
bool adapterMatches(const AdapterEntry &entry, uint32_t target);

// What the address dialog starts with: the grid row selected (1-based, 0 when there is no
// adapter), the address whose octets fill the four edits, and the mask deciding which edits are
// locked (the last entry examined, not necessarily the selected one).
struct AdapterChoice {
    int selectedRow = 0;
    uint32_t shownAddress = 0;
    uint32_t lockMask = 0;
};
AdapterChoice chooseAdapter(const QList<AdapterEntry> &entries, uint32_t target);

// The text before the first character that belongs to delimiters. found tells whether one was
// met; position is its 1-based position, or the text's length + 1 when there was none.
QString SplitHead(const QString &text, const QString &delimiters, bool &found, int &position);

// The four octets split from a dotted text the way the LAN dialogs fill their edits: up to
// three heads at "."; whatever remains goes to the fourth. Octets not reached stay unset.
struct SplitAddress {
    QString octets[4];
    bool set[4] = {false, false, false, false};
};
SplitAddress splitDottedAddress(const QString &text);

// Four octet values joined in plain decimal ("010" or "+5" would be read as octal or refused
// by address parsers).
QString joinOctets(const int octets[4]);
