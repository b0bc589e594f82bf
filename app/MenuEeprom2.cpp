// Handlers of EEPROM area 2 outside the whole-image editor: a raw read of one or two words, a
// raw read-modify-write of one or two words, and the area-2 form, which goes through the main
// window's mirror of the area.

#include "app/BusyGuards.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "app/SettingSteps.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"
#include "setup/ReaderParams.h"
#include "setup/SetEeprom2Dlg.h"

#include <algorithm>
#include <memory>

namespace
{

uint16_t get16(const EepromData2 &image, int at)
{
    return static_cast<uint16_t>(image[at] | image[at + 1] << 8);
}

void setMirror(TKV8AppForm &f, const EepromData2 &image)
{
    f.Eep2Byte0 = image[0];
    f.ChgWaitTime = image[1];
    f.AntSelNum1 = get16(image, 2);
    f.AntSelNum2 = get16(image, 4);
    std::copy_n(&image[6], 2, f.RdLoopParam);
    std::copy_n(&image[8], 2, f.MemSw78);
    f.EepMem6 = get16(image, 10);
    f.EepMem7 = get16(image, 12);
    f.EepMem8 = get16(image, 14);
    f.BuzFreqReg = get16(image, 16);
    std::copy_n(&image[18], 2, f.TagTestMode);
}

// The start address and count of the word dialogs kept inside the area.
Area2Words keepInArea(TKV8AppForm &f)
{
    const Area2Words words = area2Words(f.Eep2StartAddr, f.Eep2WordCount);
    f.Eep2StartAddr = words.start;
    f.Eep2WordCount = words.count;
    return words;
}

// The word dialog: start address (1..10), word count (1..2) and the data, one 32-bit number
// whose low byte is Eep2Data[0]. On OK the three go back into the window's fields.
bool askArea2Words(TKV8AppForm &f)
{
    uint32_t data = 0;
    for (int i = 3; i >= 0; --i)
        data = data << 8 | f.Eep2Data[i];
    if (!askInts(f, QStringLiteral("EEPROM　エリア２への設定値の入力"),
                 IntPair{QStringLiteral("スタートアドレス（１～）"), f.Eep2StartAddr, 1, EepromArea2Size / 2},
                 IntPair{QStringLiteral("ワード長（１～）\t"), f.Eep2WordCount, 1, 2},
                 IntPair{QStringLiteral("データ（１６進）"), data, 0, -1, 16}))
        return false;
    for (int i = 0; i < 4; ++i, data >>= 8)
        f.Eep2Data[i] = static_cast<uint8_t>(data);
    return true;
}

} // namespace

void TKV8AppForm::RegisterEeprom2Handlers()
{
    RegisterHandler(QStringLiteral("MnReadEEPROM2"), &TKV8AppForm::MnReadEEPROM2Click);
    RegisterHandler(QStringLiteral("MnSetEEPROM2"), &TKV8AppForm::MnSetEEPROM2Click);
    RegisterHandler(QStringLiteral("EEPROM21"), &TKV8AppForm::EEPROM21Click);
}

void TKV8AppForm::MnReadEEPROM2Click(QObject *)
{
    keepInArea(*this);
    if (!askArea2Words(*this) || hubGone())
        return;
    const Area2Words words = keepInArea(*this);
    // The words read become the data of the next word dialog; nothing is shown.
    LogSuspendGuard quiet(*this);
    TComXDlg->RxEepromData2(static_cast<uint8_t>(words.start), static_cast<uint8_t>(words.count),
                            std::span(Eep2Data, 2 * words.count));
}

void TKV8AppForm::MnSetEEPROM2Click(QObject *)
{
    std::fill_n(Eep2Data, 4, 0);
    Area2Words words = keepInArea(*this);
    if (!TComXDlg)
        return;
    BusyGuard busy(*this);
    if (!TComXDlg->RxEepromData2(static_cast<uint8_t>(words.start), static_cast<uint8_t>(words.count),
                                 std::span(Eep2Data, 2 * words.count)) ||
        hubGone() || !askArea2Words(*this) || hubGone())
        return;
    words = keepInArea(*this);
    TComXDlg->TxEepromData2(static_cast<uint8_t>(words.start), static_cast<uint8_t>(words.count),
                            ByteSpan(Eep2Data, 2 * words.count));
    TComXDlg->WaitReply();
}

void TKV8AppForm::EEPROM21Click(QObject *)
{
    if (!TComXDlg)
        return;
    BusyGuard busy(*this);
    EepromData2 image{};
    if (!TComXDlg->RxEepromData2(1, EepromArea2Size / 2, image) || hubGone())
        return;
    // The mirror holds what was read even when the form is cancelled.
    setMirror(*this, image);
    auto dlg = std::make_unique<TSetEEPROM2Dlg>(this);
    dlg->showImage(image);
    if (dlg->exec() != QDialog::Accepted || hubGone())
        return;
    dlg->readImage(image);
    dlg.reset();
    setMirror(*this, image);
    TComXDlg->TxEepromData2(1, EepromArea2Size / 2, image);
    TComXDlg->WaitReply();
}
