#include "link/ReplyDecoders.h"
#include "link/Frame.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace
{

// A checked reply frame from reader 0.
std::vector<uint8_t> reply(uint8_t code, const std::vector<uint8_t> &data)
{
    const QByteArray f = buildFrame(0, code, data.data(), static_cast<int>(data.size()));
    return std::vector<uint8_t>(f.begin(), f.end());
}

std::vector<uint8_t> seq(int first, int count)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<uint8_t>(first + i));
    return out;
}

std::vector<uint8_t> cat(std::vector<uint8_t> a, const std::vector<uint8_t> &b, const std::vector<uint8_t> &c = {})
{
    a.insert(a.end(), b.begin(), b.end());
    a.insert(a.end(), c.begin(), c.end());
    return a;
}

// Everything a decoder stores, as one text in the order of the fields, so that a row names
// exactly what must change.
std::string fieldsOf(const ReplyOutcome &o)
{
    // Name and shape of each field: h bytes as hex, d one byte in decimal, t text.
    static const std::map<ReplyField, std::pair<const char *, char>> names = {
        {ReplyField::CurrentUid, {"uid", 'h'}},       {ReplyField::CurrentSid, {"sid", 'h'}},
        {ReplyField::MydData, {"myd", 'h'}},          {ReplyField::TagDSFID, {"dsfid", 'd'}},
        {ReplyField::TagAFI, {"afi", 'd'}},           {ReplyField::TagICRef, {"icref", 'd'}},
        {ReplyField::TagInfoFlags, {"flags", 'd'}},   {ReplyField::TagMemSize, {"memsize", 'h'}},
        {ReplyField::RomVersion, {"rom", 't'}},       {ReplyField::PortData, {"port", 'd'}},
        {ReplyField::LastBlockSecSt, {"secst", 'd'}}, {ReplyField::LastBlockData, {"block", 'h'}},
    };
    std::vector<FieldWrite> writes = o.writes;
    std::stable_sort(writes.begin(), writes.end(), [](const auto &a, const auto &b) { return a.field < b.field; });
    std::string s;
    auto add = [&s](const std::string &part) { s += (s.empty() ? "" : "; ") + part; };
    for (const FieldWrite &w : writes) {
        const auto &[name, shape] = names.at(w.field);
        add(std::string(name) + "=" +
            (shape == 'h'   ? hexOf(w.bytes)
             : shape == 't' ? w.bytes.toStdString()
                            : std::to_string(static_cast<uint8_t>(w.bytes.at(0)))));
    }
    for (const auto &r : o.reads)
        add("read=[" + r.textA.toStdString() + "|" + r.textB.toStdString() + (r.matchTextAOnly ? "|a" : "") + "]");
    if (o.gateEvent)
        add("gate=" + std::to_string(o.gateEvent->dwData) + ":" + hexOf(o.gateEvent->bytes));
    return s;
}

struct Row {
    const char *name;
    uint8_t lastCmd;
    uint8_t code;
    std::vector<uint8_t> data;
    QStringList lines;
    std::string fields;
    int state;
    bool optionFlag = false;
    uint32_t blockSize = 4;
    uint8_t s6700 = 0xD4;
};

const QString FmtErr = QStringLiteral("レスポンスフォーマットエラー");
const std::vector<uint8_t> U = seq(0x11, 8); // a UID, 11 .. 18 in wire order
const std::string UF = "uid=11 12 13 14 15 16 17 18";
const QString UM = QStringLiteral("18 17 16 15 14 13 12 11 "); // the UID written most significant first
constexpr uint8_t TagIt = 0x08;                                // speed/protocol field (bits 1-3) = 4

