#pragma once

#include "controls/RadixDialog.h"
#include "setup/ReaderParams.h"

class ChoiceGroup;
class QCheckBox;
class QFrame;
class QPushButton;
class TIntEdit;
class TTComXDlg;

// "R/Wのパラメータ設定": the handful of reader parameters an operator usually changes, from
// EEPROM area 1 and area-2 word 4 (the RDLOOP start block and length). With "タグの選択を行う"
// checked only the tag family can be chosen, which sets the block size and retry count.
// Ctrl+click on Panel1 dumps the reader's areas to the settings file beside the program.
class TParamSet3Dlg : public RadixDialog
{
    Q_OBJECT

public:
    // versionFlag: the ROM version against 1.21 (-1, 0, 1); the last argument is not used.
    TParamSet3Dlg(QWidget *owner, int versionFlag, int unused = 0);

    int ParamVersionFlag;
    // What the dump needs: the hub, and whether the file gets the area-2 keys.
    TTComXDlg *Hub = nullptr;
    bool Ver121 = false;

    // The controls from the values; the anticollision group only when it applies (it keeps
    // its own value otherwise).
    void showValues(const ParamSetValues &values, bool anticollision);
    ParamSetValues values() const;

    TIntEdit *EdRWID;
    TIntEdit *EdRetryNum;
    ChoiceGroup *RGAntic;
    ChoiceGroup *RGInvTrg;
    ChoiceGroup *RGInvAFI;
    ChoiceGroup *RGTagSel;
    ChoiceGroup *RGBuzType;
    ChoiceGroup *RGIOPORT3;
    ChoiceGroup *RGBRCmd;
    TIntEdit *EdBlockSize;
    QCheckBox *CBSelTag1;
    TIntEdit *EdAFI;
    TIntEdit *EdRdStAddr;
    TIntEdit *EdDataLen;
    ChoiceGroup *RGUseUID1;
    QFrame *Panel1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    // With the tag-family step chosen only the family can be changed.
    void CBSelTag1Click();
    void RGTagSelClick();
    // The dump, only with Ctrl held.
    void Panel1Click(Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
