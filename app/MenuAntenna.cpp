// Antenna switching and the I/O ports: the N520D board, the external switch board and the I/O
// ports edit area-1 words in one shared dialog, each showing only its own part of it; two
// hidden sub-menus flip single bits of the same words. Every word is read before it is
// written, so the bits no control shows go back as read.

#include "app/BusyGuards.h"
#include "app/KV8AppForm.h"
#include "app/SettingSteps.h"
#include "controls/DialogKit.h"
#include "link/TTComXDlg.h"
#include "setup/SetAnt1Rom1Dlg.h"

#include <QComboBox>
#include <QTabWidget>

#include <memory>

namespace
{

// The words of the ports (16: byte 30 low; 17: bytes 32 and 33) and of the switches (4: byte 6
// low; 20: byte 39 high).
constexpr uint8_t portWord = 16;
constexpr uint8_t portLevelsWord = 17;
constexpr uint8_t memSw1Word = 4;
constexpr uint8_t memSw56Word = 20;

void showAll(std::initializer_list<QWidget *> widgets, bool shown)
{
    for (QWidget *w : widgets)
        w->setVisible(shown);
}

void enableAll(std::initializer_list<QWidget *> widgets, bool enabled)
{
    for (QWidget *w : widgets)
        w->setEnabled(enabled);
}

// Reads every word (nothing is shown when one fails), runs the dialog, and on "書き込み" writes
// the words back in order, each only after the one before was acknowledged.
void editWords(TKV8AppForm &form, std::initializer_list<EepromWord *> words,
               const std::function<void(TSetAnt1Rom1Dlg &)> &show, const std::function<void(TSetAnt1Rom1Dlg &)> &read)
{
    if (!TComXDlg)
        return;
    BusyGuard busy(form);
    for (EepromWord *word : words)
        if (!word->read())
            return;
    auto dlg = std::make_unique<TSetAnt1Rom1Dlg>(&form);
    show(*dlg);
    if (dlg->exec() != QDialog::Accepted || hubGone())
        return;
    read(*dlg);
    dlg.reset();
    for (EepromWord *word : words)
        if (!word->write())
            return;
}

} // namespace

void TKV8AppForm::RegisterAntennaHandlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnKV8N520D1", &TKV8AppForm::MnKV8N520D1Click}, {"MnSelAnt2", &TKV8AppForm::MnSelAnt2Click},
        {"MnSetIO1", &TKV8AppForm::MnSetIO1Click},       {"MnAntiNormal", &TKV8AppForm::MnAntiNormalClick},
        {"MnAntiFast", &TKV8AppForm::MnAntiNormalClick}, {"MnInvTrigOFF", &TKV8AppForm::MnInvTrigONClick},
        {"MnInvTrigON", &TKV8AppForm::MnInvTrigONClick},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

void TKV8AppForm::MnKV8N520D1Click(QObject *)
{
    // The N520D switches its antennas itself: only the output mode and the antenna ID output
    // can change (and the cascade can be set up).
    EepromWord memSw1 = area1Word(memSw1Word);
    EepromWord memSw6 = area1Word(memSw56Word);
    editWords(
        *this, {&memSw1, &memSw6},
        [&](TSetAnt1Rom1Dlg &d) {
            d.hidePage(d.TabSheet7);
            enableAll({d.Label55, d.Label88, d.Label59, d.Label60, d.Label61, d.RGMemSW60, d.EdSelAntena, d.RGMemSW64,
                       d.RGMemSW66},
                      false);
            showAll({d.Label60, d.RGMemSW65, d.Label61, d.RGMemSW66}, false);
            d.ShowSwitches(memSw1.bytes[0], memSw6.bytes[1]);
        },
        [&](TSetAnt1Rom1Dlg &d) {
            memSw1.bytes[0] = d.MemSw1(memSw1.bytes[0]);
            memSw6.bytes[1] = d.MemSw6();
        });
}

void TKV8AppForm::MnSetIO1Click(QObject *)
{
    EepromWord functions = area1Word(portWord);
    EepromWord levels = area1Word(portLevelsWord);
    editWords(
        *this, {&functions, &levels},
        [&](TSetAnt1Rom1Dlg &d) {
            d.hidePage(d.TabSheet8);
            showAll({d.CBMode2, d.Label43, d.Label60, d.RGMemSW65, d.Label61, d.RGMemSW66}, false);
            d.ShowPorts(functions.bytes[0], levels.bytes[0], levels.bytes[1]);
        },
        [&](TSetAnt1Rom1Dlg &d) { d.ReadPorts(functions.bytes[0], levels.bytes[0], levels.bytes[1]); });
}

void TKV8AppForm::MnSelAnt2Click(QObject *)
{
    EepromWord functions = area1Word(portWord);
    EepromWord levels = area1Word(portLevelsWord);
    EepromWord memSw6 = area1Word(memSw56Word);
    editWords(
        *this, {&functions, &levels, &memSw6},
        [&](TSetAnt1Rom1Dlg &d) {
            showAll({d.CBMode2, d.Label43, d.Label61, d.RGMemSW66, d.Label60, d.RGMemSW65, d.BtSetCascade}, false);
            d.ShowPorts(functions.bytes[0], levels.bytes[0], levels.bytes[1]);
            d.ShowSwitches(0, memSw6.bytes[1]);
        },
        [&](TSetAnt1Rom1Dlg &d) {
            d.ReadPorts(functions.bytes[0], levels.bytes[0], levels.bytes[1]);
            memSw6.bytes[1] = d.MemSw6();
        });
}

void TKV8AppForm::MnAntiNormalClick(QObject *Sender)
{
    if (!TComXDlg)
        return;
    const bool fast = isItem(Sender, "MnAntiFast");
    const int rom = TComXDlg->CompareRomVersion(121);
    if (hubGone())
        return;
    if (rom < 0) {
        AddLog(QStringLiteral("このROMバージョンは対応していません"));
        return;
    }
    BusyGuard busy(*this);
    // Byte 31 bit 2: inventory commands at equal intervals; byte 38 bit 3: EOF-controlled slot
    // switching. The second word only after the first was acknowledged.
    if (area1Word(portWord).rewrite([=](auto &b) { setBit(b[1], 2, !fast); }))
        area1Word(memSw56Word).rewrite([=](auto &b) { setBit(b[0], 3, fast); });
}

void TKV8AppForm::MnInvTrigONClick(QObject *Sender)
{
    if (!TComXDlg)
        return;
    BusyGuard busy(*this);
    // Byte 38 bit 5: the trigger input during inventory.
    const bool on = isItem(Sender, "MnInvTrigON");
    area1Word(memSw56Word).rewrite([=](auto &b) { setBit(b[0], 5, on); }, true);
}
