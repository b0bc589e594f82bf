#include "controls/IntEdit.h"

#include "FieldTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

#include <tuple>

namespace
{

struct IntForm : FieldForm<TIntEdit> {
    IntForm(int radix, int32_t min, int32_t max)
    {
        field->SetMinValue(min);
        field->SetMaxValue(max);
        field->SetRadix(radix);
        resetBeepCount();
        show();
    }
    void type(const char *keys)
    {
        field->setFocus();
        QTest::keyClicks(field, QString::fromLatin1(keys));
    }
    QMenu *openContextMenu()
    {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), field->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(field, &event);
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }
};

} // namespace

TEST(IntEditTest, TypingKeepsOnlyDigitsOfTheRadixBeepsOncePerRefusedKeyAndNeverClamps)
{
    // "1FF" lies above the range: it is kept until the field is left.
    for (auto [radix, keys, shown, beeps] : {std::tuple{-16, "1fzg.f", "1FF", 3}, {16, "-+a", "A", 2}}) {
        IntForm f(radix, 0, 255);
        f.field->setText(QString());
        EXPECT_EQ(f.field->GetValue(), 0);
        f.type(keys);
        EXPECT_EQ(textOf(f.field), shown) << keys;
        EXPECT_EQ(beepCount(), beeps) << keys;
    }
}

TEST(IntEditTest, SignsLandAtColumnZeroAndOverwriteReplacesTheCharacterAtTheCaret)
{
    IntForm f(-10, TIntEdit::defaultMin, TIntEdit::defaultMax);
    f.field->setText(QStringLiteral("12"));
    f.field->setFocus();
    f.field->setCursorPosition(2);
    expectSteps(f.field, {{'-', "-12"}, {'+', "+12"}, {Qt::Key_Home, "+12"}, {'7', "712"}}); // a digit replaces a sign
    f.field->SetOverWriteMode(owOverWrite);
    f.field->setCursorPosition(1);
    expectSteps(f.field, {{'9', "792"}, {'8', "798"}, {'-', "-98"}});
    EXPECT_EQ(beepCount(), 0);

    // Under owToggle Insert switches to overwrite, and every visit starts in insert.
    f.field->SetOverWriteMode(owToggle);
    f.tabOut();
    f.tabIn();
    f.field->setCursorPosition(0);
    QTest::keyClick(f.field, Qt::Key_Insert);
    EXPECT_TRUE(f.field->Overwriting());
    expectSteps(f.field, {{'1', "198"}});
    f.tabOut();
    f.tabIn();
    EXPECT_FALSE(f.field->Overwriting());
}

TEST(IntEditTest, LeavingTheFieldClampsToTheNearerBoundWithABeep)
{
    using Case = std::tuple<const char *, const char *, int>;
    const Case cases[] = {{"1FF", "FF", 1}, {"-1", "0", 1}, {"", "", 0}, {"0A", "0A", 0}, {"+7", "+7", 0}};
    for (const auto &[typed, shown, beeps] : cases) {
        IntForm f(-16, 0, 255);
        f.tabIn();
        f.field->setText(QString());
        QTest::keyClicks(f.field, QString::fromLatin1(typed));
        resetBeepCount();
        f.tabOut();
        EXPECT_EQ(textOf(f.field), shown) << typed;
        EXPECT_EQ(beepCount(), beeps) << typed;
    }
}

