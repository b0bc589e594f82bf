#include "controls/DateTimeText.h"

#include <QDateTime>

#include <cmath>
#include <cstring>

namespace
{

const QString startupShortDate = QStringLiteral("yyyy/mm/dd");
const QString startupLongTime = QStringLiteral("h:nn:ss");
QString shortDateFormat = startupShortDate;
QString longTimeFormat = startupLongTime;

constexpr int64_t msecsPerDay = 86400000;

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days since 0000-03-01 in the proleptic Gregorian calendar.
int64_t civilToDays(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

const int64_t epochDays = civilToDays(1899, 12, 30);

void daysToCivil(int64_t z, int &y, int &m, int &d)
{
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int64_t msecsOfDay(TDateTime t)
{
    return std::llround(std::fabs(t.Val) * static_cast<double>(msecsPerDay)) % msecsPerDay;
}

// The leading integer of text from index `from`, read like the C library's atoi (blanks,
// a sign, digits; 0 when there is no number).
int leadingInt(const QString &text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    int64_t v = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        v = v * 10 + (text[i].unicode() - u'0');
        if (v > 0x7FFFFFFF)
            v = 0x7FFFFFFF;
        ++i;
    }
    return static_cast<int>(negative ? -v : v);
}

// The numbers of a text that holds sep: the leading integer, the one after the first
// separator, and the one after the second (`missing` when there is no second).
void separatedNumbers(const QString &text, QChar sep, int missing, int &a, int &b, int &c)
{
    const qsizetype first = text.indexOf(sep);
    const qsizetype second = text.indexOf(sep, first + 1);
    a = leadingInt(text, 0);
    b = leadingInt(text, first + 1);
    c = second >= 0 ? leadingInt(text, second + 1) : missing;
}

// The digit value of a character by its low four bits, as the compact forms are read
// (no check that the character is a digit).
int lowBits(QChar c)
{
    return c.unicode() & 0x0F;
}

int lowBitsNumber(const QString &text, qsizetype from, qsizetype count)
{
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i)
        v = v * 10 + lowBits(text[i]);
    return v;
}

int centuryRule(int year)
{
    if (year >= 0 && year < 90)
        return year + 2000;
    if (year >= 90 && year <= 99)
        return year + 1900;
    return year;
}

QString twoDigits(int v)
{
    return QString::number(v).rightJustified(2, u'0');
}

} // namespace

QChar DateSeparator()
{
    return u'/';
}

QChar TimeSeparator()
{
    return u':';
}

QChar ThousandSeparator()
{
    return u',';
}

QChar DecimalSeparator()
{
    return u'.';
}

QString ShortDateFormat()
{
    return shortDateFormat;
}

QString LongTimeFormat()
{
    return longTimeFormat;
}

QString SetShortDateFormat(const QString &fmt)
{
    QString previous = shortDateFormat;
    shortDateFormat = fmt.trimmed().isEmpty() ? startupShortDate : fmt;
    return previous;
}

QString SetLongTimeFormat(const QString &fmt)
{
    QString previous = longTimeFormat;
    longTimeFormat = fmt.trimmed().isEmpty() ? startupLongTime : fmt;
    return previous;
}

TDateTime EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return TDateTime(static_cast<double>(civilToDays(year, month, day) - epochDays));
}

void DecodeDate(TDateTime t, int &year, int &month, int &day)
{
    daysToCivil(static_cast<int64_t>(std::trunc(t.Val)) + epochDays, year, month, day);
}

QList<PatternToken> patternTokens(const QString &pattern)
{
    QList<PatternToken> tokens;
    bool lastWasHour = false;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar raw = pattern[i];
        PatternToken token;
        if (raw == u'"' || raw == u'\'') {
            const qsizetype close = pattern.indexOf(raw, i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            token.quoted = true;
            token.text = pattern.mid(i + 1, end - i - 1);
            tokens << token;
            i = end + 1;
            continue;
        }
        token.letter = raw.toLower();
        token.count = 1;
        while (token.letter.isLetter() && i + token.count < pattern.size() &&
               pattern[i + token.count].toLower() == token.letter)
            ++token.count;
        token.afterHour = lastWasHour;
        token.text = pattern.mid(i, token.count);
        if (token.letter == u'h')
            lastWasHour = true;
        else if (token.letter.isLetter())
            lastWasHour = false;
        tokens << token;
        i += token.count;
    }
    return tokens;
}

