#include "link/ReplyDecoders.h"

#include "link/Frame.h"
#include "platform/Cp932.h"

#include <algorithm>

namespace
{

QByteArray toBytes(std::span<const uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void store(ReplyOutcome &out, ReplyField field, std::span<const uint8_t> bytes)
{
    out.writes.push_back({field, toBytes(bytes)});
}

void store(ReplyOutcome &out, ReplyField field, uint8_t value)
{
    out.writes.push_back({field, QByteArray(1, static_cast<char>(value))});
}

void formatError(ReplyOutcome &out)
{
    out.lines << kFormatErrorLine;
}

// ACK to 'O'.
void decodeGetReply(const ReplyFrame &f, ReplyOutcome &out)
{
    switch (f.data(0)) {
    case 0x00:
        out.lines << QStringLiteral("DousaModeSet_CMD受信");
        break;
    case 0x09:
        out.lines << QStringLiteral("S6700ModeSet_CMD受信");
        break;
    case 0x50:
        if (!f.has(9))
            return formatError(out);
        store(out, ReplyField::CurrentUid, f.data(1, 8));
        out.lines << uidLine(f.data(1, 8));
        break;
    case 0x53:
        if (!f.has(2))
            return formatError(out);
        out.lines << QStringLiteral("GETUIDNUMBER_CMD受信")
                  << QStringLiteral("受信UID数: ") + QString::number(f.data(1));
        break;
    case 0x54:
        if (!f.has(11))
            return formatError(out);
        store(out, ReplyField::CurrentUid, f.data(3, 8));
        out.lines << QStringLiteral("GETUIDDATA_CMD受信") << uidLine(f.data(3, 8));
        break;
    case 0x90: {
        const QByteArray text = textSkippingZeros(f.data(1, f.len() - 1));
        out.writes.push_back({ReplyField::RomVersion, text});
        out.lines << QStringLiteral("ROMバージョン取得") << cp932ToUnicode(text);
        break;
    }
    case 0x93:
        out.lines << QStringLiteral("機種名の取得") << cp932ToUnicode(textSkippingZeros(f.data(1, f.len() - 1)));
        break;
    case 0x9C:
        out.lines << QStringLiteral("SELANTENA_CMD受信");
        break;
    case 0x9F:
        if (!f.has(2))
            return formatError(out);
        store(out, ReplyField::PortData, f.data(1));
        out.lines << QStringLiteral("PORTDATA: 0x") + byteHex(f.data(1));
        break;
    default:
        break;
    }
}

// ACK to 'N', 'u' and 'v'.
void decodeSetReply(const ReplyFrame &f, ReplyOutcome &out)
{
    if (f.data(0) == 0x00)
        out.lines << QStringLiteral("DousaModeSet_CMD受信");
    else if (f.data(0) == 0x09)
        out.lines << QStringLiteral("S6700ModeSet_CMD受信");
}

// The tag commands whose ACK is one fixed line.
QString tagAckLine(uint8_t code)
{
    switch (code) {
    case 0x02:
        return QStringLiteral("ISO15693_StayQuit受信");
    case 0x21:
        return QStringLiteral("ISO15693_WriteSingleBlock受信");
    case 0x22:
        return QStringLiteral("ISO15693_LockBlock受信");
    case 0x24:
        return QStringLiteral("ISO15693_WriteMultiBlock受信");
    case 0x25:
        return QStringLiteral("ISO15693_SelectTag受信");
    case 0x26:
        return QStringLiteral("ISO15693_ResetToReady受信");
    case 0x27:
        return QStringLiteral("ISO15693_WriteAFI受信");
    case 0x28:
        return QStringLiteral("ISO15693_LockAFI受信");
    case 0x29:
        return QStringLiteral("ISO15693_WrietDSFID受信");
    case 0x2A:
        return QStringLiteral("ISO15693_LockDSFID受信");
    case 0xA1:
        return QStringLiteral("ISO15693_WriteBytes受信");
    case 0xA2:
        return QStringLiteral("ISO15693_Write2Blocks受信");
    case 0xA3:
        return QStringLiteral("ISO15693_Lock2Blocks受信");
    case 0xA4:
        return QStringLiteral("TI_InventoryRead受信");
    case 0xA5:
        return QStringLiteral("TI_InventoryMultiRead受信");
    case 0xA6:
        return QStringLiteral("TI_InventoryGetSystemInfo受信");
    case 0xA7:
        return QStringLiteral("TI_InventoryGetSecInfo受信");
    case 0xA8:
        return QStringLiteral("TI_KillCommand受信");
    case 0xA9:
        return QStringLiteral("TI_WRSIBK_Psw受信");
    case 0xB1:
        return QStringLiteral("Myd_WriteCommand OK");
    case 0xB2:
        return QStringLiteral("Myd_WriteByteCommand OK");
    case 0xC0:
        return QStringLiteral("SLI_InventoryRead受信");
    case 0xC1:
        return QStringLiteral("SLI_FastInventoryRead受信");
    case 0xC2:
        return QStringLiteral("SLI_SetEASCommand受信");
    case 0xC3:
        return QStringLiteral("SLI_ResetEASCommand受信");
    case 0xC4:
        return QStringLiteral("SLI_LockEASCommand受信");
    case 0xC5:
        return QStringLiteral("SLI_EASAlarmCommand受信");
    case 0xF3:
        return QStringLiteral("ISO15693_LockBytes OK");
    case 0xF4:
        return QStringLiteral("ISO15693_RDLOOPPOLCmd OK");
    case 0xF5:
        return QStringLiteral("ISO15693_RDLOOPPOLGETCmd OK");
    default:
        return {};
    }
}

void decodeSystemInfo(const ReplyFrame &f, ReplyOutcome &out)
{
    if (!f.has(10))
        return formatError(out);
    const uint8_t flags = f.data(1);
    const int need = 10 + (flags & 1) + ((flags >> 1) & 1) + 2 * ((flags >> 2) & 1) + ((flags >> 3) & 1);
    if (!f.has(need))
        return formatError(out);
    store(out, ReplyField::TagInfoFlags, flags);
    store(out, ReplyField::CurrentUid, f.data(2, 8));
    int at = 10;
    if (flags & 1) {
        store(out, ReplyField::TagDSFID, f.data(at));
        out.lines << dsfidLine(f.data(at++));
    }
    if (flags & 2)
        store(out, ReplyField::TagAFI, f.data(at++));
    if (flags & 4) {
        store(out, ReplyField::TagMemSize, f.data(at, 2));
        at += 2;
    }
    if (flags & 8)
        store(out, ReplyField::TagICRef, f.data(at++));
    out.lines << QStringLiteral("ISO15693_GetSystemInfo受信") << uidHexLine(f.data(2, 8));
}

void decodeReadSingleBlock(const ReplyFrame &f, const DecodeContext &ctx, ReplyOutcome &out)
{
    int start = 1;
    if (ctx.optionFlag) {
        if (!f.has(2))
            return formatError(out);
        start = 2;
    }
    // A block size from the settings may exceed what the reply carries or what LastBlockData holds.
    const uint32_t present = static_cast<uint32_t>(f.len() - start);
    const int n = static_cast<int>(std::min({ctx.tagBlockSize, present, 255u}));
    out.lines << QStringLiteral("ISO15693_ReadSingleBlock受信");
    if (ctx.optionFlag) {
        store(out, ReplyField::LastBlockSecSt, f.data(1));
        out.lines << QStringLiteral("Block Security data: 0x") + byteHex(f.data(1));
    }
    const auto block = f.data(start, n);
    store(out, ReplyField::LastBlockData, block);
    out.lines << QStringLiteral("data(Hex): ") + hexBytesText(block) << dataTextLine(block);
}

void decodeMyd(const ReplyFrame &f, bool keepAsMydData, ReplyOutcome &out)
{
    if (!f.has(9))
        return formatError(out);
    const auto bytes = f.data(1, 8);
    out.lines << (keepAsMydData ? QStringLiteral("Myd_ReadCommand OK") : QStringLiteral("Myd_WriteRereadCommand OK"));
    store(out, ReplyField::LastBlockData, bytes);
    if (keepAsMydData)
        store(out, ReplyField::MydData, bytes);
    out.lines << QStringLiteral("data(Hex): ") + hexBytesText(bytes) << dataTextLine(bytes);
}

// ACK to 'x'.
void decodeTagReply(const ReplyFrame &f, const DecodeContext &ctx, ReplyOutcome &out)
{
    const uint8_t code = f.data(0);
    const auto rest = f.data(1, f.len() - 1);
    switch (code) {
    case 0x01:
        if (!f.has(10))
            return formatError(out);
        store(out, ReplyField::TagDSFID, f.data(1));
        store(out, ReplyField::CurrentUid, f.data(2, 8));
        out.lines << QStringLiteral("ISO15693_Inventory受信") << dsfidLine(f.data(1)) << uidHexLine(f.data(2, 8));
        return;
    case 0x20:
        return decodeReadSingleBlock(f, ctx, out);
    case 0x23:
        out.lines << QStringLiteral("ISO15693_ReadMultiBlock受信");
        store(out, ReplyField::LastBlockData, rest);
        out.lines << dataTextLine(rest);
        return;
    case 0x2B:
        return decodeSystemInfo(f, out);
    case 0x2C:
        store(out, ReplyField::LastBlockData, rest);
        out.lines << QStringLiteral("ISO15693_GetMBlockSecSt受信");
        return;
    case 0xA0:
        store(out, ReplyField::LastBlockData, rest);
        out.lines << QStringLiteral("ISO15693_ReadBytes受信") << dataTextLine(rest);
        return;
    case 0xB0:
        return decodeMyd(f, true, out);
    case 0xB3:
        return decodeMyd(f, false, out);
    case 0xF0:
        if (!f.has(2))
            return formatError(out);
        out.lines << QStringLiteral("受信UID数: ") + QString::number(f.data(1));
        return;
    default:
        if (const QString line = tagAckLine(code); !line.isEmpty())
            out.lines << line;
        return;
    }
}

void decodeAck(const ReplyFrame &f, const DecodeContext &ctx, ReplyOutcome &out)
{
    switch (ctx.lastCmd) {
    case CmdGet:
    case CmdSet:
    case CmdTagIt:
    case CmdV:
    case CmdTag:
        // These decoders choose their row by the echoed code in DATA[0].
        if (!f.has(1))
            return formatError(out);
        if (ctx.lastCmd == CmdGet)
            decodeGetReply(f, out);
        else if (ctx.lastCmd == CmdTag)
            decodeTagReply(f, ctx, out);
        else
            decodeSetReply(f, out);
        return;
    case CmdSimpleRead:
        out.lines << cp932ToUnicode(textSkippingZeros(f.data(0, f.len())));
        return;
    default:
        return;
    }
}

void decodeNack(const ReplyFrame &f, ReplyOutcome &out)
{
    if (!f.has(1) || (f.data(0) == 5 && !f.has(2)))
        return formatError(out);
    out.lines << nackText(f.data(0), f.data(0) == 5 ? f.data(1) : 0);
}

void decodeScanRead(const ReplyFrame &f, const DecodeContext &ctx, ReplyOutcome &out)
{
    if (isTagItReader(ctx.s6700Conf)) {
        if (!f.has(4))
            return formatError(out);
        store(out, ReplyField::CurrentSid, f.data(0, 4));
        out.reads.push_back({textUpToZero(f.data(4, f.len() - 4)), reversedHexText(f.data(0, 4))});
        return;
    }
    if (!f.has(8))
        return formatError(out);
    store(out, ReplyField::CurrentUid, f.data(0, 8));
    out.reads.push_back({textSkippingZeros(f.data(8, f.len() - 8)), reversedHexText(f.data(0, 8))});
}

void decodeInventoryList(const ReplyFrame &f, ReplyOutcome &out)
{
    if (!f.has(1))
        return formatError(out);
    const int claimed = f.data(0);
    const int present = f.len() >= 3 ? (f.len() - 3) / 8 : 0;
    const int n = std::min(claimed, present);
    for (int k = 0; k < n; ++k) {
        const auto uid = f.data(3 + 8 * k, 8);
        store(out, ReplyField::CurrentUid, uid);
        out.reads.push_back({QByteArray(), reversedHexText(uid)});
    }
    if (claimed > present)
        formatError(out);
}

} // namespace

bool ReplyOutcome::stores(ReplyField field) const
{
    return std::any_of(writes.begin(), writes.end(), [field](const FieldWrite &w) { return w.field == field; });
}

QString hexBytesText(std::span<const uint8_t> bytes)
{
    return hexLine(bytes.data(), static_cast<int>(bytes.size()));
}

QByteArray reversedHexText(std::span<const uint8_t> bytes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(bytes.size() * 3));
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it)
        appendHexByte(out, *it);
    return out;
}

