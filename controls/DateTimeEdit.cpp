#include "controls/DateTimeEdit.h"

#include "platform/Beep.h"

#include <QKeyEvent>
#include <QTimeZone>

#include <cmath>

namespace
{

constexpr int64_t msecsPerDay = 86400000;
const QDate epoch(1899, 12, 30);

// The class library keeps the time of day in the fraction of the absolute value, so a date
// before the epoch puts it below its whole days.
TDateTime combine(int64_t days, int64_t msecs)
{
    const double fraction = static_cast<double>(msecs) / static_cast<double>(msecsPerDay);
    return TDateTime(days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction);
}

int64_t msecsOf(TDateTime t)
{
    return TDateTimeEdit::toQDateTime(t).time().msecsSinceStartOfDay();
}

bool dateLimitSet(TDateTime bound)
{
    return DateToDays(bound) != 0;
}

} // namespace

QDateTime TDateTimeEdit::toQDateTime(TDateTime value)
{
    const int64_t total = std::llround(std::fabs(value.Val) * static_cast<double>(msecsPerDay));
    const int64_t days = total / msecsPerDay;
    const QDate date = epoch.addDays(value.Val < 0 ? -days : days);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(total % msecsPerDay)), Qt::UTC);
}

TDateTime TDateTimeEdit::fromQDateTime(const QDateTime &value)
{
    return combine(epoch.daysTo(value.date()), value.time().msecsSinceStartOfDay());
}

TDateTimeEdit::TDateTimeEdit(QWidget *parent, TDateTimeKind kind) : QDateTimeEdit(parent), kind_(kind)
{
    setTimeSpec(Qt::UTC);
    setWidestRange();
    setCalendarPopup(false);
    // Each field of the platform's picker runs round (minute 59 up gives 00), never into the next.
    setWrapping(true);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime local(now.date(), now.time(), Qt::UTC);
    const int64_t today = epoch.daysTo(now.date());
    minTime_ = combine(today, 0);
    maxTime_ = combine(today, msecsPerDay - 1);
    showValue(local);
    applyFormat();
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (settingFromCode_)
            return;
        // A value being typed is checked once the field is done with (Enter or leaving it),
        // so that a partly typed year is not put back; every other change at once.
        if (typing_ && !stepping_)
            typedChange_ = true;
        else
            CNNotify();
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (typedChange_) {
            typedChange_ = false;
            CNNotify();
        }
    });
}

// Qt's own minimum would clamp silently; the ranges of this control are its own.
void TDateTimeEdit::setWidestRange()
{
    setDateTimeRange(QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC),
                     QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC));
}

void TDateTimeEdit::SetKind(TDateTimeKind kind)
{
    if (kind == kind_)
        return;
    kind_ = kind;
    applyFormat();
}

void TDateTimeEdit::SetCustomFormat(const QString &format)
{
    if (format == customFormat_)
        return;
    customFormat_ = format;
    applyFormat();
}

void TDateTimeEdit::applyFormat()
{
    const QDateTime value = dateTime();
    settingFromCode_ = true;
    if (!customFormat_.isEmpty())
        setDisplayFormat(customFormat_);
    else
        setDisplayFormat(qtDisplayFormatOf(kind_ == dtkTime ? LongTimeFormat() : ShortDateFormat()));
    // Qt pins the date range of a format without date sections and drops the time of one
    // without time sections: widen the range again and keep the whole value.
    setWidestRange();
    setDateTime(value);
    settingFromCode_ = false;
}

void TDateTimeEdit::showValue(const QDateTime &value)
{
    settingFromCode_ = true;
    setDateTime(value);
    settingFromCode_ = false;
}

TDateTime TDateTimeEdit::DateTime() const
{
    return fromQDateTime(dateTime());
}

void TDateTimeEdit::SetDateTime(TDateTime value)
{
    showValue(toQDateTime(value));
}

TDateTime TDateTimeEdit::GetDate() const
{
    return DaysToDate(DateToDays(DateTime()));
}

void TDateTimeEdit::SetDate(TDateTime d)
{
    SetDateTime(combine(DateToDays(d), dateTime().time().msecsSinceStartOfDay()));
}

TDateTime TDateTimeEdit::GetTime() const
{
    return combine(0, dateTime().time().msecsSinceStartOfDay());
}

void TDateTimeEdit::SetTime(TDateTime t)
{
    SetDateTime(combine(DateToDays(DateTime()), msecsOf(t)));
}

TDateTime TDateTimeEdit::GetMaxDate() const
{
    return DaysToDate(DateToDays(maxDate_));
}

TDateTime TDateTimeEdit::GetMinDate() const
{
    return DaysToDate(DateToDays(minDate_));
}

void TDateTimeEdit::SetMaxDate(TDateTime d)
{
    int32_t days = DateToDays(d);
    if (dateLimitSet(minDate_) && days < DateToDays(minDate_))
        days = DateToDays(minDate_);
    if (days == DateToDays(maxDate_))
        return;
    maxDate_ = combine(days, dateTime().time().msecsSinceStartOfDay());
}

