#pragma once

// The one set of builders every dialog is made with, so that all of them name their widgets,
// tie labels to fields and answer Enter and Escape the same way. A dialog's constructor makes
// a kit over itself and builds from it:
//
//     DialogKit kit(this, "EepromDlg", "EEPROMの設定");
//     auto *box = kit.groupBox("GBComm", "通信");
//     EdAddr = kit.intEdit("EdAddr", {0, 255, -16});
//     RGSpeed = kit.choiceGroup("RGSpeed", "通信速度", {"9600bps", "19.2kbps"}, 2);
//     CBBuzzer = kit.checkBox("CBBuzzer", "ブザー(&B)");
//     kit.grid(box, {{"アドレス(&A)", EdAddr}, {RGSpeed->wide(2)}, {CBBuzzer}});
//     kit.column(this, {box, kit.confirmRow(OKBtn, CancelBtn)});
//
// Widgets are created as children of the dialog; a layout moves them into its box. The classes
// of the widgets and layouts the kit makes come with this header.

#include "controls/IntEdit.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>

class QButtonGroup;
class QDialog;
class TFmtEdit;

// One cell of a layout the kit builds: a widget, a nested layout, a label text, a stretch, or
// nothing (an empty grid cell). A label text becomes the buddy label of the widget that follows
// it (or of the first widget inside the layout that follows it); a label that names nothing is
// made with DialogKit::label and passed as a widget.
class LayoutCell
{
public:
    LayoutCell(QWidget *widget) : widget_(widget) {}
    LayoutCell(QLayout *layout) : layout_(layout) {}
    LayoutCell(const char *text) : text_(QString::fromUtf8(text)), isText_(true) {}
    LayoutCell(const QString &text) : text_(text), isText_(true) {}
    LayoutCell(std::nullptr_t) {}
    static LayoutCell stretch(int factor = 1);
    // In a grid: spans this many columns.
    LayoutCell span(int columns) const;

private:
    friend class DialogKit;
    QWidget *widget_ = nullptr;
    QLayout *layout_ = nullptr;
    QString text_;
    bool isText_ = false;
    int stretch_ = 0;
    int columns_ = 1;
};

// A radio group as the class library has it: a titled box of exclusive radio buttons spread
// over columns top to bottom, whose value is the index of the checked item (-1: none). The
// buttons are named after the group with their index (RGComSpeed0, RGComSpeed1, ...).
// itemClicked comes from the operator's click only, never from setting the index in code.
class ChoiceGroup : public QGroupBox
{
    Q_OBJECT

public:
    ChoiceGroup(const QString &name, const QString &title, const QStringList &items, int columns = 1,
                QWidget *parent = nullptr);

    int itemIndex() const;
    // An index without an item leaves no button checked.
    void setItemIndex(int index);
    int count() const;
    QAbstractButton *button(int index) const;
    // In a grid built by the kit: spans this many columns.
    LayoutCell wide(int columns) { return LayoutCell(this).span(columns); }

signals:
    void itemClicked(int index);

private:
    QButtonGroup *group_;
};

// Range and radix of an integer field (TIntEdit: a negative radix is signed, a positive one
// shows the 32 bits unsigned).
struct IntRange {
    int32_t min = TIntEdit::defaultMin;
    int32_t max = TIntEdit::defaultMax;
    int radix = -10;
};

class DialogKit
{
public:
    // Names the dialog and gives it its caption (an empty caption leaves the title as it is)
    // and the fixed frame of a dialog: title bar and close box.
    DialogKit(QDialog *dialog, const QString &name, const QString &caption);

    template <class W> static W *named(W *widget, const QString &name)
    {
        widget->setObjectName(name);
        return widget;
    }

    // A label; with a buddy, its accelerator moves the focus to the buddy, which takes the
    // label as its accessible name.
    QLabel *label(const QString &text, QWidget *buddy = nullptr, const QString &name = QString()) const;
    QPushButton *button(const QString &name, const QString &text) const;
    QCheckBox *checkBox(const QString &name, const QString &text) const;
    TIntEdit *intEdit(const QString &name, IntRange range = {}) const;
    // A formatted integer field (TFmtEdit of the integer kind) from min to max, taking digits
    // and signs: an IPv4 octet is fmtIntEdit(name, 0, 255).
    TFmtEdit *fmtIntEdit(const QString &name, int32_t min, int32_t max) const;
    ChoiceGroup *choiceGroup(const QString &name, const QString &title, const QStringList &items,
                             int columns = 1) const;
    // A drop-down list whose value is the item index (currentIndex).
    QComboBox *comboBox(const QString &name, const QStringList &items = {}) const;
    QGroupBox *groupBox(const QString &name, const QString &title) const;

    // Layouts of cells. With an owner (a group box, or the dialog itself) the layout becomes
    // the owner's; without one it is for nesting.
    QGridLayout *grid(QWidget *owner, std::initializer_list<std::initializer_list<LayoutCell>> rows) const;
    QHBoxLayout *row(QWidget *owner, std::initializer_list<LayoutCell> cells) const;
    QVBoxLayout *column(QWidget *owner, std::initializer_list<LayoutCell> cells) const;

    // The confirming button OKBtn (the default; it accepts) and CancelBtn "キャンセル" (it
    // rejects), with the dialog's Enter and Escape keys (installConfirmKeys).
    void confirmButtons(QPushButton *&ok, QPushButton *&cancel, const QString &okText = QStringLiteral("OK")) const;
    // The same on a row of their own, at its right end.
    QHBoxLayout *confirmRow(QPushButton *&ok, QPushButton *&cancel, const QString &okText = QStringLiteral("OK")) const;

    // Enter and Escape as the class library's buttons take them: Enter presses the push button
    // that has the focus, or the confirm button when no push button has it; Escape presses
    // cancel. A button that is hidden or disabled is not pressed. Without a confirm button
    // Enter presses only a focused button; without a cancel button Escape is left to the
    // dialog. Keys a focused field uses itself (a spin field's Enter) never reach the dialog.
    static void installConfirmKeys(QDialog *dialog, QPushButton *confirm, QPushButton *cancel);

private:
    void addCells(QBoxLayout *layout, std::initializer_list<LayoutCell> cells) const;

    QDialog *dialog_;
};
