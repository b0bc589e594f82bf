#include "controls/FloatEdit.h"

#include "controls/DateTimeText.h"
#include "platform/Beep.h"

#include <QKeyEvent>

#include <charconv>
#include <string>

namespace
{

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the number at text[from]: sign, digits, decimal separator and digits, exponent.
// 0 when no digit is found.
qsizetype numberLength(const QString &text, qsizetype from)
{
    qsizetype i = from;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == DecimalSeparator()) {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i - from;
}

// Reads a number that numberLength measured; QString::toDouble always reads the C form, so
// the result does not depend on the process locale.
double readNumber(const QString &text)
{
    QString c = text;
    c.replace(DecimalSeparator(), u'.');
    return c.toDouble();
}

} // namespace

TFloatEdit::TFloatEdit(QWidget *parent) : NumberSpinEdit(parent)
{
    validChars_ = QString(DecimalSeparator()) + QStringLiteral("+-0123456789");
}

QString TFloatEdit::formatFixed(double value, int decimals)
{
    // to_chars rounds as printf's "%.*f" does (2.5 with no decimals is "2"), and never
    // consults the process locale.
    std::string buf(static_cast<size_t>(320 + std::max(decimals, 0)), '\0');
    const auto result =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, std::max(decimals, 0));
    QString s = QString::fromLatin1(buf.data(), result.ptr - buf.data());
    s.replace(u'.', DecimalSeparator());
    return s;
}

bool TFloatEdit::convertFloat(const QString &text, double &value)
{
    const QString t = text.trimmed();
    const qsizetype n = numberLength(t, 0);
    if (n == 0 || n != t.size())
        return false;
    value = readNumber(t);
    return true;
}

double TFloatEdit::leadingNumber(const QString &text)
{
    qsizetype from = 0;
    while (from < text.size() && text[from].isSpace())
        ++from;
    const qsizetype n = numberLength(text, from);
    return n == 0 ? 0.0 : readNumber(text.mid(from, n));
}

double TFloatEdit::GetValue() const
{
    return leadingNumber(text());
}

void TFloatEdit::SetValue(double value)
{
    SetText(formatFixed(value, decimals_));
}

QString TFloatEdit::SaturatedValue(const QString &t)
{
    if (maxValue_ < minValue_)
        return t;
    const QString trimmed = t.trimmed();
    double v = 0.0;
    // Blank text, a lone sign, and text that is no number (".", "-.", "1.2.3") all count as 0.
    const bool converted = !(trimmed.isEmpty() || trimmed == u"+" || trimmed == u"-") && convertFloat(trimmed, v);
    if (v > maxValue_) {
        beep();
        return formatFixed(maxValue_, decimals_);
    }
    if (v < minValue_) {
        beep();
        return formatFixed(minValue_, decimals_);
    }
    if (!converted) {
        beep();
        return formatFixed(v, decimals_);
    }
    return t;
}

void TFloatEdit::step(bool up)
{
    if (isReadOnly()) {
        beep();
        return;
    }
    const double next = spinStep(GetValue(), increment_, minValue_, maxValue_, (editModes_ & femArrowWrap) != 0, up);
    SetValue(next);
}

void TFloatEdit::UpClick()
{
    step(true);
}

void TFloatEdit::DownClick()
{
    step(false);
}

void TFloatEdit::KeyPress(int &key, QKeyEvent *event)
{
    const QChar separator = DecimalSeparator();
    if (key != separator.unicode()) {
        NumberSpinEdit::KeyPress(key, event);
        return;
    }
    // The text the key leaves standing: a separator inside the selection goes with it.
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectedText().size());
    const int pos = cursorPosition();
    const bool accepted = decimals_ != 0 && !rest.contains(separator);
    const bool overwritesSame = overwrite_ && pos < text().size() && text()[pos] == separator;
    if (!accepted && !overwritesSame) {
        key = 0;
        beep();
        return;
    }
    placeKey(key, event, false);
}
