// Typing rules of the formatted edit: the character filter by kind, overwrite typing,
// the fixed date and time templates and the thousands separators kept while typing.
#include "controls/FmtEdit.h"

#include "platform/Beep.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>

namespace
{

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Half-width katakana "ﾝ" and "ﾐ" (0xDD and 0xD0 in the system's code page) sit on the
// Y and N keys of a Japanese keyboard in kana mode.
constexpr char16_t kanaYes = 0xFF9D;
constexpr char16_t kanaNo = 0xFF90;

} // namespace

bool TFmtEdit::isFieldSeparator(QChar c) const
{
    return (kind_ == fkDate && c == DateSeparator()) || (kind_ == fkTime && c == TimeSeparator()) ||
           (thousands_ && c == ThousandSeparator());
}

int TFmtEdit::caret() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TFmtEdit::reject()
{
    if (modes_ & fmIllegalBeep)
        beep();
}

bool TFmtEdit::windowHasDefaultButton() const
{
    const auto buttons = window()->findChildren<QPushButton *>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [this](QPushButton *b) { return b->isDefault() && b->isVisibleTo(window()); });
}

void TFmtEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    int ch = typedCharOf(event);
    if (ch == 13 && windowHasDefaultButton()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!KeyDown(event))
        return;
    if (ch < 0) {
        applyPlainKey(event);
        return;
    }
    typeChar(ch, event);
}

void TFmtEdit::typeChar(int ch, QKeyEvent *event)
{
    KeyPress(ch, event);
    if (thousands_)
        ReformatEditText();
}

void TFmtEdit::keyReleaseEvent(QKeyEvent *event)
{
    FieldEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        KeyUp(event);
}

void TFmtEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // A composed text is typed character by character, so it meets the same rules as keys.
    const QString commit = event->commitString();
    event->accept();
    for (QChar c : commit)
        typeChar(c.unicode(), nullptr);
}

bool TFmtEdit::KeyDown(QKeyEvent *event)
{
    const int key = event->key();
    const QString t = text();
    const int pos = cursorPosition();
    switch (key) {
    case Qt::Key_Left:
        if (!hasSelectedText() && pos > 0 && isFieldSeparator(t[pos - 1]))
            setCursorPosition(pos - 1);
        return true;
    case Qt::Key_Right:
        if (!hasSelectedText() && t.size() - pos >= 3 && isFieldSeparator(t[pos + 1]))
            setCursorPosition(pos + 1);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modes_ & fmArrowNext) {
            if (key == Qt::Key_Up)
                focusPreviousChild();
            else
                focusNextChild();
            return false;
        }
        return true;
    case Qt::Key_Insert:
        return !toggleOverwrite(event);
    case Qt::Key_Delete:
        if (fixedFormat_) {
            if (isReadOnly())
                return false;
            const int at = caret();
            if (at < t.size() && t[at].isDigit() && t[at].unicode() < 0x80) {
                setSelection(at, 1);
                insert(QStringLiteral(" "));
                setCursorPosition(at);
            } else {
                reject();
            }
            return false;
        }
        return true;
    default:
        return true;
    }
}

void TFmtEdit::KeyUp(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && thousands_)
        ReformatEditText();
    const QString t = text();
    const int pos = cursorPosition();
    if (!hasSelectedText() && t.size() - pos >= 2 && isFieldSeparator(t[pos]))
        setCursorPosition(pos + 1);
    keepCaretInsideLimit();
}

