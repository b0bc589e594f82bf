#include "app/LanBoardText.h"
#include "link/LinkParams.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace
{

// The four octets, or nothing when the reply is no address.
std::vector<int> ip(const char *text)
{
    int octets[4] = {-1, -1, -1, -1};
    const bool parsed = ParseIpText(QString::fromLatin1(text), octets);
    return parsed ? std::vector<int>(octets, octets + 4) : std::vector<int>{};
}

} // namespace

TEST(LanBoardTextTest, RepliesAreParsedFieldByFieldAndANonNumberIsAFailedRead)
{
    using V = std::vector<int>;
    EXPECT_EQ(ip("10.1.2.3"), V({10, 1, 2, 3}));
    EXPECT_EQ(ip("192-168-0-9"), V({192, 168, 0, 9}));
    EXPECT_EQ(ip(" 10.1.2.3"), V({10, 1, 2, 3}));
    // Fewer than three separators, or one standing first: four zeros, read as such.
    EXPECT_EQ(ip("10.1.2"), V({0, 0, 0, 0}));
    EXPECT_EQ(ip(".1.2.3"), V({0, 0, 0, 0}));
    EXPECT_EQ(ip("NG"), V({0, 0, 0, 0}));
    // The leftmost field keeps what lies before the third separator from the right.
    for (const char *bad : {"1.2.3.4.5", "1.2.x.4", "1..2.3", "10.1.2.3 "})
        EXPECT_EQ(ip(bad), V()) << bad;

    struct Number {
        const char *text;
        bool ok;
        int32_t value;
    } numbers[] = {{"10777", true, 10777},
                   {"  -5", true, -5},
                   {"+7", true, 7},
                   {"2147483647", true, INT32_MAX},
                   {"-2147483648", true, INT32_MIN},
                   {"2147483648", false, 0},
                   {"00000000001", false, 0},
                   {"", false, 0},
                   {"1x", false, 0},
                   {"0x10", false, 0},
                   {"NG", false, 0},
                   {"16 ", false, 0},
                   {"123\n", false, 0},
                   {"123\r\n", false, 0}};
    for (const Number &n : numbers) {
        int32_t value = 0;
        EXPECT_EQ(parseReplyNumber(QString::fromLatin1(n.text), value), n.ok) << n.text;
        EXPECT_EQ(value, n.value) << n.text;
    }

    int mac[6] = {};
    ParseMacText(QStringLiteral("02-4B-58-0a-0B-fF"), mac);
    EXPECT_EQ(V(mac, mac + 6), V({2, 75, 88, 10, 11, 255}));
    ParseMacText(QStringLiteral("02-4B-58-0a-0B"), mac);
    EXPECT_EQ(V(mac, mac + 6), V(6, 0));
    EXPECT_EQ(HexTextToInt(QStringLiteral("G1")), 1);
}

TEST(LanBoardTextTest, MacAddressCountsOnWithCarryAndWriteLinesFollowTheSettings)
{
    using V = std::vector<int>;
    for (auto [from, to] :
         {std::pair{V{0, 0xFF, 0xFF}, V{1, 0, 0}}, {V{0xFF, 0xFF, 0xFF}, V{0, 0, 0}}, {V{0, 0, 5}, V{0, 0, 6}}}) {
        int mac[3] = {from[0], from[1], from[2]};
        nextMacAddress(mac);
        EXPECT_EQ(V(mac, mac + 3), to);
    }

    NetBoardRecord s;
    s.MacLow[0] = 0x0A;
    s.MacLow[2] = 0xFF;
    const int local[4] = {10, 1, 2, 3};
    std::copy(local, local + 4, s.LocalIp);
    s.LocalPort = 10777;
    s.MaskBits = 24;
    const auto lines = [](const NetBoardRecord &r, bool withMac) {
        QStringList out;
        for (const BoardWriteLine &line : boardWriteLines(r, withMac))
            out << QString::fromLatin1(line.line) + QLatin1Char('/') + line.item;
        return out.join(QLatin1Char(' ')).toStdString();
    };
    // No automatic connection: no "conn" line; speed index 0 is the board's 15.
    EXPECT_EQ(lines(s, true), "madr=02-4B-58-0A-00-FF/MACアドレス l_ip=10.1.2.3/IPアドレス l_pt=10777/Port値 "
                              "f_ip=0.0.0.0/IPアドレス(接続先) f_pt=0/Port値(接続先) mask=24/マスク長 "
                              "bps=15/通信スピード(RS232C) timv=0/送信タイミング keep=0/Keep timr=0/timr save/SAVE");
    s.AutoConnect = 1;
    s.BoardSpeedIndex = 2;
    const std::string written = lines(s, false);
    EXPECT_EQ(written.find("madr"), std::string::npos);
    EXPECT_NE(written.find("mask=24/マスク長 conn=1/自動接続 bps=17/通信スピード(RS232C)"), std::string::npos);
    EXPECT_EQ(speedIndexOfBoardCode(16), 1);
    EXPECT_EQ(speedIndexOfBoardCode(99), 0);
}
