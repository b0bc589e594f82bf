// Custom tag command senders of the hub: 'x' requests for the tag makers' own commands (TI,
// my-d, Philips SLI, Fujitsu MB89, ST LRI) and the reader's byte and loop commands.

#include "link/SendData.h"
#include "link/TTComXDlg.h"

namespace
{

// The decoder expects a block-security byte before each block's data when the option bit is set.
int optionFlagOf(uint8_t flags)
{
    return (flags & 0x10) ? 1 : 0;
}

} // namespace

void TTComXDlg::TI_KillCommand(uint8_t flags, ByteSpan uid, ByteSpan password)
{
    sendCommand(CmdTag, tiKillData(flags, uid, password), QStringLiteral("TI_KillCommand: "));
}

void TTComXDlg::TI_WRSIBK_Psw(uint8_t flags, ByteSpan uid, ByteSpan password, uint8_t block, ByteSpan data)
{
    sendCommand(CmdTag, tiWriteBlockPswData(flags, uid, password, block, data), QStringLiteral("TI_WRSIBK_Psw : "));
}

void TTComXDlg::TI_InventoryRead(uint8_t block, uint8_t flags, uint8_t afi)
{
    OptionFlag = optionFlagOf(flags);
    sendCommand(CmdTag, dataBytes({0xA4, block, flags, afi}), QStringLiteral("TI_InventoryRead: "));
}

void TTComXDlg::TI_InventoryMultiRead(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi)
{
    OptionFlag = optionFlagOf(flags);
    sendCommand(CmdTag, dataBytes({0xA5, block, count, flags, afi}), QStringLiteral("TI_InventoryMultiRead: "));
}

void TTComXDlg::TI_InventoryGetSystemInfo(uint8_t flags, uint8_t afi)
{
    sendCommand(CmdTag, dataBytes({0xA6, flags, afi}), QStringLiteral("TI_InventoryGetSystemInfo: "));
}

void TTComXDlg::TI_InventoryGetSecInfo(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi)
{
    sendCommand(CmdTag, dataBytes({0xA7, block, count, flags, afi}), QStringLiteral("TI_InventoryGetSecInfo: "));
}

void TTComXDlg::ISO15693_ReadBytes(uint8_t start, uint8_t count, uint8_t flags)
{
    sendTagCommand(0xA0, dataBytes({start, count}), {}, 0, flags, QStringLiteral("ISO15693_ReadBytes: "));
}

bool TTComXDlg::ISO15693_WriteBytes(uint8_t start, uint8_t n, ByteSpan data, uint8_t flags)
{
    return sendTagCommand(0xA1, dataBytes({start, n}), data, n, flags, QStringLiteral("ISO15693_WriteBytes: "));
}

void TTComXDlg::ISO15693_LockBytes(uint8_t start, uint8_t count, uint8_t flags)
{
    // The lock shares the write's log tag.
    sendTagCommand(0xF3, dataBytes({start, count}), {}, 0, flags, QStringLiteral("ISO15693_WriteBytes: "));
}

void TTComXDlg::Inventory16SlotsCmd(uint8_t mode, uint8_t flags, uint8_t afi, uint8_t maskLength, ByteSpan mask)
{
    sendCommand(CmdTag, inventory16SlotsData(mode, flags, afi, maskLength, mask),
                QStringLiteral("Read Loop Command: "));
}

void TTComXDlg::ReadLoopCmd(uint8_t mode, uint8_t flags, uint8_t startBlock, uint8_t length, uint8_t afi)
{
    sendCommand(CmdTag, readLoopData(mode, flags, startBlock, length, afi, currentUidBytes()),
                QStringLiteral("Read Loop Command: "));
}

void TTComXDlg::RDLoopPolCmd(uint8_t flags, uint8_t mode, uint16_t pollingTime, uint8_t startBlock, uint8_t length,
                             uint8_t afi)
{
    sendCommand(CmdTag, rdLoopPolData(flags, mode, pollingTime, startBlock, length, afi, currentUidBytes()),
                QStringLiteral("RDLoopPol Command: "));
}

void TTComXDlg::RDLoopPolGetCmd()
{
    sendCommand(CmdTag, dataBytes({0xF5}), QStringLiteral("RDLoopPolGet Command: "));
}

