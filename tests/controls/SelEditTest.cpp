#include "controls/SelEdit.h"

#include "controls/ControlMessages.h"
#include "tests/controls/FieldTestSupport.h"
#include "tests/controls/QtPrinting.h"
#include "tests/support/TestSupport.h"

#include <QToolButton>

namespace
{

class SelEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setMessageLanguageForTest(false);
        edit.setObjectName("SelEdit1");
        resetBeepCount();
    }
    void TearDown() override { resetMessageLanguageForTest(); }
    void useList(const QString &list)
    {
        edit.SetSelectStr(list);
        resetBeepCount();
    }

    TSelEdit edit;
};

} // namespace

TEST_F(SelEditTest, AListGivesItsKeyRangeAndTypedKeysShowTheirItems)
{
    useList("1:Low, 2 : Mid ,3:High");
    EXPECT_EQ(edit.MinValue(), '1');
    EXPECT_EQ(edit.MaxValue(), '3');
    EXPECT_EQ(edit.GetSelItems('2'), "Mid");
    EXPECT_EQ(edit.text(), "Low");

    expectSteps(&edit, {{'2', "Mid"}, {'x', "Mid"}, {' ', "High"}});
    EXPECT_EQ(beepCount(), 1);

    // Keys match their other case unless the edit is case-sensitive.
    useList("a:Apple,B:Banana");
    QTest::keyClicks(&edit, "bA");
    EXPECT_EQ(edit.GetValue(), 'a');
    edit.SetEditModes(smCaseSensitive);
    QTest::keyClicks(&edit, "b");
    EXPECT_EQ(edit.GetValue(), 'a');
    EXPECT_EQ(beepCount(), 1);
}

TEST_F(SelEditTest, SpinningSkipsGapsAndWrapsOrStopsAtTheEnds)
{
    useList("1:Low,5:Mid,9:High");
    edit.SetValue('9');
    expectSteps(&edit, {{Qt::Key_Up, "Low"}, {Qt::Key_Up, "Mid"}, {Qt::Key_Down, "Low"}, {Qt::Key_Down, "High"}});
    EXPECT_EQ(beepCount(), 0);
    edit.SetEditModes(0);
    expectSteps(&edit, {{Qt::Key_Up, "High"}, {Qt::Key_Down, "Mid"}, {Qt::Key_Down, "Low"}, {Qt::Key_Down, "Low"}});
    EXPECT_EQ(beepCount(), 2);
}

TEST_F(SelEditTest, TextAndValuesOutsideTheListGoToTheNearerEndWithABeep)
{
    useList("3:Three,5:Five,7:Seven");
    edit.SetText("Five");
    EXPECT_EQ(edit.GetValue(), '5');
    edit.SetText("Nothing");
    EXPECT_EQ(edit.text(), "Three");
    EXPECT_EQ(edit.GetValue(), '3');
    EXPECT_EQ(beepCount(), 1);
    edit.SetValue('9');
    EXPECT_EQ(edit.text(), "Seven");
    edit.SetValue('4');
    EXPECT_EQ(edit.text(), "Three");
    EXPECT_EQ(beepCount(), 3);
    edit.SetSelItems('5', " ");
    EXPECT_EQ(edit.GetKey("Five"), 0);
}

TEST_F(SelEditTest, MisuseFromCodeRaisesTheSelectionErrorAndTheHintCarriesTheList)
{
    EXPECT_EQ(errorOf<ESelEditError>([&] { edit.SetValue('1'); }), "Invalid SelectStr (SelEdit1)");
    EXPECT_EQ(errorOf<ESelEditError>([&] { edit.SetSelectStr("   "); }), "Invalid AnsiString (   )");
    EXPECT_EQ(errorOf<ESelEditError>([&] { edit.SetSelectStr("1 Low,2-Mid"); }), "Invalid AnsiString (1 Low,2-Mid)");
    useList("1:Low");
    EXPECT_EQ(errorOf<ESelEditError>([&] { edit.GetSelItems(' '); }), "Invalid char (SelEdit1 :  )");
    EXPECT_EQ(errorOf<ESelEditError>([&] { edit.SetSelItems(0x7F, "x"); }), "Invalid Char (SelEdit1 : \x7F)");

    // With smAddHint the hint carries the list.
    edit.setToolTip("Level: ");
    edit.SetEditModes(smAddHint | smArrowWrap);
    useList("1:Low,2:High");
    edit.Loaded();
    EXPECT_EQ(edit.toolTip(), "Level: 1:Low,2:High");
    useList("1:Off,2:On");
    EXPECT_EQ(edit.toolTip(), "Level: 1:Off,2:On");
}

TEST(SelEditWithoutListTest, KeysAndSpinButtonsShowTheErrorOnceAndChangeNothing)
{
    setMessageLanguageForTest(false);
    FieldForm<TSelEdit> form;
    form.field->setObjectName("SelEdit1");
    form.show();
    form.field->setFocus();
    MessageBoxRecorder boxes;

    QTest::keyClick(form.field, Qt::Key_Up);
    QTest::keyClick(form.field, Qt::Key_Space);
    ASSERT_EQ(boxes.texts(), QStringList({"Invalid SelectStr (SelEdit1)", "Invalid SelectStr (SelEdit1)"}));

    // A held button is released before the box, so it does not repeat.
    QToolButton *up = form.field->upButton();
    QTest::mousePress(up, Qt::LeftButton);
    EXPECT_FALSE(up->isDown());
    QTest::qWait(3 * TCSpinEdit::firstRepeatMs / 2);
    QTest::mouseRelease(up, Qt::LeftButton);
    EXPECT_EQ(boxes.boxes.size(), 3);
    EXPECT_EQ(boxes.boxes.last().caption, applicationTitle());
    EXPECT_EQ(form.field->text(), "");
    resetMessageLanguageForTest();
}

TEST(SelEditLeavingTest, APastedItemNameBecomesTheValueWhenTheFieldIsLeft)
{
    FieldForm<TSelEdit> form;
    form.field->SetSelectStr("1:Low,2:Mid,3:High");
    form.field->SetValue('1');
    form.show();
    form.tabIn();
    form.field->setText("High");
    form.tabOut();
    EXPECT_EQ(form.field->GetValue(), '3');
    form.tabIn();
    form.field->setText("None");
    resetBeepCount();
    form.tabOut();
    EXPECT_EQ(form.field->text(), "Low");
    EXPECT_EQ(form.field->GetValue(), '1');
    EXPECT_EQ(beepCount(), 1);
}
