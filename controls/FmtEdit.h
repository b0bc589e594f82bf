#pragma once

#include "controls/DateTimeText.h"
#include "controls/FieldEdit.h"

#include <QString>

#include <cstdint>
#include <stdexcept>

enum TFmtKind { fkAll, fkInt, fkFloat, fkYesNo, fkDate, fkTime, fkAppoint };

enum TFmtMode : unsigned {
    fmStrictRange = 0x01, // text set from code or left by the operator is clamped into the range
    fmIllegalBeep = 0x02, // refused keys and clamping beep
    fmErrMsg = 0x04,      // a range failure on exit shows a warning box
    fmErrNext = 0x08,     // after a range failure the focus may leave
    fmArrowNext = 0x10,   // Up and Down move to the previous / next control
    fmEnterNext = 0x20,   // Enter moves to the next control
    fmThousands = 0x40,   // thousands separators are shown and kept while typing
};

using Currency = double;

// Typed access to a formatted edit of another kind.
class EFmtEditError : public std::runtime_error
{
public:
    explicit EFmtEditError(const QString &message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

// One-line edit that takes only text of its kind (integer, decimal, yes/no, date, time, or
// characters of a list), keeps it within a range given as texts, and checks the range when
// the field is left. Dialogs set kind, modes and bounds, then call Loaded(), then set text.
class TFmtEdit : public FieldEdit
{
    Q_OBJECT

public:
    explicit TFmtEdit(QWidget *parent = nullptr);

    TFmtKind FmtKind() const { return kind_; }
    void SetFmtKind(TFmtKind kind);
    unsigned FmtModes() const { return modes_; }
    void SetFmtModes(unsigned modes);
    QString MaxValue() const { return maxValue_; }
    void SetMaxValue(const QString &value);
    QString MinValue() const { return minValue_; }
    void SetMinValue(const QString &value);
    using FieldEdit::OverWriteMode;
    using FieldEdit::Overwriting;
    // A fixed-format kind always overwrites.
    void SetOverWriteMode(TOverWrite mode);
    QString ValidChars() const { return validChars_; }
    void SetValidChars(const QString &chars);
    int Decimals() const { return decimals_; }
    void SetDecimals(int decimals) { decimals_ = decimals; }
    using FieldEdit::EnterColumn;
    using FieldEdit::SetEnterColumn;

    // After configuring: sets the text again through SetText, reapplies the valid
    // characters and selects the whole text.
    void Loaded();

    // The text without thousands separators: the value dialogs read.
    QString GetText() const;
    // Clamps (fmStrictRange) and adds thousands separators (fmThousands).
    void SetText(const QString &text);

    // The message and result of the last exit check.
    QString ErrorMessage() const { return errorMessage_; }
    bool Valid() const { return valid_; }

    virtual void ReformatEditText();
    virtual bool GetAsBoolean() const;
    virtual Currency GetAsCurrency() const;
    virtual TDateTime GetAsDateTime() const;
    virtual double GetAsFloat() const;
    virtual int32_t GetAsInteger() const;
    virtual void SetAsBoolean(bool value);
    virtual void SetAsCurrency(Currency value);
    virtual void SetAsDateTime(TDateTime value);
    virtual void SetAsFloat(double value);
    virtual void SetAsInteger(int32_t value);
    virtual bool IsOutOfRange() const;
    virtual bool ReformatText();

    QString SaturatedValue(const QString &text);
    bool IsAboveMax(const QString &text) const;
    bool IsBelowMin(const QString &text) const;

    // Thousands separators.
    QString InsComma(const QString &text) const;
    static QString DelComma(const QString &text);
    static int CountLeftComma(const QString &text, int count);

    bool IsValidStr(const QString &text) const;

    static QString blankDate();
    static QString blankTime();

protected:
    void CMEnter(bool fromMouse) override;
    bool CMExit() override;
    void exitFailed() override;
    bool exitKeepsFocus() const override { return !(modes_ & fmErrNext); }

    virtual void DoEnter();
    virtual void DoExit();
    // Returns false when the key is used up.
    virtual bool KeyDown(QKeyEvent *event);
    virtual void KeyUp(QKeyEvent *event);
    virtual void KeyPress(int &key, QKeyEvent *event);

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    EFmtEditError AccessError(const QString &typeWord) const;
    bool fixedFormat() const { return fixedFormat_; }
    bool isFieldSeparator(QChar c) const;
    int caret() const;
    void reject();
    bool windowHasDefaultButton() const;
    void typeChar(int key, QKeyEvent *event);
    int compareBounds(const QString &a, const QString &b) const;

    TFmtKind kind_ = fkAll;
    unsigned modes_ = fmStrictRange | fmIllegalBeep;
    QString maxValue_;
    QString minValue_;
    QString validChars_;
    int decimals_ = 2;
    QString errorMessage_;
    bool valid_ = true;
    bool fixedFormat_ = false;
    bool thousands_ = false;
    bool exceptionOnExit_ = false;
};