void TFmtEdit::KeyPress(int &key, QKeyEvent *event)
{
    if (key == 0 || key == 3 || key == 26 || (key == 24 && !fixedFormat_)) {
        applyTypedChar(key, event);
        return;
    }
    if (key == 13) {
        if (modes_ & fmEnterNext)
            focusNextChild();
        else
            reject();
        key = 0;
        return;
    }
    const QString t = text();
    if (key == 8) {
        if (!fixedFormat_) {
            const int pos = cursorPosition();
            if (!hasSelectedText() && pos > 0 && thousands_ && t[pos - 1] == ThousandSeparator())
                setCursorPosition(pos - 1);
            applyTypedChar(key, event);
            return;
        }
        if (isReadOnly()) {
            key = 0;
            return;
        }
        int pos = caret();
        deselect();
        if (pos > 0 &&
            ((kind_ == fkDate && t[pos - 1] == DateSeparator()) || (kind_ == fkTime && t[pos - 1] == TimeSeparator())))
            --pos;
        if (pos > 0 && t[pos - 1].isDigit() && t[pos - 1].unicode() < 0x80) {
            setSelection(pos - 1, 1);
            insert(QStringLiteral(" "));
            setCursorPosition(pos - 1);
        } else {
            setCursorPosition(pos);
            reject();
        }
        key = 0;
        return;
    }

    const int at = caret();
    const QChar atChar = at < t.size() ? t[at] : QChar();
    bool accepted = false;
    bool replacement = false;
    switch (kind_) {
    case fkInt:
    case fkFloat:
        if (isDigit(key)) {
            accepted = true;
            replacement = atChar == u'+' || atChar == u'-';
        } else if (key == '+' || key == '-') {
            if (atChar == u'+' || atChar == u'-')
                accepted = replacement = true;
            else
                accepted = at == 0;
        } else if (overwrite_ && key >= 0x20 && !atChar.isNull() && atChar.unicode() == key) {
            accepted = true;
        } else if (kind_ == fkFloat && key == DecimalSeparator().unicode() && !t.contains(DecimalSeparator())) {
            accepted = true;
        }
        break;
    case fkYesNo:
        if (key == 'Y' || key == 'y' || key == '1' || key == kanaYes) {
            key = 'Y';
            accepted = true;
        } else if (key == 'N' || key == 'n' || key == '0' || key == kanaNo) {
            key = 'N';
            accepted = true;
        } else if (key == ' ') {
            key = t == QLatin1String("Y") ? 'N' : 'Y';
            accepted = true;
        }
        break;
    case fkDate:
    case fkTime:
        accepted = isDigit(key);
        break;
    case fkAppoint: {
        const QChar c(static_cast<char16_t>(key));
        accepted = validChars_.contains(c) || (UpperCase() && validChars_.contains(c.toUpper()));
        break;
    }
    case fkAll:
        accepted = true;
        break;
    }
    if (!accepted) {
        key = 0;
        reject();
        return;
    }
    if (key < 0x20) {
        applyTypedChar(key, event);
        return;
    }
    const QChar c(static_cast<char16_t>(key));
    if (fixedFormat_ || replacement) {
        deselect();
        setCursorPosition(at);
        replaceAtCaret(c);
        if (fixedFormat_)
            keepCaretInsideLimit();
    } else if (overwrite_ && !hasSelectedText()) {
        replaceAtCaret(c);
        keepCaretInsideLimit();
    } else {
        applyTypedChar(key, event);
    }
    key = 0;
}

QString TFmtEdit::DelComma(const QString &t)
{
    QString s = t;
    s.remove(ThousandSeparator());
    return s;
}

int TFmtEdit::CountLeftComma(const QString &t, int count)
{
    int n = 0;
    for (int i = 0; i < count && i < t.size(); ++i)
        if (t[i] == ThousandSeparator())
            ++n;
    return n;
}

QString TFmtEdit::InsComma(const QString &t) const
{
    // Separators go into the integer part only: up to the decimal separator, or up to the
    // exponent of a decimal number written without one.
    QString s = t;
    qsizetype intEnd = s.indexOf(DecimalSeparator());
    if (intEnd < 0)
        intEnd = s.size();
    if (kind_ == fkFloat) {
        const qsizetype e = s.indexOf(u'E', 0, Qt::CaseInsensitive);
        if (e >= 0 && e < intEnd)
            intEnd = e;
    }
    const qsizetype first = (intEnd > 0 && (s[0] == u'+' || s[0] == u'-')) ? 1 : 0;
    for (qsizetype i = intEnd - 3; i > first; i -= 3)
        s.insert(i, ThousandSeparator());
    return s;
}

void TFmtEdit::ReformatEditText()
{
    const QString t = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    const bool caretAtStart = hasSelectedText() && cursorPosition() == start;
    const QString n = InsComma(DelComma(t));
    if (n == t)
        return;
    // Keep the caret on the same digit: count the characters that aren't separators.
    int digitsBefore = start - CountLeftComma(t, start);
    int newStart = 0;
    while (newStart < n.size() && digitsBefore > 0) {
        if (n[newStart] != ThousandSeparator())
            --digitsBefore;
        ++newStart;
    }
    const int delta = newStart - start;
    setText(n);
    const int a = std::clamp(start + delta, 0, static_cast<int>(n.size()));
    const int b = std::clamp(end + delta, 0, static_cast<int>(n.size()));
    if (a == b)
        setCursorPosition(a);
    else if (caretAtStart)
        setSelection(b, a - b);
    else
        setSelection(a, b - a);
}
