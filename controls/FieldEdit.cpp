#include "controls/FieldEdit.h"

#include "controls/ControlMessages.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace
{
constexpr int unlimitedLength = 32767;
// The field whose failed exit check is taking the focus back right now.
FieldEdit *reclaiming = nullptr;
} // namespace

FieldEdit::FieldEdit(QWidget *parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, [this] { exitDone_ = false; });
}

int FieldEdit::MaxLength() const
{
    return maxLength() >= unlimitedLength ? 0 : maxLength();
}

void FieldEdit::SetMaxLength(int length)
{
    setMaxLength(length <= 0 ? unlimitedLength : length);
}

void FieldEdit::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    switch (alignment) {
    case taLeftJustify:
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        break;
    case taRightJustify:
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case taCenter:
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        break;
    }
}

bool FieldEdit::runExitForConfirm()
{
    if (exitDone_)
        return false;
    if (CMExit()) {
        exitDone_ = true;
        return false;
    }
    exitFailed();
    const bool keep = exitKeepsFocus();
    exitDone_ = !keep;
    return keep;
}

int FieldEdit::typedCharOf(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        // Ctrl+Backspace types DEL, so it meets the character filters instead of deleting a
        // whole word behind them.
        if (key == Qt::Key_Backspace)
            return 127;
        return -1;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
        return 9;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || text[0].unicode() < 0x20 || text[0].unicode() == 127)
        return -1;
    return text[0].unicode();
}

void FieldEdit::CMEnter(bool fromMouse)
{
    if (autoSelect_ && !fromMouse)
        selectAll();
    else if (!fromMouse)
        deselect();
    emit fieldEntered();
}

bool FieldEdit::CMExit()
{
    emit fieldExited();
    return true;
}

void FieldEdit::cutByRule()
{
    if (cutPasteAllowed())
        cut();
}

void FieldEdit::pasteByRule()
{
    if (!cutPasteAllowed())
        return;
    QString text = QApplication::clipboard()->text();
    if (upperCase_)
        text = text.toUpper();
    insert(text);
}

void FieldEdit::applyTypedChar(int ch, QKeyEvent *event)
{
    switch (ch) {
    case 0:
        return;
    case 1:
        selectAll();
        return;
    case 3:
        copy();
        return;
    case 8:
    case 127:
        if (!isReadOnly() && event)
            QLineEdit::keyPressEvent(event);
        return;
    case 22:
        pasteByRule();
        return;
    case 24:
        cutByRule();
        return;
    case 26:
        if (!isReadOnly())
            undo();
        return;
    default:
        break;
    }
    if (ch < 0x20 || ch == 127 || isReadOnly())
        return;
    QString s(QChar(static_cast<char16_t>(ch)));
    insert(upperCase_ ? s.toUpper() : s);
}

void FieldEdit::applyPlainKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteByRule();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutByRule();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FieldEdit::replaceAtCaret(QChar ch)
{
    if (isReadOnly())
        return;
    const int pos = cursorPosition();
    if (pos < text().size())
        setSelection(pos, 1);
    insert(QString(upperCase_ ? ch.toUpper() : ch));
}

void FieldEdit::SetOverWriteMode(TOverWrite mode)
{
    if (mode == overWriteMode_)
        return;
    overWriteMode_ = mode;
    overwrite_ = mode == owOverWrite;
}

void FieldEdit::applyEnterRules()
{
    if (overWriteMode_ != owOverWrite)
        overwrite_ = false;
    if (enterColumn_ >= 0)
        setCursorPosition(enterColumn_);
    if (overwrite_ && hasSelectedText())
        setCursorPosition(selectionStart());
}

bool FieldEdit::toggleOverwrite(const QKeyEvent *event)
{
    if (event->key() != Qt::Key_Insert || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
        overWriteMode_ != owToggle)
        return false;
    overwrite_ = !overwrite_;
    return true;
}

void FieldEdit::keepCaretInsideLimit()
{
    if (overWriteMode_ == owOverWrite && MaxLength() > 0 && cursorPosition() >= MaxLength())
        setCursorPosition(cursorPosition() - 1);
}

void FieldEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || (reason == Qt::ActiveWindowFocusReason && entered_))
        return;
    entered_ = true;
    exitDone_ = false;
    CMEnter(reason == Qt::MouseFocusReason);
}

void FieldEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    entered_ = false;
    // The field that the focus only passed through while another field's failed check
    // takes it back was never really entered: no exit rule of its own.
    if (exitDone_ || (reclaiming && reclaiming != this))
        return;
    const bool passed = CMExit();
    exitDone_ = true;
    if (!passed) {
        // The focus is changing hands right now: the message and the return of the focus
        // wait until the change is complete.
        QTimer::singleShot(0, this, [this] {
            exitFailed();
            if (exitKeepsFocus()) {
                reclaiming = this;
                setFocus(Qt::OtherFocusReason);
                reclaiming = nullptr;
            }
        });
    }
}

void FieldEdit::hideEvent(QHideEvent *event)
{
    // A window hidden with the focus in this field (a dialog closed and shown again) enters it
    // anew when it comes back.
    entered_ = false;
    QLineEdit::hideEvent(event);
}

void FieldEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The X11 middle-button paste would put text past every rule (a disabled editor, a date
    // template); the fields have no such path.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FieldEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The edit's own menu, so that cut and paste from it follow the field's clipboard rule.
    const bool japanese = messagesInJapanese();
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool editable = !isReadOnly();
    auto add = [&](const char *name, const char *ja, const char *en, bool enabled, auto slot) {
        QAction *a = menu->addAction(QString::fromUtf8(japanese ? ja : en));
        a->setObjectName(QLatin1String(name));
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, slot);
    };
    add("edit-undo", "元に戻す(&U)", "&Undo", editable && isUndoAvailable(), [this] { undo(); });
    menu->addSeparator();
    add("edit-cut", "切り取り(&T)", "Cu&t", cutPasteAllowed() && hasSelectedText(), [this] { cutByRule(); });
    add("edit-copy", "コピー(&C)", "&Copy", hasSelectedText(), [this] { copy(); });
    add("edit-paste", "貼り付け(&P)", "&Paste", cutPasteAllowed() && !QApplication::clipboard()->text().isEmpty(),
        [this] { pasteByRule(); });
    add("edit-delete", "削除(&D)", "&Delete", editable && hasSelectedText(), [this] { del(); });
    menu->addSeparator();
    add("select-all", "すべて選択(&A)", "Select &All", !text().isEmpty(), [this] { selectAll(); });
    menu->popup(event->globalPos());
}

bool leaveFocusedField(QWidget *window)
{
    if (!window)
        return true;
    auto *field = qobject_cast<FieldEdit *>(window->focusWidget());
    if (!field)
        return true;
    return !field->runExitForConfirm();
}
