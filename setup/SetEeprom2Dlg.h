#pragma once

#include "controls/RadixDialog.h"
#include "setup/EepromImage.h"

#include <memory>

class ChoiceGroup;
class EepromFieldControls;
class QLabel;
class QPushButton;
class QTabWidget;
class TIntEdit;

// "Ｒ／ＷのEEPROM2の設定": every field of EEPROM area 2 on six pages, in order: the cascaded
// switch boards' antenna counts and wait time (TabSheet1), the RDLOOP start block and length
// (TabSheet2), memory switch 7 with the buzzer frequency (TabSheet3), memory switch 8
// (TabSheet4), words 5-8 (TabSheet5, word 5 is never filled or read) and the tag test mode
// (TabSheet6). A caller that needs one page hides the others (hidePage) and the controls it
// doesn't use, fills the rest through showImage and takes them back with readImage.
class TSetEEPROM2Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TSetEEPROM2Dlg(QWidget *owner = nullptr);
    ~TSetEEPROM2Dlg() override;

    // The controls from an area-2 image; back into one, whose bytes without a control (byte 0)
    // keep their value. Nibbles and bytes take the low bits of their edits, each bit the lowest
    // bit of its group's item index.
    void showImage(const EepromData2 &image);
    void readImage(EepromData2 &image) const;

    // A control by its name (EdANT1_SELNUM, RGMemSW70, ...); null for another name or kind.
    TIntEdit *intEdit(const QString &name) const;
    ChoiceGroup *group(const QString &name) const;
    // A page's tab hidden.
    void hidePage(QWidget *page);

    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QWidget *TabSheet3;
    QWidget *TabSheet4;
    QWidget *TabSheet5;
    QWidget *TabSheet6;
    TIntEdit *EdChgWaitTime;
    QLabel *Label13; // "切り替え後のウエイト時間", EdChgWaitTime's buddy
    QLabel *Label14; // its unit, "ms"
    TIntEdit *EdRdStAddr;
    TIntEdit *EdDataLen;
    TIntEdit *EdMem5;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

private:
    std::unique_ptr<EepromFieldControls> fields_;
};
