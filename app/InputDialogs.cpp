#include "app/InputDialogs.h"

#include "controls/IntEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace
{

template <class T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void setUpDialog(RadixDialog *dialog, const char *name)
{
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowTitle(QStringLiteral("ダイアログ"));
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

// OK (the default button) and "キャンセル" on one row under the fields.
QHBoxLayout *buttonRow(RadixDialog *dialog, QPushButton *&ok, QPushButton *&cancel)
{
    ok = named(new QPushButton(QStringLiteral("OK"), dialog), "OKBtn");
    cancel = named(new QPushButton(QStringLiteral("キャンセル"), dialog), "CancelBtn");
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

TIntEdit *byteField(QWidget *parent, const char *name)
{
    auto *edit = named(new TIntEdit(parent), name);
    edit->SetMinValue(0);
    edit->SetMaxValue(255);
    edit->SetRadix(-16);
    edit->SetText(QStringLiteral("0"));
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QLabel *prompt(QWidget *parent, const char *name, const QString &text, QWidget *buddy)
{
    auto *label = named(new QLabel(text, parent), name);
    label->setBuddy(buddy);
    return label;
}

// The prompts and fields one under the other, the buttons below them.
void stackWithButtons(RadixDialog *dialog, std::initializer_list<QWidget *> rows, QPushButton *&ok,
                      QPushButton *&cancel)
{
    auto *layout = new QVBoxLayout(dialog);
    for (QWidget *row : rows)
        layout->addWidget(row);
    layout->addLayout(buttonRow(dialog, ok, cancel));
}

} // namespace

TInputIntDlg::TInputIntDlg(QWidget *owner) : RadixDialog(owner)
{
    setUpDialog(this, "InputIntDlg");
    IntEd = named(new TIntEdit(this), "IntEd");
    STTitle = prompt(this, "STTitle", QString(), IntEd);
    stackWithButtons(this, {STTitle, IntEd}, OKBtn, CancelBtn);
}

TInp3Data1Dlg::TInp3Data1Dlg(QWidget *owner) : RadixDialog(owner)
{
    setUpDialog(this, "Inp3Data1Dlg");
    IntEd1 = named(new TIntEdit(this), "IntEd1");
    IntEd2 = named(new TIntEdit(this), "IntEd2");
    IntEd3 = named(new TIntEdit(this), "IntEd3");
    IntEd3->SetMinValue(0);
    IntEd3->SetMaxValue(-1);
    IntEd3->SetRadix(16);
    STTitle1 = prompt(this, "STTitle1", QString(), IntEd1);
    STTitle2 = prompt(this, "STTitle2", QString(), IntEd2);
    STTitle3 = prompt(this, "STTitle3", QString(), IntEd3);
    stackWithButtons(this, {STTitle1, IntEd1, STTitle2, IntEd2, STTitle3, IntEd3}, OKBtn, CancelBtn);
}

TInp3Data2Dlg::TInp3Data2Dlg(QWidget *owner, int focusText, int) : RadixDialog(owner), focusText_(focusText)
{
    setUpDialog(this, "Inp3Data2Dlg");
    IntEd1 = named(new TIntEdit(this), "IntEd1");
    IntEd2 = named(new TIntEdit(this), "IntEd2");
    EdString = named(new QLineEdit(this), "EdString");
    STTitle1 = prompt(this, "STTitle1", QString(), IntEd1);
    STTitle2 = prompt(this, "STTitle2", QString(), IntEd2);
    STTitle3 = prompt(this, "STTitle3", QString(), EdString);
    stackWithButtons(this, {STTitle1, IntEd1, STTitle2, IntEd2, STTitle3, EdString}, OKBtn, CancelBtn);
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
    setUpDialog(this, "WrData1Dlg");
    setWindowTitle(QStringLiteral("１ブロック書込"));
    EdAddr = byteField(this, "EdAddr");
    EdData3 = byteField(this, "EdData3");
    EdData2 = byteField(this, "EdData2");
    EdData1 = byteField(this, "EdData1");
    EdData0 = byteField(this, "EdData0");
    auto *grid = new QGridLayout;
    grid->addWidget(prompt(this, "Label1", QStringLiteral("アドレス(HEX)"), EdAddr), 0, 0);
    grid->addWidget(EdAddr, 0, 1);
    grid->addWidget(prompt(this, "Label2", QStringLiteral("データ(HEX)"), EdData3), 1, 0);
    grid->addWidget(EdData3, 1, 1);
    grid->addWidget(EdData2, 1, 2);
    grid->addWidget(EdData1, 1, 3);
    grid->addWidget(EdData0, 1, 4);
    grid->addWidget(prompt(this, "Label3", QStringLiteral("上位バイト"), nullptr), 2, 1);
    grid->addWidget(prompt(this, "Label4", QStringLiteral("下位バイト"), nullptr), 2, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow(this, OKBtn, CancelBtn));
}
