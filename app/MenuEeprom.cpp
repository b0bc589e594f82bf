// "EEPROMの設定...": the reader's EEPROM parameter areas in the single dialog or in the
// whole-image editor, read through the hub, edited, and written back. The window stays
// disabled throughout; the editors live in setup/ and are handed what they need of it.

#include "app/BusyGuards.h"
#include "app/KV8AppForm.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"
#include "setup/EepromDialogs.h"
#include "setup/EepromTransfer.h"

#include <QLineEdit>

namespace
{

// The words of area 1 the single dialog shows, in the order it writes them back; it reads
// them in word order.
struct WordRange {
    uint8_t word;
    uint8_t count;
};
constexpr WordRange singleDialogWrites[] = {{4, 1}, {1, 2}, {12, 3}, {16, 1}, {17, 1}, {20, 1}};
constexpr WordRange singleDialogReads[] = {{1, 2}, {4, 1}, {12, 3}, {16, 1}, {17, 1}, {20, 1}};

template <class Span> auto wordsOf(Span image, WordRange range)
{
    return image.subspan(static_cast<size_t>(2 * (range.word - 1)), static_cast<size_t>(2 * range.count));
}

EepromWindowValues windowValues(const TKV8AppForm &form)
{
    EepromWindowValues v;
    v.SysMode = form.SysMode;
    v.TagAFI = form.TagAFI;
    v.Eep2Byte0 = form.Eep2Byte0;
    v.MemSw78[0] = form.MemSw78[0];
    v.MemSw78[1] = form.MemSw78[1];
    v.fVER121 = form.fVER121;
    return v;
}

// What the editor's conversions changed of the window's fields.
void takeWindowValues(TKV8AppForm &form, const EepromWindowValues &v)
{
    form.TagAFI = v.TagAFI;
    form.Eep2Byte0 = v.Eep2Byte0;
    form.MemSw78[0] = v.MemSw78[0];
    form.MemSw78[1] = v.MemSw78[1];
}

bool closing()
{
    return applicationClosing() || !TComXDlg;
}

} // namespace

void TKV8AppForm::RegisterEepromHandlers()
{
    RegisterHandler(QStringLiteral("MnSetEEPROM"), &TKV8AppForm::MnSetEEPROMClick);
}

void TKV8AppForm::MnSetEEPROMClick(QObject *)
{
    MainDisabledGuard disabled(*this);
    if (fAllEEPROMSet)
        EditAllEeprom();
    else
        EditRomSettings();
}

void TKV8AppForm::EditRomSettings()
{
    if (!TComXDlg)
        return;
    EepromData image{};
    const std::span<uint8_t> bytes(image);
    for (const WordRange &range : singleDialogReads) {
        // Only the first read runs with the log silenced.
        LogSuspendGuard quiet(*this, LogSuspendGuard::Scope::LogAndTrace, range.word == 1);
        if (!TComXDlg->RxEepromData(range.word, range.count, wordsOf(bytes, range)) || closing())
            return;
    }

    TSetRom1Dlg dialog(this, fVER121 != 0);
    dialog.ShowFields(unpackFields(1, EditorSetRom, image, fVER121 != 0));
    if (dialog.exec() != QDialog::Accepted || closing())
        return;
    // Only the bits with a control change; the rest of the words goes back as read.
    packFields(1, EditorSetRom, dialog.Fields(), image);
    for (const WordRange &range : singleDialogWrites) {
        if (closing())
            return;
        TComXDlg->TxEepromData(range.word, range.count, wordsOf(ByteSpan(image), range));
        TComXDlg->WaitReply();
    }
}

void TKV8AppForm::EditAllEeprom()
{
    if (!TComXDlg)
        return;
    const EepromAreaFlags flags{fP310 != 0, fVER121 != 0};
    const MainLogLine log = [this](const QString &line) { AddLog(line); };
    EepromData area1{};
    EepromData2 area2{};
    if (!ReadEepromAreas(*TComXDlg, log, flags, area1, area2) || closing())
        return;

    EepromEditorContext context;
    context.hub = TComXDlg;
    context.log = log;
    context.flags = flags;
    context.OkColor = OkColor;
    context.NgColor = NgColor;
    context.window = windowValues(*this);
    TAllSetRom1Dlg dialog(this, context);
    dialog.OpenedEepromData = area1;
    dialog.EdFName->clear();
    dialog.EepromImageToDialog1(area1);
    if (flags.ver121)
        dialog.EepromImageToDialog2(area2);
    takeWindowValues(*this, dialog.Window);

    // Shown again after every write, until the operator cancels.
    for (;;) {
        const int result = dialog.exec();
        takeWindowValues(*this, dialog.Window);
        if (result != QDialog::Accepted || closing())
            return;
        area1 = dialog.DialogToEepromImage1(area1);
        if (!flags.p310 && flags.ver121)
            area2 = dialog.DialogToEepromImage2();
        takeWindowValues(*this, dialog.Window);
        WriteEepromAreas(*TComXDlg, log, flags, area1, area2);
        if (closing())
            return;
    }
}
