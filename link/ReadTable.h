#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// One read-table record: one distinct read and how often it was seen. The texts are kept as
// the bytes that came from the wire.
struct tagTAGDATA {
    QByteArray textA; // the data text of the read
    QByteArray textB; // the identifier text (UID or SID as hex, most significant first)
    int count = 0;
};

// Finds read-table records by their texts in constant time, with the table's matching rules: a
// simple read matches the first record with its data text, whatever that record's identifier
// text; the other reads match the first record with both texts. Records are numbered from 1,
// only ever appended and only emptied all at once, so the first record of a key is the one that
// brought it in. The index keeps record numbers only (two hash tables of 32-bit slots, open
// addressing, at most half full) and compares texts in the records themselves.
class ReadTableIndex
{
public:
    using Records = std::vector<tagTAGDATA>;

    // The record's number, 0 when there is none.
    int firstWithTextA(const Records &records, const QByteArray &textA) const;
    int firstWithTexts(const Records &records, const QByteArray &textA, const QByteArray &textB) const;
    // Record k (records[k - 1]) has just been appended.
    void add(const Records &records, int k);
    void clear();

private:
    struct Slots {
        std::vector<int32_t> numbers; // 0: free; the size is a power of two
        int used = 0;
    };
    Slots byTextA_;
    Slots byTexts_;
};
