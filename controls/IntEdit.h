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
class TIntEdit : public TRevisedSpinEdit
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
    QString GetText() const { return text(); }
    void SetText(const QString &text);

    unsigned EditModes() const { return editModes_; }
    void SetEditModes(unsigned modes) { editModes_ = modes; }
    int EnterColumn() const { return enterColumn_; }
    void SetEnterColumn(int column) { enterColumn_ = column; }
    TOverWrite OverWriteMode() const { return overWriteMode_; }
    void SetOverWriteMode(TOverWrite mode);
    bool Overwriting() const { return overwrite_; }
    QString ValidChars() const { return validChars_; }

    static constexpr int32_t defaultMax = 2147483647;
    static constexpr int32_t defaultMin = -2147483647;

protected:
    bool IsValidChar(int key) override;
    void UpClick() override;
    void DownClick() override;
    QString SaturatedValue(const QString &text) override;
    void DoEnter() override;
    bool KeyDown(QKeyEvent *event) override;
    void KeyPress(int &key, QKeyEvent *event) override;

private:
    int64_t view(int32_t v) const;
    void step(bool up);

    unsigned editModes_ = 0;
    int enterColumn_ = -1;
    TOverWrite overWriteMode_ = owInsert;
    bool overwrite_ = false;
    int radix_ = -10;
    QString validChars_ = QStringLiteral("+-0123456789");
};
