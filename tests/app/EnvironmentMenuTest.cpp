#include "tests/app/WindowHubFixture.h"

#include "controls/DialogKit.h"
#include "link/ResultGrid.h"
#include "setup/Config1Dlg.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>

#include <functional>

namespace
{

using EnvironmentMenuTest = WindowHubTest;

constexpr int untouched = -100;

// One control of the environment dialog and the field it edits: the value the field holds when
// the dialog opens, what the control shows, what the operator makes of it, and what OK stores.
struct FieldRow {
    const char *control;
    std::function<int()> get;
    std::function<void(int)> set;
    int loaded;
    int shown;
    int chosen;
    int stored;
};

int shownBy(QWidget *control)
{
    if (auto *box = qobject_cast<QCheckBox *>(control))
        return box->isChecked() ? 1 : 0;
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentIndex();
    if (auto *group = qobject_cast<ChoiceGroup *>(control))
        return group->itemIndex();
    return qobject_cast<TIntEdit *>(control)->GetValue();
}

// As the operator does it: the control's page brought forward, then a click, a pick from the
// list, or typed digits.
void choose(TConfig1Dlg *d, QWidget *control, int value)
{
    for (QWidget *page : {d->TabSheet1, d->TabSheet3})
        if (page->isAncestorOf(control))
            d->PageControl1->setCurrentWidget(page);
    if (auto *box = qobject_cast<QCheckBox *>(control)) {
        if (box->isChecked() != (value != 0))
            box->click();
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->setCurrentIndex(value);
    } else if (auto *group = qobject_cast<ChoiceGroup *>(control)) {
        group->button(value)->click();
    } else {
        typeInto(control, QString::number(value));
    }
}

// "1" for each named item that is visible, "0" for each hidden one.
std::string shownItems(TKV8AppForm *form, const char *names)
{
    std::string out;
    for (const QString &name : QString::fromLatin1(names).split(' '))
        out += form->Item(name)->isVisible() ? '1' : '0';
    return out;
}

} // namespace

#define FORM_FIELD(f)                                                                                                  \
    [this] { return static_cast<int>(form->f); }, [this](int v) { form->f = static_cast<decltype(form->f)>(v); }
#define HUB_FIELD(f)                                                                                                   \
    [] { return static_cast<int>(TComXDlg->f); }, [](int v) { TComXDlg->f = static_cast<decltype(TComXDlg->f)>(v); }
#define FLAG_BITS(shift, mask)                                                                                         \
    [this] { return (form->Prog15693FLAG >> (shift)) & (mask); }, [this](int v) {                                      \
        form->Prog15693FLAG = static_cast<uint8_t>((form->Prog15693FLAG & ~((mask) << (shift))) | (v << (shift)));     \
    }

TEST_F(EnvironmentMenuTest, EveryFieldRoundTripsAndOkAppliesMenusAndGridColumns)
{
    // The EAS and request-flag pages are hidden: their values come back as they were. Values
    // that name no item (UID mode 7, flag bits 0-1 = 3) show no choice and are kept.
    const FieldRow rows[] = {
        {"CBEnabLockBlock", FORM_FIELD(EnabLockBlock), 2, 1, 0, 0},
        {"CBSelUID", FORM_FIELD(UidFlag), 2, 2, 1, 1},
        {"RGReadOption", FORM_FIELD(ReadOptionFlag), 1, 1, 0, 0},
        {"CBReadSelUID", FORM_FIELD(ReadUidFlag), 0, 0, 2, 2},
        {"RGWriteOption", FORM_FIELD(WriteOptionFlag), 0, 0, 1, 1},
        {"CBWriteSelUID", FORM_FIELD(WriteUidFlag), 7, -1, untouched, 7},
        {"CBProgSetFlag", FORM_FIELD(fUSESetOption), 1, 1, untouched, 1},
        {"IntEdEASON", FORM_FIELD(EAS_ON_VALUE), 0x5A, 0x5A, untouched, 0x5A},
        {"IntEdEASOFF", FORM_FIELD(EAS_OFF_VALUE), 0xC3, 0xC3, untouched, 0xC3},
        {"CBfDispRecInfo", HUB_FIELD(fDispRecInfo), 1, 1, 0, 0},
        {"CBfDispTxInfo", HUB_FIELD(fDispTxInfo), 0, 0, 1, 1},
        {"CBfWrDebug1", HUB_FIELD(fWrDebug1), 1, 1, 0, 0},
        {"CBDispCont1", HUB_FIELD(fDispCont1), 0, 0, 1, 1},
        {"EdRWID", HUB_FIELD(IDNo), 3, 3, 200, 200},
        {"EdBlockSize", FORM_FIELD(TagBlockSize), 4, 4, 8, 8},
        {"CBInventory2", FORM_FIELD(fInventory2), 0, 0, 1, 1},
        {"CBUseInOutFormat", FORM_FIELD(fUseInOutFormat), 0, 0, 1, 1},
        {"RGChannelMode", FORM_FIELD(InOutMode), 1, 1, 0, 0}, // enabled by the tick above
        {"CBBinaryWrite", FORM_FIELD(fBinaryWrite), 1, 1, 0, 0},
        {"CBROMVer200", FORM_FIELD(fVER121), 0, 0, 1, 1},
        {"CBGateCmd", FORM_FIELD(fGateCmd), 0, 1, 0, 0}, // switched on when the dialog opens
        {"CBDispEXTSet1", FORM_FIELD(fDispEXTSet1), 0, 0, 1, 1},
        {"CBInvTxOff", FORM_FIELD(fInvTxOff), 1, 1, 0, 0},
        {"CBUidFlag", FLAG_BITS(0, 3), 3, -1, untouched, 3},
        {"RGSelect", FLAG_BITS(2, 1), 1, 1, untouched, 1},
        {"RGAddress", FLAG_BITS(3, 1), 0, 0, untouched, 0},
        {"RGOption", FLAG_BITS(4, 1), 0, 0, untouched, 0},
        {"RGAFI", FLAG_BITS(5, 1), 1, 1, untouched, 1},
        {"RGNBSlots", FLAG_BITS(6, 1), 0, 0, untouched, 0},
        {"RBDummy1", FLAG_BITS(7, 1), 1, 1, untouched, 1},
    };
    for (const FieldRow &row : rows)
        row.set(row.loaded);
    form->InOutTitle = QStringLiteral("入出");
    whenDialogOpens<TConfig1Dlg>([&](TConfig1Dlg *d) {
        EXPECT_FALSE(d->PageControl1->isTabVisible(1) || d->PageControl1->isTabVisible(3));
        EXPECT_TRUE(d->CBProgSetFlag->isHidden() && d->CBDispEXTSet1->isHidden() && !d->CBInvTxOff->isHidden());
        EXPECT_FALSE(d->RGChannelMode->isEnabled());
        for (const FieldRow &row : rows) {
            QWidget *control = d->findChild<QWidget *>(QLatin1String(row.control));
            ASSERT_NE(control, nullptr) << row.control;
            EXPECT_EQ(shownBy(control), row.shown) << row.control;
            if (row.chosen != untouched)
                choose(d, control, row.chosen);
        }
        d->OKBtn->click();
    });
    form->RunItem("MnConfig1");
    for (const FieldRow &row : rows)
        EXPECT_EQ(row.get(), row.stored) << row.control;

    // ROM and extension switches on (the latter decides MnSetAnci; MnSetRWIDNUM is not its
    // item here), gate commands off; the fifth column carries the in/out title.
    EXPECT_EQ(shownItems(form, "MnSetSpeed MnSetAnci MnInventoryAFI1 MnSetBuz MnNoReadCmd MnSetRetry MnRDLoop1 "
                               "MnSetAFI MnAFI1 MnGateCmd M7501 MnSetRWIDNUM"),
              "111111111000");
    ASSERT_EQ(form->StringGrid1->columnCount(), 5);
    EXPECT_EQ(form->StringGrid1->model()->headerData(4, Qt::Horizontal).toString(), "入出");
}