std::vector<Row> ackRows()
{
    // clang-format off
    return {
        {"get mode", 'O', '0', {0x00, 1, 2, 3}, {"DousaModeSet_CMD受信"}, "", 2},
        {"get S6700 mode", 'O', '0', {0x09, 0xD4}, {"S6700ModeSet_CMD受信"}, "", 2},
        {"get current UID", 'O', '0', cat({0x50}, U), {"UID: " + UM}, UF, 2},
        {"get current UID short", 'O', '0', cat({0x50}, seq(0x11, 7)), {FmtErr}, "", 2},
        {"UID count", 'O', '0', {0x53, 12}, {"GETUIDNUMBER_CMD受信", "受信UID数: 12"}, "", 2},
        {"UID count short", 'O', '0', {0x53}, {FmtErr}, "", 2},
        {"stored UID from DATA[3]", 'O', '0', cat({0x54, 0xAA, 0xBB}, U), {"GETUIDDATA_CMD受信", "UID: " + UM}, UF, 2},
        {"stored UID short", 'O', '0', cat({0x54, 0xAA, 0xBB}, seq(0x11, 7)), {FmtErr}, "", 2},
        {"ROM version", 'O', '0', {0x90, '1', '2', 0, '1'}, {"ROMバージョン取得", "121"}, "rom=121", 2},
        {"model name", 'O', '0', {0x93, 'K', 'V', '8'}, {"機種名の取得", "KV8"}, "", 2},
        {"antenna", 'O', '0', {0x9C}, {"SELANTENA_CMD受信"}, "", 2},
        {"port read", 'O', '0', {0x9F, 0x5A}, {"PORTDATA: 0x5A"}, "port=90", 2},
        {"port read short", 'O', '0', {0x9F}, {FmtErr}, "", 2},
        {"get without row", 'O', '0', {0x70, 1, 2}, {}, "", 2},
        {"get without sub-code", 'O', '0', {}, {FmtErr}, "", 2},
        {"set mode", 'N', '0', {0x00}, {"DousaModeSet_CMD受信"}, "", 2},
        {"set S6700", 'N', '0', {0x09}, {"S6700ModeSet_CMD受信"}, "", 2},
        {"set other", 'N', '0', {0xA0}, {}, "", 2},
        {"TAG-IT ack", 'u', '0', {0x09}, {"S6700ModeSet_CMD受信"}, "", 2},
        {"v ack", 'v', '0', {0x00}, {"DousaModeSet_CMD受信"}, "", 2},
        {"simple read ack", 'R', '0', {'A', 0, 'B'}, {"AB"}, "", 2},
        {"ack after quit", 'Q', '0', {0x01}, {}, "", 2},
        {"inventory", 'x', '0', cat({0x01, 0x07}, U), {"ISO15693_Inventory受信", "DSFID: 7[0x07]",
         "UID(hex): 11 12 13 14 15 16 17 18 "}, UF + "; dsfid=7", 2},
        {"inventory short", 'x', '0', cat({0x01, 0x07}, seq(0x11, 7)), {FmtErr}, "", 2},
        {"read block", 'x', '0', {0x20, 'a', 'b', 0, 'd', 0xEE}, {"ISO15693_ReadSingleBlock受信",
         "data(Hex): 61 62 00 64 ", "data: abd"}, "block=61 62 00 64", 2},
        {"read block with security", 'x', '0', {0x20, 0x01, 'a', 'b', 'c', 'd'}, {"ISO15693_ReadSingleBlock受信",
         "Block Security data: 0x01", "data(Hex): 61 62 63 64 ", "data: abcd"}, "secst=1; block=61 62 63 64", 2, true},
        {"read block shorter than block size", 'x', '0', {0x20, 'a', 'b'}, {"ISO15693_ReadSingleBlock受信",
         "data(Hex): 61 62 ", "data: ab"}, "block=61 62", 2, false, 32},
        {"read block with a huge block size", 'x', '0', {0x20, 'a'}, {"ISO15693_ReadSingleBlock受信", "data(Hex): 61 ",
         "data: a"}, "block=61", 2, false, 100000},
        {"read block without security byte", 'x', '0', {0x20}, {FmtErr}, "", 2, true},
        {"read multiple blocks", 'x', '0', cat({0x23}, seq('A', 8)), {"ISO15693_ReadMultiBlock受信", "data: ABCDEFGH"},
         "block=41 42 43 44 45 46 47 48", 2},
        {"system info, all flags", 'x', '0', cat({0x2B, 0x0F}, U, {0x05, 0x06, 0x1F, 0x03, 0x09}),
         {"DSFID: 5[0x05]", "ISO15693_GetSystemInfo受信", "UID(hex): 11 12 13 14 15 16 17 18 "},
         UF + "; dsfid=5; afi=6; icref=9; flags=15; memsize=1F 03", 2},
        {"system info, no flags", 'x', '0', cat({0x2B, 0x00}, U), {"ISO15693_GetSystemInfo受信",
         "UID(hex): 11 12 13 14 15 16 17 18 "}, UF + "; flags=0", 2},
        {"system info, memory size missing", 'x', '0', cat({0x2B, 0x04}, U, {0x1F}), {FmtErr}, "", 2},
        {"system info, UID missing", 'x', '0', {0x2B, 0x00, 1, 2}, {FmtErr}, "", 2},
        {"block security", 'x', '0', {0x2C, 0, 1}, {"ISO15693_GetMBlockSecSt受信"}, "block=00 01", 2},
        {"read bytes", 'x', '0', {0xA0, 'x', 'y'}, {"ISO15693_ReadBytes受信", "data: xy"}, "block=78 79", 2},
        {"my-d read", 'x', '0', cat({0xB0}, seq('a', 8)), {"Myd_ReadCommand OK",
         "data(Hex): 61 62 63 64 65 66 67 68 ", "data: abcdefgh"},
         "myd=61 62 63 64 65 66 67 68; block=61 62 63 64 65 66 67 68", 2},
        {"my-d reread", 'x', '0', cat({0xB3}, seq('a', 8)), {"Myd_WriteRereadCommand OK",
         "data(Hex): 61 62 63 64 65 66 67 68 ", "data: abcdefgh"}, "block=61 62 63 64 65 66 67 68", 2},
        {"my-d read short", 'x', '0', cat({0xB0}, seq('a', 7)), {FmtErr}, "", 2},
        {"inventory 2", 'x', '0', {0xF0, 3}, {"受信UID数: 3"}, "", 2},
        {"inventory 2 short", 'x', '0', {0xF0}, {FmtErr}, "", 2},
        {"tag code without row", 'x', '0', {0xF1, 1}, {}, "", 2},
    };
    // clang-format on
}

