#pragma once

#include <QLineEdit>

class QKeyEvent;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TOverWrite { owInsert, owToggle, owOverWrite };

// The one-line edit under every field control: it decides what entering and leaving the
// field mean, turns key presses into the typed characters the controls filter, and holds
// the clipboard rules. Entering and leaving mean focus moving between widgets of one window;
// focus lost to or regained from a popup (the field's own context menu) or another window
// (a message box included) is neither.
class FieldEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit FieldEdit(QWidget *parent = nullptr);

    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    // 0 means no limit; the limit counts characters.
    int MaxLength() const;
    void SetMaxLength(int length);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    // Typed and pasted letters are shown in upper case.
    bool UpperCase() const { return upperCase_; }
    void SetUpperCase(bool on) { upperCase_ = on; }

    // A dialog being confirmed while this field holds the focus runs the field's exit rule
    // here first (once per visit and text); true when the rule keeps the focus in the field,
    // so the dialog must stay open.
    bool runExitForConfirm();

    // The character a key press types, as the system's character message would carry it:
    // Ctrl+letter gives its control code, Enter 13, Backspace 8, Ctrl+Backspace 127,
    // Escape 27; -1 for a key that types nothing (arrows, Delete, function keys).
    static int typedCharOf(const QKeyEvent *event);

signals:
    void fieldEntered();
    void fieldExited();

protected:
    // Entering: fromMouse tells a mouse press on the field (or its buttons) from Tab, an
    // accelerator, setFocus() from code or a dialog's first field.
    virtual void CMEnter(bool fromMouse);
    // Leaving; returns false when the field's exit check failed.
    virtual bool CMExit();
    // After a failed exit check (runs once the focus change is complete): the control's
    // message, if any, and whether the focus goes back to the field.
    virtual void exitFailed() {}
    virtual bool exitKeepsFocus() const { return true; }

    // Cut and paste by any path but typing Ctrl+V (context menu, Shift+Delete, Shift+Insert).
    virtual bool cutPasteAllowed() const { return !isReadOnly(); }
    void cutByRule();
    void pasteByRule();

    // The edit's own handling of a typed character that the control let through.
    void applyTypedChar(int ch, QKeyEvent *event);
    // The edit's own handling of a key that types nothing.
    void applyPlainKey(QKeyEvent *event);

    // Replaces the character at the caret (appends at the end of the text).
    void replaceAtCaret(QChar ch);

    // The typing mode of the fields that have one. Subclasses publish these accessors.
    TOverWrite OverWriteMode() const { return overWriteMode_; }
    void SetOverWriteMode(TOverWrite mode);
    bool Overwriting() const { return overwrite_; }
    int EnterColumn() const { return enterColumn_; }
    void SetEnterColumn(int column) { enterColumn_ = column; }
    // On entry: every visit but under owOverWrite starts in insert state; the caret goes to
    // EnterColumn when it is set; in overwrite state the selection collapses to its start.
    void applyEnterRules();
    // Insert (from either key block, no modifier) under owToggle toggles the overwrite state;
    // true when it did.
    bool toggleOverwrite(const QKeyEvent *event);
    // With owOverWrite and a length limit, a caret at or past the limit steps back one column
    // so that further typing keeps overwriting the last character.
    void keepCaretInsideLimit();

    TOverWrite overWriteMode_ = owInsert;
    bool overwrite_ = false;

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool autoSelect_ = true;
    bool upperCase_ = false;
    TAlignment alignment_ = taLeftJustify;
    bool entered_ = false;
    bool exitDone_ = false;
    int enterColumn_ = -1;
};

// Runs the exit rule of the field that holds the focus in window, if it is one of ours;
// true when the window may close.
bool leaveFocusedField(QWidget *window);