TEST(IntEditTest, SetValueAndSetTextClampWithABeep)
{
    IntForm f(-10, TIntEdit::defaultMin, TIntEdit::defaultMax);
    f.field->SetValue(static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(textOf(f.field), "-2147483647");
    EXPECT_EQ(beepCount(), 1);

    IntForm g(-16, 0, 255);
    g.field->SetText(QStringLiteral("12345678901"));
    EXPECT_EQ(textOf(g.field), "FF");
    g.field->SetValue(-3);
    EXPECT_EQ(textOf(g.field), "0");
    g.field->SetValue(0x7F);
    EXPECT_EQ(textOf(g.field), "7F");
    EXPECT_EQ(beepCount(), 2);
}

TEST(IntEditTest, RadixChangeKeepsTheValueAndSwapsOnlyTheDefaultRange)
{
    IntForm f(-10, TIntEdit::defaultMin, TIntEdit::defaultMax);
    f.field->SetValue(-1);
    f.field->SetRadix(16);
    EXPECT_EQ(textOf(f.field), "FFFFFFFF");
    EXPECT_EQ(f.field->MinValue(), 0);
    EXPECT_EQ(static_cast<uint32_t>(f.field->MaxValue()), 0xFFFFFFFFu);
    f.field->SetRadix(-10);
    EXPECT_EQ(f.field->MinValue(), TIntEdit::defaultMin);
    EXPECT_EQ(textOf(f.field), "-1");

    IntForm g(-10, 0, 255);
    g.field->SetValue(255);
    g.field->SetRadix(16);
    EXPECT_EQ(textOf(g.field), "FF");
    EXPECT_EQ(g.field->MaxValue(), 255);
    EXPECT_EQ(beepCount(), 0);

    for (int bad : {37, 1, -1, 0, INT32_MIN}) {
        g.field->SetRadix(bad);
        EXPECT_EQ(g.field->Radix(), 16);
    }
    EXPECT_EQ(beepCount(), 5);
}

TEST(IntEditTest, StepsStopAtTheBoundsWithoutABeepAndWrapWhenAsked)
{
    IntForm f(-10, 0, 255);
    f.field->SetValue(250);
    f.field->setFocus();
    // Every key press event steps once, the keyboard's auto-repeat included.
    for (int i = 0; i < 7; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(f.field, &press);
    }
    EXPECT_EQ(textOf(f.field), "255");
    f.field->SetIncrement(16);
    f.field->SetValue(252);
    expectSteps(f.field, {{Qt::Key_Up, "255"}, {Qt::Key_Down, "239"}});
    EXPECT_EQ(beepCount(), 0);
    f.field->SetIncrement(1);
    f.field->SetEditModes(imArrowWrap);
    f.field->SetValue(255);
    expectSteps(f.field, {{Qt::Key_Up, "0"}, {Qt::Key_Down, "255"}});

    // A typed value still outside the range is clamped by the step, with the beep.
    f.field->SetEditModes(0);
    f.field->setText(QStringLiteral("-5"));
    expectSteps(f.field, {{Qt::Key_Up, "0"}});
    EXPECT_EQ(beepCount(), 1);
}

TEST(IntEditTest, StepsNearTheEndsOfThe32BitRangeDoNotOverflow)
{
    using Case = std::tuple<int, uint32_t, Qt::Key, const char *>;
    const Case cases[] = {{-10, 2147483640u, Qt::Key_Up, "2147483647"},
                          {-10, static_cast<uint32_t>(-2147483640), Qt::Key_Down, "-2147483647"},
                          {16, 0xFFFFFFF8u, Qt::Key_Up, "FFFFFFFF"},
                          {16, 8, Qt::Key_Down, "0"}};
    for (const auto &[radix, start, key, shown] : cases) {
        IntForm f(radix, radix < 0 ? TIntEdit::defaultMin : 0, radix < 0 ? TIntEdit::defaultMax : -1);
        f.field->SetIncrement(16);
        f.field->setFocus();
        f.field->SetValue(static_cast<int32_t>(start));
        expectSteps(f.field, {{key, shown}});
        EXPECT_EQ(beepCount(), 0);
    }
}

TEST(IntEditTest, HeldSpinButtonFocusesTheFieldStepsAtOnceThenRepeatsAfterTheDelay)
{
    IntForm f(-10, 0, 1000);
    f.field->SetValue(0);
    QToolButton *up = f.field->upButton();
    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    EXPECT_TRUE(f.field->hasFocus());
    EXPECT_FALSE(f.field->hasSelectedText()); // focus from a mouse press selects nothing
    EXPECT_EQ(textOf(f.field), "1");
    QTest::qWait(200);
    if (clock.elapsed() < TCSpinEdit::firstRepeatMs) { // a loaded machine may have slept past the delay
        EXPECT_EQ(textOf(f.field), "1");
    }
    QTest::qWait(700);
    const int32_t held = f.field->GetValue();
    EXPECT_GE(held, 2);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    QTest::qWait(300);
    EXPECT_EQ(f.field->GetValue(), held);

    // Losing the focus ends the hold, as a message box taking the mouse would.
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    f.next->setFocus();
    QTest::qWait(600);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    EXPECT_EQ(f.field->GetValue(), held + 1);

    f.field->setReadOnly(true);
    QTest::mouseClick(f.field->downButton(), Qt::LeftButton);
    EXPECT_EQ(f.field->GetValue(), held + 1);
    EXPECT_EQ(beepCount(), 1);
}

TEST(IntEditTest, CtrlVBeepsWhileTheContextMenuPastesUnfilteredUnlessTheEditorIsDisabled)
{
    IntForm f(-10, 0, 255);
    QApplication::clipboard()->setText(QStringLiteral("x9"));
    f.field->setText(QString());
    f.field->setFocus();
    QTest::keyClick(f.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(textOf(f.field), "");
    EXPECT_EQ(beepCount(), 1);

    QMenu *menu = f.openContextMenu();
    ASSERT_NE(menu, nullptr);
    QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(textOf(f.field), "X9");

    f.field->setText(QString());
    f.field->SetEditorEnabled(false);
    menu = f.openContextMenu();
    ASSERT_NE(menu, nullptr);
    for (const char *name : {"edit-paste", "edit-cut"})
        EXPECT_FALSE(menu->findChild<QAction *>(QLatin1String(name))->isEnabled()) << name;
    menu->close();
    QTest::keyClick(f.field, '5');
    EXPECT_EQ(textOf(f.field), "");
}

TEST(IntEditTest, FocusLentToTheContextMenuIsNeitherLeavingNorEntering)
{
    IntForm f(-10, 0, 255);
    f.tabIn();
    f.field->setText(QStringLiteral("300"));
    f.field->setCursorPosition(1);
    QMenu *menu = f.openContextMenu();
    ASSERT_NE(menu, nullptr);
    menu->close();
    // The offscreen platform hands activation to the menu's window: take it back, which is
    // the field's window coming back from another window.
    QApplication::processEvents();
    QApplication::setActiveWindow(f.window.get());
    EXPECT_TRUE(f.field->hasFocus());
    EXPECT_EQ(textOf(f.field), "300");
    EXPECT_FALSE(f.field->hasSelectedText());
    EXPECT_EQ(beepCount(), 0);

    f.tabOut();
    EXPECT_EQ(textOf(f.field), "255");
}

TEST(IntEditTest, EnteringSelectsAllUnlessTheFocusCameFromTheMouse)
{
    IntForm f(-10, 0, 255);
    f.field->SetValue(123);
    f.tabIn();
    EXPECT_EQ(f.field->selectedText().toStdString(), "123");

    f.field->SetEnterColumn(1);
    f.tabOut();
    f.tabIn();
    EXPECT_FALSE(f.field->hasSelectedText());
    EXPECT_EQ(f.field->cursorPosition(), 1);

    f.field->SetEnterColumn(-1);
    f.tabOut();
    f.field->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(f.field->selectedText().toStdString(), "123");
    f.tabOut();
    QTest::mouseClick(f.field, Qt::LeftButton, Qt::NoModifier, QPoint(3, f.field->height() / 2));
    EXPECT_TRUE(f.field->hasFocus());
    EXPECT_FALSE(f.field->hasSelectedText());

    // A window shown again enters its field anew.
    f.window->hide();
    f.window->show();
    QApplication::setActiveWindow(f.window.get());
    (void)QTest::qWaitForWindowActive(f.window.get());
    EXPECT_TRUE(f.field->hasFocus());
    EXPECT_EQ(f.field->selectedText().toStdString(), "123");

    // Enter under imEnterNext moves on inserting nothing (without it Enter beeps: see the dialog tests).
    f.field->SetEditModes(imEnterNext);
    QTest::keyClick(f.field, Qt::Key_Return);
    EXPECT_TRUE(f.next->hasFocus());
    EXPECT_EQ(textOf(f.field), "123");
    EXPECT_EQ(beepCount(), 0);
}

TEST(IntEditTest, InputMethodTextAndDropsNeverReachTheField)
{
    IntForm f(-10, 0, 255);
    f.field->setText(QString());
    f.field->setFocus();
    EXPECT_FALSE(f.field->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(f.field->acceptDrops());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("１２"));
    QApplication::sendEvent(f.field, &commit);
    EXPECT_EQ(textOf(f.field), "");
}
