#include "controls/SpinEdit.h"

#include "controls/DateTimeText.h"
#include "platform/Beep.h"
#include "platform/MessageService.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

#include <exception>

namespace
{
constexpr int buttonWidth = 15;

QToolButton *makeSpinButton(QWidget *parent, Qt::ArrowType arrow, const char *name)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setArrowType(arrow);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::ArrowCursor);
    b->setAutoRaise(false);
    return b;
}
} // namespace

TCSpinEdit::TCSpinEdit(QWidget *parent)
    : FieldEdit(parent), up_(makeSpinButton(this, Qt::UpArrow, "SpinUp")),
      down_(makeSpinButton(this, Qt::DownArrow, "SpinDown")), repeat_(new QTimer(this))
{
    setText(QStringLiteral("0"));
    setTextMargins(0, 0, buttonWidth, 0);
    up_->installEventFilter(this);
    down_->installEventFilter(this);
    repeat_->setSingleShot(true);
    connect(repeat_, &QTimer::timeout, this, [this] {
        if (!held_)
            return;
        repeat_->start(repeatMs);
        // Only while the pointer stays on the pressed button, as a held button repeats.
        if (held_->isDown())
            stepFrom(held_);
    });
    layoutButtons();
}

bool TCSpinEdit::IsValidChar(int key)
{
    bool ok = (key >= '0' && key <= '9') || key == '+' || key == '-' || key == DecimalSeparator().unicode() ||
              (key < 0x20 && key != 13);
    if (!editorEnabled_ && (key >= 0x20 || key == 8))
        ok = false;
    return ok;
}

bool TCSpinEdit::KeyDown(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return true;
    if (event->key() == Qt::Key_Up) {
        stepGuarded(true);
        return false;
    }
    if (event->key() == Qt::Key_Down) {
        stepGuarded(false);
        return false;
    }
    return true;
}

void TCSpinEdit::KeyPress(int &key, QKeyEvent *event)
{
    applyTypedChar(key, event);
}

void TCSpinEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    event->accept();
    if (!KeyDown(event))
        return;
    int ch = typedCharOf(event);
    if (ch < 0) {
        applyPlainKey(event);
        return;
    }
    if (!IsValidChar(ch)) {
        ch = 0;
        beep();
    }
    KeyPress(ch, event);
}

void TCSpinEdit::releaseButtons()
{
    held_ = nullptr;
    repeat_->stop();
    up_->setDown(false);
    down_->setDown(false);
}

void TCSpinEdit::focusOutEvent(QFocusEvent *event)
{
    // A held button repeats only while it keeps the mouse; losing the focus (to another field,
    // or to a message box that takes the mouse) ends the hold.
    releaseButtons();
    FieldEdit::focusOutEvent(event);
}

void TCSpinEdit::resizeEvent(QResizeEvent *event)
{
    FieldEdit::resizeEvent(event);
    layoutButtons();
}

void TCSpinEdit::wheelEvent(QWheelEvent *event)
{
    QWidget::wheelEvent(event);
}

void TCSpinEdit::layoutButtons()
{
    const int h = height();
    const int x = width() - buttonWidth;
    up_->setGeometry(x, 0, buttonWidth, h / 2);
    down_->setGeometry(x, h / 2, buttonWidth, h - h / 2);
}

bool TCSpinEdit::stepFrom(QToolButton *button)
{
    return stepGuarded(button == up_);
}

bool TCSpinEdit::stepGuarded(bool up)
{
    QString message;
    try {
        if (up)
            UpClick();
        else
            DownClick();
        return true;
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    }
    // Released first: a button still held would repeat and open a box every 100 ms.
    releaseButtons();
    showWarning(applicationTitle(), message, this);
    return false;
}

bool TCSpinEdit::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QToolButton *>(watched);
    if (button && (button == up_ || button == down_)) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && isEnabled()) {
                if (!hasFocus())
                    setFocus(Qt::MouseFocusReason);
                held_ = button;
                repeat_->start(firstRepeatMs);
                if (!stepFrom(button))
                    return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                held_ = nullptr;
                repeat_->stop();
            }
        }
    }
    return FieldEdit::eventFilter(watched, event);
}

TRevisedSpinEdit::TRevisedSpinEdit(QWidget *parent) : TCSpinEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TRevisedSpinEdit::CMEnter(bool fromMouse)
{
    TCSpinEdit::CMEnter(fromMouse);
    DoEnter();
}

bool TRevisedSpinEdit::CMExit()
{
    const QString t = SaturatedValue(text());
    if (t != text()) {
        setText(t);
        repaint();
    }
    DoExit();
    return TCSpinEdit::CMExit();
}

void TRevisedSpinEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // No input method: composed text would bypass the character filter.
    event->accept();
}

void NumberSpinEdit::SetText(const QString &t)
{
    setText(SaturatedValue(t));
}

bool NumberSpinEdit::IsValidChar(int key)
{
    bool ok;
    if (key > 0 && key < 0x10000 && validChars_.contains(QChar(static_cast<char16_t>(key))))
        ok = true;
    else if (key >= 0x20)
        ok = false;
    else if (key == 13)
        ok = enterNext();
    else
        ok = true;
    if (!EditorEnabled() && (key >= 0x20 || key == 8))
        ok = false;
    return ok;
}

void NumberSpinEdit::DoEnter()
{
    applyEnterRules();
}

bool NumberSpinEdit::KeyDown(QKeyEvent *event)
{
    return TRevisedSpinEdit::KeyDown(event) && !toggleOverwrite(event);
}

void NumberSpinEdit::KeyPress(int &key, QKeyEvent *event)
{
    if (key == 13 && enterNext()) {
        key = 0;
        focusNextChild();
        return;
    }
    bool signReplace = false;
    if (key > 0 && key < 0x10000 && validChars_.contains(QChar(static_cast<char16_t>(key)))) {
        if (key == '+' || key == '-') {
            deselect();
            setCursorPosition(0);
        }
        const int pos = cursorPosition();
        if (pos < text().size() && (text()[pos] == u'+' || text()[pos] == u'-'))
            signReplace = true;
    } else {
        if (key == 0 || key == 3 || key == 24 || key == 26) {
            applyTypedChar(key, event);
            return;
        }
        if (key == 22)
            key = 0;
    }
    placeKey(key, event, signReplace);
}

void NumberSpinEdit::placeKey(int &key, QKeyEvent *event, bool signReplace)
{
    const bool replace = overwrite_ ? (!hasSelectedText() || signReplace) : signReplace;
    if (!replace || key < 0x20) {
        if (key == 0)
            beep();
        else
            applyTypedChar(key, event);
        return;
    }
    replaceAtCaret(QChar(static_cast<char16_t>(key)));
    keepCaretInsideLimit();
    key = 0;
}