void TTComXDlg::Myd_ReadCommand(uint8_t block, uint8_t flags)
{
    sendTagCommand(0xB0, dataBytes({block, 0x00}), {}, 0, flags, QStringLiteral("Myd_ReadCommand: "));
}

void TTComXDlg::Myd_WriteCommand(uint8_t block, ByteSpan data, uint8_t flags)
{
    sendTagCommand(0xB1, dataBytes({block, 0x00}), data, 8, flags, QStringLiteral("Myd_WriteCommand: "));
}

void TTComXDlg::Myd_WriteByteCommand(uint8_t block, uint8_t position, uint8_t value, uint8_t flags)
{
    sendTagCommand(0xB2, dataBytes({block, 0x00, position, value}), {}, 0, flags,
                   QStringLiteral("Myd_WriteByteCommand: "));
}

void TTComXDlg::Myd_WriteRereadCommand(uint8_t block, ByteSpan data, uint8_t flags)
{
    sendTagCommand(0xB3, dataBytes({block, 0x00}), data, 8, flags, QStringLiteral("Myd_WriteRereadCommand: "));
}

void TTComXDlg::SLI_InventoryRead(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi)
{
    OptionFlag = optionFlagOf(flags);
    sendCommand(CmdTag, dataBytes({0xC0, block, count, flags, afi}), QStringLiteral("SLI_InventoryRead: "));
}

void TTComXDlg::SLI_FastInventoryRead(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi)
{
    OptionFlag = optionFlagOf(flags);
    sendCommand(CmdTag, dataBytes({0xC1, block, count, flags, afi}), QStringLiteral("SLI_FastInventoryRead: "));
}

void TTComXDlg::SLI_SetEASCommand(uint8_t flags)
{
    sendTagCommand(0xC2, {}, {}, 0, flags, QStringLiteral("SLI_SetEASCommand: "));
}

void TTComXDlg::SLI_ResetEASCommand(uint8_t flags)
{
    sendTagCommand(0xC3, {}, {}, 0, flags, QStringLiteral("SLI_ResetEASCommand: "));
}

void TTComXDlg::SLI_LockEASCommand(uint8_t flags)
{
    sendTagCommand(0xC4, {}, {}, 0, flags, QStringLiteral("SLI_LockEASCommand: "));
}

void TTComXDlg::SLI_EASAlarmCommand(uint8_t flags)
{
    sendTagCommand(0xC5, {}, {}, 0, flags, QStringLiteral("SLI_EASAlarmCommand: "));
}

void TTComXDlg::MB89_EASCommand(uint8_t flags)
{
    sendTagCommand(0xC8, {}, {}, 0, flags, QStringLiteral("MB89_EASCommand: "));
}

void TTComXDlg::MB89_WriteEASCommand(uint8_t flags, uint8_t value)
{
    sendTagCommand(0xC9, dataBytes({value}), {}, 0, flags, QStringLiteral("MB89_WriteEASCommand: "));
}

void TTComXDlg::MB89_RefreshCommand(uint8_t flags)
{
    sendTagCommand(0xCA, {}, {}, 0, flags, QStringLiteral("MB89_RefreshCommand: "));
}

void TTComXDlg::MB89_RDMULIBLOCKSCommand(uint8_t first, uint8_t count, uint8_t flags)
{
    sendTagCommand(0xCB, dataBytes({first, count}), {}, 0, flags, QStringLiteral("MB89_RDMULIBLOCKSCommand: "));
}

void TTComXDlg::LRI_ACTIVATEEAS(uint8_t flags)
{
    sendTagCommand(0xB8, {}, {}, 0, flags, QStringLiteral("LRI_ACTIVATEEAS: "));
}

void TTComXDlg::LRI_DEACTIVATEEAS(uint8_t flags)
{
    sendTagCommand(0xB9, {}, {}, 0, flags, QStringLiteral("LRI_DEACTIVATEEAS: "));
}

void TTComXDlg::LRI_POOLEAS(uint8_t flags)
{
    sendTagCommand(0xBA, {}, {}, 0, flags, QStringLiteral("LRI_POOLEAS: "));
}
