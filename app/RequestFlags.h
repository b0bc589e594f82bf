#pragma once

#include <cstdint>
#include <optional>

// The "Option" settings from which the tag-command handlers build the request-flags byte
// they pass to the senders (bits 0-1 addressing mode, 2 select, 4 option, 5 AFI, 6 one slot).
struct RequestFlagSettings {
    int UidFlag = 0;
    int ReadOptionFlag = 0;
    int ReadUidFlag = 0;
    int WriteOptionFlag = 1;
    int WriteUidFlag = 0;
    int fUSESetOption = 0;
    uint8_t Prog15693FLAG = 0;
};

// How one menu row builds its flags. R, W and U are the read, write and non-directed
// rules; the P forms afterwards take Prog15693FLAG whole when fUSESetOption is set.
enum class FlagRule {
    R,
    RP,
    W,
    WP,
    U,
    UP,
    Inventory1Slot,
    Inventory16Slots,
    Inventory2,
    TwoBlocks,  // Write2Blocks and Lock2Blocks: option bit forced, Prog15693FLAG ignored
    SelectRead, // the "(Select)" items: the select bit added, Prog15693FLAG ignored
    SelectWrite,
    ReadUid,        // the read addressing mode alone, option bit clear
    WriteUid,       // the write addressing mode alone, option bit clear
    OptionWriteUid, // option bit forced, the write addressing mode (TI Light password write, RP lock)
};

uint8_t requestFlags(FlagRule rule, const RequestFlagSettings &settings);

// Bits of the request-flags byte that handlers set by what the operator chose.
constexpr uint8_t AfiFlagBit = 0x20;
constexpr uint8_t OneSlotFlagBit = 0x40;

// The TI and SLI inventory reads: the read option bit, the one-slot bit for the "1" item, the
// AFI bit when an AFI other than 0 goes with the request; never addressed.
uint8_t inventoryReadFlags(const RequestFlagSettings &settings, bool oneSlot, int afi);

// Flag bytes that some custom commands send whatever the settings say.
namespace FixedFlags
{
constexpr uint8_t None = 0x00;            // MB89 EAS, ST POOL EAS, TAG-IT SID poll, TI Light AFI read
constexpr uint8_t Option = 0x10;          // TI Light AFI write
constexpr uint8_t OptionAddressed = 0x11; // TI Light kill and password block write
} // namespace FixedFlags

// The request flags of one tag command: built by a rule from the settings, or a fixed byte
// (the custom commands that name their flags, or flags a handler computes itself).
struct TagFlags {
    TagFlags(FlagRule rule) : rule(rule) {}
    TagFlags(uint8_t fixed) : fixed(fixed) {}
    uint8_t byte(const RequestFlagSettings &settings) const { return rule ? requestFlags(*rule, settings) : fixed; }

    std::optional<FlagRule> rule;
    uint8_t fixed = 0;
};

// Which of the steps after the send a menu row takes.
enum class TagSteps {
    WaitAndTime, // wait for the reply, then the time line
    WaitOnly,    // wait for the reply, no time line
    TimeOnly,    // the time line right after the send
    SendOnly,
};