double currentDateTime()
{
    // Milliseconds from 1899-12-30 to the Unix epoch.
    constexpr int64_t epochOffsetMs = 25569LL * 86400000LL;
    const QDateTime now = QDateTime::currentDateTime();
    const int64_t localMs = now.toMSecsSinceEpoch() + int64_t{now.offsetFromUtc()} * 1000;
    return static_cast<double>(localMs + epochOffsetMs) / 86400000.0;
}

QString FormatDateTime(const QString &pattern, TDateTime t)
{
    int year, month, day;
    DecodeDate(t, year, month, day);
    const int64_t ms = msecsOfDay(t);
    const int hour = static_cast<int>(ms / 3600000);
    const int minute = static_cast<int>(ms / 60000 % 60);
    const int second = static_cast<int>(ms / 1000 % 60);
    const int milli = static_cast<int>(ms % 1000);

    const auto number = [](int v, bool padded) { return padded ? twoDigits(v) : QString::number(v); };
    QString out;
    for (const PatternToken &token : patternTokens(pattern)) {
        const QChar c = token.letter;
        const bool two = token.count >= 2;
        if (token.quoted)
            out += token.text;
        else if (c == u'y')
            out += token.count <= 2 ? twoDigits(year % 100) : QString::number(year).rightJustified(4, u'0');
        else if (c == u'n' || (c == u'm' && token.afterHour))
            out += number(minute, two);
        else if (c == u'm')
            out += number(month, two);
        else if (c == u'd')
            out += number(day, two);
        else if (c == u'h')
            out += number(hour, two);
        else if (c == u's')
            out += number(second, two);
        else if (c == u'z')
            out += token.count >= 3 ? QString::number(milli).rightJustified(3, u'0') : QString::number(milli);
        else if (c == u'/')
            out += DateSeparator();
        else if (c == u':')
            out += TimeSeparator();
        else
            out += token.text;
    }
    return out;
}

TDateTime StrToTime(const QString &text)
{
    const QString s = text.trimmed();
    const auto fail = [&text]() { return EConvertError(QStringLiteral("'%1' is not a valid time").arg(text)); };
    int parts[4] = {0, 0, 0, 0};
    int count = 0;
    qsizetype i = 0;
    while (count < 4) {
        const qsizetype start = i;
        int64_t v = 0;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && i - start < 9)
            v = v * 10 + (s[i++].unicode() - u'0');
        if (i == start)
            throw fail();
        parts[count++] = static_cast<int>(v);
        if (i < s.size() && count < 3 && s[i] == TimeSeparator()) {
            ++i;
        } else if (i < s.size() && count == 3 && s[i] == DecimalSeparator()) {
            ++i;
        } else {
            break;
        }
    }
    if (i != s.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59 || parts[3] > 999)
        throw fail();
    const double ms = ((parts[0] * 60.0 + parts[1]) * 60.0 + parts[2]) * 1000.0 + parts[3];
    return TDateTime(ms / static_cast<double>(msecsPerDay));
}

int32_t DateToDays(TDateTime t)
{
    return static_cast<int32_t>(std::trunc(t.Val));
}

TDateTime DaysToDate(int32_t days)
{
    return TDateTime(static_cast<double>(days));
}

int32_t TimeToSecs(TDateTime t)
{
    return static_cast<int32_t>(msecsOfDay(t) / 1000);
}

TDateTime SecsToTime(int32_t secs)
{
    if (secs >= 86400) {
        // 23:59:59.999, kept bit for bit.
        const uint64_t bits = 0x3FEFFFFFF9C94579ull;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return TDateTime(v);
    }
    return TDateTime(secs / 86400.0);
}

int32_t StrToSecs(const QString &text)
{
    return TimeToSecs(StrToTime(text));
}

QString SecsToStr(int32_t secs)
{
    QString s = FormatDateTime(LongTimeFormat(), SecsToTime(secs));
    if (s.size() > 1 && s[1] == TimeSeparator())
        s.prepend(u' ');
    return s;
}

