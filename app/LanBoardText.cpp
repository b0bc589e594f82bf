#include "app/LanBoardText.h"

#include "app/NetAdapters.h"
#include "link/LinkParams.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <limits>
#include <optional>

namespace
{

// The text cut at its last `count` separators, counted from the right: count + 1 fields, the
// leftmost first (it keeps any separators further left). None when there are fewer separators
// or the leftmost one cut stands first.
std::optional<QStringList> splitFromRight(const QString &text, int count)
{
    QStringList fields;
    qsizetype end = text.size();
    for (int i = 0; i < count; ++i) {
        qsizetype at = end - 1;
        while (at >= 0 && text.at(at) != QLatin1Char('.') && text.at(at) != QLatin1Char('-'))
            --at;
        if (at <= 0)
            return std::nullopt;
        fields.prepend(text.mid(at + 1, end - at - 1));
        end = at;
    }
    fields.prepend(text.left(end));
    return fields;
}

} // namespace

bool parseReplyNumber(const QString &text, int32_t &value)
{
    // "\z" is the very end of the text; "$" would also match before a final line feed.
    static const QRegularExpression number(QStringLiteral("^[ \\t]*([+-]?[0-9]{1,10})\\z"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return false;
    bool ok = false;
    const qlonglong wide = match.captured(1).toLongLong(&ok);
    if (!ok || wide < std::numeric_limits<int32_t>::min() || wide > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(wide);
    return true;
}

bool ParseIpText(const QString &text, int octets[4])
{
    const std::optional<QStringList> fields = splitFromRight(text, 3);
    int32_t values[4] = {};
    if (fields) {
        for (int i = 0; i < 4; ++i) {
            if (!parseReplyNumber(fields->at(i), values[i]))
                return false;
        }
    }
    std::copy(values, values + 4, octets);
    return true;
}

void ParseMacText(const QString &text, int octets[6])
{
    const std::optional<QStringList> fields = splitFromRight(text, 5);
    for (int i = 0; i < 6; ++i)
        octets[i] = fields ? HexTextToInt(fields->at(i)) : 0;
}

int HexTextToInt(const QString &text)
{
    uint32_t value = 0;
    uint32_t weight = 1;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        uint32_t digit = 0;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = c.unicode() - '0';
        else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            digit = c.unicode() - 'A' + 10;
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            digit = c.unicode() - 'a' + 10;
        value += digit * weight;
        weight *= 16;
    }
    return static_cast<int>(value);
}

void nextMacAddress(int macLow[3])
{
    for (int i = 2; i >= 0; --i) {
        if (macLow[i] < 255) {
            ++macLow[i];
            return;
        }
        macLow[i] = 0;
    }
}

QList<BoardWriteLine> boardWriteLines(const NetBoardRecord &s, bool withMac)
{
    QList<BoardWriteLine> lines;
    if (withMac) {
        QStringList octets{QStringLiteral("02"), QStringLiteral("4B"), QStringLiteral("58")};
        for (int octet : s.MacLow)
            octets << QStringLiteral("%1").arg(octet & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
        lines.append({"madr=" + octets.join(QLatin1Char('-')).toLatin1(), QStringLiteral("MACアドレス")});
    }
    const auto number = [](const char *key, int value) { return QByteArray(key) + '=' + QByteArray::number(value); };
    lines.append({"l_ip=" + joinOctets(s.LocalIp).toLatin1(), QStringLiteral("IPアドレス")});
    lines.append({number("l_pt", s.LocalPort), QStringLiteral("Port値")});
    lines.append({"f_ip=" + joinOctets(s.PeerIp).toLatin1(), QStringLiteral("IPアドレス(接続先)")});
    lines.append({number("f_pt", s.PeerPort), QStringLiteral("Port値(接続先)")});
    lines.append({number("mask", s.MaskBits), QStringLiteral("マスク長")});
    if (s.AutoConnect)
        lines.append({"conn=1", QStringLiteral("自動接続")});
    lines.append({number("bps", boardCodeOfSpeedIndex(s.BoardSpeedIndex)), QStringLiteral("通信スピード(RS232C)")});
    lines.append({number("timv", s.TxTiming), QStringLiteral("送信タイミング")});
    lines.append({number("keep", s.KeepAlive), QStringLiteral("Keep")});
    lines.append({number("timr", s.IdleTimer), QStringLiteral("timr")});
    lines.append({"save", QStringLiteral("SAVE")});
    return lines;
}
