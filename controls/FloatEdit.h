#pragma once

#include "controls/SpinEdit.h"

#include <QString>

enum TFloatEditMode : unsigned {
    femArrowWrap = 1, // the spin buttons and arrow keys wrap from MaxValue to MinValue and back
    femEnterNext = 2, // Enter moves the focus to the next control
    femThousands = 4, // kept with the modes; nothing acts on it
};

// A decimal number with a fixed number of decimals, kept in MinValue..MaxValue. A value is
// written with Decimals digits after the edit controls' decimal separator; text that is no
// number counts as 0. Out-of-range text is put back to the nearer bound with a beep when the
// field is left and when it is set from code.
class TFloatEdit : public NumberSpinEdit
{
    Q_OBJECT

public:
    explicit TFloatEdit(QWidget *parent = nullptr);

    int Decimals() const { return decimals_; }
    void SetDecimals(int decimals) { decimals_ = decimals < 0 ? 0 : decimals; }
    unsigned EditModes() const { return editModes_; }
    void SetEditModes(unsigned modes) { editModes_ = modes; }
    double Increment() const { return increment_; }
    void SetIncrement(double increment) { increment_ = increment; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }

    // The leading number of the text; 0 when there is none.
    double GetValue() const;
    void SetValue(double value);

    // value with the given number of decimals and the edit controls' decimal separator.
    static QString formatFixed(double value, int decimals);
    // The whole text read as a number (blanks around it allowed); false when it is not one.
    static bool convertFloat(const QString &text, double &value);
    // The number at the start of text (sign, digits, decimals, exponent); 0 when none.
    static double leadingNumber(const QString &text);

    static constexpr double defaultMax = 9999999999999990.0;
    static constexpr double defaultMin = -9999999999999990.0;

protected:
    bool enterNext() const override { return (editModes_ & femEnterNext) != 0; }
    void UpClick() override;
    void DownClick() override;
    QString SaturatedValue(const QString &text) override;
    void KeyPress(int &key, QKeyEvent *event) override;

private:
    void step(bool up);

    int decimals_ = 2;
    unsigned editModes_ = 0;
    double increment_ = 1.0;
    double maxValue_ = defaultMax;
    double minValue_ = defaultMin;
};
