// ISO 15693 tag command senders of the hub: 'x' requests that the reader passes on to a tag.

#include "link/HubWindow.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"

ByteSpan TTComXDlg::currentUidBytes() const
{
    if (!window())
        return {};
    return ByteSpan(window()->CurrentUid(), 8);
}

int64_t TTComXDlg::tagBlockSize() const
{
    return window() ? window()->TagBlockSize() : 4;
}

bool TTComXDlg::sendTagCommand(uint8_t code, QByteArrayView params, ByteSpan data, uint64_t dataLength,
                               uint8_t requestFlags, const QString &tag)
{
    return sendCommand(CmdTag, tagCommandData(code, params, data, dataLength, requestFlags, currentUidBytes()), tag);
}

void TTComXDlg::ISO15693_CommCmd(uint8_t n, ByteSpan bytes)
{
    QByteArray d;
    appendPadded(d, bytes, n);
    sendCommand(CmdTag, d, QStringLiteral("ISO15693_CommCmd: "));
}

void TTComXDlg::ISO15693_Inventory(uint8_t flags)
{
    // An inventory is never addressed: the UID mode bits are cleared.
    sendCommand(CmdTag, dataBytes({0x01, static_cast<uint8_t>(flags & 0xFC)}), QStringLiteral("ISO15693_Inventory: "));
}

void TTComXDlg::ISO15693_Inventory2(uint8_t flags, uint8_t param)
{
    sendCommand(CmdTag, dataBytes({0xF0, static_cast<uint8_t>(flags & 0xFC), param}),
                QStringLiteral("ISO15693_Inventory2: "));
}

void TTComXDlg::ISO15693_StayQuiet(ByteSpan uid, uint8_t flags)
{
    sendCommand(CmdTag, tagUidCommandData(0x02, flags, uid), QStringLiteral("StayQuiet: "));
}

void TTComXDlg::ISO15693_ReadSingleBlock(uint8_t block, uint8_t flags)
{
    // The decoder expects a block-security byte before the data when the option bit is set.
    OptionFlag = (flags & 0x10) ? 1 : 0;
    sendTagCommand(0x20, dataBytes({block}), {}, 0, flags, QStringLiteral("ISO15693_ReadSingleBlock: "));
}

bool TTComXDlg::ISO15693_WriteSingleBlock(uint8_t block, ByteSpan data, uint8_t flags)
{
    const std::optional<uint64_t> length = blockDataLength(tagBlockSize(), 1);
    const QString tag = QStringLiteral("ISO15693_WriteSingleBlock: ");
    if (!length)
        return sendCommand(CmdTag, std::nullopt, tag);
    return sendTagCommand(0x21, dataBytes({block}), data, *length, flags, tag);
}

void TTComXDlg::ISO15693_LockBlock(uint8_t block, uint8_t flags)
{
    sendTagCommand(0x22, dataBytes({block}), {}, 0, flags, QStringLiteral("ISO15693_LockBlock: "));
}

void TTComXDlg::ISO15693_ReadMultiBlock(uint8_t first, uint8_t count, uint8_t flags)
{
    OptionFlag = (flags & 0x10) ? 1 : 0;
    sendTagCommand(0x23, dataBytes({first, count}), {}, 0, flags, QStringLiteral("ISO15693_ReadMultiBlock: "));
}

bool TTComXDlg::ISO15693_WriteMultiBlock(uint8_t first, uint8_t count, ByteSpan data, uint8_t flags)
{
    // count is the number of blocks minus one.
    const std::optional<uint64_t> length = blockDataLength(tagBlockSize(), uint64_t(count) + 1);
    const QString tag = QStringLiteral("ISO15693_WriteMultiBlock: ");
    if (!length)
        return sendCommand(CmdTag, std::nullopt, tag);
    return sendTagCommand(0x24, dataBytes({first, count}), data, *length, flags, tag);
}

void TTComXDlg::ISO15693_SelectTag(ByteSpan uid, uint8_t flags)
{
    sendCommand(CmdTag, tagUidCommandData(0x25, flags, uid), QStringLiteral("ISO15693_SelectTag: "));
}

void TTComXDlg::ISO15693_ResetToReady(uint8_t flags)
{
    sendTagCommand(0x26, {}, {}, 0, flags, QStringLiteral("ISO15693_ResetToReady: "));
}

void TTComXDlg::ISO15693_WriteAFI(uint8_t afi, uint8_t flags)
{
    sendTagCommand(0x27, dataBytes({afi}), {}, 0, flags, QStringLiteral("ISO15693_WriteAFI: "));
}

void TTComXDlg::ISO15693_LockAFI(uint8_t flags)
{
    sendTagCommand(0x28, {}, {}, 0, flags, QStringLiteral("ISO15693_LockAFI: "));
}

void TTComXDlg::ISO15693_WriteDSFID(uint8_t dsfid, uint8_t flags)
{
    // The tag's misspelling is what operators know from the log.
    sendTagCommand(0x29, dataBytes({dsfid}), {}, 0, flags, QStringLiteral("ISO15693_WrietDSFID: "));
}

void TTComXDlg::ISO15693_LockDSFID(uint8_t flags)
{
    sendTagCommand(0x2A, {}, {}, 0, flags, QStringLiteral("ISO15693_LockDSFID: "));
}

void TTComXDlg::ISO15693_GetSystemInfo(uint8_t flags)
{
    sendTagCommand(0x2B, {}, {}, 0, flags, QStringLiteral("ISO15693_GetSystemInfo: "));
}

void TTComXDlg::ISO15693_GetMBlockSecSt(uint8_t first, uint8_t count, uint8_t flags)
{
    sendTagCommand(0x2C, dataBytes({first, count}), {}, 0, flags, QStringLiteral("ISO15693_GetMBlockSecSt: "));
}

void TTComXDlg::ISO15693_Write2Blocks(uint8_t block, ByteSpan data, uint8_t flags)
{
    sendTagCommand(0xA2, dataBytes({block}), data, 8, flags, QStringLiteral("ISO15693_Write2Blocks: "));
}

void TTComXDlg::ISO15693_Lock2Blocks(uint8_t block, uint8_t flags)
{
    sendTagCommand(0xA3, dataBytes({block}), {}, 0, flags, QStringLiteral("ISO15693_Lock2Blocks: "));
}
