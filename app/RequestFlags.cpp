#include "app/RequestFlags.h"

namespace
{

uint8_t readRule(const RequestFlagSettings &s)
{
    return static_cast<uint8_t>(((s.ReadOptionFlag & 1) << 4) | (s.ReadUidFlag & 3));
}

uint8_t writeRule(const RequestFlagSettings &s)
{
    return static_cast<uint8_t>(((s.WriteOptionFlag & 1) << 4) | (s.WriteUidFlag & 3));
}

uint8_t uidRule(const RequestFlagSettings &s)
{
    return static_cast<uint8_t>(s.UidFlag & 3);
}

uint8_t withProgFlags(uint8_t flags, const RequestFlagSettings &s)
{
    return s.fUSESetOption != 0 ? s.Prog15693FLAG : flags;
}

// The inventories take only the AFI bit from Prog15693FLAG; the slot bit stays the item's.
uint8_t withProgAfiBit(uint8_t flags, const RequestFlagSettings &s)
{
    if (s.fUSESetOption == 0)
        return flags;
    return static_cast<uint8_t>((flags & ~0x20) | (s.Prog15693FLAG & 0x20));
}

} // namespace

uint8_t requestFlags(FlagRule rule, const RequestFlagSettings &settings)
{
    switch (rule) {
    case FlagRule::R:
        return readRule(settings);
    case FlagRule::RP:
        return withProgFlags(readRule(settings), settings);
    case FlagRule::W:
        return writeRule(settings);
    case FlagRule::WP:
        return withProgFlags(writeRule(settings), settings);
    case FlagRule::U:
        return uidRule(settings);
    case FlagRule::UP:
        return withProgFlags(uidRule(settings), settings);
    case FlagRule::Inventory1Slot:
        return withProgAfiBit(0x40, settings);
    case FlagRule::Inventory16Slots:
    case FlagRule::Inventory2:
        return withProgAfiBit(0x00, settings);
    case FlagRule::TwoBlocks:
    case FlagRule::OptionWriteUid:
        return static_cast<uint8_t>(0x10 | (settings.WriteUidFlag & 3));
    case FlagRule::SelectRead:
        return static_cast<uint8_t>(readRule(settings) | 4);
    case FlagRule::SelectWrite:
        return static_cast<uint8_t>(writeRule(settings) | 4);
    case FlagRule::ReadUid:
        return static_cast<uint8_t>(settings.ReadUidFlag & 3);
    case FlagRule::WriteUid:
        return static_cast<uint8_t>(settings.WriteUidFlag & 3);
    }
    return 0;
}

uint8_t inventoryReadFlags(const RequestFlagSettings &settings, bool oneSlot, int afi)
{
    return static_cast<uint8_t>(((settings.ReadOptionFlag & 1) << 4) | (oneSlot ? OneSlotFlagBit : 0) |
                                (afi != 0 ? AfiFlagBit : 0));
}
