#include "controls/DialogKit.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace
{

QWidget *buddyOf(const QDialog &dialog, const QString &text)
{
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text() == text)
            return label->buddy();
    }
    return nullptr;
}

} // namespace

TEST(DialogKitTest, GridTextsBecomeBuddyLabelsAndChoiceGroupsFillColumnsAndReportOnlyClicks)
{
    QDialog dialog;
    const DialogKit kit(&dialog, "KitDlg", "キット");
    TIntEdit *addr = kit.intEdit("EdAddr", {0, 255, -16});
    QComboBox *mode = kit.comboBox("CBMode", {"A", "B"});
    TIntEdit *low = kit.intEdit("EdLow");
    ChoiceGroup *speed = kit.choiceGroup("RGSpeed", "速度", {"a", "b", "c", "d", "e"}, 2);
    kit.grid(&dialog,
             {{"アドレス(&A)", addr}, {"モード(&M)", mode, "範囲(&R)", kit.row(nullptr, {low})}, {speed->wide(4)}});

    EXPECT_EQ(dialog.objectName(), "KitDlg");
    EXPECT_EQ(dialog.windowTitle(), "キット");
    EXPECT_EQ(buddyOf(dialog, "アドレス(&A)"), addr);
    EXPECT_EQ(buddyOf(dialog, "モード(&M)"), mode);
    EXPECT_EQ(buddyOf(dialog, "範囲(&R)"), low);
    EXPECT_EQ(dialog.findChild<TIntEdit *>("EdAddr"), addr);
    EXPECT_EQ(addr->Radix(), -16);
    EXPECT_EQ(addr->MinValue(), 0);
    EXPECT_EQ(addr->MaxValue(), 255);

    // Five items in two columns: three down the first, two down the second.
    auto *radios = static_cast<QGridLayout *>(speed->layout());
    int row = -1, column = -1, rows = 0, columns = 0;
    radios->getItemPosition(radios->indexOf(speed->button(3)), &row, &column, &rows, &columns);
    EXPECT_EQ(std::make_pair(row, column), std::make_pair(0, 1));
    EXPECT_EQ(dialog.findChild<QAbstractButton *>("RGSpeed3"), speed->button(3));

    QSignalSpy clicks(speed, &ChoiceGroup::itemClicked);
    speed->setItemIndex(4);
    EXPECT_EQ(speed->itemIndex(), 4);
    speed->setItemIndex(9);
    EXPECT_EQ(speed->itemIndex(), -1);
    EXPECT_EQ(clicks.count(), 0);
    speed->button(1)->click();
    EXPECT_EQ(speed->itemIndex(), 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 1);
}
