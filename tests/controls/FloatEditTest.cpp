#include "controls/FloatEdit.h"

#include "tests/controls/FieldTestSupport.h"
#include "tests/controls/QtPrinting.h"

namespace
{

// A float edit and a second field in one active window, so that leaving the edit is real.
class FloatEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.show();
        edit->setFocus(Qt::TabFocusReason);
        resetBeepCount();
    }
    void retype(const QString &keys)
    {
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, keys);
    }
    void leave() { form.next->setFocus(Qt::TabFocusReason); }

    FieldForm<TFloatEdit> form;
    TFloatEdit *edit = form.field;
};

} // namespace

TEST(FloatTextTest, NumbersAreReadWholeOrFromTheirStartWithTheUnitSeparator)
{
    using Row = std::tuple<const char *, bool, double, double>;
    const Row rows[] = {
        {"1.5", true, 1.5, 1.5}, {" -2.25 ", true, -2.25, -2.25}, {"+3", true, 3, 3},      {"1.", true, 1, 1},
        {".5", true, 0.5, 0.5},  {"2e3", true, 2000, 2000},       {".", false, 0, 0},      {"-.", false, 0, 0},
        {"", false, 0, 0},       {"1.2.3", false, 0, 1.2},        {"12abc", false, 0, 12}, {"1e", false, 0, 1},
    };
    for (const auto &[text, converts, whole, leading] : rows) {
        double v = 0;
        EXPECT_EQ(TFloatEdit::convertFloat(text, v), converts) << text;
        if (converts) {
            EXPECT_DOUBLE_EQ(v, whole) << text;
        }
        EXPECT_DOUBLE_EQ(TFloatEdit::leadingNumber(text), leading) << text;
    }
    for (auto [value, decimals, text] : {std::tuple{3.14159, 2, "3.14"},
                                         {2.5, 0, "2"},
                                         {-0.125, 2, "-0.12"},
                                         {TFloatEdit::defaultMax, 2, "9999999999999990.00"}})
        EXPECT_EQ(TFloatEdit::formatFixed(value, decimals), text) << value;
}

TEST_F(FloatEditTest, TypingTakesOneSeparatorAndSignsAtTheStart)
{
    retype("1.5");
    expectSteps(edit, {{'.', "1.5"}, {'x', "1.5"}, {'-', "-1.5"}});
    leave();
    EXPECT_EQ(edit->text(), "-1.5");
    EXPECT_DOUBLE_EQ(edit->GetValue(), -1.5);
    EXPECT_EQ(beepCount(), 2);

    // Over a selection holding the separator, a new one is taken.
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, ".25");
    EXPECT_EQ(edit->text(), ".25");

    edit->SetDecimals(0);
    retype("7.");
    EXPECT_EQ(edit->text(), "7");
    EXPECT_EQ(beepCount(), 3);
}

TEST_F(FloatEditTest, LeavingClampsAndTurnsTextThatIsNoNumberIntoZero)
{
    edit->SetMinValue(-10);
    edit->SetMaxValue(100);
    using Row = std::tuple<const char *, const char *, int>;
    const Row rows[] = {
        {"", "0.00", 1},      {".", "0.00", 1},       {"-.", "0.00", 1},       {"-", "0.00", 1},
        {"150", "100.00", 1}, {"-10.5", "-10.00", 1}, {"99.999", "99.999", 0}, {"-10", "-10", 0},
    };
    for (const auto &[typed, shown, beeps] : rows) {
        retype(typed);
        resetBeepCount();
        leave();
        EXPECT_EQ(edit->text(), shown) << typed;
        EXPECT_EQ(beepCount(), beeps) << typed;
    }
}

TEST_F(FloatEditTest, ValuesFromCodeAndSpinStepsAreWrittenWithTheDecimalsAndClamped)
{
    edit->SetValue(3.14159);
    EXPECT_EQ(edit->text(), "3.14");
    EXPECT_EQ(beepCount(), 0);
    edit->SetMaxValue(5);
    edit->SetValue(7);
    EXPECT_EQ(edit->text(), "5.00");
    EXPECT_EQ(beepCount(), 1);
    edit->SetText("abc");
    EXPECT_EQ(edit->text(), "0.00");
    resetBeepCount();

    edit->SetMinValue(0);
    edit->SetMaxValue(1);
    edit->SetIncrement(0.25);
    edit->SetValue(0.9);
    expectSteps(edit, {{Qt::Key_Up, "1.00"}, {Qt::Key_Up, "1.00"}, {Qt::Key_Down, "0.75"}});
    EXPECT_EQ(beepCount(), 0);
    edit->SetEditModes(femArrowWrap);
    edit->SetValue(1);
    expectSteps(edit, {{Qt::Key_Up, "0.00"}, {Qt::Key_Down, "1.00"}});
    edit->setReadOnly(true);
    expectSteps(edit, {{Qt::Key_Down, "1.00"}});
    EXPECT_EQ(beepCount(), 1);
}