void TDateTimeEdit::SetMinDate(TDateTime d)
{
    int32_t days = DateToDays(d);
    if (dateLimitSet(maxDate_) && days > DateToDays(maxDate_))
        days = DateToDays(maxDate_);
    if (days == DateToDays(minDate_))
        return;
    minDate_ = combine(days, dateTime().time().msecsSinceStartOfDay());
}

TDateTime TDateTimeEdit::GetMaxTime() const
{
    return combine(0, msecsOf(maxTime_));
}

TDateTime TDateTimeEdit::GetMinTime() const
{
    return combine(0, msecsOf(minTime_));
}

void TDateTimeEdit::SetMaxTime(TDateTime t)
{
    const int64_t msecs = std::max(msecsOf(t), msecsOf(minTime_));
    if (msecs != msecsOf(maxTime_))
        maxTime_ = combine(DateToDays(DateTime()), msecs);
}

void TDateTimeEdit::SetMinTime(TDateTime t)
{
    const int64_t msecs = std::min(msecsOf(t), msecsOf(maxTime_));
    if (msecs != msecsOf(minTime_))
        minTime_ = combine(DateToDays(DateTime()), msecs);
}

QString TDateTimeEdit::GetAsString() const
{
    if (kind_ == dtkTime)
        return FormatDateTime(LongTimeFormat(), GetTime());
    return FormatDateTime(ShortDateFormat(), GetDate());
}

void TDateTimeEdit::SetAsString(const QString &text)
{
    if (kind_ == dtkTime)
        SetTime(StrToTime(text));
    else
        SetDate(StrToDate(text));
}

void TDateTimeEdit::Loaded()
{
    if (kind_ == dtkDate)
        SetTime(combine(0, 1));
}

void TDateTimeEdit::CNNotify()
{
    if (kind_ == dtkDate) {
        const int32_t days = DateToDays(DateTime());
        if (dateLimitSet(minDate_) && days < DateToDays(minDate_)) {
            SetDate(minDate_);
            beep();
        } else if (dateLimitSet(maxDate_) && days > DateToDays(maxDate_)) {
            SetDate(maxDate_);
            beep();
        }
        return;
    }
    const int64_t msecs = dateTime().time().msecsSinceStartOfDay();
    if (msecs < msecsOf(minTime_)) {
        SetTime(minTime_);
        beep();
    } else if (msecs > msecsOf(maxTime_)) {
        SetTime(maxTime_);
        beep();
    }
}

void TDateTimeEdit::stepBy(int steps)
{
    stepping_ = true;
    QDateTimeEdit::stepBy(steps);
    stepping_ = false;
}

void TDateTimeEdit::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (editModes_ & dmEnterNext)) {
        event->accept();
        if (typedChange_) {
            typedChange_ = false;
            CNNotify();
        }
        // QDateTimeEdit's own override would only move to the next field of the date.
        QWidget::focusNextPrevChild(true);
        return;
    }
    typing_ = true;
    QDateTimeEdit::keyPressEvent(event);
    typing_ = false;
}

QString qtDisplayFormatOf(const QString &pattern)
{
    QString out;
    for (const PatternToken &token : patternTokens(pattern)) {
        const QChar c = token.letter;
        const auto repeat = [&token](QChar ch, qsizetype most) { return QString(std::min(token.count, most), ch); };
        if (token.quoted)
            out += u'\'' + token.text + u'\'';
        else if (c == u'y')
            out += token.count <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        else if (c == u'n' || (c == u'm' && token.afterHour))
            out += repeat(u'm', 2);
        else if (c == u'm')
            out += repeat(u'M', 4);
        else if (c == u'd')
            out += repeat(u'd', 4);
        else if (c == u'h')
            out += repeat(u'h', 2);
        else if (c == u's')
            out += repeat(u's', 2);
        else if (c == u'z')
            out += QStringLiteral("zzz");
        else if (c == u'/')
            out += DateSeparator();
        else if (c == u':')
            out += TimeSeparator();
        else if (c.isLetter())
            out += u'\'' + token.text + u'\'';
        else
            out += token.text;
    }
    return out;
}

TDateTime StrToDate(const QString &text)
{
    const auto fail = [&text]() { return EConvertError(QStringLiteral("'%1' is not a valid date").arg(text)); };
    // The order of year, month and day in the short date format.
    QString order;
    for (QChar ch : ShortDateFormat().toLower()) {
        if ((ch == u'y' || ch == u'm' || ch == u'd') && !order.contains(ch))
            order += ch;
    }
    if (order.size() != 3)
        order = QStringLiteral("ymd");
    const QStringList parts = text.trimmed().split(DateSeparator());
    if (parts.size() < 2 || parts.size() > 3)
        throw fail();
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 4 ||
            !std::all_of(part.begin(), part.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; }))
            throw fail();
    }
    const int thisYear = QDate::currentDate().year();
    int year = thisYear;
    int month = 0;
    int day = 0;
    if (parts.size() == 2)
        order.remove(u'y');
    for (qsizetype i = 0; i < order.size(); ++i) {
        const int v = parts[i].toInt();
        if (order[i] == u'y') {
            year = parts[i].size() <= 2 ? thisYear / 100 * 100 + v : v;
        } else if (order[i] == u'm') {
            month = v;
        } else {
            day = v;
        }
    }
    return EncodeDate(year, month, day);
}
