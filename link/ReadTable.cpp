#include "link/ReadTable.h"

#include <QHashFunctions>

#include <algorithm>

namespace
{

size_t hashOfTextA(const QByteArray &textA)
{
    return qHash(textA);
}

size_t hashOfTexts(const QByteArray &textA, const QByteArray &textB)
{
    return qHash(textB, qHash(textA));
}

// Linear probing from the key's slot: the record whose texts match, or 0 at the first free slot.
template <class Matches> int findSlot(const std::vector<int32_t> &numbers, size_t hash, Matches matches)
{
    if (numbers.empty())
        return 0;
    const size_t mask = numbers.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const int k = numbers[i];
        if (k == 0 || matches(k))
            return k;
    }
}

void place(std::vector<int32_t> &numbers, size_t hash, int k)
{
    const size_t mask = numbers.size() - 1;
    size_t i = hash & mask;
    while (numbers[i] != 0)
        i = (i + 1) & mask;
    numbers[i] = k;
}

// Adds record k under its hash, doubling the slots (and placing every number again by the hash
// of its record) before they would be more than half full.
template <class HashOf> void insertSlot(std::vector<int32_t> &numbers, int &used, int k, HashOf hashOf)
{
    if (2 * static_cast<size_t>(used + 1) > numbers.size()) {
        std::vector<int32_t> old(std::max<size_t>(64, 2 * numbers.size()), 0);
        old.swap(numbers);
        for (const int32_t n : old) {
            if (n != 0)
                place(numbers, hashOf(n), n);
        }
    }
    place(numbers, hashOf(k), k);
    ++used;
}

} // namespace

int ReadTableIndex::firstWithTextA(const Records &records, const QByteArray &textA) const
{
    return findSlot(byTextA_.numbers, hashOfTextA(textA),
                    [&](int k) { return records[static_cast<size_t>(k - 1)].textA == textA; });
}

int ReadTableIndex::firstWithTexts(const Records &records, const QByteArray &textA, const QByteArray &textB) const
{
    return findSlot(byTexts_.numbers, hashOfTexts(textA, textB), [&](int k) {
        const tagTAGDATA &rec = records[static_cast<size_t>(k - 1)];
        return rec.textA == textA && rec.textB == textB;
    });
}

void ReadTableIndex::add(const Records &records, int k)
{
    const tagTAGDATA &rec = records[static_cast<size_t>(k - 1)];
    const auto recordOf = [&](int n) -> const tagTAGDATA & { return records[static_cast<size_t>(n - 1)]; };
    if (firstWithTextA(records, rec.textA) == 0)
        insertSlot(byTextA_.numbers, byTextA_.used, k, [&](int n) { return hashOfTextA(recordOf(n).textA); });
    if (firstWithTexts(records, rec.textA, rec.textB) == 0)
        insertSlot(byTexts_.numbers, byTexts_.used, k,
                   [&](int n) { return hashOfTexts(recordOf(n).textA, recordOf(n).textB); });
}

void ReadTableIndex::clear()
{
    byTextA_ = Slots{};
    byTexts_ = Slots{};
}
