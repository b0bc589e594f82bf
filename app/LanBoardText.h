#pragma once

// The LAN board's settings and the texts of its telnet console: the replies it gives and the
// lines written to it. No widgets and no I/O.

#include <QByteArray>
#include <QString>

#include <cstdint>

// The LAN board's settings as the main window keeps them, in this order.
struct NetBoardRecord {
    int MacLow[3] = {}; // MAC octets 4-6; octets 1-3 are the maker's 02-4B-58
    int LocalIp[4] = {};
    int LocalPort = 0;
    int PeerIp[4] = {};
    int PeerPort = 0;
    int MaskBits = 0;
    int AutoConnect = 0;
    int BoardSpeedIndex = 0; // 0 = 9600, 1 = 19200, 2 = 38400 bit/s
    int TxTiming = 0;        // ms
    int KeepAlive = 0;
    int IdleTimer = 0; // min
};

// A number in a reply: optional blanks, an optional sign and 1 to 10 digits that fit 32 bits.
// Anything else is no number (false, value untouched).
bool parseReplyNumber(const QString &text, int32_t &value);

// A dotted address reply split at its last three separators ('.' or '-'), counted from the
// right, the leftmost field first. Fewer than three separators, or one standing first, give
// four zeros. False when a field is no number.
bool ParseIpText(const QString &text, int octets[4]);
// The MAC reply split the same way at its last five separators, each field hexadecimal
// (HexTextToInt).
void ParseMacText(const QString &text, int octets[6]);
// Hex digits from the last character to the first with weights 1, 16, 256, ...; any other
// character adds 0. Wraps at 32 bits.
int HexTextToInt(const QString &text);

// MacLow plus 1 as a 24-bit number (the highest octet wraps to 0).
void nextMacAddress(int macLow[3]);

// The settings dialog's "出荷時設定": what it puts into the fields.
struct FactoryBoardSettings {
    static constexpr int LocalIp[4] = {192, 168, 1, 100};
    static constexpr int PeerIp[4] = {192, 168, 1, 1};
    static constexpr int LocalPort = 10777;
    static constexpr int PeerPort = 3335;
    static constexpr int MaskBits = 16;
    static constexpr int AutoConnect = 1;
    static constexpr int BoardSpeedIndex = 1;
    static constexpr int TxTiming = 10;
    static constexpr int KeepAlive = 1;
    static constexpr int IdleTimer = 1;
};

// The ping dialog's networks: where the LAN boards are set up to live ("Default1(Board)", also
// the dialog's start), and where a board comes up after a reset to its factory settings
// ("Default2(Reset)", the network of the factory addresses above).
constexpr int BoardNetwork[3] = {192, 168, 0};
constexpr int ResetNetwork[3] = {192, 168, 1};

// The write lines of WriteNetBoardSettings, each with its log item, in order; without the MAC
// line unless asked, without "conn=1" unless AutoConnect is set; "save" last.
struct BoardWriteLine {
    QByteArray line; // without its CR LF
    QString item;
};
QList<BoardWriteLine> boardWriteLines(const NetBoardRecord &settings, bool withMac);
