#include "controls/NumEdit.h"

#include "controls/DateTimeText.h"
#include "platform/Beep.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace
{

constexpr QChar yenSign = u'\u00A5';

int clampedToInt(int64_t v)
{
    return static_cast<int>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

TNumEdit::TNumEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
    SetValue(0);
}

std::optional<int64_t> TNumEdit::amountOf(const QString &text)
{
    QString digits = text;
    digits.remove(yenSign).remove(u'\\').remove(ThousandSeparator());
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

QString TNumEdit::amountText(int64_t v, bool comma, bool yen, bool canNegative)
{
    QString out;
    if (canNegative && v < 0)
        out += u'-';
    if (yen)
        out += yenSign;
    const QString digits = QString::number(std::llabs(v));
    if (!comma)
        return out + digits;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ThousandSeparator();
        out += digits[i];
    }
    return out;
}

void TNumEdit::SetValue(int v)
{
    // Without negatives the field holds the magnitude it shows.
    int64_t stored = v;
    if (!canNegative_ && stored < 0)
        stored = std::min<int64_t>(-stored, std::numeric_limits<int32_t>::max());
    const bool guarded = changeGuard_;
    changeGuard_ = true;
    setText(amountText(stored, comma_, yen_, canNegative_));
    changeGuard_ = guarded;
    setCursorPosition(text().size());
    value_ = static_cast<int>(stored);
}

void TNumEdit::SetMaxDegits(int n)
{
    if (n >= 1 && n <= 9) {
        maxDegits_ = n;
        digitLimit_ = 1;
        for (int i = 0; i < n; ++i)
            digitLimit_ *= 10;
    } else {
        digitLimit_ = 1000000000;
    }
}

void TNumEdit::SetComma(bool on)
{
    comma_ = on;
    SetValue(value_);
}

void TNumEdit::SetYen(bool on)
{
    yen_ = on;
    SetValue(value_);
}

void TNumEdit::SetCanNegative(bool on)
{
    canNegative_ = on;
    SetValue(value_);
}

void TNumEdit::SetText(const QString &text)
{
    SetValue(clampedToInt(amountOf(text).value_or(0)));
}

// The digit is tested where it would really land (over a selection, or at the caret), in
// 64 bits, so that neither a selected field nor a value passing 32 bits slips through.
bool TNumEdit::digitFits(QChar digit) const
{
    QString prospective = text();
    if (hasSelectedText())
        prospective.replace(selectionStart(), selectedText().size(), digit);
    else
        prospective.insert(cursorPosition(), digit);
    prospective.remove(yenSign).remove(u'\\').remove(ThousandSeparator());
    bool ok = false;
    const qlonglong v = prospective.toLongLong(&ok, 10);
    return ok && v > -digitLimit_ && v < digitLimit_;
}

void TNumEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    const QString typed = event->text();
    // Ctrl with a letter types a control character (copy, paste and cut among them): refused
    // like any other character that is no digit. Keys that type nothing (caret moves, Delete,
    // Backspace, Tab, Escape) keep their usual effect.
    const bool controlCharacter = (event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z;
    if (!controlCharacter && (typed.isEmpty() || !typed[0].isPrint())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (controlCharacter || typed.size() != 1) {
        beep();
        return;
    }
    const QChar c = typed[0];
    if (c >= u'0' && c <= u'9') {
        if (digitFits(c))
            QLineEdit::keyPressEvent(event);
        else
            beep();
    } else if (c == u'-' && canNegative_ && !isReadOnly()) {
        SetValue(clampedToInt(-static_cast<int64_t>(value_)));
    } else {
        beep();
    }
}

void TNumEdit::Change()
{
    if (changeGuard_)
        return;
    changeGuard_ = true;
    const qsizetype fromEnd = text().size() - cursorPosition();
    const std::optional<int64_t> amount = amountOf(text());
    if (amount && (*amount >= digitLimit_ || *amount <= -digitLimit_)) {
        // A pasted amount longer than the digit limit is refused.
        beep();
        SetValue(value_);
    } else {
        SetValue(clampedToInt(amount.value_or(0)));
    }
    setCursorPosition(static_cast<int>(std::max<qsizetype>(0, text().size() - fromEnd)));
    changeGuard_ = false;
}

void TNumEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (autoSelect_)
        selectAll();
}

void TNumEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    SetValue(clampedToInt(amountOf(text()).value_or(0)));
}
