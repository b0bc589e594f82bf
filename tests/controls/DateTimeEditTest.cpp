#include "controls/DateTimeEdit.h"

#include "platform/Beep.h"
#include "tests/controls/FieldTestSupport.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "tests/controls/QtPrinting.h"

namespace
{

TDateTime ymd(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

TDateTime hms(const char *text)
{
    return HMSToTime(QString::fromLatin1(text));
}

struct DateTimeEditTest : ::testing::Test {
    void SetUp() override { resetBeepCount(); }
};

} // namespace

TEST(DateTimeFormatTest, PatternsMapToQtDisplayFormatsAndValuesToQtDateTimes)
{
    EXPECT_EQ(qtDisplayFormatOf("yyyy/mm/dd"), "yyyy/MM/dd");
    EXPECT_EQ(qtDisplayFormatOf("h:nn:ss"), "h:mm:ss");
    EXPECT_EQ(qtDisplayFormatOf("yy/m/d 'at' hh:nn"), "yy/M/d 'at' hh:mm");

    struct Row {
        double value;
        QDateTime expected;
    } rows[] = {
        {39562.5, QDateTime(QDate(2008, 4, 24), QTime(12, 0), Qt::UTC)},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC)},
        {SecsToTime(90000).Val, QDateTime(QDate(1899, 12, 30), QTime(23, 59, 59, 999), Qt::UTC)},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TDateTimeEdit::toQDateTime(TDateTime(row.value)), row.expected) << row.value;
        EXPECT_NEAR(TDateTimeEdit::fromQDateTime(row.expected).Val, row.value, 1e-9);
    }
}

TEST(DateTimeFormatTest, DatesAreParsedInTheOrderOfTheShortDateFormat)
{
    const int thisYear = QDate::currentDate().year();
    EXPECT_EQ(DateToYMD(StrToDate("2008/4/24")), "2008/04/24");
    EXPECT_EQ(DateToYMD(StrToDate(" 08/04/24 ")), QString::number(thisYear / 100) + "08/04/24");
    EXPECT_EQ(DateToYMD(StrToDate("4/24")), QString::number(thisYear) + "/04/24");
    for (const char *bad : {"", "2008", "2008/13/01", "2008/2/30", "2008-04-24", "a/b/c", "1/2/3/4"})
        EXPECT_THROW(StrToDate(QString::fromLatin1(bad)), EConvertError) << bad;

    const QString previous = SetShortDateFormat("dd/mm/yyyy");
    EXPECT_EQ(DateToYMD(StrToDate("24/04/2008")), "2008/04/24");
    SetShortDateFormat(previous);
}

TEST_F(DateTimeEditTest, SpinningATimePastItsRangeSnapsBackWithABeepWhileCodeSetsAnyValue)
{
    TTimeEdit edit;
    edit.SetMinTime(hms("08:00"));
    edit.SetMaxTime(hms("17:00"));
    edit.SetAsHMSStr("07:00:00");
    EXPECT_EQ(edit.GetAsSecs(), 7 * 3600);
    EXPECT_EQ(beepCount(), 0);
    edit.SetTime(hms("08:30"));
    edit.setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.GetAsHMSStr(), "08:00:00");
    EXPECT_EQ(beepCount(), 1);

    edit.SetTime(hms("16:00"));
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.GetAsHMSStr(), "17:00:00");
    EXPECT_EQ(beepCount(), 1);
    edit.setCurrentSection(QDateTimeEdit::MinuteSection);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.GetAsHMSStr(), "17:00:00");
    EXPECT_EQ(beepCount(), 2);
}

