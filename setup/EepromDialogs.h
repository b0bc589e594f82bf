#pragma once

#include "controls/RadixDialog.h"
#include "setup/EepromImage.h"
#include "setup/EepromTransfer.h"

#include <QString>

#include <memory>

class EepromFieldControls;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TTComXDlg;

// What the EEPROM editors are handed by the main window.
struct EepromEditorContext {
    TTComXDlg *hub = nullptr;
    MainLogLine log;
    EepromAreaFlags flags;
    int OkColor = 0; // class-library colours of the comparison
    int NgColor = 0;
    EepromWindowValues window;
};

// The single dialog: the area-1 fields of the words it reads (codes, memory switches 1, 2,
// 3, 5, 6, the I/O ports). Its default button does nothing.
class TSetRom1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    TSetRom1Dlg(QWidget *owner, bool ver121);
    ~TSetRom1Dlg() override;

    void ShowFields(const FieldValues &values);
    FieldValues Fields() const;

    QTabWidget *PageControl1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QPushButton *BtDefault;

private:
    std::unique_ptr<EepromFieldControls> fields_;
};

// "R/WのEEPROMの設定": every field of both areas on fifteen pages, factory defaults, settings
// files, and the comparison of the reader with the file loaded.
class TAllSetRom1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    TAllSetRom1Dlg(QWidget *owner, const EepromEditorContext &context);
    ~TAllSetRom1Dlg() override;

    QTabWidget *PageControl1;
    QLineEdit *EdFName;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QPushButton *BtDefault;
    QPushButton *BtLoad;
    QPushButton *BtSave;
    QPushButton *BtCheck1;

    QString LoadedFileName;
    EepromData FileEepromData{};
    EepromData2 FileEepromData2{};
    // The image the editor was opened with: a save packs area 1 into a copy of it, as a write
    // does, so both carry the same bits that have no control.
    EepromData OpenedEepromData{};
    // The window's share of the conversions, given back to the window by the caller.
    EepromWindowValues Window;

    void EepromImageToDialog1(const EepromData &image);
    void EepromImageToDialog2(const EepromData2 &image);
    EepromData DialogToEepromImage1(const EepromData &base);
    EepromData2 DialogToEepromImage2();
    // Shows a, colours every field of the area by a against b; 1 when no field differs.
    int CompareEepromImage1(const EepromData &a, const EepromData &b);
    int CompareEepromImage2(const EepromData2 &a, const EepromData2 &b);

    void BtDefaultClick();
    void BtLoadClick();
    void BtSaveClick();
    void BtCheck1Click();

private:
    EepromEditorContext context_;
    std::unique_ptr<EepromFieldControls> fields_;
};