QString DateToYMD(TDateTime t)
{
    return FormatDateTime(QStringLiteral("yyyy/mm/dd"), t);
}

TDateTime YMDToDate(const QString &text)
{
    int year = 0, month = 1, day = 1;
    if (text.contains(DateSeparator())) {
        separatedNumbers(text, DateSeparator(), 1, year, month, day);
        if (text.size() <= 8)
            year = centuryRule(year);
    } else if (text.size() == 8) {
        year = lowBitsNumber(text, 0, 4);
        month = lowBitsNumber(text, 4, 2);
        day = lowBitsNumber(text, 6, 2);
    } else if (text.size() == 6) {
        year = centuryRule(lowBitsNumber(text, 0, 2));
        month = lowBitsNumber(text, 2, 2);
        day = lowBitsNumber(text, 4, 2);
    }
    return EncodedDate(static_cast<unsigned short>(year), static_cast<unsigned short>(month),
                       static_cast<unsigned short>(day));
}

QString TimeToHMS(TDateTime t)
{
    return FormatDateTime(QStringLiteral("hh:mm:ss"), t);
}

TDateTime HMSToTime(const QString &text)
{
    return SecsToTime(HMSToSecs(text));
}

QString SecsToHMS(int32_t secs)
{
    return TimeToHMS(SecsToTime(secs));
}

int32_t HMSToSecs(const QString &text)
{
    int hours = 0, minutes = 0, seconds = 0;
    if (text.contains(TimeSeparator())) {
        separatedNumbers(text, TimeSeparator(), 0, hours, minutes, seconds);
    } else if (text.size() == 6) {
        hours = lowBitsNumber(text, 0, 2);
        minutes = lowBitsNumber(text, 2, 2);
        seconds = lowBitsNumber(text, 4, 2);
    } else if (text.size() == 4) {
        hours = lowBitsNumber(text, 0, 2);
        minutes = lowBitsNumber(text, 2, 2);
    }
    const int64_t total = static_cast<int64_t>(static_cast<uint16_t>(hours)) * 3600 +
                          static_cast<int64_t>(static_cast<uint16_t>(minutes)) * 60 + seconds;
    return static_cast<int32_t>(static_cast<uint32_t>(total));
}

QString DateTimeToYMDHMS(TDateTime t)
{
    return FormatDateTime(QStringLiteral("yyyy/mm/dd hh:mm:ss"), t);
}

TDateTime YMDHMSToDateTime(const QString &text)
{
    const bool hasDate = text.contains(DateSeparator());
    const bool hasTime = text.contains(TimeSeparator());
    if (hasDate && hasTime && text.contains(u' ')) {
        const qsizetype space = text.indexOf(u' ');
        return YMDToDate(text.left(space)) + HMSToTime(text.mid(space + 1, 8));
    }
    if (!hasDate && !hasTime) {
        switch (text.size()) {
        case 10:
            return YMDToDate(text.left(6)) + HMSToTime(text.mid(6, 4));
        case 12:
            return YMDToDate(text.left(6)) + HMSToTime(text.mid(6, 6));
        case 14:
            return YMDToDate(text.left(8)) + HMSToTime(text.mid(8, 6));
        default:
            break;
        }
    }
    return TDateTime();
}

QString dtos(TDateTime t)
{
    return FormatDateTime(QStringLiteral("yyyymmdd"), t);
}

TDateTime EncodedDate(unsigned short year, unsigned short month, unsigned short day)
{
    if (year == 0 && month == 0 && day == 0)
        return TDateTime();
    int y = year, m = month, d = day;
    if (m == 0) {
        m = 12;
        --y;
    }
    y += (m - 1) / 12;
    m = (m - 1) % 12 + 1;
    if (d == 0) {
        if (--m == 0) {
            m = 12;
            --y;
        }
        d = y >= 1 ? daysInMonth(y, m) : 31;
    }
    while (y >= 1 && y <= 9999 && d > daysInMonth(y, m)) {
        d -= daysInMonth(y, m);
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    return EncodeDate(y, m, d);
}
