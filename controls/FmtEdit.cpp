#include "controls/FmtEdit.h"

#include "controls/ControlMessages.h"
#include "controls/RadixText.h"
#include "platform/Beep.h"
#include "platform/MessageService.h"

#include <algorithm>
#include <cmath>

namespace
{

const QString intMaxText = QStringLiteral("2147483647");
const QString intMinText = QStringLiteral("-2147483647");

// The leading number of a text: optional blanks and sign, digits, the decimal separator
// and more digits, an exponent; 0 when the text holds no leading number.
double leadingNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    QString s;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        s += text[i++];
    qsizetype digits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        s += text[i++];
        ++digits;
    }
    if (i < n && text[i] == DecimalSeparator()) {
        s += u'.';
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            s += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString e = QStringLiteral("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            e += text[j++];
        const qsizetype expStart = j;
        while (j < n && text[j] >= u'0' && text[j] <= u'9')
            e += text[j++];
        if (j > expStart)
            s += e;
    }
    bool ok = false;
    const double v = s.toDouble(&ok); // QString::toDouble reads the C locale, never the environment's
    return ok ? v : 0.0;
}

// The class library's integer conversion of a bound: blanks around, optional sign, decimal
// digits (or "$" hexadecimal), within 32 bits.
int32_t strToInt(const QString &text)
{
    const QString t = text.trimmed();
    const bool hex = t.contains(u'$') || t.contains(QLatin1String("0x"), Qt::CaseInsensitive);
    int stop = 0;
    const int32_t v = stol(t, hex ? -16 : -10, &stop);
    // Read to its end (no overflow, no stray character) and ending in a digit, not a sign or prefix.
    if (t.isEmpty() || stop != t.size() || !t.back().isLetterOrNumber() || t.back().unicode() > 0x7F ||
        t.endsWith(u'x', Qt::CaseInsensitive))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

double strToFloat(const QString &text)
{
    QString t = text.trimmed();
    t.replace(DecimalSeparator(), u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

TFmtEdit::TFmtEdit(QWidget *parent) : FieldEdit(parent) {}

QString TFmtEdit::blankDate()
{
    return QStringLiteral("    ") + DateSeparator() + QStringLiteral("  ") + DateSeparator() + QStringLiteral("  ");
}

QString TFmtEdit::blankTime()
{
    return QStringLiteral("  ") + TimeSeparator() + QStringLiteral("  ") + TimeSeparator() + QStringLiteral("  ");
}

void TFmtEdit::SetFmtKind(TFmtKind kind)
{
    if (kind == kind_)
        return;
    if (kind_ == fkInt) {
        if (maxValue_ == intMaxText)
            maxValue_.clear();
        if (minValue_ == intMinText)
            minValue_.clear();
    }
    if (fixedFormat_)
        SetMaxLength(0);
    kind_ = kind;
    fixedFormat_ = kind == fkYesNo || kind == fkDate || kind == fkTime;
    const QString current = text();
    switch (kind) {
    case fkInt:
        if (maxValue_.isEmpty())
            maxValue_ = intMaxText;
        if (minValue_.isEmpty())
            minValue_ = intMinText;
        if (!IsValidStr(current))
            setText(QString());
        break;
    case fkYesNo:
        SetUpperCase(true);
        setText(current.toUpper() == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N"));
        break;
    case fkDate:
        if (!IsValidStr(current))
            setText(blankDate());
        break;
    case fkTime:
        if (!IsValidStr(current))
            setText(blankTime());
        break;
    default:
        if (!IsValidStr(current))
            setText(QString());
        break;
    }
    if (fixedFormat_) {
        overWriteMode_ = owOverWrite;
        overwrite_ = true;
        SetMaxLength(static_cast<int>(text().size()));
    }
    SetValidChars(validChars_);
    if (modes_ & fmThousands)
        ReformatEditText();
}

void TFmtEdit::SetFmtModes(unsigned modes)
{
    if (modes == modes_)
        return;
    modes_ = modes;
    thousands_ = (modes & fmThousands) != 0;
    SetValidChars(validChars_);
    if (thousands_)
        ReformatEditText();
}

void TFmtEdit::SetValidChars(const QString &chars)
{
    QString given = UpperCase() ? chars.toUpper() : chars;
    switch (kind_) {
    case fkAll:
        validChars_.clear();
        break;
    case fkInt:
        validChars_ = QStringLiteral("+-0123456789");
        break;
    case fkFloat:
        validChars_ = QStringLiteral("+-") + DecimalSeparator() + QStringLiteral("0123456789");
        break;
    case fkYesNo:
        validChars_ = QStringLiteral("YNyn");
        break;
    case fkDate:
    case fkTime:
        validChars_ = QStringLiteral("0123456789");
        break;
    case fkAppoint:
        validChars_ = given;
        break;
    }
}

int TFmtEdit::compareBounds(const QString &a, const QString &b) const
{
    switch (kind_) {
    case fkInt: {
        const int32_t x = strToInt(a), y = strToInt(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case fkFloat: {
        const double x = strToFloat(a), y = strToFloat(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case fkDate: {
        const TDateTime x = YMDToDate(a), y = YMDToDate(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case fkTime: {
        const TDateTime x = HMSToTime(a), y = HMSToTime(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    default:
        return QString::compare(a, b) < 0 ? -1 : QString::compare(a, b) > 0 ? 1 : 0;
    }
}

void TFmtEdit::SetMaxValue(const QString &value)
{
    QString v = value.trimmed();
    if (!v.isEmpty() && !minValue_.isEmpty() && compareBounds(v, minValue_) < 0)
        v = minValue_;
    if (!v.isEmpty() && kind_ == fkDate)
        v = DateToYMD(YMDToDate(v));
    else if (!v.isEmpty() && kind_ == fkTime)
        v = TimeToHMS(HMSToTime(v));
    maxValue_ = v;
}

void TFmtEdit::SetMinValue(const QString &value)
{
    QString v = value.trimmed();
    if (!v.isEmpty() && !maxValue_.isEmpty() && compareBounds(v, maxValue_) > 0)
        v = maxValue_;
    if (!v.isEmpty() && kind_ == fkDate)
        v = DateToYMD(YMDToDate(v));
    else if (!v.isEmpty() && kind_ == fkTime)
        v = TimeToHMS(HMSToTime(v));
    minValue_ = v;
}

void TFmtEdit::SetOverWriteMode(TOverWrite mode)
{
    FieldEdit::SetOverWriteMode(fixedFormat_ ? owOverWrite : mode);
}

void TFmtEdit::Loaded()
{
    if (kind_ == fkInt || kind_ == fkFloat)
        SetText(text().trimmed());
    if (kind_ == fkYesNo)
        SetUpperCase(true);
    SetValidChars(validChars_);
    selectAll();
}

QString TFmtEdit::GetText() const
{
    return (modes_ & fmThousands) ? DelComma(text()) : text();
}

void TFmtEdit::SetText(const QString &value)
{
    QString t = value;
    if (modes_ & fmStrictRange)
        t = SaturatedValue(t);
    if (modes_ & fmThousands)
        t = InsComma(DelComma(t));
    setText(t);
}

QString TFmtEdit::SaturatedValue(const QString &t)
{
    if (IsAboveMax(t)) {
        if (modes_ & fmIllegalBeep)
            beep();
        return maxValue_;
    }
    if (IsBelowMin(t)) {
        if (modes_ & fmIllegalBeep)
            beep();
        return minValue_;
    }
    return t;
}

bool TFmtEdit::IsAboveMax(const QString &t) const
{
    if (maxValue_.isEmpty())
        return false;
    switch (kind_) {
    case fkInt:
    case fkFloat:
        return leadingNumber(t) > leadingNumber(maxValue_);
    case fkDate:
        return YMDToDate(t) > YMDToDate(maxValue_);
    case fkTime:
        return HMSToTime(t) > HMSToTime(maxValue_);
    default:
        return QString::compare(t, maxValue_) > 0;
    }
}

bool TFmtEdit::IsBelowMin(const QString &t) const
{
    if (minValue_.isEmpty())
        return false;
    switch (kind_) {
    case fkInt:
    case fkFloat:
        return leadingNumber(t) < leadingNumber(minValue_);
    case fkDate:
        return YMDToDate(t) < YMDToDate(minValue_);
    case fkTime:
        return HMSToTime(t) < HMSToTime(minValue_);
    default:
        return QString::compare(t, minValue_) < 0;
    }
}

bool TFmtEdit::IsOutOfRange() const
{
    const QString t = GetText();
    return IsAboveMax(t) || IsBelowMin(t);
}

EFmtEditError TFmtEdit::AccessError(const QString &typeWord) const
{
    return EFmtEditError(ControlMessages::accessError(objectName(), typeWord));
}

bool TFmtEdit::GetAsBoolean() const
{
    if (kind_ != fkYesNo)
        throw AccessError(QStringLiteral("Boolean"));
    return GetText().toUpper() == QLatin1String("Y");
}

Currency TFmtEdit::GetAsCurrency() const
{
    return std::round(GetAsFloat() * 10000.0) / 10000.0;
}

TDateTime TFmtEdit::GetAsDateTime() const
{
    if (kind_ == fkDate)
        return YMDToDate(GetText());
    if (kind_ == fkTime)
        return HMSToTime(GetText());
    throw AccessError(QStringLiteral("DateTime"));
}

double TFmtEdit::GetAsFloat() const
{
    if (kind_ != fkInt && kind_ != fkFloat)
        throw AccessError(QStringLiteral("Float"));
    return leadingNumber(GetText());
}

int32_t TFmtEdit::GetAsInteger() const
{
    if (kind_ != fkInt && kind_ != fkFloat)
        throw AccessError(QStringLiteral("Integer"));
    const double v = std::trunc(leadingNumber(GetText()));
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483648.0)
        return static_cast<int32_t>(-2147483647 - 1);
    return static_cast<int32_t>(v);
}

void TFmtEdit::SetAsBoolean(bool value)
{
    if (kind_ != fkYesNo)
        throw AccessError(QStringLiteral("Boolean"));
    SetText(value ? QStringLiteral("Y") : QStringLiteral("N"));
}

void TFmtEdit::SetAsCurrency(Currency value)
{
    SetAsFloat(value);
}

void TFmtEdit::SetAsDateTime(TDateTime value)
{
    if (kind_ == fkDate)
        SetText(DateToYMD(value));
    else if (kind_ == fkTime)
        SetText(TimeToHMS(value));
    else
        throw AccessError(QStringLiteral("DateTime"));
}

void TFmtEdit::SetAsFloat(double value)
{
    if (kind_ != fkInt && kind_ != fkFloat)
        throw AccessError(QStringLiteral("Float"));
    QString s = QString::number(value, 'f', decimals_ < 0 ? 0 : decimals_);
    s.replace(u'.', DecimalSeparator());
    SetText(s);
}

void TFmtEdit::SetAsInteger(int32_t value)
{
    if (kind_ != fkInt && kind_ != fkFloat)
        throw AccessError(QStringLiteral("Integer"));
    SetText(ltos(value, -10));
}

bool TFmtEdit::IsValidStr(const QString &t) const
{
    switch (kind_) {
    case fkAll:
        return true;
    case fkInt: {
        const QString s = DelComma(t).trimmed();
        if (s.isEmpty())
            return true;
        qsizetype i = (s[0] == u'+' || s[0] == u'-') ? 1 : 0;
        if (i >= s.size())
            return false;
        for (; i < s.size(); ++i)
            if (!isDigit(s[i]))
                return false;
        return true;
    }
    case fkFloat: {
        const QString s = DelComma(t).trimmed();
        if (s.isEmpty())
            return true;
        try {
            strToFloat(s);
            return true;
        } catch (const EConvertError &) {
            return false;
        }
    }
    case fkYesNo:
        return t.size() == 1 && QStringLiteral("YNyn").contains(t[0]);
    case fkDate:
    case fkTime: {
        const QChar sep = kind_ == fkDate ? DateSeparator() : TimeSeparator();
        if (t.trimmed() == (kind_ == fkDate ? blankDate() : blankTime()).trimmed())
            return true;
        for (QChar c : t)
            if (!isDigit(c) && c != sep)
                return false;
        const qsizetype seps = t.count(sep);
        if (kind_ == fkDate) {
            if (seps != 0 && seps != 2)
                return false;
            if (seps == 0 && t.size() != 8 && t.size() != 6)
                return false;
            try {
                YMDToDate(t);
                return true;
            } catch (const EConvertError &) {
                return false;
            }
        }
        if (seps > 2 || (seps == 0 && t.size() != 6 && t.size() != 4))
            return false;
        const QStringList parts = seps ? t.split(sep) : QStringList{t.mid(0, 2), t.mid(2, 2), t.mid(4, 2)};
        const int limits[3] = {23, 59, 59};
        for (qsizetype i = 0; i < parts.size() && i < 3; ++i)
            if (parts[i].toInt() > limits[i])
                return false;
        return true;
    }
    case fkAppoint:
        for (QChar c : t)
            if (!validChars_.contains(c))
                return false;
        return true;
    }
    return true;
}

bool TFmtEdit::ReformatText()
{
    bool changed = false;
    if (modes_ & fmStrictRange) {
        const QString t = GetText();
        const QString s = SaturatedValue(t);
        if (s != t) {
            SetText(s);
            changed = true;
        }
    }
    if (kind_ == fkYesNo && text() == QLatin1String(" ")) {
        setText(QStringLiteral("N"));
        changed = true;
    } else if (kind_ == fkDate || kind_ == fkTime) {
        const QString blank = (kind_ == fkDate ? blankDate() : blankTime()).trimmed();
        if (text().trimmed() != blank) {
            const QString before = text();
            SetAsDateTime(GetAsDateTime());
            changed = changed || text() != before;
        }
    }
    return changed;
}

void TFmtEdit::CMEnter(bool fromMouse)
{
    FieldEdit::CMEnter(fromMouse);
    DoEnter();
}

void TFmtEdit::DoEnter()
{
    applyEnterRules();
}

bool TFmtEdit::CMExit()
{
    DoExit();
    FieldEdit::CMExit();
    return valid_;
}

void TFmtEdit::DoExit()
{
    exceptionOnExit_ = false;
    errorMessage_.clear();
    try {
        if (ReformatText())
            repaint();
        valid_ = !IsOutOfRange();
        if (!valid_) {
            if (!minValue_.isEmpty() && !maxValue_.isEmpty())
                errorMessage_ = ControlMessages::rangeBoth(minValue_, maxValue_);
            else if (!minValue_.isEmpty())
                errorMessage_ = ControlMessages::rangeAbove(minValue_);
            else
                errorMessage_ = ControlMessages::rangeBelow(maxValue_);
        }
    } catch (const EConvertError &) {
        // Text that isn't a date or time: nothing is rewritten and the operator is told,
        // whatever the modes say; an exception must not leave the focus handler.
        valid_ = false;
        exceptionOnExit_ = true;
        errorMessage_ = ControlMessages::invalidInput();
    }
    if (!valid_ && errorMessage_.trimmed().isEmpty())
        errorMessage_ = ControlMessages::invalidInput();
}

void TFmtEdit::exitFailed()
{
    if ((modes_ & fmErrMsg) || exceptionOnExit_)
        showWarning(messagesInJapanese() ? QStringLiteral("警告") : QStringLiteral("Warning"), errorMessage_, this);
}
