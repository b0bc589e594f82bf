#pragma once

#include <QString>

#include <cstdint>

// Integer text in any radix from 2 to 36. The radix is an int whose absolute value is the
// base; a negative radix means signed (the text may begin with "-"), a positive one shows
// the 32 bits as an unsigned number. stol alone also takes radix 0: the text decides
// ("0x"/"$" hexadecimal, a leading "0" octal, otherwise decimal).

// Reads a number from str. Reading stops at the first character that is not a digit of the
// base; overflow saturates at 0x7FFFFFFF (signed or automatic radix) or 0xFFFFFFFF
// (unsigned) and leaves the stop position on the digit that overflowed, so a caller tells
// overflow from a complete read by the stop character. Only ASCII letters and digits count
// as digits. endp, when given, receives the stop position.
int32_t stol(const char *str, const char **endp, int radix);

// The same over a QString; stopIndex receives the index of the stop character (the length
// when the whole text was read). Characters outside Latin-1 stop the number.
int32_t stol(const QString &text, int radix, int *stopIndex = nullptr);

// The text of value: upper-case digits, no prefix, no leading zeros, "-" first for a
// negative value under a negative radix. A base outside 2..36 gives only the sign, if any.
QString ltos(int32_t value, int radix);

// The base a radix names, its magnitude taken in wider arithmetic so that INT_MIN gives a
// base outside 2..36 instead of overflowing.
inline int64_t radixBase(int radix)
{
    return radix < 0 ? -static_cast<int64_t>(radix) : static_cast<int64_t>(radix);
}

// Comparisons of 32-bit values as the radix views them: unsigned under a positive radix,
// signed otherwise. Widened so that bound tests and steps never overflow.
inline int64_t radixView(int32_t value, int radix)
{
    return radix > 0 ? static_cast<int64_t>(static_cast<uint32_t>(value)) : static_cast<int64_t>(value);
}
