#include "app/ConnectionDialogs.h"
#include "app/InputDialogs.h"
#include "link/SerialSettingsDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Enter presses the focused button, or the confirm button when no button has the focus; Escape
// presses Cancel. The same in a dialog of each family.
TEST(ConfirmRowTest, EnterPressesTheFocusedButtonOrTheConfirmButtonAndEscapePressesCancel)
{
    struct Family {
        const char *name;
        std::function<QDialog *()> make;
        const char *field; // a field that leaves Enter to the dialog
    };
    const Family families[] = {
        {"connection", [] { return new TSetTCPIPDlg(nullptr); }, "EdTCPIP1_1"},
        {"input", [] { return new TInp3Data2Dlg(nullptr, 0); }, "EdString"},
        {"serial", [] { return new SerialSettingsDialog(nullptr); }, "CBParity"},
    };
    struct Press {
        const char *what;
        bool onCancel; // else on the field
        Qt::Key key;
        bool accepted;
    };
    const Press presses[] = {{"Enter on a focused Cancel", true, Qt::Key_Return, false},
                             {"Enter in a field", false, Qt::Key_Enter, true},
                             {"Escape in a field", false, Qt::Key_Escape, false}};

    for (const Family &family : families) {
        for (const Press &press : presses) {
            std::unique_ptr<QDialog> dialog(family.make());
            auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"));
            auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("CancelBtn"));
            ASSERT_TRUE(ok && cancel) << family.name;
            QSignalSpy okClicks(ok, &QPushButton::clicked);
            QSignalSpy cancelClicks(cancel, &QPushButton::clicked);
            dialog->show();
            QApplication::setActiveWindow(dialog.get());
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
            QWidget *target = press.onCancel ? cancel : dialog->findChild<QWidget *>(QLatin1String(family.field));
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), press.key);

            const std::string where = std::string(family.name) + ": " + press.what;
            EXPECT_FALSE(dialog->isVisible()) << where;
            EXPECT_EQ(dialog->result(), press.accepted ? QDialog::Accepted : QDialog::Rejected) << where;
            EXPECT_EQ(okClicks.count(), press.accepted ? 1 : 0) << where;
            EXPECT_EQ(cancelClicks.count(), press.accepted ? 0 : 1) << where;
        }
    }
}
