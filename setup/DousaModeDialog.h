#pragma once

#include "controls/RadixDialog.h"

#include <cstdint>
#include <memory>

class ChoiceGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TIntEdit;
class EepromFieldControls;

// "動作モードの設定": the reader's operating mode, its flags and the polling time. After OK
// the caller reads ModeCode, ModeFlags, the polling time and CBWriteEEPROM.
class TDousaMode1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    // ver121: the speed list offers 38400 bit/s too.
    TDousaMode1Dlg(QWidget *owner, uint8_t modeFlags, uint8_t modeCode, uint16_t pollingTime, bool ver121);
    ~TDousaMode1Dlg() override;

    uint8_t ModeCode;
    uint8_t ModeFlags;
    // EdPolTime's value, read back whether it is shown or not.
    int PollingTime() const;

    QComboBox *ComboBox1;
    ChoiceGroup *GbBuzzer;
    ChoiceGroup *GbReadMode;
    ChoiceGroup *RGAntiCol;
    ChoiceGroup *RGTxData;
    QComboBox *CBSpeed;
    TIntEdit *EdPolTime;
    QLabel *LabelPol1;
    QLabel *LabelPol2;
    QCheckBox *CBWriteEEPROM;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    void accept() override;

private:
    // The polling time is shown for the polling mode only.
    void ComboBox1Change();
    void Button1Click();

    std::unique_ptr<EepromFieldControls> fields_;
};
