#pragma once

#include "controls/FieldEdit.h"

#include <cstdint>

class QTimer;
class QToolButton;

// A one-line edit with a pair of spin buttons at its right edge. Holding a button down with
// the left mouse button steps at once, again 400 ms after the press and then every 100 ms;
// the press first gives the edit the focus. Up and Down step once per key press event (the
// keyboard's auto-repeat included). A typed character that IsValidChar refuses is dropped
// with a beep. No mouse-wheel or page stepping.
class TCSpinEdit : public FieldEdit
{
    Q_OBJECT

public:
    explicit TCSpinEdit(QWidget *parent = nullptr);

    int32_t MinValue() const { return minValue_; }
    void SetMinValue(int32_t v) { minValue_ = v; }
    int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(int32_t v) { maxValue_ = v; }
    int32_t Increment() const { return increment_; }
    void SetIncrement(int32_t v) { increment_ = v; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool on) { editorEnabled_ = on; }

    QToolButton *upButton() const { return up_; }
    QToolButton *downButton() const { return down_; }

    static constexpr int firstRepeatMs = 400;
    static constexpr int repeatMs = 100;

protected:
    // The character filter of typing; the base accepts digits, the signs and the decimal
    // separator, control characters but Enter, and nothing printable while the editor is
    // disabled.
    virtual bool IsValidChar(int key);
    virtual void UpClick() {}
    virtual void DownClick() {}

    // One step as an event asks for it: an error that the step raises ends here, with the
    // buttons released and the message shown once; calls from code still raise. False when
    // the step raised.
    bool stepGuarded(bool up);

    // Runs for a key press before its character: Up and Down step here. Returns false when
    // the key is used up.
    virtual bool KeyDown(QKeyEvent *event);
    // Runs for every typed character after the filter (key is 0 when the filter refused it);
    // the default lets the edit handle it.
    virtual void KeyPress(int &key, QKeyEvent *event);

    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutButtons();
    bool stepFrom(QToolButton *button);
    // Lets go of a held button: no further repeats.
    void releaseButtons();

    int32_t minValue_ = 0;
    int32_t maxValue_ = 0;
    int32_t increment_ = 1;
    bool editorEnabled_ = true;
    QToolButton *up_;
    QToolButton *down_;
    QToolButton *held_ = nullptr;
    QTimer *repeat_;
};

// The spin edit with the focus rules of the field edit, text alignment, the input method
// switched off, and the saturation hook that leaving the field applies.
class TRevisedSpinEdit : public TCSpinEdit
{
    Q_OBJECT

public:
    explicit TRevisedSpinEdit(QWidget *parent = nullptr);

protected:
    // The text the field shows after leaving it or being set from code; the base keeps it.
    virtual QString SaturatedValue(const QString &text) { return text; }
    // The enter and exit events, after the base's own handling.
    virtual void DoEnter() {}
    virtual void DoExit() {}

    bool cutPasteAllowed() const override { return EditorEnabled() && !isReadOnly(); }
    void CMEnter(bool fromMouse) override;
    bool CMExit() override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};

// One spin step from v: without limits when the range is empty (hi below lo); with wrap, from
// one bound to the other; otherwise by inc, ending on the bound it would pass.
template <class T> T spinStep(T v, T inc, T lo, T hi, bool wrap, bool up)
{
    if (hi < lo)
        return up ? v + inc : v - inc;
    if (wrap && v == (up ? hi : lo))
        return up ? lo : hi;
    if (up)
        return v <= hi - inc ? v + inc : hi;
    return v >= lo + inc ? v - inc : lo;
}

// The typing rules that the integer and the decimal spin edit share: a filter over the
// characters the value may hold, signs that land at column 0 and replace a sign there,
// overwrite typing, Insert toggling under owToggle, and Enter moving on when the control's
// modes ask for it.
class NumberSpinEdit : public TRevisedSpinEdit
{
    Q_OBJECT

public:
    using FieldEdit::EnterColumn;
    using FieldEdit::OverWriteMode;
    using FieldEdit::Overwriting;
    using FieldEdit::SetEnterColumn;
    using FieldEdit::SetOverWriteMode;

    QString ValidChars() const { return validChars_; }
    QString GetText() const { return text(); }
    // Clamped by SaturatedValue, with the beep.
    void SetText(const QString &text);

protected:
    using TRevisedSpinEdit::TRevisedSpinEdit;

    // Whether the control's modes say that Enter moves to the next control.
    virtual bool enterNext() const = 0;

    bool IsValidChar(int key) override;
    void DoEnter() override;
    bool KeyDown(QKeyEvent *event) override;
    void KeyPress(int &key, QKeyEvent *event) override;
    // Places a key that the rules let through: replacing the character at the caret in
    // overwrite state (or for a sign replacement), otherwise by the edit's own handling.
    void placeKey(int &key, QKeyEvent *event, bool signReplace);

    QString validChars_;
};
