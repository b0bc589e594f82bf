#pragma once

#include "controls/SpinEdit.h"

#include <QString>

#include <cstdint>

enum TIntEditMode : unsigned {
    imArrowWrap = 1, // spin buttons and arrow keys wrap from MaxValue to MinValue and back
    imEnterNext = 2, // Enter moves the focus to the next control
};

// Integer field of the dialogs: a 32-bit value in a radix of 2 to 36 (negative = signed),
// kept in MinValue..MaxValue. Out-of-range text is put back to the nearer bound with a beep
// when the field is left and when text or value is set from code, never while typing.
// Configure the radix and the range before any text or value; set text through SetText
// (QLineEdit::setText would skip the clamp).
class TIntEdit : public NumberSpinEdit
{
    Q_OBJECT

public:
    explicit TIntEdit(QWidget *parent = nullptr);

    int Radix() const { return radix_; }
    // Keeps the 32-bit value and shows it in the new radix; an invalid radix beeps.
    void SetRadix(int radix);

    // The text read in the radix; an empty field reads as 0.
    int32_t GetValue() const;
    void SetValue(int32_t value);

    unsigned EditModes() const { return editModes_; }
    void SetEditModes(unsigned modes) { editModes_ = modes; }

    static constexpr int32_t defaultMax = 2147483647;
    static constexpr int32_t defaultMin = -2147483647;

protected:
    bool enterNext() const override { return (editModes_ & imEnterNext) != 0; }
    void UpClick() override;
    void DownClick() override;
    QString SaturatedValue(const QString &text) override;

private:
    int64_t view(int32_t v) const;
    void step(bool up);

    unsigned editModes_ = 0;
    int radix_ = -10;
};
