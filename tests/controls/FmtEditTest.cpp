#include "controls/FmtEdit.h"
#include "controls/ControlMessages.h"

#include "FieldTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QClipboard>
#include <QInputMethodEvent>

#include <gtest/gtest.h>

#include <tuple>

namespace
{

struct FmtForm : FieldForm<TFmtEdit> {
    explicit FmtForm(TFmtKind kind, const char *min = "", const char *max = "",
                     unsigned modes = fmStrictRange | fmIllegalBeep)
    {
        field->SetFmtKind(kind);
        field->SetFmtModes(modes);
        field->SetMinValue(QString::fromLatin1(min));
        field->SetMaxValue(QString::fromLatin1(max));
        field->Loaded();
        resetBeepCount();
        show();
    }
    // Enters the field with an empty text (or the kind's template) and types keys.
    void typeFresh(const QString &keys)
    {
        tabIn();
        if (field->FmtKind() != fkDate && field->FmtKind() != fkTime && field->FmtKind() != fkYesNo)
            field->setText(QString());
        field->setCursorPosition(0);
        QTest::keyClicks(field, keys);
    }
};

} // namespace

TEST(FmtEditTest, IpOctetClampsOnExitWithABeepAndNoBox)
{
    using Case = std::tuple<const char *, const char *, const char *, int>;
    const Case cases[] = {
        {"0", "300", "255", 1}, {"0", "-5", "0", 1},    {"0", "", "", 0},     {"1", "", "1", 1},
        {"1", "0", "1", 1},     {"0", "255", "255", 0}, {"1", "12", "12", 0}, {"0", "007", "007", 0},
    };
    for (const auto &[min, typed, shown, beeps] : cases) {
        FmtForm f(fkInt, min, "255");
        f.field->SetAlignment(taRightJustify);
        f.typeFresh(QString::fromLatin1(typed));
        resetBeepCount();
        f.tabOut();
        EXPECT_EQ(textOf(f.field), shown) << min << " typed " << typed;
        EXPECT_EQ(beepCount(), beeps) << min << " typed " << typed;
        EXPECT_TRUE(f.field->Valid());
    }
}

TEST(FmtEditTest, IntegerKindTakesDigitsAndASignOnlyAtColumnZero)
{
    FmtForm f(fkInt, "0", "255");
    f.typeFresh(QStringLiteral("1a2-"));
    EXPECT_EQ(textOf(f.field), "12");
    EXPECT_EQ(beepCount(), 2);
    f.field->setCursorPosition(0);
    // A digit typed in front of a sign replaces it.
    expectSteps(f.field, {{'-', "-12"}, {Qt::Key_Left, "-12"}, {'+', "+12"}, {Qt::Key_Left, "+12"}, {'3', "312"}});
    EXPECT_EQ(beepCount(), 2);
    EXPECT_EQ(f.field->GetAsInteger(), 312);
}

TEST(FmtEditTest, KindSwitchSetsDefaultBoundsAndTemplates)
{
    TFmtEdit e;
    e.setText(QStringLiteral("abc"));
    using Row = std::tuple<TFmtKind, const char *, const char *, int>;
    const Row rows[] = {{fkInt, "", "2147483647", 0},
                        {fkDate, "    /  /  ", "", 10},
                        {fkTime, "  :  :  ", "", 8},
                        {fkYesNo, "N", "", 1},
                        {fkAll, "N", "", 0}};
    for (const auto &[kind, text, max, maxLength] : rows) {
        e.SetFmtKind(kind);
        EXPECT_EQ(textOf(&e), text) << kind;
        EXPECT_EQ(e.MaxValue().toStdString(), max) << kind;
        EXPECT_EQ(e.MaxLength(), maxLength) << kind;
    }
    e.SetFmtKind(fkDate);
    EXPECT_EQ(e.OverWriteMode(), owOverWrite);
    e.SetFmtKind(fkInt);
    EXPECT_EQ(e.MinValue().toStdString(), "-2147483647");
    e.SetMinValue(QStringLiteral("20"));
    e.SetMaxValue(QStringLiteral("10"));
    EXPECT_EQ(e.MaxValue().toStdString(), "20");
    EXPECT_THROW(e.SetMaxValue(QStringLiteral("x")), EConvertError);
}

