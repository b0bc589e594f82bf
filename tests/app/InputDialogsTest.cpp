#include "app/InputDialogs.h"
#include "controls/IntEdit.h"
#include "tests/app/DialogDriver.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace
{

struct FieldCase {
    const char *dialog;
    const char *field;
    int radix;
    const char *typed;
};

std::unique_ptr<RadixDialog> makeDialog(const QString &name)
{
    if (name == "InputIntDlg")
        return std::make_unique<TInputIntDlg>();
    if (name == "Inp3Data1Dlg")
        return std::make_unique<TInp3Data1Dlg>();
    if (name == "Inp3Data2Dlg")
        return std::make_unique<TInp3Data2Dlg>(nullptr, 0, 0);
    return std::make_unique<TWrData1Dlg>();
}

} // namespace

// A value typed past the range and confirmed without leaving the field must reach the
// handler clamped (0xFF), never cut to the byte (0x2C for 300).
TEST(InputDialogsTest, OkClampsTheFocusedFieldBeforeTheValueIsRead)
{
    const FieldCase cases[] = {
        {"InputIntDlg", "IntEd", 10, "300"},
        {"Inp3Data1Dlg", "IntEd3", 16, "12C"},
        {"Inp3Data2Dlg", "IntEd2", 10, "300"},
        {"WrData1Dlg", "EdData0", -16, "1FF"},
    };
    for (const FieldCase &c : cases) {
        auto dialog = makeDialog(c.dialog);
        EXPECT_EQ(dialog->objectName(), c.dialog);
        auto *field = dialog->findChild<TIntEdit *>(c.field);
        ASSERT_NE(field, nullptr) << c.field;
        field->SetMinValue(0);
        field->SetMaxValue(255);
        field->SetRadix(c.radix);
        field->SetValue(7);
        whenDialogOpens<RadixDialog>([&](RadixDialog *d) {
            typeInto(field, c.typed);
            d->findChild<QPushButton *>("OKBtn")->click();
        });
        EXPECT_EQ(dialog->exec(), QDialog::Accepted) << c.dialog << " " << c.field;
        EXPECT_EQ(field->GetValue(), 255) << c.dialog << " " << c.field;
    }
}

TEST(InputDialogsTest, TextFieldTakesTheFocusOnlyWhenAskedAndShown)
{
    for (int focusText : {0, 1}) {
        for (bool textShown : {true, false}) {
            TInp3Data2Dlg dialog(nullptr, focusText, 99);
            dialog.EdString->setVisible(textShown);
            bool textHadFocus = false;
            whenDialogOpens<TInp3Data2Dlg>([&](TInp3Data2Dlg *d) {
                QTest::qWait(20);
                textHadFocus = d->EdString->hasFocus();
                d->CancelBtn->click();
            });
            dialog.exec();
            EXPECT_EQ(textHadFocus, focusText != 0 && textShown) << focusText << textShown;
        }
    }
}
