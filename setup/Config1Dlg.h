#pragma once

#include "controls/RadixDialog.h"

#include <QtCore/qnamespace.h>

class ChoiceGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;
class QTabWidget;
class TIntEdit;

// The environment settings "環境設定": how tag commands address tags and which request flags
// they send, the hub's trace switches and reader ID, the block size, the result grid's format,
// the EAS AFI values and the menu switches. The values live with the caller, which fills the
// controls, runs the dialog and reads them back on OK; the dialog only keeps its controls
// consistent with one another.
class TConfig1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TConfig1Dlg(QWidget *owner = nullptr);

    // The pages: "動作環境", "EASの設定", "デバッグ", "フラグ設定".
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *TabSheet3 = nullptr;
    QWidget *TabSheet4 = nullptr;

    // "動作環境": the addressing choices are item indexes of "ＵＩＤの指定".
    QCheckBox *CBEnabLockBlock = nullptr;
    QComboBox *CBSelUID = nullptr;
    ChoiceGroup *RGReadOption = nullptr;
    QComboBox *CBReadSelUID = nullptr;
    ChoiceGroup *RGWriteOption = nullptr;
    QComboBox *CBWriteSelUID = nullptr;
    QPushButton *BtSetTagit = nullptr;
    QPushButton *BtSetICode2 = nullptr;
    QCheckBox *CBProgSetFlag = nullptr;

    // "EASの設定"
    TIntEdit *IntEdEASON = nullptr;
    TIntEdit *IntEdEASOFF = nullptr;

    // "デバッグ": everything on the page's panel, whose click shows the two hidden switches.
    QFrame *Panel2 = nullptr;
    QCheckBox *CBfDispRecInfo = nullptr;
    QCheckBox *CBfDispTxInfo = nullptr;
    QCheckBox *CBfWrDebug1 = nullptr;
    QCheckBox *CBDispCont1 = nullptr;
    TIntEdit *EdRWID = nullptr;
    TIntEdit *EdBlockSize = nullptr;
    QCheckBox *CBInventory2 = nullptr;
    QCheckBox *CBUseInOutFormat = nullptr;
    ChoiceGroup *RGChannelMode = nullptr;
    QCheckBox *CBBinaryWrite = nullptr;
    QCheckBox *CBROMVer200 = nullptr;
    QCheckBox *CBGateCmd = nullptr;
    QCheckBox *CBDispEXTSet1 = nullptr;
    QCheckBox *CBInvTxOff = nullptr;

    // "フラグ設定": the request-flag byte, bits 0-1 as the item index of CBUidFlag and bits 2
    // to 7 as one "0"/"1" group each.
    QComboBox *CBUidFlag = nullptr;
    ChoiceGroup *RGSelect = nullptr;
    ChoiceGroup *RGAddress = nullptr;
    ChoiceGroup *RGOption = nullptr;
    ChoiceGroup *RGAFI = nullptr;
    ChoiceGroup *RGNBSlots = nullptr;
    ChoiceGroup *RBDummy1 = nullptr;

    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The option flags of a Tag-it tag (read 0, write 1) and of an I-CODE2 tag (both 0).
    void BtSetTagitClick();
    void BtSetICode2Click();
    // The channel mode applies only to the in/out format.
    void CBUseInOutFormatClick();
    // Shift+Ctrl toggles the two hidden switches together; a click without both hides them.
    void Panel2Click(Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