// Text that is no date is reported whatever the modes say, and left as it is. The focus stays
// unless fmErrNext is set.
TEST(FmtEditTest, AFailedExitCheckShowsTheBoxInTheSystemLanguageAndHoldsTheFocus)
{
    const unsigned errMsg = fmIllegalBeep | fmErrMsg, plain = fmStrictRange | fmIllegalBeep;
    using Case = std::tuple<bool, TFmtKind, unsigned, const char *, const char *, const char *, QString>;
    const Case cases[] = {
        {false, fkInt, errMsg, "0", "255", "300", u"Range : 0 - 255"_qs},
        {true, fkInt, errMsg, "0", "255", "300", u"入力範囲は 0 ～ 255 です"_qs},
        {false, fkInt, errMsg, "10", "", "5", u"Range : Above 10"_qs},
        {true, fkInt, errMsg, "", "99", "100", u"入力範囲は 99 以下です"_qs},
        {false, fkDate, plain, "", "", "0000/01/01", u"Invalid input"_qs},
        {false, fkInt, fmErrMsg | fmErrNext, "0", "255", "300", u"Range : 0 - 255"_qs},
    };
    for (const auto &[japanese, kind, modes, min, max, typed, message] : cases) {
        setMessageLanguageForTest(japanese);
        FmtForm f(kind, min, max, modes);
        f.tabIn();
        f.field->setText(QString::fromLatin1(typed));
        MessageBoxRecorder boxes;
        f.tabOut();
        QTest::qWait(20);
        ASSERT_EQ(boxes.boxes.size(), 1) << typed;
        EXPECT_EQ(boxes.boxes[0].text, message);
        EXPECT_EQ(textOf(f.field), typed);
        EXPECT_FALSE(f.field->Valid());
        EXPECT_TRUE(((modes & fmErrNext) ? f.next : static_cast<QWidget *>(f.field))->hasFocus()) << typed;
    }
    resetMessageLanguageForTest();
}

TEST(FmtEditTest, AFieldTheFocusOnlyPassesWhileAFailedCheckTakesItBackChecksNothing)
{
    FmtForm f(fkInt, "0", "255", fmIllegalBeep | fmErrMsg);
    auto *other = new TFmtEdit(f.window.get());
    other->SetFmtKind(fkInt);
    other->SetFmtModes(fmIllegalBeep | fmErrMsg);
    other->SetMaxValue(QStringLiteral("255"));
    other->setText(QStringLiteral("999"));
    f.window->layout()->addWidget(other);
    f.typeFresh(QStringLiteral("300"));
    MessageBoxRecorder boxes;
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    EXPECT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(f.field->hasFocus());
    EXPECT_EQ(other->text().toStdString(), "999");
}

TEST(FmtEditTest, ThousandsSeparatorsAreShownWhileTypingButNotRead)
{
    FmtForm f(fkInt, "", "", fmStrictRange | fmIllegalBeep | fmThousands);
    f.typeFresh(QStringLiteral("1234567"));
    EXPECT_EQ(textOf(f.field), "1,234,567");
    EXPECT_EQ(f.field->GetText().toStdString(), "1234567");
    EXPECT_EQ(f.field->cursorPosition(), 9);

    f.field->setCursorPosition(2); // just after the first separator
    QTest::keyClick(f.field, Qt::Key_Backspace);
    EXPECT_EQ(textOf(f.field), "234,567");
    EXPECT_EQ(f.field->cursorPosition(), 0);

    EXPECT_EQ(f.field->InsComma(QStringLiteral("-123")).toStdString(), "-123");
    EXPECT_EQ(f.field->InsComma(QStringLiteral("+1234")).toStdString(), "+1,234");
    EXPECT_EQ(beepCount(), 0);
}

TEST(FmtEditTest, ThousandsSeparatorsGoOnlyIntoTheIntegerPartOfADecimal)
{
    FmtForm f(fkFloat, "", "", fmStrictRange | fmIllegalBeep | fmThousands);
    f.typeFresh(QStringLiteral("0.1234"));
    EXPECT_EQ(textOf(f.field), "0.1234");
    const std::pair<const char *, const char *> cases[] = {
        {"1234.567891", "1,234.567891"}, {"-1234567.1234E1234", "-1,234,567.1234E1234"}, {"12345E1234", "12,345E1234"}};
    for (const auto &[in, out] : cases)
        EXPECT_EQ(f.field->InsComma(QString::fromLatin1(in)).toStdString(), out) << in;
}

TEST(FmtEditTest, DateKindTypesIntoItsTemplateAndNormalisesOnExit)
{
    FmtForm f(fkDate);
    f.typeFresh(QStringLiteral("20080230"));
    EXPECT_EQ(textOf(f.field), "2008/02/30");
    f.tabOut();
    EXPECT_EQ(textOf(f.field), "2008/03/01");
    EXPECT_EQ(f.field->GetAsDateTime(), EncodeDate(2008, 3, 1));

    f.tabIn();
    f.field->setCursorPosition(5);
    QTest::keyClick(f.field, Qt::Key_Backspace); // steps over the separator and blanks the digit
    EXPECT_EQ(textOf(f.field), "200 /03/01");
    EXPECT_EQ(f.field->cursorPosition(), 3);
    f.field->setCursorPosition(8);
    expectSteps(f.field, {{Qt::Key_Delete, "200 /03/ 1"}, {'x', "200 /03/ 1"}});
    EXPECT_EQ(beepCount(), 1);

    f.field->setReadOnly(true);
    f.field->setCursorPosition(2);
    expectSteps(f.field, {{'1', "200 /03/ 1"}, {Qt::Key_Delete, "200 /03/ 1"}, {Qt::Key_Backspace, "200 /03/ 1"}});
}

