#pragma once

#include "controls/RadixDialog.h"

#include <QByteArrayView>
#include <QPointer>

#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;
class StringGridView;
class TGuage1Dlg;
class TIntEdit;
class TKV8AppForm;
class TTComXDlg;

// The tag viewer: when first shown it identifies the one tag in the field, works out its memory
// geometry from its maker and chip type or from its system information, reads the whole memory
// with the read-out that suits the tag, and shows each block with its security status. Until
// the read-out has ended, OK and Cancel are disabled and Escape and the close box do nothing.
// The byte order of the data column ("dispdir" in section "DispTagData") is read when the viewer
// is made and written back whichever way it closes.
class TDispTagDataDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TDispTagDataDlg(TKV8AppForm &form);
    ~TDispTagDataDlg() override;

    TIntEdit *EdDSFID;
    TIntEdit *EdAFI;
    QLineEdit *EdUID;
    TIntEdit *EdBlockNum;
    TIntEdit *EdBlockSize;
    QLineEdit *EdManufacturer;
    StringGridView *StringGrid1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    uint8_t ViewUid[8] = {}; // in CurrentUid order: shown byte 7 first
    uint8_t ViewDSFID = 0;
    uint8_t ViewAFI = 0;
    int ViewBlockSize = 0;
    int ViewBlockCount = 0;
    uint8_t TagMaker = 0;
    uint8_t TagChipType = 0;
    int DispDir = 1; // 1: each block's bytes last to first

    void LoadDispDir();
    void SaveDispDir();
    bool ReadTagIdentity();
    bool ReadTagSystemInfo();
    // The whole reading, run once from the first show.
    void FormShow();
    bool Reading() const { return reading_; }

    void done(int result) override;

    // Manufacturer text of an IC maker code ("Unknown" for codes not in the table).
    static QString makerName(uint8_t code);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The geometry by maker and chip type; false when it had to come from the system
    // information and that failed.
    bool readGeometry();
    void readMemory();
    void readPerBlock();
    void readTiPerBlock();
    void readByBytes();
    void readSecurity();
    void readFifteenBlocks();
    // Blocks 0 .. ViewBlockCount-1 by one ReadSingleBlock each into rows 1 ..; false when one
    // failed or the program is closing.
    bool readBlocksInTurn(uint8_t flags, bool withStatus);

    // One block read by ReadSingleBlock (already sent) into grid row `row`; false when its wait
    // failed. withStatus: the ACK carries the security byte before the data.
    bool readBlockRow(int block, int row, bool withStatus);
    // Blocks first .. first+blocks-1 by one ReadBytes request; false when it failed.
    bool readBytesRows(int first, int blocks);
    // The security bytes of blocks first .. by one GetMBlockSecSt request; false when it failed.
    bool readSecurityRows(int first, int blocks);
    // The ACK that ended the wait just done, when it echoes code; else empty.
    std::optional<QByteArrayView> ackFor(uint8_t code);
    void writeRow(int row, int block, QByteArrayView data, std::optional<uint8_t> status);
    void progress(int block);
    // The hub while the reading may go on: null once the program is closing.
    TTComXDlg *hub() const;

    TKV8AppForm &form_;
    QPointer<TGuage1Dlg> gauge_;
    bool started_ = false;
    bool reading_ = true;
};
