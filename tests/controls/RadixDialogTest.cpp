#include "controls/RadixDialog.h"
#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"

#include "platform/Beep.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace
{

// A small dialog like the program's input dialogs: one byte field, a formatted field and OK.
struct ByteDialog : RadixDialog {
    TIntEdit *byte = new TIntEdit(this);
    TFmtEdit *octet = new TFmtEdit(this);
    QPushButton *ok = new QPushButton(QStringLiteral("&OK"), this);
    int accepted = 0;

    ByteDialog()
    {
        byte->SetMinValue(0);
        byte->SetMaxValue(255);
        byte->SetRadix(-16);
        octet->SetFmtKind(fkInt);
        octet->SetMinValue(QStringLiteral("0"));
        octet->SetMaxValue(QStringLiteral("255"));
        octet->Loaded();
        auto *layout = new QVBoxLayout(this);
        for (QWidget *w : std::initializer_list<QWidget *>{byte, octet, ok})
            layout->addWidget(w);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(this, &QDialog::accepted, this, [this] { ++accepted; });
    }

    void open(QWidget *field, const QString &text)
    {
        show();
        QApplication::setActiveWindow(this);
        (void)QTest::qWaitForWindowActive(this);
        field->setFocus();
        QTest::keyClicks(field, text);
        resetBeepCount();
    }
};

} // namespace

TEST(RadixDialogTest, EveryWayOfConfirmingClampsTheFocusedFieldFirst)
{
    enum Way { DefaultButton, Accelerator, AcceptFromCode, ButtonClick };
    for (Way way : {DefaultButton, Accelerator, AcceptFromCode, ButtonClick}) {
        ByteDialog d;
        d.open(d.byte, QStringLiteral("1FF"));
        switch (way) {
        case DefaultButton:
            // The spin field takes Enter itself (a beep, no default button); the dialog gets
            // Enter from any widget that leaves it alone.
            QTest::keyClick(d.byte, Qt::Key_Return);
            EXPECT_EQ(d.accepted, 0);
            EXPECT_EQ(beepCount(), 1);
            resetBeepCount();
            QTest::keyClick(&d, Qt::Key_Return);
            break;
        case Accelerator:
            QTest::keyClick(d.byte, Qt::Key_O, Qt::AltModifier);
            (void)QTest::qWaitFor([&d] { return d.accepted > 0; }, 2000); // a mnemonic clicks animated
            break;
        case AcceptFromCode:
            d.accept();
            break;
        case ButtonClick:
            d.ok->click();
            break;
        }
        EXPECT_EQ(d.accepted, 1) << way;
        EXPECT_EQ(d.byte->text().toStdString(), "FF") << way;
        EXPECT_EQ(d.byte->GetValue(), 255) << way;
        EXPECT_EQ(beepCount(), 1) << way;
    }
}

TEST(RadixDialogTest, EnterInAFormattedFieldPressesTheDefaultButtonAfterItsExitRule)
{
    ByteDialog d;
    d.open(d.octet, QStringLiteral("300"));
    QTest::keyClick(d.octet, Qt::Key_Return);
    EXPECT_EQ(d.accepted, 1);
    EXPECT_EQ(d.octet->text().toStdString(), "255");
    EXPECT_EQ(beepCount(), 1);

    // An exit rule that keeps the focus keeps the dialog open.
    ByteDialog e;
    e.octet->SetFmtModes(fmErrMsg);
    e.open(e.octet, QStringLiteral("300"));
    MessageBoxRecorder boxes;
    e.accept();
    EXPECT_EQ(e.accepted, 0);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(e.octet->hasFocus());
    e.octet->setText(QStringLiteral("200"));
    e.accept();
    EXPECT_EQ(e.accepted, 1);
    EXPECT_EQ(boxes.boxes.size(), 1);
}

TEST(RadixDialogTest, EscapeInAFieldCancelsTheDialogWithoutItsExitRule)
{
    for (bool formatted : {false, true}) {
        ByteDialog d;
        QLineEdit *field = formatted ? static_cast<QLineEdit *>(d.octet) : d.byte;
        d.open(field, formatted ? QStringLiteral("300") : QStringLiteral("1FF"));
        QTest::keyClick(field, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(field->text().toStdString(), formatted ? "300" : "1FF");
        EXPECT_EQ(beepCount(), 0);
    }
}
