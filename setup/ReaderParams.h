#pragma once

#include "setup/EepromImage.h"

#include <QString>

#include <cstdint>

// The reader's success counters as one log line: "成功率: " + the ratio good / (good + failed)
// rounded to three decimals (half away from zero, trailing zeros and a trailing '.' dropped,
// "0" when both are 0) + "[" + good + ", " + failed + "]".
QString successRateLine(uint64_t good, uint64_t failed);

// One or two words of EEPROM area 2 (words 1..10) as the word dialogs take them: the start
// address kept inside 1..10, the count inside 1..2 and inside the area (2 at address 10 is 1).
struct Area2Words {
    int start = 1;
    int count = 1;
};
Area2Words area2Words(int start, int count);

// The parameter form's fields of EEPROM area 1 and of area-2 word 4.
struct ParamSetValues {
    uint8_t rwId = 0;      // byte 28
    uint8_t retry = 0;     // byte 22
    uint8_t blockSize = 0; // byte 36
    uint8_t afi = 0;       // byte 5
    // Item indexes of the groups (-1: none, which packs as a set bit).
    int antic = 0;  // byte 38 bit 3 and byte 31 bit 2 together
    int invTrg = 0; // byte 38 bit 5
    int invAfi = 0; // byte 7 bit 1
    int tagSel = 0; // byte 38 bit 1 (with block size 8)
    int buzType = 0;
    int ioPort3 = 0;
    int brCmd = 0;
    int useUid = 0;
};

// The form's values of an area-1 image. antic only when the anticollision setting applies.
ParamSetValues paramSetFromImage(const EepromData &image, bool anticollision);
// The form's values packed into the image read (all other bits kept): the anticollision bits
// only when they apply; with tagStep the Timing Register bit (byte 31 bit 6) set and byte 38
// bit 1 from the tag family.
void packParamSet(const ParamSetValues &values, bool anticollision, bool tagStep, EepromData &image);

// The tag-interface byte for a tag family: ISO 15693 (1/4), high baud rate, then AM with 10%
// modulation (am) or FSK with 100%; the other bits as read; through ModeByteParity.
uint8_t tagModeByte(uint8_t read, bool am);
