#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <stdexcept>

// A date and time as the class library holds it: days since 1899-12-30 in the integer part,
// the time of day in the fraction (of the absolute value for dates before the epoch).
struct TDateTime {
    double Val = 0.0;

    TDateTime() = default;
    explicit TDateTime(double v) : Val(v) {}
    TDateTime operator+(const TDateTime &o) const { return TDateTime(Val + o.Val); }
    auto operator<=>(const TDateTime &o) const = default;
};

// The class library's conversion error: raised by the date encoder and the time parser.
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const QString &message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

// Separators and formats shared by every formatter and parser of the edit controls. They are
// fixed at start-up (never taken from the C library's locale, which Qt sets from the
// environment); only the two formats may be changed through the setters below.
QChar DateSeparator();
QChar TimeSeparator();
QChar ThousandSeparator();
QChar DecimalSeparator();
QString ShortDateFormat();
QString LongTimeFormat();

// Set the format when fmt is not blank, otherwise restore the start-up format; each returns
// the format in force before the call.
QString SetShortDateFormat(const QString &fmt);
QString SetLongTimeFormat(const QString &fmt);

// The class library's date encoder and decoder, its formatter (patterns such as
// "yyyy/mm/dd" and "h:nn:ss", where "/" and ":" stand for the separators above) and its
// time parser.
TDateTime EncodeDate(int year, int month, int day);

// One piece of a date pattern: quoted text, or a run of one letter (lower-cased in `letter`)
// or a single other character. afterHour marks an "m" run that follows an hour, which
// stands for minutes.
struct PatternToken {
    bool quoted = false;
    QChar letter;
    qsizetype count = 0;
    bool afterHour = false;
    QString text; // the quoted text without its quotes, or the run as written
};
QList<PatternToken> patternTokens(const QString &pattern);

void DecodeDate(TDateTime t, int &year, int &month, int &day);
// Now, on the local clock, as the class library's value: days since 1899-12-30, time of day as
// the fraction.
double currentDateTime();
QString FormatDateTime(const QString &pattern, TDateTime t);
TDateTime StrToTime(const QString &text);

int32_t DateToDays(TDateTime t);
TDateTime DaysToDate(int32_t days);
int32_t TimeToSecs(TDateTime t);
TDateTime SecsToTime(int32_t secs);
int32_t StrToSecs(const QString &text);
QString SecsToStr(int32_t secs);
QString DateToYMD(TDateTime t);
TDateTime YMDToDate(const QString &text);
QString TimeToHMS(TDateTime t);
TDateTime HMSToTime(const QString &text);
QString SecsToHMS(int32_t secs);
int32_t HMSToSecs(const QString &text);
QString DateTimeToYMDHMS(TDateTime t);
TDateTime YMDHMSToDateTime(const QString &text);
QString dtos(TDateTime t);

// A date from numbers that may overflow: month 0 and day 0 step back, months above 12 and
// days beyond their month carry forward (2008-13-01 is 2009-01-01, 2008-02-30 is
// 2008-03-01). All three 0 give the zero date.
TDateTime EncodedDate(unsigned short year, unsigned short month, unsigned short day);
