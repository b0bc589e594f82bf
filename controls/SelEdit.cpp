#include "controls/SelEdit.h"

#include "controls/ControlMessages.h"
#include "platform/Beep.h"

#include <QKeyEvent>

namespace
{

bool isKeyChar(int c)
{
    return c >= '!' && c <= '~';
}

} // namespace

TSelEdit::TSelEdit(QWidget *parent) : TRevisedSpinEdit(parent)
{
    setText(QString());
}

QString TSelEdit::charText(char c) const
{
    return QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(c))));
}

int TSelEdit::matchingKey(int c) const
{
    if (hasKey(c))
        return c;
    if (!(editModes_ & smCaseSensitive) && c > 0 && c < 128) {
        const int upper = QChar(static_cast<char16_t>(c)).toUpper().unicode();
        const int lower = QChar(static_cast<char16_t>(c)).toLower().unicode();
        if (hasKey(upper))
            return upper;
        if (hasKey(lower))
            return lower;
    }
    return 0;
}

QString TSelEdit::GetSelItems(char c) const
{
    if (!isKeyChar(c))
        throw ESelEditError(ControlMessages::invalidCharRead(objectName(), charText(c)));
    return items_[static_cast<size_t>(c)];
}

void TSelEdit::SetSelItems(char c, const QString &text)
{
    if (!isKeyChar(c))
        throw ESelEditError(ControlMessages::invalidCharWrite(objectName(), charText(c)));
    const QString item = text.trimmed();
    items_[static_cast<size_t>(c)] = item;
    keys_.set(static_cast<size_t>(c), !item.isEmpty());
    maxValue_ = 0;
    minValue_ = 127;
    for (int k = '!'; k <= '~'; ++k) {
        if (keys_.test(static_cast<size_t>(k))) {
            minValue_ = std::min<char>(minValue_, static_cast<char>(k));
            maxValue_ = static_cast<char>(k);
        }
    }
}

char TSelEdit::GetKey(const QString &text) const
{
    const QString wanted = text.trimmed();
    for (int k = minValue_; k <= maxValue_; ++k) {
        if (hasKey(k) && items_[static_cast<size_t>(k)] == wanted)
            return static_cast<char>(k);
    }
    return 0;
}

void TSelEdit::SetSelectStr(const QString &list)
{
    if (list == selectStr_)
        return;
    for (int k = '!'; k <= '~'; ++k)
        items_[static_cast<size_t>(k)].clear();
    maxValue_ = 0;
    minValue_ = 127;
    keys_.reset();

    const qsizetype n = list.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar key = list[i];
        qsizetype j = i + 1;
        while (j < n && list[j] == u' ')
            ++j;
        if (!isKeyChar(key.unicode()) || j >= n || list[j] != u':') {
            ++i;
            continue;
        }
        const qsizetype end = list.indexOf(u',', j + 1);
        const qsizetype stop = end < 0 ? n : end;
        SetSelItems(static_cast<char>(key.unicode()), list.mid(j + 1, stop - j - 1));
        i = stop + 1;
    }
    if (maxValue_ < minValue_)
        throw ESelEditError(ControlMessages::invalidSelectList(list));

    if (editModes_ & smAddHint) {
        QString hint = toolTip();
        if (!selectStr_.isEmpty())
            hint.remove(selectStr_);
        if (!hint.contains(list))
            hint += list;
        setToolTip(hint);
    }
    selectStr_ = list;
    SetValue(value_);
}

void TSelEdit::SetValue(char c)
{
    const int key = matchingKey(static_cast<unsigned char>(c));
    if (key != 0) {
        value_ = static_cast<char>(key);
        setText(items_[static_cast<size_t>(key)]);
    } else {
        if (!hasList())
            throw ESelEditError(ControlMessages::invalidSelectStr(objectName()));
        value_ = c > maxValue_ ? maxValue_ : minValue_;
        setText(items_[static_cast<size_t>(value_)]);
        beep();
    }
    setCursorPosition(text().size());
}

void TSelEdit::SetText(const QString &t)
{
    const QString shown = SaturatedValue(t);
    value_ = GetKey(shown);
    setText(shown);
    setCursorPosition(text().size());
}

QString TSelEdit::SaturatedValue(const QString &t)
{
    // Without a list there is no item to fall back to.
    if (!hasList())
        return t;
    const char k = GetKey(t);
    if (k > maxValue_) {
        beep();
        return items_[static_cast<size_t>(maxValue_)];
    }
    if (k < minValue_) {
        beep();
        return items_[static_cast<size_t>(minValue_)];
    }
    return t;
}

void TSelEdit::Loaded()
{
    if (hasList())
        SetValue(value_);
    if ((editModes_ & smAddHint) && !selectStr_.isEmpty() && !toolTip().contains(selectStr_))
        setToolTip(toolTip() + selectStr_);
}

bool TSelEdit::IsValidChar(int key)
{
    bool ok;
    if (key > 0 && matchingKey(key) != 0)
        ok = true;
    else if (key >= 33)
        ok = false;
    else if (key == 13)
        ok = (editModes_ & smEnterNext) != 0;
    else
        ok = true;
    if (!EditorEnabled() && (key >= 0x20 || key == 8 || key == 0x7F))
        ok = false;
    return ok;
}

void TSelEdit::UpClick()
{
    if (isReadOnly()) {
        beep();
        return;
    }
    if ((editModes_ & smArrowWrap) && value_ == maxValue_) {
        SetValue(minValue_);
        return;
    }
    int64_t k = int64_t{value_} + Increment();
    while (k <= maxValue_ && !hasKey(k))
        ++k;
    SetValue(static_cast<char>(std::clamp<int64_t>(k, 0, 127)));
}

void TSelEdit::DownClick()
{
    if (isReadOnly()) {
        beep();
        return;
    }
    if ((editModes_ & smArrowWrap) && value_ == minValue_) {
        SetValue(maxValue_);
        return;
    }
    int64_t k = int64_t{value_} - Increment();
    while (k >= minValue_ && !hasKey(k))
        --k;
    SetValue(static_cast<char>(std::clamp<int64_t>(k, 0, 127)));
}

void TSelEdit::DoEnter()
{
    deselect();
    setCursorPosition(text().size());
}

// Leaving has put the text onto an item; a pasted item name thus also becomes the value.
void TSelEdit::DoExit()
{
    if (hasList())
        value_ = GetKey(text());
}

void TSelEdit::KeyPress(int &key, QKeyEvent *event)
{
    if (key == 13 && (editModes_ & smEnterNext)) {
        key = 0;
        focusNextChild();
        return;
    }
    if (key > 0) {
        if (const int item = matchingKey(key)) {
            SetValue(static_cast<char>(item));
            key = 0;
            return;
        }
    }
    if (key == ' ') {
        key = 0;
        stepGuarded(true);
        return;
    }
    if (key == 0 || key == 3 || key == 22 || key == 24 || key == 26) {
        applyTypedChar(key, event);
        return;
    }
    key = 0;
    beep();
}
