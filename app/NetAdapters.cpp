#include "app/NetAdapters.h"

#include <QStringList>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

QList<AdapterEntry> listIpv4Adapters()
{
    QList<AdapterEntry> out;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return out;
    for (const ifaddrs *a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || !a->ifa_netmask || a->ifa_addr->sa_family != AF_INET)
            continue;
        const uint32_t address = ntohl(reinterpret_cast<const sockaddr_in *>(a->ifa_addr)->sin_addr.s_addr);
        const uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in *>(a->ifa_netmask)->sin_addr.s_addr);
        if (address == 0x7F000001u)
            continue;
        out.append({address, mask});
    }
    freeifaddrs(list);
    return out;
}

uint32_t ipv4FromText(const QString &text)
{
    in_addr parsed{};
    if (inet_pton(AF_INET, text.trimmed().toLatin1().constData(), &parsed) != 1)
        return 0;
    return ntohl(parsed.s_addr);
}

int octetOf(uint32_t address, int index)
{
    return static_cast<int>((address >> (8 * (3 - index))) & 0xFF);
}

QString ipv4Text(uint32_t address)
{
    const int octets[4] = {octetOf(address, 0), octetOf(address, 1), octetOf(address, 2), octetOf(address, 3)};
    return joinOctets(octets);
}

bool adapterMatches(const AdapterEntry &entry, uint32_t target)
{
    if (entry.mask == 0)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (octetOf(entry.mask, i) == 255 && octetOf(entry.address, i) != octetOf(target, i))
            return false;
    }
    return true;
}

AdapterChoice chooseAdapter(const QList<AdapterEntry> &entries, uint32_t target)
{
    AdapterChoice choice;
    choice.shownAddress = target;
    if (entries.isEmpty())
        return choice; // every edit stays open, showing the target
    for (int i = 0; i < entries.size(); ++i) {
        if (adapterMatches(entries[i], target))
            choice.selectedRow = i + 1;
        choice.lockMask = entries[i].mask;
    }
    if (choice.selectedRow == 0) {
        choice.selectedRow = 1;
        choice.shownAddress = entries[0].address;
        choice.lockMask = entries[0].mask;
    }
    return choice;
}

QString SplitHead(const QString &text, const QString &delimiters, bool &found, int &position)
{
    for (int i = 0; i < text.size(); ++i) {
        if (delimiters.contains(text.at(i))) {
            found = true;
            position = i + 1;
            return text.left(i);
        }
    }
    found = false;
    position = static_cast<int>(text.size()) + 1;
    return text;
}

SplitAddress splitDottedAddress(const QString &text)
{
    SplitAddress out;
    QString rest = text;
    for (int i = 0; i < 3; ++i) {
        bool found = false;
        int position = 0;
        const QString head = SplitHead(rest, QStringLiteral("."), found, position);
        if (!found)
            break;
        out.octets[i] = head;
        out.set[i] = true;
        rest = rest.mid(position);
    }
    out.octets[3] = rest;
    out.set[3] = true;
    return out;
}

QString joinOctets(const int octets[4])
{
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts << QString::number(octets[i]);
    return parts.join(QLatin1Char('.'));
}