// The tag commands whose ACK is one fixed line.
const std::vector<std::pair<uint8_t, const char *>> fixedTagLines = {
    {0x02, "ISO15693_StayQuit受信"},      {0x21, "ISO15693_WriteSingleBlock受信"},
    {0x22, "ISO15693_LockBlock受信"},     {0x24, "ISO15693_WriteMultiBlock受信"},
    {0x25, "ISO15693_SelectTag受信"},     {0x26, "ISO15693_ResetToReady受信"},
    {0x27, "ISO15693_WriteAFI受信"},      {0x28, "ISO15693_LockAFI受信"},
    {0x29, "ISO15693_WrietDSFID受信"},    {0x2A, "ISO15693_LockDSFID受信"},
    {0xA1, "ISO15693_WriteBytes受信"},    {0xA2, "ISO15693_Write2Blocks受信"},
    {0xA3, "ISO15693_Lock2Blocks受信"},   {0xA4, "TI_InventoryRead受信"},
    {0xA5, "TI_InventoryMultiRead受信"},  {0xA6, "TI_InventoryGetSystemInfo受信"},
    {0xA7, "TI_InventoryGetSecInfo受信"}, {0xA8, "TI_KillCommand受信"},
    {0xA9, "TI_WRSIBK_Psw受信"},          {0xB1, "Myd_WriteCommand OK"},
    {0xB2, "Myd_WriteByteCommand OK"},    {0xC0, "SLI_InventoryRead受信"},
    {0xC1, "SLI_FastInventoryRead受信"},  {0xC2, "SLI_SetEASCommand受信"},
    {0xC3, "SLI_ResetEASCommand受信"},    {0xC4, "SLI_LockEASCommand受信"},
    {0xC5, "SLI_EASAlarmCommand受信"},    {0xF3, "ISO15693_LockBytes OK"},
    {0xF4, "ISO15693_RDLOOPPOLCmd OK"},   {0xF5, "ISO15693_RDLOOPPOLGETCmd OK"},
};

std::vector<Row> otherRows()
{
    const auto gate = cat({0x80}, seq(1, 12));
    // clang-format off
    return {
        {"NACK without class", 0, '1', {}, {FmtErr}, "", 6},
        {"NACK class 5 without code", 0, '1', {5}, {FmtErr}, "", 6},
        {"simple read skips zeros", 0, 'D', {'A', 0, 'B'}, {}, "read=[AB||a]", 3},
        {"simple read on TAG-IT ends at zero", 0, 'D', {'A', 0, 'B'}, {}, "read=[A||a]", 3, false, 4, TagIt},
        // TAG-IT is the 3-bit field (bits 1-3) at value 4, whatever the other bits hold.
        {"simple read, TAG-IT field with other bits set", 0, 'D', {'A', 0, 'B'}, {}, "read=[A||a]", 3, false, 4, 0xF9},
        {"simple read, field value 2", 0, 'D', {'A', 0, 'B'}, {}, "read=[AB||a]", 3, false, 4, 0x04},
        {"simple read, modulation bit alone", 0, 'D', {'A', 0, 'B'}, {}, "read=[AB||a]", 3, false, 4, 0x10},
        {"scan read", 0, 'd', cat(U, {'h', 0, 'i'}), {}, UF + "; read=[hi|" + UM.toStdString() + "]", 4},
        {"scan read short", 0, 'd', seq(0x11, 7), {FmtErr}, "", 4},
        {"scan read on TAG-IT", 0, 'd', {1, 2, 3, 0xAB, 'h', 0, 'i'}, {}, "sid=01 02 03 AB; read=[h|AB 03 02 01 ]",
         4, false, 4, TagIt},
        {"scan read on TAG-IT short", 0, 'd', {1, 2, 3}, {FmtErr}, "", 4, false, 4, TagIt},
        {"inventory list", 0, 'i', cat({2, 0, 0}, U, seq(0x21, 8)), {},
         UF + "; uid=21 22 23 24 25 26 27 28; read=[|" + UM.toStdString() + "]; read=[|28 27 26 25 24 23 22 21 ]", 5},
        {"inventory list claiming more than it holds", 0, 'i', cat({3, 0, 0}, U, seq(0x21, 7)), {FmtErr},
         UF + "; read=[|" + UM.toStdString() + "]", 5},
        {"inventory list without count", 0, 'i', {}, {FmtErr}, "", 5},
        {"UID report in wire order", 0, 'I', cat({0}, U), {"UID: 11 12 13 14 15 16 17 18 "}, UF, 7},
        {"UID report short", 0, 'I', U, {FmtErr}, "", 7},
        {"read with UID", 0, 'L', cat(U, {'o', 'k'}), {}, UF + "; read=[ok|" + UM.toStdString() + "]", 8},
        {"read with UID short", 0, 'L', seq(0x11, 7), {FmtErr}, "", 8},
        {"gate count", 0, 'G', gate, {}, "gate=10:" + hexOf(seq(1, 12)), 9},
        {"gate count of three aisles", 0, 'G', cat({0x81}, seq(1, 36)), {}, "gate=11:" + hexOf(seq(1, 36)), 9},
        {"gate count too short", 0, 'G', cat({0x80}, seq(1, 11)), {}, "", 9},
        {"other gate frame", 0, 'G', cat({0x07}, seq(1, 12)), {}, "", 9},
        {"gate frame without data", 0, 'G', {}, {}, "", 9},
        {"unknown reply code", 0, 'Z', {1, 2}, {FmtErr}, "", 1},
    };
    // clang-format on
}

