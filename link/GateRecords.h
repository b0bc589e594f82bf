#pragma once

// The people counts of the two gate models, as the count reads and writes and the gates' own
// count events carry them: every field low byte first.

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <optional>

// M740: two gates.
struct GateCountRecord {
    static constexpr int Size = 12;

    uint32_t persons1 = 0; // infrared sensor 1
    uint32_t persons2 = 0; // infrared sensor 2
    uint16_t alarms1 = 0;
    uint16_t alarms2 = 0;

    // The record in the first Size bytes; empty when fewer bytes are given.
    static std::optional<GateCountRecord> fromBytes(QByteArrayView bytes);
    QByteArray toBytes() const;
};

// M750: three aisles, each with an in and an out sensor (sensors 2k - 1 and 2k of aisle k).
struct GateCount2Record {
    static constexpr int Size = 36;

    struct Aisle {
        uint32_t personsIn = 0;
        uint32_t personsOut = 0;
        uint16_t alarmsIn = 0;
        uint16_t alarmsOut = 0;
    };
    std::array<Aisle, 3> aisles{};

    static std::optional<GateCount2Record> fromBytes(QByteArrayView bytes);
    QByteArray toBytes() const;
};