TEST(FmtEditTest, TimeYesNoAndListKindsFilterTheirKeys)
{
    FmtForm t(fkTime, "", "12:00:00");
    t.typeFresh(QStringLiteral("235960"));
    EXPECT_EQ(textOf(t.field), "23:59:60");
    t.tabOut();
    EXPECT_EQ(textOf(t.field), "12:00:00");

    FmtForm y(fkYesNo);
    y.typeFresh(QString());
    expectSteps(y.field, {{'y', "Y"}, {' ', "N"}, {'q', "N"}});
    EXPECT_FALSE(y.field->GetAsBoolean());

    FmtForm a(fkAppoint);
    a.field->SetValidChars(QStringLiteral("ABC"));
    a.typeFresh(QStringLiteral("ABDC"));
    EXPECT_EQ(textOf(a.field), "ABC");
    EXPECT_EQ(beepCount(), 1);
}

TEST(FmtEditTest, TypedAccessOfAnotherKindRaisesTheErrorNamingTheField)
{
    TFmtEdit e;
    e.setObjectName(QStringLiteral("EdDate"));
    e.SetFmtKind(fkDate);
    setMessageLanguageForTest(false);
    EXPECT_EQ(errorOf<EFmtEditError>([&] { (void)e.GetAsInteger(); }), "Item 'EdDate' cannot access as Integer.");
    resetMessageLanguageForTest();
    EXPECT_THROW(e.SetAsBoolean(true), EFmtEditError);
    EXPECT_THROW((void)e.GetAsFloat(), EFmtEditError);
    e.SetFmtKind(fkFloat);
    e.SetAsFloat(2.5);
    EXPECT_EQ(textOf(&e), "2.50");
    EXPECT_THROW(e.SetAsDateTime(TDateTime()), EFmtEditError);
}

TEST(FmtEditTest, CtrlVPastesOnlyIntoTheUnrestrictedKind)
{
    QApplication::clipboard()->setText(QStringLiteral("99"));
    for (TFmtKind kind : {fkInt, fkFloat, fkDate, fkTime, fkYesNo, fkAppoint}) {
        FmtForm f(kind);
        f.tabIn();
        const QString before = f.field->text();
        QTest::keyClick(f.field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(f.field->text(), before) << kind;
        EXPECT_EQ(beepCount(), 1) << kind;
    }
    FmtForm all(fkAll);
    all.tabIn();
    QTest::keyClick(all.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(textOf(all.field), "99");
}

TEST(FmtEditTest, InputMethodTextMeetsTheKeyRulesCharacterByCharacter)
{
    FmtForm f(fkInt, "0", "255");
    f.tabIn();
    f.field->setText(QString());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("１2３"));
    QApplication::sendEvent(f.field, &commit);
    EXPECT_EQ(textOf(f.field), "2");
    EXPECT_EQ(beepCount(), 2);

    FmtForm all(fkAll);
    all.tabIn();
    all.field->setText(QString());
    QApplication::sendEvent(all.field, &commit);
    EXPECT_EQ(all.field->text(), QStringLiteral("１2３"));
}

TEST(FmtEditTest, NavigationModesMoveTheFocusAndEnterOtherwiseBeeps)
{
    FmtForm arrow(fkInt, "", "", fmIllegalBeep | fmArrowNext);
    arrow.tabIn();
    QTest::keyClick(arrow.field, Qt::Key_Down);
    EXPECT_TRUE(arrow.next->hasFocus());

    FmtForm enter(fkInt, "", "", fmIllegalBeep | fmEnterNext);
    enter.tabIn();
    QTest::keyClick(enter.field, Qt::Key_Return);
    EXPECT_TRUE(enter.next->hasFocus());
    EXPECT_EQ(beepCount(), 0);

    FmtForm plain(fkAll);
    plain.typeFresh(QStringLiteral("ab"));
    QTest::keyClick(plain.field, Qt::Key_Return);
    QTest::keyClick(plain.field, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_TRUE(plain.field->hasFocus());
    EXPECT_EQ(textOf(plain.field), "");
    EXPECT_EQ(beepCount(), 1);
}
