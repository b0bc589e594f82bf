#include "controls/DateTimeEdit.h"

#include "tests/controls/FieldTestSupport.h"
#include "tests/controls/QtPrinting.h"

namespace
{

TDateTime hms(const char *text)
{
    return HMSToTime(QString::fromLatin1(text));
}

struct DateTimeEditTest : ::testing::Test {
    void SetUp() override { resetBeepCount(); }
};

// Steps the given section once per key and checks the text after each step.
template <class Edit> void spin(Edit &edit, QDateTimeEdit::Section section, std::initializer_list<KeyStep> steps)
{
    edit.setCurrentSection(section);
    for (const KeyStep &s : steps) {
        QTest::keyClick(&edit, static_cast<Qt::Key>(s.key));
        EXPECT_EQ(edit.GetAsString(), s.text) << "after key 0x" << std::hex << s.key;
    }
}

} // namespace

TEST(DateTimeFormatTest, PatternsMapToQtDisplayFormatsAndValuesToQtDateTimes)
{
    EXPECT_EQ(qtDisplayFormatOf("yyyy/mm/dd"), "yyyy/MM/dd");
    EXPECT_EQ(qtDisplayFormatOf("h:nn:ss"), "h:mm:ss");
    EXPECT_EQ(qtDisplayFormatOf("yy/m/d 'at' hh:nn"), "yy/M/d 'at' hh:mm");

    using Row = std::tuple<double, QDateTime>;
    const Row rows[] = {
        {39562.5, QDateTime(QDate(2008, 4, 24), QTime(12, 0), Qt::UTC)},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC)},
        {SecsToTime(90000).Val, QDateTime(QDate(1899, 12, 30), QTime(23, 59, 59, 999), Qt::UTC)},
    };
    for (const auto &[value, expected] : rows) {
        EXPECT_EQ(TDateTimeEdit::toQDateTime(TDateTime(value)), expected) << value;
        EXPECT_NEAR(TDateTimeEdit::fromQDateTime(expected).Val, value, 1e-9);
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
    spin(edit, QDateTimeEdit::HourSection, {{Qt::Key_Down, "8:00:00"}});
    EXPECT_EQ(beepCount(), 1);
    edit.SetTime(hms("16:00"));
    spin(edit, QDateTimeEdit::HourSection, {{Qt::Key_Up, "17:00:00"}});
    EXPECT_EQ(beepCount(), 1);
    spin(edit, QDateTimeEdit::MinuteSection, {{Qt::Key_Up, "17:00:00"}});
    EXPECT_EQ(beepCount(), 2);
}

TEST_F(DateTimeEditTest, ADateEditClampsStepsAndTypedDatesOnlyWhenItHasBounds)
{
    TDateEdit free;
    free.SetAsYMDStr("0150/01/01");
    spin(free, QDateTimeEdit::YearSection, {{Qt::Key_Down, "0149/01/01"}});
    EXPECT_EQ(beepCount(), 0);

    FieldForm<TDateEdit> form;
    TDateEdit *edit = form.field;
    form.show();
    edit->setFocus();
    edit->SetMinDate(EncodeDate(2008, 4, 1));
    edit->SetMaxDate(EncodeDate(2009, 3, 31));
    edit->SetAsYMDStr("2020/05/06");
    EXPECT_EQ(edit->GetAsYMDStr(), "2020/05/06");
    EXPECT_EQ(beepCount(), 0);
    edit->SetAsYMDStr("2008/04/01");
    spin(*edit, QDateTimeEdit::YearSection, {{Qt::Key_Down, "2008/04/01"}});
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
    form.next->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->GetAsYMDStr(), "2009/03/31");
    EXPECT_EQ(beepCount(), 2);

    // Enter moves on only when asked.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(edit->hasFocus());
    edit->SetEditModes(dmEnterNext);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(form.next->hasFocus());
}

TEST_F(DateTimeEditTest, AccessorsConvertDaysSecondsTextsAndBounds)
{
    TDateEdit date;
    date.SetDate(EncodeDate(2008, 4, 24));
    date.SetTime(hms("13:45:10"));
    EXPECT_EQ(date.GetAsString(), "2008/04/24");
    EXPECT_EQ(date.GetAsDays(), 39562);
    date.SetAsDays(39563);
    EXPECT_EQ(date.GetAsYMDStr(), "2008/04/25");
    EXPECT_EQ(date.GetAsHMSStr(), "13:45:10"); // the date edit keeps its time
    date.SetAsString("2001/2/3");
    EXPECT_EQ(date.GetAsYMDStr(), "2001/02/03");
    EXPECT_THROW(date.SetAsString("2001/2/30"), EConvertError);
    date.Loaded();
    EXPECT_EQ(date.GetAsSecs(), 0);
    EXPECT_EQ(date.dateTime().time(), QTime(0, 0, 0, 1));

    TTimeEdit time;
    time.SetDate(EncodeDate(2008, 4, 24)); // a time edit holds any date, whatever Qt's time-only format pins
    time.SetAsSecs(9 * 3600 + 5 * 60);
    EXPECT_EQ(time.GetAsString(), "9:05:00");
    EXPECT_EQ(time.GetAsYMDStr(), "2008/04/24");
    time.SetAsString("23:59:58");
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

    edit.SetMinDate(EncodeDate(2008, 4, 1));
    edit.SetMaxDate(EncodeDate(2008, 3, 1));
    EXPECT_EQ(edit.GetMaxDate(), EncodeDate(2008, 4, 1));
    edit.SetMaxDate(EncodeDate(2009, 1, 1));
    edit.SetMinDate(EncodeDate(2010, 1, 1));
    EXPECT_EQ(edit.GetMinDate(), EncodeDate(2009, 1, 1));
}
