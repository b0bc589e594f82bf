#include "platform/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace
{

// One descriptor per direction and thread: iconv_t carries shift state and must not be
// shared between threads, and opening one per call costs more than the conversion.
class Converter
{
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; on return `in` points at the first byte it could not
    // take (or the end) and errno-style status is returned (0 when all was taken).
    int convert(const char *&in, size_t &inLeft, QByteArray &out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        while (inLeft > 0) {
            char *outPtr = buffer;
            size_t outLeft = sizeof buffer;
            char *inPtr = const_cast<char *>(in);
            const size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int err = errno;
            in = inPtr;
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
            if (rc != static_cast<size_t>(-1))
                continue;
            if (err != E2BIG)
                return err;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

Converter &encoder()
{
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

Converter &decoder()
{
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

bool isAscii(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    }
    return true;
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

QByteArray unicodeToCp932(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    // CP932 keeps ASCII as it is (0x5C stays a backslash, 0x7E a tilde).
    if (isAscii(utf8.constData(), utf8.size()))
        return utf8;

    QByteArray out;
    out.reserve(utf8.size());
    Converter &conv = encoder();
    if (!conv.valid()) {
        for (QChar ch : text)
            out.append(ch.unicode() < 0x80 ? static_cast<char>(ch.unicode()) : '?');
        return out;
    }
    const char *in = utf8.constData();
    size_t left = static_cast<size_t>(utf8.size());
    while (left > 0) {
        if (conv.convert(in, left, out) == 0)
            break;
        const size_t skip = std::min(left, utf8SequenceLength(static_cast<unsigned char>(*in)));
        out.append('?');
        in += skip;
        left -= skip;
    }
    return out;
}

QString cp932ToUnicode(const QByteArray &bytes)
{
    if (isAscii(bytes.constData(), bytes.size()))
        return QString::fromLatin1(bytes);

    QByteArray utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    Converter &conv = decoder();
    if (!conv.valid()) {
        for (char b : bytes)
            utf8.append(static_cast<unsigned char>(b) < 0x80 ? QByteArray(1, b) : QByteArray("\xEF\xBF\xBD"));
        return QString::fromUtf8(utf8);
    }
    const char *in = bytes.constData();
    size_t left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        if (conv.convert(in, left, utf8) == 0)
            break;
        // A bad lead byte, a lead byte with a bad trail, or a lead byte cut off at the
        // end: give up that one byte only, so the trail byte is read again on its own.
        utf8.append("\xEF\xBF\xBD");
        ++in;
        --left;
    }
    return QString::fromUtf8(utf8);
}

int cp932Length(const QString &text)
{
    return static_cast<int>(unicodeToCp932(text).size());
}

QString cp932Prefix(const QString &text, int maxBytes)
{
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        // A surrogate pair is one character.
        const qsizetype width = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        bytes += cp932Length(text.mid(end, width));
        if (bytes > maxBytes)
            break;
        end += width;
    }
    return text.left(end);
}
