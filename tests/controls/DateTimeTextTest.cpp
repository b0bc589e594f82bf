#include "controls/DateTimeText.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <tuple>

namespace
{

std::string ymd(TDateTime t)
{
    return DateToYMD(t).toStdString();
}

} // namespace

TEST(DateTimeTextTest, YmdToDateReadsSeparatedSixAndEightDigitFormsAndRaisesOnOthers)
{
    using Case = std::tuple<const char *, const char *>;
    const Case cases[] = {
        {"89/1/1", "2089/01/01"},     {"90/1/1", "1990/01/01"},     {"2008/4", "2008/04/01"},
        {"080424", "2008/04/24"},     {"20080424", "2008/04/24"},   {"2008/02/30", "2008/03/01"},
        {"2008/13/01", "2009/01/01"}, {"1999/12/31", "1999/12/31"}, {"12/2/29", "2012/02/29"},
    };
    for (const auto &[text, date] : cases)
        EXPECT_EQ(ymd(YMDToDate(QString::fromLatin1(text))), date) << text;
    // Text that forms no date raises the conversion error.
    for (const char *text : {"", "12345", "0000/01/01", "abc"})
        EXPECT_THROW(YMDToDate(QString::fromLatin1(text)), EConvertError) << text;
    EXPECT_THROW(StrToSecs(QStringLiteral("12:xx")), EConvertError);
}

TEST(DateTimeTextTest, EncodedDateCarriesOverflowingMonthsAndDays)
{
    EXPECT_EQ(ymd(EncodedDate(2008, 0, 0)), "2007/11/30");
    EXPECT_EQ(ymd(EncodedDate(2008, 1, 0)), "2007/12/31");
    EXPECT_EQ(ymd(EncodedDate(2008, 25, 1)), "2010/01/01");
    EXPECT_EQ(ymd(EncodedDate(2008, 2, 60)), "2008/03/31");
    EXPECT_EQ(EncodedDate(0, 0, 0).Val, 0.0);
}

TEST(DateTimeTextTest, TimeOfDayIsRoundedToMillisecondsBeforeSecondsAreCut)
{
    // A floor of t * 86400 reads 11 s back as 10 s, because 11/86400 is just below its true value.
    for (int32_t secs : {0, 1, 11, 59, 3599, 32400, 43210, 86399})
        EXPECT_EQ(TimeToSecs(SecsToTime(secs)), secs) << secs;
    EXPECT_EQ(TimeToSecs(TDateTime(-1.5)), 43200);
    EXPECT_EQ(DateToDays(TDateTime(-1.5)), -1);
    EXPECT_EQ(DateToDays(TDateTime(39562.99)), 39562);
    EXPECT_EQ(DaysToDate(39562).Val, 39562.0);
    // Seconds beyond one day give the last millisecond.
    EXPECT_DOUBLE_EQ(SecsToTime(90000).Val, 0.999999988425926);
    EXPECT_EQ(SecsToHMS(90000).toStdString(), "23:59:59");
    EXPECT_EQ(TimeToSecs(SecsToTime(86400)), 86399);
}

TEST(DateTimeTextTest, HmsTextAndSecondsConvertBothWays)
{
    using Case = std::tuple<const char *, int32_t>;
    const Case cases[] = {
        {"12:34:56", 45296}, {"1:2", 3720}, {"123456", 45296},   {"0930", 34200},
        {"12345", 0},        {"", 0},       {"25:00:00", 90000},
    };
    for (const auto &[text, secs] : cases)
        EXPECT_EQ(HMSToSecs(QString::fromLatin1(text)), secs) << text;
    EXPECT_EQ(SecsToHMS(45296).toStdString(), "12:34:56");
    EXPECT_EQ(StrToSecs(QStringLiteral("9:05:07")), 32707);
}

TEST(DateTimeTextTest, DateAndTimeTextsJoinAndSplit)
{
    const TDateTime t = YMDHMSToDateTime(QStringLiteral("2008/04/24 12:34:56"));
    EXPECT_EQ(DateTimeToYMDHMS(t).toStdString(), "2008/04/24 12:34:56");
    EXPECT_EQ(dtos(t).toStdString(), "20080424");
    EXPECT_EQ(DateTimeToYMDHMS(YMDHMSToDateTime(QStringLiteral("0804241234"))).toStdString(), "2008/04/24 12:34:00");
    EXPECT_EQ(DateTimeToYMDHMS(YMDHMSToDateTime(QStringLiteral("080424123456"))).toStdString(), "2008/04/24 12:34:56");
    EXPECT_EQ(DateTimeToYMDHMS(YMDHMSToDateTime(QStringLiteral("20080424123456"))).toStdString(),
              "2008/04/24 12:34:56");
    EXPECT_EQ(YMDHMSToDateTime(QStringLiteral("2008/04/24")).Val, 0.0);
}

TEST(DateTimeTextTest, SecsToStrPadsAOneDigitHourAndFormatsCanBeRestored)
{
    EXPECT_EQ(SecsToStr(32400).toStdString(), " 9:00:00");
    EXPECT_EQ(SecsToStr(45296).toStdString(), "12:34:56");

    EXPECT_EQ(SetLongTimeFormat(QStringLiteral("hh:nn")).toStdString(), "h:nn:ss");
    EXPECT_EQ(SecsToStr(32400).toStdString(), "09:00");
    EXPECT_EQ(SetLongTimeFormat(QStringLiteral("   ")).toStdString(), "hh:nn");
    EXPECT_EQ(LongTimeFormat().toStdString(), "h:nn:ss");

    EXPECT_EQ(SetShortDateFormat(QStringLiteral("yy/m/d")).toStdString(), "yyyy/mm/dd");
    EXPECT_EQ(FormatDateTime(ShortDateFormat(), EncodeDate(2008, 4, 5)).toStdString(), "08/4/5");
    EXPECT_EQ(SetShortDateFormat(QString()).toStdString(), "yy/m/d");
    EXPECT_EQ(ShortDateFormat().toStdString(), "yyyy/mm/dd");
}

// The value the logs stamp their rows with: the wall clock of the machine's time zone.
TEST(DateTimeTextTest, CurrentDateTimeReadsTheLocalClock)
{
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "JST-9");
    const double now = currentDateTime();
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    const double expected = static_cast<double>(utcMs + 9 * 3600000LL + 25569LL * 86400000LL) / 86400000.0;
    EXPECT_NEAR(now, expected, 2.0 / 86400);
}
