// TAG-IT command senders of the hub: 'u' requests, addressed by the tag's 4-byte SID.

#include "link/HubWindow.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"

ByteSpan TTComXDlg::currentSidBytes() const
{
    if (!window())
        return {};
    return ByteSpan(window()->CurrentSid(), 4);
}

void TTComXDlg::TAGIT_GETBLOCK_CMD(uint8_t block, uint8_t flags)
{
    sendCommand(CmdTagIt, tagItCommandData(0x01, dataBytes({block}), flags, currentSidBytes()),
                QStringLiteral("TAGIT_GETBLOCK_CMD: "));
}

void TTComXDlg::TAGIT_GETVERSION_CMD(uint8_t flags)
{
    sendCommand(CmdTagIt, tagItCommandData(0x03, {}, flags, currentSidBytes()),
                QStringLiteral("TAGIT_GETVERSION_CMD: "));
}

void TTComXDlg::TAGIT_PUTBLOCK_CMD(uint8_t block, ByteSpan data, uint8_t flags)
{
    QByteArray params = dataBytes({block});
    appendPadded(params, data, 4);
    sendCommand(CmdTagIt, tagItCommandData(0x05, params, flags, currentSidBytes()),
                QStringLiteral("TAGIT_PUTBLOCK_CMD: "));
}

void TTComXDlg::TAGIT_PUTBLOCKLOCK_CMD(uint8_t block, ByteSpan data, uint8_t flags)
{
    QByteArray params = dataBytes({block});
    appendPadded(params, data, 4);
    sendCommand(CmdTagIt, tagItCommandData(0x07, params, flags, currentSidBytes()),
                QStringLiteral("TAGIT_PUTBLOCKLOCK_CMD: "));
}

void TTComXDlg::TAGIT_LOCKBLOCK_CMD(uint8_t block, uint8_t flags)
{
    sendCommand(CmdTagIt, tagItCommandData(0x08, dataBytes({block}), flags, currentSidBytes()),
                QStringLiteral("TAGIT_LOCKBLOCK_CMD: "));
}

void TTComXDlg::TAGIT_SID_POLL_CMD(uint8_t maskLength, uint32_t mask, uint8_t flags)
{
    sendCommand(CmdTagIt, tagItSidPollData(maskLength, mask, flags), QStringLiteral("TAGIT_SID_POLL_CMD: "));
}

void TTComXDlg::TAGIT_QUIET_CMD(uint8_t flags)
{
    sendCommand(CmdTagIt, tagItCommandData(0x0B, {}, flags, currentSidBytes()), QStringLiteral("TAGIT_QUIET_CMD: "));
}
