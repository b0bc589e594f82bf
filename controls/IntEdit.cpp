#include "controls/IntEdit.h"

#include "controls/RadixText.h"
#include "platform/Beep.h"

#include <QKeyEvent>

TIntEdit::TIntEdit(QWidget *parent) : NumberSpinEdit(parent)
{
    validChars_ = QStringLiteral("+-0123456789");
    SetMaxValue(defaultMax);
    SetMinValue(defaultMin);
    SetUpperCase(true);
}

int64_t TIntEdit::view(int32_t v) const
{
    return radixView(v, radix_);
}

void TIntEdit::SetRadix(int radix)
{
    const int64_t base = radixBase(radix);
    if (base < 2 || base > 36) {
        beep();
        return;
    }
    if (radix == radix_)
        return;
    const int32_t value = GetValue();
    radix_ = radix;

    validChars_.clear();
    if (radix < 0)
        validChars_ += QStringLiteral("+-");
    for (int d = 0; d < base && d < 10; ++d)
        validChars_ += QChar(u'0' + d);
    for (int d = 10; d < base; ++d)
        validChars_ += QChar(u'A' + d - 10);
    for (int d = 10; d < base; ++d)
        validChars_ += QChar(u'a' + d - 10);

    if (radix < 0 && MinValue() == 0 && MaxValue() == static_cast<int32_t>(0xFFFFFFFFu)) {
        SetMinValue(defaultMin);
        SetMaxValue(defaultMax);
    } else if (radix > 0 && MinValue() == defaultMin && MaxValue() == defaultMax) {
        SetMinValue(0);
        SetMaxValue(static_cast<int32_t>(0xFFFFFFFFu));
    }
    SetValue(value);
}

int32_t TIntEdit::GetValue() const
{
    return stol(text(), radix_);
}

void TIntEdit::SetValue(int32_t value)
{
    SetText(ltos(value, radix_));
}

QString TIntEdit::SaturatedValue(const QString &t)
{
    if (view(MaxValue()) < view(MinValue()))
        return t;
    int stop = 0;
    const int32_t v = stol(t, radix_, &stop);
    const bool stoppedOnPrintable = stop < t.size() && t[stop].unicode() >= 0x20;
    const int32_t top = radix_ > 0 ? static_cast<int32_t>(0xFFFFFFFFu) : 0x7FFFFFFF;
    const int32_t bottom = radix_ > 0 ? 0 : -2147483647;
    if ((stoppedOnPrintable && v == top) || view(v) > view(MaxValue())) {
        beep();
        return ltos(MaxValue(), radix_);
    }
    if ((stoppedOnPrintable && v == bottom) || view(v) < view(MinValue())) {
        beep();
        return ltos(MinValue(), radix_);
    }
    return t;
}

void TIntEdit::step(bool up)
{
    if (isReadOnly()) {
        beep();
        return;
    }
    const int64_t next = spinStep<int64_t>(view(GetValue()), Increment(), view(MinValue()), view(MaxValue()),
                                           (editModes_ & imArrowWrap) != 0, up);
    SetValue(static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(next))));
}

void TIntEdit::UpClick()
{
    step(true);
}

void TIntEdit::DownClick()
{
    step(false);
}
