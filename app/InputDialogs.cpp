#include "app/InputDialogs.h"

#include "controls/DialogKit.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace
{

const QString caption = QStringLiteral("ダイアログ");

// A hexadecimal byte field showing 0, right-aligned.
TIntEdit *byteField(const DialogKit &kit, const QString &name)
{
    TIntEdit *edit = kit.intEdit(name, {0, 255, -16});
    edit->SetValue(0);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

TInputIntDlg::TInputIntDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, "InputIntDlg", caption);
    IntEd = kit.intEdit("IntEd");
    STTitle = kit.label(QString(), IntEd, "STTitle");
    kit.column(this, {STTitle, IntEd, kit.confirmRow(OKBtn, CancelBtn)});
}

TInp3Data1Dlg::TInp3Data1Dlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, "Inp3Data1Dlg", caption);
    IntEd1 = kit.intEdit("IntEd1");
    IntEd2 = kit.intEdit("IntEd2");
    IntEd3 = kit.intEdit("IntEd3", {0, -1, 16});
    STTitle1 = kit.label(QString(), IntEd1, "STTitle1");
    STTitle2 = kit.label(QString(), IntEd2, "STTitle2");
    STTitle3 = kit.label(QString(), IntEd3, "STTitle3");
    kit.column(this, {STTitle1, IntEd1, STTitle2, IntEd2, STTitle3, IntEd3, kit.confirmRow(OKBtn, CancelBtn)});
}

TInp3Data2Dlg::TInp3Data2Dlg(QWidget *owner, int focusText, int) : RadixDialog(owner), focusText_(focusText)
{
    const DialogKit kit(this, "Inp3Data2Dlg", caption);
    IntEd1 = kit.intEdit("IntEd1");
    IntEd2 = kit.intEdit("IntEd2");
    EdString = DialogKit::named(new QLineEdit(this), "EdString");
    STTitle1 = kit.label(QString(), IntEd1, "STTitle1");
    STTitle2 = kit.label(QString(), IntEd2, "STTitle2");
    STTitle3 = kit.label(QString(), EdString, "STTitle3");
    kit.column(this, {STTitle1, IntEd1, STTitle2, IntEd2, STTitle3, EdString, kit.confirmRow(OKBtn, CancelBtn)});
}

void TInp3Data2Dlg::showEvent(QShowEvent *event)
{
    RadixDialog::showEvent(event);
    if (shown_ || event->spontaneous())
        return;
    shown_ = true;
    // Queued, so the focus moves once the dialog is up and Qt has given the first field focus.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (focusText_ != 0 && !EdString->isHidden())
                EdString->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

TWrData1Dlg::TWrData1Dlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, "WrData1Dlg", QStringLiteral("１ブロック書込"));
    EdAddr = byteField(kit, "EdAddr");
    EdData3 = byteField(kit, "EdData3");
    EdData2 = byteField(kit, "EdData2");
    EdData1 = byteField(kit, "EdData1");
    EdData0 = byteField(kit, "EdData0");
    QGridLayout *grid =
        kit.grid(nullptr, {{kit.label("アドレス(HEX)", EdAddr, "Label1"), EdAddr},
                           {kit.label("データ(HEX)", EdData3, "Label2"), EdData3, EdData2, EdData1, EdData0},
                           {nullptr, kit.label("上位バイト", nullptr, "Label3"), nullptr, nullptr,
                            kit.label("下位バイト", nullptr, "Label4")}});
    kit.column(this, {grid, kit.confirmRow(OKBtn, CancelBtn)});
}

TWritePwdDlg::TWritePwdDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, "WritePwdDlg", caption);
    EdData3 = byteField(kit, "EdData3");
    EdData2 = byteField(kit, "EdData2");
    EdData1 = byteField(kit, "EdData1");
    EdData0 = byteField(kit, "EdData0");
    IntEd1 = kit.intEdit("IntEd1", {0, 7, -10});
    EdWrdata3 = byteField(kit, "EdWrdata3");
    EdWrdata2 = byteField(kit, "EdWrdata2");
    EdWrdata1 = byteField(kit, "EdWrdata1");
    EdWrdata0 = byteField(kit, "EdWrdata0");
    STTitle1 = kit.label(QString(), IntEd1, "STTitle1");
    STTitle3 = kit.label(QString(), EdWrdata3, "STTitle3");
    Label1 = kit.label("上位バイト", nullptr, "Label1");
    Label5 = kit.label("下位バイト", nullptr, "Label5");
    auto bevel = [this](const char *name) {
        auto *line = DialogKit::named(new QFrame(this), name);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return LayoutCell(line).span(5);
    };
    QGridLayout *grid =
        kit.grid(nullptr, {{kit.label("パスワード(HEX)", EdData3, "Label2"), EdData3, EdData2, EdData1, EdData0},
                           {nullptr, kit.label("上位バイト", nullptr, "Label3"), nullptr, nullptr,
                            kit.label("下位バイト", nullptr, "Label4")},
                           {bevel("Bevel1")},
                           {STTitle1, IntEd1},
                           {bevel("Bevel2")},
                           {STTitle3, EdWrdata3, EdWrdata2, EdWrdata1, EdWrdata0},
                           {nullptr, Label1, nullptr, nullptr, Label5}});
    kit.column(this, {grid, kit.confirmRow(OKBtn, CancelBtn)});
}
