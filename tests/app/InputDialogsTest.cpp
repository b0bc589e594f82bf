#include "app/InputDialogs.h"
#include "tests/app/DialogDriver.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

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
