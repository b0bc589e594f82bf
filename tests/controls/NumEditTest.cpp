#include "controls/NumEdit.h"

#include "tests/controls/FieldTestSupport.h"

namespace
{

class NumEditTest : public ::testing::Test
{
protected:
    void SetUp() override { resetBeepCount(); }
    void type(const QString &keys) { QTest::keyClicks(&edit, keys); }

    TNumEdit edit;
};

} // namespace

TEST(NumEditTextTest, AmountsAreShownWithSignYenAndSeparatorsAsAsked)
{
    using Row = std::tuple<int64_t, bool, bool, bool, QString>;
    const Row rows[] = {
        {0, false, false, false, "0"},
        {1234567, true, false, false, "1,234,567"},
        {1000, true, false, false, "1,000"},
        {-1234, true, true, true, u"-\u00A51,234"_qs},
        {-1234, true, true, false, u"\u00A51,234"_qs},
        {-2147483648LL, true, false, true, "-2,147,483,648"},
    };
    for (const auto &[value, comma, yen, canNegative, text] : rows)
        EXPECT_EQ(TNumEdit::amountText(value, comma, yen, canNegative), text) << value;
}

TEST_F(NumEditTest, TypingStopsAtTheDigitLimitWithABeepAndNeverPasses32Bits)
{
    edit.SetMaxDegits(3);
    edit.SetValue(0);
    expectSteps(&edit, {{'1', "1"}, {'2', "12"}, {'3', "123"}});
    EXPECT_EQ(beepCount(), 0);
    expectSteps(&edit, {{'4', "123"}, {'x', "123"}, {'.', "123"}, {'+', "123"}});
    EXPECT_EQ(edit.Value(), 123);
    EXPECT_EQ(beepCount(), 4);

    // A selected field is typed over: the limit applies to what the text would become.
    edit.selectAll();
    type("9");
    EXPECT_EQ(edit.Value(), 9);

    // An amount that would pass 32 bits is refused, not turned into 0.
    edit.SetMaxDegits(9);
    edit.SetValue(429496729);
    type("6");
    EXPECT_EQ(edit.Value(), 429496729);
    EXPECT_EQ(beepCount(), 5);

    edit.SetMaxDegits(0); // out of range: nine digits, setting kept
    EXPECT_EQ(edit.MaxDegits(), 9);
    edit.SetValue(99999999);
    type("9");
    EXPECT_EQ(edit.Value(), 999999999);
}

TEST_F(NumEditTest, SeparatorsAreRebuiltAfterEveryChangeAndStrippedWhenRead)
{
    edit.SetMaxDegits(9);
    edit.SetComma(true);
    type("1234567");
    EXPECT_EQ(edit.text(), "1,234,567");
    EXPECT_EQ(edit.Value(), 1234567);
    EXPECT_EQ(edit.cursorPosition(), edit.text().size());

    // Backspace in the middle keeps the caret the same distance from the end.
    edit.setCursorPosition(5); // after "1,234"
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "123,567");
    EXPECT_EQ(edit.text().size() - edit.cursorPosition(), 4);

    // The yen sign and the separators are stripped when a text is read back.
    edit.SetYen(true);
    edit.SetCanNegative(true);
    edit.SetText(u"-\u00A51,234"_qs);
    EXPECT_EQ(edit.Value(), -1234);
    edit.SetText("\\2,500");
    EXPECT_EQ(edit.Value(), 2500);
    edit.SetText("not a number");
    EXPECT_EQ(edit.Value(), 0);
    EXPECT_EQ(edit.text(), u"\u00A50"_qs);

    // Pasted text passes through the same reading; an amount past the digit limit is refused.
    edit.SetMaxDegits(4);
    edit.SetValue(12);
    edit.setText("123456");
    EXPECT_EQ(edit.Value(), 12);
    EXPECT_EQ(beepCount(), 1);
    edit.setText("1,234");
    EXPECT_EQ(edit.Value(), 1234);
}

TEST_F(NumEditTest, MinusTogglesTheSignOnlyWhenNegativesAreAllowed)
{
    edit.SetMaxDegits(5);
    edit.SetValue(500);
    expectSteps(&edit, {{'-', "500"}});
    EXPECT_EQ(beepCount(), 1);
    edit.SetCanNegative(true);
    expectSteps(&edit, {{'-', "-500"}, {'-', "500"}});
    EXPECT_EQ(beepCount(), 1);
    edit.setReadOnly(true);
    expectSteps(&edit, {{'-', "500"}});
    edit.setReadOnly(false);

    // Negatives switched off: the field keeps the magnitude it shows.
    edit.SetValue(-42);
    edit.SetCanNegative(false);
    EXPECT_EQ(edit.text(), "42");
    EXPECT_EQ(edit.Value(), 42);
}

TEST(NumEditFieldTest, EnterAndControlCharactersDoNothingAndLeavingKeepsTheValue)
{
    FieldForm<TNumEdit> form;
    form.field->SetMaxDegits(6);
    form.field->SetComma(true);
    form.show();
    form.tabIn();
    form.field->SetValue(1234);
    QTest::keyClick(form.field, Qt::Key_Return);
    QTest::keyClick(form.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(beepCount(), 1);
    EXPECT_EQ(form.field->text(), "1,234");
    form.tabOut();
    EXPECT_TRUE(form.next->hasFocus());
    EXPECT_EQ(form.field->Value(), 1234);
    EXPECT_EQ(form.field->text(), "1,234");
}