void checkRow(const Row &row)
{
    SCOPED_TRACE(row.name);
    const auto bytes = reply(row.code, row.data);
    const DecodeContext ctx{row.lastCmd, row.optionFlag, row.blockSize, row.s6700};
    const ReplyOutcome out = decodeReply(ReplyFrame(bytes), ctx);
    EXPECT_EQ(out.lines.join(" | ").toStdString(), row.lines.join(" | ").toStdString());
    EXPECT_EQ(out.lines.size(), row.lines.size());
    EXPECT_EQ(fieldsOf(out), row.fields);
    EXPECT_EQ(out.replyState, row.state);
    EXPECT_EQ(out.copyToLastReply, row.code == '0' || row.code == '1');
    EXPECT_EQ(out.copyToLastGateFrame, row.code == 'G');
}

} // namespace

TEST(ReplyDecoderTest, EveryAckRowLogsItsLinesAndStoresItsFields)
{
    for (const Row &row : ackRows())
        checkRow(row);
    for (const auto &[code, line] : fixedTagLines)
        checkRow({line, 'x', '0', {code, 0x55}, {QString::fromUtf8(line)}, "", 2});
}

TEST(ReplyDecoderTest, OtherReplyCodesSetTheirStateAndFeedTheReadTable)
{
    for (const Row &row : otherRows())
        checkRow(row);
}

TEST(ReplyDecoderTest, EveryNackClassAndIsoErrorCodeHasItsText)
{
    // clang-format off
    const std::vector<std::tuple<uint8_t, uint8_t, QString>> rows = {
        {1, 0, "CRCエラー"}, {2, 0, "CMD_TIME_OVER受信"}, {3, 0, "タグデータ受信エラー"}, {4, 0, "タグからの応答なし"},
        {'A', 0, "データ数エラー"}, {'B', 0, "コマンドのサム値エラー"}, {'C', 0, "コマンドのＩＤ値のエラー"},
        {'D', 0, "不正なコマンド"}, {9, 0, "??? NACK受信"},
        {5, 0x01, "The command is not supported, i.e. the request code is not recognised."},
        {5, 0x02, "he command is not recognised, for example: a format error occurred."},
        {5, 0x03, "The option is not supported."}, {5, 0x0F, "Unknown error."},
        {5, 0x10, "The specified block is not available (doesn’t exist)."},
        {5, 0x11, "The specified block is already -locked and thus cannot be locked again"},
        {5, 0x12, "The specified block is locked and its content cannot be changed."},
        {5, 0x13, "The specified block was not successfully programmed."},
        {5, 0x14, "The specified block was not successfully locked."},
        {5, 0xA0, "? 'DF' Custom command error codes"}, {5, 0x77, "? 'DF' Custom command error codes"},
    };
    // clang-format on
    for (const auto &[cls, code, text] : rows)
        checkRow({"nack", 0, '1', {cls, code}, {text}, "", 6});
    // Classes other than 5 need only their class byte.
    checkRow({"nack class 4 alone", 0, '1', {4}, {"タグからの応答なし"}, "", 6});
}