TEST_F(EnvironmentMenuTest, CancelKeepsTheGateSwitchOnAndTheDebugPanelShowsTheHiddenSwitches)
{
    form->fGateCmd = 0;
    form->fVER121 = 1;
    form->fDispEXTSet1 = 0;
    form->fInvTxOff = 0;
    form->fUseInOutFormat = 1;
    form->setItemVisible("MnGateCmd", false);
    form->setItemVisible("MnSetSpeed", false);
    form->setItemVisible("MnSetAnci", true);
    form->StringGrid1->setColumnCount(4);
    QStringList panel;
    for (bool ok : {false, true}) {
        whenDialogOpens<TConfig1Dlg>([&](TConfig1Dlg *d) {
            d->PageControl1->setCurrentWidget(d->TabSheet3);
            const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;
            // A label on the panel passes its click on to the panel, which doesn't count it.
            QWidget *label = d->Panel2->findChild<QLabel *>();
            const std::pair<QWidget *, Qt::KeyboardModifiers> clicks[] = {
                {d->Panel2, both}, {d->Panel2, both}, {d->Panel2, both}, {label, both}, {d->Panel2, Qt::ShiftModifier}};
            for (const auto &[target, mods] : clicks) {
                QTest::mouseClick(target, Qt::LeftButton, mods, QPoint(2, 2));
                panel << QString::number(int(!d->CBDispEXTSet1->isHidden())) +
                             QString::number(int(!d->CBInvTxOff->isHidden()));
            }
            (ok ? d->OKBtn : d->CancelBtn)->click();
        });
        form->RunItem("MnConfig1");
        EXPECT_EQ(form->fGateCmd, 1);
        // Cancel changes no menu and no column; OK with the extension switch off shows the speed
        // item but not the anticollision item.
        EXPECT_EQ(shownItems(form, "MnGateCmd MnSetSpeed MnSetAnci"), ok ? "110" : "001");
        EXPECT_EQ(form->StringGrid1->columnCount(), ok ? 5 : 4);
    }
    EXPECT_EQ(panel, QStringList({"11", "00", "11", "11", "00", "11", "00", "11", "11", "00"}));
}

TEST_F(EnvironmentMenuTest, GridClearEmptiesTheReadTableAndCountAndTheLogOnlyOnTheLogPage)
{
    for (QWidget *page : {form->TabSheet1, form->TabSheet2}) {
        TComXDlg->AddReadRecord("data", "0102");
        TComXDlg->AddReadRecord("data", "0304");
        ASSERT_EQ(form->StatusPanel1->text(), "読みとり総数： 2");
        form->AddLog(QStringLiteral("a line"));
        form->PageControl1->setCurrentWidget(page);
        form->RunItem("MnGridClr");
        EXPECT_EQ(TComXDlg->ReadCount, 0);
        EXPECT_TRUE(gridCellText(form->StringGrid1, 3, 1).isEmpty());
        EXPECT_EQ(form->StatusPanel1->text(), "");
        EXPECT_EQ(form->Memo1->toPlainText().isEmpty(), page == form->TabSheet2);
        form->Memo1->clear();
    }
}
