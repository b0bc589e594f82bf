#include "link/GateRecords.h"

namespace
{

// Both records are made of 12-byte blocks: two u32 counts, then two u16 counts.
struct CountBlock {
    uint32_t first = 0, second = 0;
    uint16_t third = 0, fourth = 0;
};

uint32_t lowFirst(QByteArrayView bytes, int at, int width)
{
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

CountBlock readBlock(QByteArrayView bytes, int at)
{
    return {lowFirst(bytes, at, 4), lowFirst(bytes, at + 4, 4), static_cast<uint16_t>(lowFirst(bytes, at + 8, 2)),
            static_cast<uint16_t>(lowFirst(bytes, at + 10, 2))};
}

void putLowFirst(QByteArray &out, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out.append(static_cast<char>(value >> (8 * i)));
}

void writeBlock(QByteArray &out, const CountBlock &b)
{
    putLowFirst(out, b.first, 4);
    putLowFirst(out, b.second, 4);
    putLowFirst(out, b.third, 2);
    putLowFirst(out, b.fourth, 2);
}

} // namespace

std::optional<GateCountRecord> GateCountRecord::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() < Size)
        return std::nullopt;
    const CountBlock b = readBlock(bytes, 0);
    return GateCountRecord{b.first, b.second, b.third, b.fourth};
}

QByteArray GateCountRecord::toBytes() const
{
    QByteArray out;
    writeBlock(out, {persons1, persons2, alarms1, alarms2});
    return out;
}

std::optional<GateCount2Record> GateCount2Record::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() < Size)
        return std::nullopt;
    GateCount2Record r;
    for (int k = 0; k < 3; ++k) {
        const CountBlock b = readBlock(bytes, 12 * k);
        r.aisles[k] = {b.first, b.second, b.third, b.fourth};
    }
    return r;
}

QByteArray GateCount2Record::toBytes() const
{
    QByteArray out;
    for (const Aisle &a : aisles)
        writeBlock(out, {a.personsIn, a.personsOut, a.alarmsIn, a.alarmsOut});
    return out;
}
