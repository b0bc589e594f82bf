#pragma once

// The steps of the handlers that change settings kept in the reader's EEPROM: one 16-bit word
// read through the hub, changed and written back whole, so that the byte or the bits a handler
// does not edit go back as read. Every step reports whether it succeeded and whether the
// handler may go on (not when the program is closing or the hub is gone).

#include "setup/EepromImage.h"

#include <array>
#include <cstdint>
#include <functional>

// True when a handler must stop after a wait: the program is closing, or there is no hub.
bool hubGone();

class QObject;
// Whether the handler's sender is the menu item of this name.
bool isItem(const QObject *Sender, const char *name);

// Word `address` of EEPROM area 1 (words 1-20) or area 2 (words 1-10): bytes[0] is the low
// byte (image byte 2(address-1)), bytes[1] the high byte.
struct EepromWord {
    int area = 1;
    uint8_t address = 0;
    std::array<uint8_t, 2> bytes{};

    // The read, which waits for its answer itself. With extraWait the handler's second
    // WaitReply follows a successful read (it returns at once with the answer's verdict).
    bool read(bool extraWait = false);
    // The write, then WaitReply: true when the reader acknowledged it.
    bool write() const;
    // read, change, write; false at the first step that fails (nothing is written after a
    // failed read).
    bool rewrite(const std::function<void(std::array<uint8_t, 2> &bytes)> &change, bool extraWait = false);
};

// Shorthands for a word of area 1 and of area 2.
inline EepromWord area1Word(uint8_t address)
{
    return EepromWord{1, address, {}};
}
inline EepromWord area2Word(uint8_t address)
{
    return EepromWord{2, address, {}};
}