TEST_F(DateTimeEditTest, ADateEditClampsStepsAndTypedDatesOnlyWhenItHasBounds)
{
    TDateEdit free;
    free.SetAsYMDStr("0150/01/01");
    free.setCurrentSection(QDateTimeEdit::YearSection);
    QTest::keyClick(&free, Qt::Key_Down);
    EXPECT_EQ(free.GetAsYMDStr(), "0149/01/01");
    EXPECT_EQ(beepCount(), 0);

    FieldForm<TDateEdit> form;
    TDateEdit *edit = form.field;
    QLineEdit *next = form.next;
    form.show();
    edit->setFocus();
    edit->SetMinDate(ymd(2008, 4, 1));
    edit->SetMaxDate(ymd(2009, 3, 31));
    edit->SetAsYMDStr("2020/05/06");
    EXPECT_EQ(edit->GetAsYMDStr(), "2020/05/06");
    EXPECT_EQ(beepCount(), 0);
    edit->SetAsYMDStr("2008/04/01");
    edit->setCurrentSection(QDateTimeEdit::YearSection);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->GetAsYMDStr(), "2008/04/01");
    EXPECT_EQ(beepCount(), 1);

    // A year typed digit by digit passes through values below the range: it is checked when
    // the field is left, not after every digit.
    edit->setCurrentSection(QDateTimeEdit::YearSection);
    edit->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(edit, "2009");
    EXPECT_EQ(edit->GetAsYMDStr(), "2009/04/01");
    edit->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(edit, "2010");
    EXPECT_EQ(beepCount(), 1);
    next->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->GetAsYMDStr(), "2009/03/31");
    EXPECT_EQ(beepCount(), 2);
}

TEST_F(DateTimeEditTest, AccessorsConvertDaysSecondsTextsAndBounds)
{
    TDateEdit date;
    date.SetDate(ymd(2008, 4, 24));
    date.SetTime(hms("13:45:10"));
    EXPECT_EQ(date.GetAsYMDStr(), "2008/04/24");
    EXPECT_EQ(date.GetAsString(), "2008/04/24");
    EXPECT_EQ(date.GetAsDays(), 39562);
    EXPECT_EQ(date.GetAsSecs(), 13 * 3600 + 45 * 60 + 10); // the date edit keeps its time
    date.SetAsDays(39563);
    EXPECT_EQ(date.GetAsYMDStr(), "2008/04/25");
    EXPECT_EQ(date.GetAsHMSStr(), "13:45:10");
    date.SetAsString("2001/2/3");
    EXPECT_EQ(date.GetAsYMDStr(), "2001/02/03");
    EXPECT_THROW(date.SetAsString("2001/2/30"), EConvertError);
    date.Loaded();
    EXPECT_EQ(date.GetAsSecs(), 0);
    EXPECT_EQ(date.dateTime().time(), QTime(0, 0, 0, 1));

    TTimeEdit time;
    time.SetDate(ymd(2008, 4, 24)); // a time edit holds any date, whatever Qt's time-only format pins
    time.SetAsSecs(9 * 3600 + 5 * 60);
    EXPECT_EQ(time.GetAsString(), "9:05:00");
    EXPECT_EQ(time.GetAsYMDStr(), "2008/04/24");
    time.SetAsString("23:59:58");
    EXPECT_EQ(time.GetAsSecs(), 86398);
    EXPECT_THROW(time.SetAsString("25:00"), EConvertError);

    time.SetCustomFormat("hh 'h' mm");
    EXPECT_EQ(time.text(), "23 h 59");
    EXPECT_EQ(time.GetAsYMDStr(), "2008/04/24");

    TDateTimeEdit edit; // bounds never cross and read back as days and times of day
    edit.SetMinTime(hms("08:00"));
    edit.SetMaxTime(hms("07:00"));
    EXPECT_EQ(edit.GetMaxSecs(), 8 * 3600);
    edit.SetMaxSecs(17 * 3600);
    EXPECT_EQ(TimeToHMS(edit.GetMaxTime()), "17:00:00");
    EXPECT_LT(edit.GetMaxTime().Val, 1.0);

    edit.SetMinDate(ymd(2008, 4, 1));
    edit.SetMaxDate(ymd(2008, 3, 1));
    EXPECT_EQ(edit.GetMaxDate(), ymd(2008, 4, 1));
    edit.SetMaxDate(ymd(2009, 1, 1));
    edit.SetMinDate(ymd(2010, 1, 1));
    EXPECT_EQ(edit.GetMinDate(), ymd(2009, 1, 1));
}

TEST_F(DateTimeEditTest, EnterMovesOnOnlyWhenAsked)
{
    FieldForm<TDateEdit> form;
    TDateEdit *edit = form.field;
    QLineEdit *next = form.next;
    form.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(next->hasFocus());
    edit->SetEditModes(dmEnterNext);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(next->hasFocus());
}
