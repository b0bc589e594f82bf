#include "controls/RadixText.h"

#include <algorithm>
#include <string>

namespace
{

const char digitAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

int32_t stol(const char *str, const char **endp, int radix)
{
    const char *p = str;
    while (isAsciiSpace(*p))
        ++p;
    char sign = 0;
    if (*p == '+' || *p == '-')
        sign = *p++;

    int64_t base = radixBase(radix);
    if (radix == 0) {
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
            base = 16;
        else if (p[0] == '0')
            base = 8;
        else if (p[0] == '$')
            base = 16;
        else
            base = 10;
    }
    if (base == 16) {
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
            p += 2;
        else if (p[0] == '$')
            ++p;
    }

    uint32_t value = 0;
    if (base >= 2 && base <= 36) {
        const uint32_t limit = radix > 0 ? 0xFFFFFFFFu : 0x7FFFFFFFu;
        const uint32_t ubase = static_cast<uint32_t>(base);
        for (; isAsciiAlnum(*p); ++p) {
            const char c = *p;
            const uint32_t digit =
                c < 'A' ? static_cast<uint32_t>(c - '0') : static_cast<uint32_t>((c >= 'a' ? c - 'a' + 'A' : c) - 55);
            if (digit >= ubase)
                break;
            if (value > limit / ubase || digit > limit - value * ubase) {
                value = limit;
                break;
            }
            value = value * ubase + digit;
        }
    }
    if (sign == '-')
        value = 0u - value;
    if (endp)
        *endp = p;
    return static_cast<int32_t>(value);
}

int32_t stol(const QString &text, int radix, int *stopIndex)
{
    // toLatin1 keeps one byte per UTF-16 unit, so indexes carry over; anything beyond
    // Latin-1 turns into '?', which ends a number like any other non-digit.
    const QByteArray bytes = text.toLatin1();
    const char *end = nullptr;
    const int32_t v = stol(bytes.constData(), &end, radix);
    if (stopIndex)
        *stopIndex = static_cast<int>(end - bytes.constData());
    return v;
}

QString ltos(int32_t value, int radix)
{
    std::string out;
    uint32_t magnitude = static_cast<uint32_t>(value);
    const int64_t base = radixBase(radix);
    if (radix < 0) {
        if (value < 0) {
            out += '-';
            magnitude = 0u - magnitude;
        }
    }
    if (base >= 2 && base <= 36) {
        const size_t first = out.size();
        do {
            out += digitAlphabet[magnitude % static_cast<uint32_t>(base)];
            magnitude /= static_cast<uint32_t>(base);
        } while (magnitude != 0);
        std::reverse(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}
