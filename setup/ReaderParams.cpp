#include "setup/ReaderParams.h"

#include <algorithm>

namespace
{

// Bytes and bits of area 1 that the parameter form edits.
constexpr int AfiByte = 5;
constexpr int MemSw1Byte = 6; // bit 4: no-read command
constexpr int MemSw2Byte = 7; // bit 1: AFI at inventories; bit 3: UID at simple writes
constexpr int RetryByte = 22;
constexpr int RwIdByte = 28;
constexpr int MemSw3Byte = 31; // bit 0: IO3 function; bit 2: equal inventory intervals; bit 6: Timing Register
constexpr int BlockSizeByte = 36;
constexpr int MemSw5Byte = 38; // bit 1: threshold for AM; bit 3: slot EOF; bit 4: buzzer; bit 5: trigger

bool bit(uint8_t byte, int n)
{
    return (byte >> n) & 1;
}

} // namespace

QString successRateLine(uint64_t good, uint64_t failed)
{
    const uint64_t sum = good + failed;
    QString ratio = QStringLiteral("0");
    if (sum != 0) {
        // Thousandths rounded half up, in integers: exact where a double could land a tie on
        // either side (both counters are 32-bit, so good * 2000 stays far inside 64 bits).
        const uint64_t thousandths = (good * 2000 + sum) / (2 * sum);
        ratio = QString::number(thousandths / 1000) + QLatin1Char('.') +
                QStringLiteral("%1").arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
        while (ratio.endsWith(QLatin1Char('0')))
            ratio.chop(1);
        if (ratio.endsWith(QLatin1Char('.')))
            ratio.chop(1);
    }
    return QStringLiteral("成功率: %1[%2, %3]").arg(ratio).arg(good).arg(failed);
}

Area2Words area2Words(int start, int count)
{
    Area2Words words;
    words.start = std::clamp(start, 1, EepromArea2Size / 2);
    words.count = std::clamp(count, 1, std::min(2, EepromArea2Size / 2 + 1 - words.start));
    return words;
}

ParamSetValues paramSetFromImage(const EepromData &image, bool anticollision)
{
    ParamSetValues v;
    v.rwId = image[RwIdByte];
    v.retry = image[RetryByte];
    v.blockSize = image[BlockSizeByte];
    v.afi = image[AfiByte];
    const uint8_t sw5 = image[MemSw5Byte];
    if (anticollision)
        v.antic = bit(sw5, 3) && !bit(image[MemSw3Byte], 2) ? 1 : 0;
    v.invTrg = bit(sw5, 5);
    v.invAfi = bit(image[MemSw2Byte], 1);
    v.tagSel = bit(sw5, 1) && v.blockSize == 8 ? 1 : 0;
    v.buzType = bit(sw5, 4);
    v.ioPort3 = bit(image[MemSw3Byte], 0);
    v.brCmd = bit(image[MemSw1Byte], 4);
    v.useUid = bit(image[MemSw2Byte], 3);
    return v;
}

void packParamSet(const ParamSetValues &v, bool anticollision, bool tagStep, EepromData &image)
{
    image[RwIdByte] = v.rwId;
    image[RetryByte] = v.retry;
    image[BlockSizeByte] = v.blockSize;
    image[AfiByte] = v.afi;
    if (anticollision) {
        setBit(image[MemSw5Byte], 3, v.antic == 1);
        setBit(image[MemSw3Byte], 2, v.antic != 1);
    }
    setBit(image[MemSw5Byte], 5, v.invTrg == 1);
    setBit(image[MemSw2Byte], 1, v.invAfi == 1);
    setBit(image[MemSw5Byte], 4, v.buzType == 1);
    setBit(image[MemSw3Byte], 0, v.ioPort3 == 1);
    setBit(image[MemSw1Byte], 4, v.brCmd == 1);
    setBit(image[MemSw2Byte], 3, v.useUid == 1);
    if (tagStep) {
        setBit(image[MemSw3Byte], 6, true);
        setBit(image[MemSw5Byte], 1, v.tagSel != 0);
    }
}

uint8_t tagModeByte(uint8_t read, bool am)
{
    auto mode = static_cast<uint8_t>((read & ~0x0F) | 2 << 1); // bits 1-3: ISO15693(1/4)
    setBit(mode, 6, true);
    setBit(mode, 4, !am); // modulation depth: 100% with FSK
    setBit(mode, 5, am);
    return ModeByteParity(mode);
}
