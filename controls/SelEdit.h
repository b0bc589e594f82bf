#pragma once

#include "controls/SpinEdit.h"

#include <QString>

#include <array>
#include <bitset>
#include <stdexcept>

enum TSelEditMode : unsigned {
    smArrowWrap = 1,     // the spin buttons and arrow keys wrap from the last item to the first and back
    smEnterNext = 2,     // Enter moves the focus to the next control
    smCaseSensitive = 4, // keys match their items in their case only
    smAddHint = 8,       // the list is shown in the control's hint
};

// Misuse of a selection edit: a bad key character, a list without items, a value set while
// there is no list.
class ESelEditError : public std::runtime_error
{
public:
    explicit ESelEditError(const QString &message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

// Choice of one item of a short list, each item keyed by one printable character: typing the
// key shows its item, the spin buttons step through the items. The list is given as text:
// "1:Low,2:Mid,3:High" (key, ":", item text; entries split by ",").
class TSelEdit : public TRevisedSpinEdit
{
    Q_OBJECT

public:
    explicit TSelEdit(QWidget *parent = nullptr);

    unsigned EditModes() const { return editModes_; }
    void SetEditModes(unsigned modes) { editModes_ = modes; }

    // The lowest and highest key with an item (MaxValue below MinValue: no list).
    char MaxValue() const { return maxValue_; }
    char MinValue() const { return minValue_; }

    // The key of the shown item.
    char GetValue() const { return value_; }
    // Shows the item of key c, trying its other case unless smCaseSensitive; another key is
    // put to the nearer end of the list with a beep. Raises ESelEditError without a list.
    void SetValue(char c);

    QString SelectStr() const { return selectStr_; }
    // Raises ESelEditError when the text defines no item.
    void SetSelectStr(const QString &list);

    // The item of key c; raise ESelEditError for a c outside "!".."~".
    QString GetSelItems(char c) const;
    void SetSelItems(char c, const QString &text);

    // The lowest key whose item is the trimmed text; 0 when none.
    char GetKey(const QString &text) const;

    QString GetText() const { return text(); }
    void SetText(const QString &text);

    // A dialog calls this once after configuring the control.
    void Loaded();

protected:
    bool IsValidChar(int key) override;
    void UpClick() override;
    void DownClick() override;
    QString SaturatedValue(const QString &text) override;
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(int &key, QKeyEvent *event) override;

private:
    using TRevisedSpinEdit::SetMaxValue;
    using TRevisedSpinEdit::SetMinValue;

    bool hasKey(int c) const { return c >= 0 && c < 256 && keys_.test(static_cast<size_t>(c)); }
    // c itself, or without smCaseSensitive its other case, when that has an item; 0 otherwise.
    int matchingKey(int c) const;
    bool hasList() const { return hasKey(minValue_) && hasKey(maxValue_); }
    QString charText(char c) const;

    unsigned editModes_ = smArrowWrap;
    char maxValue_ = 127;
    char minValue_ = 0;
    char value_ = 0;
    QString selectStr_;
    std::array<QString, 127> items_;
    std::bitset<256> keys_;
};
