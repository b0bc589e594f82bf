#pragma once

#include <QString>

#include <functional>

class QWidget;

// One service for every message box of the program, so that tests can answer them
// through a hook instead of a real modal box.
namespace Msg {

// Buttons and icons, combined as flags (the program's boxes use only these).
enum Flags : unsigned {
    Ok = 0x0,
    OkCancel = 0x1,
    YesNoCancel = 0x3,
    YesNo = 0x4,
    IconError = 0x10,
    IconQuestion = 0x20,
    IconWarning = 0x30,
    IconInformation = 0x40,
};

// Answers, as the buttons that were pressed.
enum Answer : int {
    IdOk = 1,
    IdCancel = 2,
    IdYes = 6,
    IdNo = 7,
};

} // namespace Msg

struct MessageRequest {
    QString caption;
    QString text;
    unsigned flags = Msg::Ok;
};

// A hook receives every box instead of the operator and returns the answer.
using MessageHook = std::function<int(const MessageRequest &)>;
void setMessageHook(MessageHook hook);
bool hasMessageHook();

// The title of plain boxes (the application title).
void setApplicationTitle(const QString &title);
QString applicationTitle();

// A box with the given caption, text and buttons; returns the answer.
int messageBox(QWidget *parent, const QString &text, const QString &caption, unsigned flags);

// Plain box: application title, the text, one "OK".
void showMessage(const QString &text, QWidget *parent = nullptr);

// Confirmation: caption "確認", "はい(&Y)" / "いいえ(&N)"; true for yes.
bool confirmYesNo(const QString &text, QWidget *parent = nullptr);

// The edit controls' warning box (caption given by the control).
void showWarning(const QString &caption, const QString &text, QWidget *parent = nullptr);