QByteArray textSkippingZeros(std::span<const uint8_t> bytes)
{
    QByteArray out;
    for (uint8_t b : bytes)
        if (b != 0)
            out.append(static_cast<char>(b));
    return out;
}

QByteArray textUpToZero(std::span<const uint8_t> bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    return toBytes(bytes.first(static_cast<size_t>(end - bytes.begin())));
}

QString dsfidLine(uint8_t value)
{
    return QStringLiteral("DSFID: ") + QString::number(value) + QStringLiteral("[0x") + byteHex(value) +
           QLatin1Char(']');
}

QString uidHexLine(std::span<const uint8_t> uid)
{
    return QStringLiteral("UID(hex): ") + hexBytesText(uid);
}

QString uidLine(std::span<const uint8_t> uid)
{
    return QStringLiteral("UID: ") + QString::fromLatin1(reversedHexText(uid));
}

QString dataTextLine(std::span<const uint8_t> bytes)
{
    return QStringLiteral("data: ") + cp932ToUnicode(textSkippingZeros(bytes));
}

QString nackText(uint8_t errorClass, uint8_t isoCode)
{
    switch (errorClass) {
    case 1:
        return QStringLiteral("CRCエラー");
    case 2:
        return QStringLiteral("CMD_TIME_OVER受信");
    case 3:
        return QStringLiteral("タグデータ受信エラー");
    case 4:
        return QStringLiteral("タグからの応答なし");
    case 'A':
        return QStringLiteral("データ数エラー");
    case 'B':
        return QStringLiteral("コマンドのサム値エラー");
    case 'C':
        return QStringLiteral("コマンドのＩＤ値のエラー");
    case 'D':
        return QStringLiteral("不正なコマンド");
    case 5:
        break;
    default:
        return QStringLiteral("??? NACK受信");
    }
    switch (isoCode) {
    case 0x01:
        return QStringLiteral("The command is not supported, i.e. the request code is not recognised.");
    case 0x02:
        // The missing first letter is what the reader tools have always shown.
        return QStringLiteral("he command is not recognised, for example: a format error occurred.");
    case 0x03:
        return QStringLiteral("The option is not supported.");
    case 0x0F:
        return QStringLiteral("Unknown error.");
    case 0x10:
        return QStringLiteral("The specified block is not available (doesn’t exist).");
    case 0x11:
        return QStringLiteral("The specified block is already -locked and thus cannot be locked again");
    case 0x12:
        return QStringLiteral("The specified block is locked and its content cannot be changed.");
    case 0x13:
        return QStringLiteral("The specified block was not successfully programmed.");
    case 0x14:
        return QStringLiteral("The specified block was not successfully locked.");
    default:
        return QStringLiteral("? 'DF' Custom command error codes");
    }
}

