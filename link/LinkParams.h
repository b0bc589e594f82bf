#pragma once

// How the program reaches the reader: the TCP settings, the transport kinds and the serial
// line speeds. Small on purpose, so that settings and dialogs can name them without the hub.

#include <QString>

#include <array>

// The TCP settings handed to the hub by value, in this order.
struct TcpLinkParam {
    int TCPPort = 3335; // own listening port in server mode
    int fTCPServer = 1; // 1: the program listens; 0: it connects to the LAN board
    int TCPServPort = 10777;
    QString TCPServAddr; // the LAN board's address in client mode
};
using tagTCPIPPara = TcpLinkParam;

// Transport kinds (the hub's TransportKind, the settings' UseUSB).
enum : int { TransportSerial = 0, TransportUsb = 1, TransportTcp = 2 };

// The reader's serial line speeds. Each encoding stays in its own column; never compare one
// with another. The row is the speed index: the order of every speed list and menu (and the
// gate's own line-speed code).
struct LineSpeed {
    int bitRate;
    int comSpeed;     // the settings' and the hub's ComSpeed code
    int boardCode;    // the LAN board's "bps=" code
    int modeFlags;    // bits 6-7 of the operating mode's flag byte (SysMode)
    const char *text; // as the speed lists show it
};
inline constexpr std::array<LineSpeed, 3> LineSpeeds{{
    {9600, 1, 15, 0x40, "9600bps"},
    {19200, 0, 16, 0x00, "19.2kbps"},
    {38400, 2, 17, 0x80, "38.4kbps"},
}};
// The speed bits of the operating mode's flag byte.
inline constexpr int ModeSpeedFlagMask = 0xC0;

// ComSpeed 1 is 9600 and 2 is 38400 bit/s; any other code means 19200.
constexpr int speedIndexOfComSpeed(int comSpeed)
{
    return comSpeed == 1 ? 0 : comSpeed == 2 ? 2 : 1;
}

// The row of a speed index; any index past 1 means 38400 bit/s.
constexpr const LineSpeed &lineSpeedAt(int speedIndex)
{
    return LineSpeeds[speedIndex == 0 || speedIndex == 1 ? speedIndex : 2];
}

constexpr int comSpeedOfSpeedIndex(int speedIndex)
{
    return lineSpeedAt(speedIndex).comSpeed;
}

// 9600 is ComSpeed 1 and 19200 is 0; any other bit rate counts as 38400 (2).
constexpr int comSpeedOfBitRate(int bitRate)
{
    return bitRate == LineSpeeds[0].bitRate   ? LineSpeeds[0].comSpeed
           : bitRate == LineSpeeds[1].bitRate ? LineSpeeds[1].comSpeed
                                              : LineSpeeds[2].comSpeed;
}

constexpr int bitRateOfComSpeed(int comSpeed)
{
    return LineSpeeds[speedIndexOfComSpeed(comSpeed)].bitRate;
}

constexpr int boardCodeOfSpeedIndex(int speedIndex)
{
    return lineSpeedAt(speedIndex).boardCode;
}

// The board's 17 is 38400 and 16 is 19200 bit/s; any other code counts as 9600.
constexpr int speedIndexOfBoardCode(int code)
{
    return code == LineSpeeds[2].boardCode ? 2 : code == LineSpeeds[1].boardCode ? 1 : 0;
}
