#include "platform/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageHook hook;
QString title;
} // namespace

void setMessageHook(MessageHook h)
{
    hook = std::move(h);
}

bool hasMessageHook()
{
    return static_cast<bool>(hook);
}

void setApplicationTitle(const QString &t)
{
    title = t;
}

QString applicationTitle()
{
    if (!title.isEmpty())
        return title;
    return QCoreApplication::applicationName();
}

int messageBox(QWidget *parent, const QString &text, const QString &caption, unsigned flags)
{
    MessageRequest req{caption, text, flags};
    if (hook)
        return hook(req);
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return Msg::IdCancel;

    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0) {
    case Msg::IconError:
        box.setIcon(QMessageBox::Critical);
        break;
    case Msg::IconQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case Msg::IconWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Msg::IconInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    QAbstractButton *ok = nullptr, *cancel = nullptr, *yes = nullptr, *no = nullptr;
    switch (flags & 0x0F) {
    case Msg::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        break;
    case Msg::YesNoCancel:
        yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        break;
    case Msg::YesNo:
        yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        break;
    default:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    }
    if (cancel)
        box.setEscapeButton(cancel);
    else if (no)
        box.setEscapeButton(no);
    else
        box.setEscapeButton(ok);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    if (clicked && clicked == yes)
        return Msg::IdYes;
    if (clicked && clicked == no)
        return Msg::IdNo;
    if (clicked && clicked == ok)
        return Msg::IdOk;
    return Msg::IdCancel;
}

void showMessage(const QString &text, QWidget *parent)
{
    messageBox(parent, text, applicationTitle(), Msg::Ok);
}

bool confirmYesNo(const QString &text, QWidget *parent)
{
    return messageBox(parent, text, QStringLiteral("確認"), Msg::YesNo | Msg::IconQuestion) == Msg::IdYes;
}

void showWarning(const QString &caption, const QString &text, QWidget *parent)
{
    messageBox(parent, text, caption, Msg::Ok | Msg::IconWarning);
}