ReplyOutcome decodeReply(const ReplyFrame &f, const DecodeContext &ctx)
{
    ReplyOutcome out;
    switch (f.code()) {
    case ReplyAck:
        out.replyState = ReplyStateAck;
        out.copyToLastReply = true;
        decodeAck(f, ctx, out);
        break;
    case ReplyNack:
        out.replyState = ReplyStateNack;
        out.copyToLastReply = true;
        decodeNack(f, out);
        break;
    case ReplyReadData: {
        out.replyState = ReplyStateReadData;
        const auto data = f.data(0, f.len());
        const QByteArray text = isTagItReader(ctx.s6700Conf) ? textUpToZero(data) : textSkippingZeros(data);
        out.reads.push_back({text, QByteArray(), true});
        break;
    }
    case ReplyScanRead:
        out.replyState = ReplyStateScanRead;
        decodeScanRead(f, ctx, out);
        break;
    case ReplyInventory:
        out.replyState = ReplyStateInventory;
        decodeInventoryList(f, out);
        break;
    case ReplyUid:
        out.replyState = ReplyStateUid;
        if (!f.has(9)) {
            formatError(out);
            break;
        }
        store(out, ReplyField::CurrentUid, f.data(1, 8));
        // Unlike every other UID line, this one keeps the order of the wire.
        out.lines << QStringLiteral("UID: ") + hexBytesText(f.data(1, 8));
        break;
    case ReplyReadWithUid:
        out.replyState = ReplyStateReadWithUid;
        if (!f.has(8)) {
            formatError(out);
            break;
        }
        store(out, ReplyField::CurrentUid, f.data(0, 8));
        out.reads.push_back({textSkippingZeros(f.data(8, f.len() - 8)), reversedHexText(f.data(0, 8))});
        break;
    case ReplyGate:
        out.replyState = ReplyStateGate;
        out.copyToLastGateFrame = true;
        // Shorter count frames carry no whole record and are not forwarded.
        if (f.len() > 12 && (f.data(0) == 0x80 || f.data(0) == 0x81))
            out.gateEvent = GateEvent{f.data(0) == 0x80 ? 10 : 11, toBytes(f.data(1, f.len() - 1))};
        break;
    default:
        formatError(out);
        break;
    }
    return out;
}
