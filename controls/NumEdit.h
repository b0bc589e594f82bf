#pragma once

#include <QLineEdit>

#include <cstdint>
#include <optional>

// A right-aligned amount field: a limited number of digits, optional thousands separators,
// an optional yen sign before the digits, and an optional sign the operator toggles with
// "-". The value is read back from the text after every change.
class TNumEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TNumEdit(QWidget *parent = nullptr);

    int Value() const { return value_; }
    void SetValue(int v);

    int MaxDegits() const { return maxDegits_; }
    void SetMaxDegits(int n);

    bool Comma() const { return comma_; }
    void SetComma(bool on);
    bool Yen() const { return yen_; }
    void SetYen(bool on);
    bool CanNegative() const { return canNegative_; }
    void SetCanNegative(bool on);

    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    QString GetText() const { return text(); }
    void SetText(const QString &text);

    // The amount a text shows: the yen signs and thousands separators are dropped and the
    // rest read as a decimal integer (64 bits wide); nothing when it is not one.
    static std::optional<int64_t> amountOf(const QString &text);
    // The text of an amount as the field shows it.
    static QString amountText(int64_t v, bool comma, bool yen, bool canNegative);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void Change();
    bool digitFits(QChar digit) const;

    int value_ = 0;
    bool comma_ = false;
    bool yen_ = false;
    bool canNegative_ = false;
    bool autoSelect_ = true;
    int maxDegits_ = 0;
    // Ten to the power of MaxDegits. Starts at nine digits, so that a field made without a
    // MaxDegits setting still takes input.
    int64_t digitLimit_ = 1000000000;
    bool changeGuard_ = false;
};
