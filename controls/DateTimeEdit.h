#pragma once

#include "controls/DateTimeText.h"

#include <QDateTimeEdit>

#include <cstdint>

enum TDateTimeKind { dtkDate, dtkTime };
enum TDateTimeEditMode : unsigned {
    dmEnterNext = 1, // Enter moves the focus to the next control
};
enum TDTDateMode { dmComboBox, dmUpDown };

// A date or time picker with separate date and time ranges. A value the operator steps or
// types outside its range is put back to the nearer bound with a beep; values set from code
// are taken as they are. The value is one class-library date and time: Date is its whole
// days, Time its time of day. A bound date of 0 means no limit.
class TDateTimeEdit : public QDateTimeEdit
{
    Q_OBJECT
public:
    explicit TDateTimeEdit(QWidget *parent = nullptr, TDateTimeKind kind = dtkDate);

    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind kind);
    TDTDateMode DateMode() const { return calendarPopup() ? dmComboBox : dmUpDown; }
    void SetDateMode(TDTDateMode mode) { setCalendarPopup(mode == dmComboBox); }
    unsigned EditModes() const { return editModes_; }
    void SetEditModes(unsigned modes) { editModes_ = modes; }

    // The display format in Qt's display-format syntax; empty for the kind's own format
    // (the short date format or the long time format of the edit controls).
    QString CustomFormat() const { return customFormat_; }
    void SetCustomFormat(const QString &format);

    // The whole value as the picker holds it.
    TDateTime DateTime() const;
    void SetDateTime(TDateTime value);

    TDateTime GetDate() const;
    void SetDate(TDateTime d);
    TDateTime GetTime() const;
    void SetTime(TDateTime t);

    TDateTime GetMaxDate() const;
    TDateTime GetMinDate() const;
    void SetMaxDate(TDateTime d);
    void SetMinDate(TDateTime d);
    TDateTime GetMaxTime() const;
    TDateTime GetMinTime() const;
    void SetMaxTime(TDateTime t);
    void SetMinTime(TDateTime t);
    int32_t GetMaxSecs() const { return TimeToSecs(maxTime_); }
    int32_t GetMinSecs() const { return TimeToSecs(minTime_); }
    void SetMaxSecs(int32_t secs) { SetMaxTime(SecsToTime(secs)); }
    void SetMinSecs(int32_t secs) { SetMinTime(SecsToTime(secs)); }

    int32_t GetAsDays() const { return DateToDays(GetDate()); }
    void SetAsDays(int32_t days) { SetDate(DaysToDate(days)); }
    int32_t GetAsSecs() const { return TimeToSecs(GetTime()); }
    void SetAsSecs(int32_t secs) { SetTime(SecsToTime(secs)); }

    // In the long time format (time kind) or the short date format; the setter raises
    // EConvertError on text that is no time or date.
    QString GetAsString() const;
    void SetAsString(const QString &text);
    QString GetAsYMDStr() const { return DateToYMD(GetDate()); }
    void SetAsYMDStr(const QString &text) { SetDate(YMDToDate(text)); }
    QString GetAsHMSStr() const { return TimeToHMS(GetTime()); }
    void SetAsHMSStr(const QString &text) { SetTime(HMSToTime(text)); }

    // A dialog calls this once after configuring the control: a date edit then holds one
    // millisecond after midnight as its time.
    void Loaded();

    // Conversions between the class library's value and Qt's (days counted from 1899-12-30,
    // the time of day in the fraction of the absolute value).
    static QDateTime toQDateTime(TDateTime value);
    static TDateTime fromQDateTime(const QDateTime &value);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void stepBy(int steps) override;

private:
    void applyFormat();
    void setWidestRange();
    void showValue(const QDateTime &value);
    // The range rule, run after the operator changed the value.
    void CNNotify();

    TDateTimeKind kind_;
    unsigned editModes_ = 0;
    QString customFormat_;
    TDateTime maxDate_;
    TDateTime minDate_;
    TDateTime maxTime_;
    TDateTime minTime_;
    bool settingFromCode_ = false;
    bool typing_ = false;
    bool stepping_ = false;
    bool typedChange_ = false;
};

class TDateEdit : public TDateTimeEdit
{
    Q_OBJECT
public:
    explicit TDateEdit(QWidget *parent = nullptr) : TDateTimeEdit(parent, dtkDate) {}
};

class TTimeEdit : public TDateTimeEdit
{
    Q_OBJECT
public:
    explicit TTimeEdit(QWidget *parent = nullptr) : TDateTimeEdit(parent, dtkTime) {}
};

// The Qt display format of a class-library date or time pattern ("yyyy/mm/dd" is
// "yyyy/MM/dd", "h:nn:ss" is "h:mm:ss"; "/" and ":" become the edit controls' separators).
QString qtDisplayFormatOf(const QString &pattern);

// The class library's date parser: up to three numbers split by the date separator, in the
// order of the short date format; a missing year is this year, a two-digit year lies in this
// century. Raises EConvertError on text that is no date.
TDateTime StrToDate(const QString &text);
