// Handlers of the gate command menu ("ゲート用コマンド") and its M750 submenu: each reads one
// gate setting with a gate sender, shows it in its dialog and writes it back on OK, or runs
// one gate command. Their outcome lines go to the main log; the senders write only their TX
// trace and the wait's own line.

#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "link/GateRecords.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"
#include "setup/GateCountMonitor.h"
#include "setup/GateDialogs.h"

#include <QGroupBox>

#include <array>
#include <functional>
#include <memory>

namespace
{

// The lines of a read-edit-write handler: read failed, read, written, write failed.
struct GateLines {
    const char *readFail;
    const char *readOk;
    const char *writeOk;
    const char *writeFail;
};

using GateRead = std::function<bool(TTComXDlg &hub, QByteArray &image)>;
using GateWrite = std::function<bool(TTComXDlg &hub, const QByteArray &image)>;

// Reads the image, shows it in the dialog (after prepare has set it up for the model) and on
// OK writes back the image as read with exactly the shown fields' bits replaced.
template <class Dlg>
void editGateSetting(TKV8AppForm &form, const GateLines &lines, std::span<const GateField> fields, const GateRead &read,
                     const GateWrite &write, const std::function<void(Dlg &)> &prepare = nullptr)
{
    if (!TComXDlg)
        return;
    QByteArray image;
    const bool ok = read(*TComXDlg, image);
    if (applicationClosing())
        return;
    if (!ok) {
        form.AddLog(QString::fromUtf8(lines.readFail));
        return;
    }
    auto dlg = std::make_unique<Dlg>(&form);
    if (prepare)
        prepare(*dlg);
    fillFields(dlg.get(), fields, image);
    form.AddLog(QString::fromUtf8(lines.readOk));
    if (dlg->exec() != QDialog::Accepted || applicationClosing())
        return;
    const QByteArray packed = packFields(dlg.get(), fields, image);
    const bool written = write(*TComXDlg, packed);
    if (applicationClosing())
        return;
    form.AddLog(QString::fromUtf8(written ? lines.writeOk : lines.writeFail));
}

template <size_t N> QByteArray imageOf(const std::array<uint8_t, N> &bytes, size_t n = N)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(n));
}

uint8_t at(const QByteArray &image, int i)
{
    return static_cast<uint8_t>(image[i]);
}

ByteSpan spanOf(const QByteArray &image)
{
    return ByteSpan(reinterpret_cast<const uint8_t *>(image.constData()), static_cast<size_t>(image.size()));
}

void showControls(QWidget *root, std::initializer_list<const char *> names, bool visible)
{
    for (const char *name : names)
        root->findChild<QWidget *>(QLatin1String(name))->setVisible(visible);
}

const GateLines dispOutLines = {"NG:GateGetDispOutStateCmd", "OK:GateGetDispOutStateCmd", "OK: GateSetDispOutStateCmd",
                                "NG: GateSetDispOutStateCmd"};
const GateLines countModeLines = {"NG: McountMode_Cmd", "OK: McountMode_Cmd", "OK: McountMode_Cmd",
                                  "NG: McountMode_Cmd"};
const GateLines countValueLines = {"NG: McountValue_Cmd", "OK: McountValue_Cmd", "OK: McountValue_Cmd",
                                   "NG: McountValue_Cmd"};

template <class Monitor> void runMonitor(TKV8AppForm &form, QString &logPath, int &openFlag, Monitor *&monitor)
{
    if (!TComXDlg)
        return;
    auto dlg = std::make_unique<Monitor>(&form, *TComXDlg, logPath);
    if (!dlg->LogReady())
        return;
    dlg->Start();
    monitor = dlg.get();
    openFlag = 1;
    dlg->exec();
    openFlag = 0;
    monitor = nullptr;
    // Deleted only now: a tick may have been waiting for a poll's answer inside exec().
}

template <class Sender, class... Args> void sendOne(Sender sender, Args... args)
{
    if (TComXDlg)
        (TComXDlg->*sender)(args...);
}

} // namespace

void TKV8AppForm::RegisterGateHandlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnGateMode", &TKV8AppForm::MnGateModeClick},
        {"MnGeteEEPROM", &TKV8AppForm::MnGeteEEPROMClick},
        {"MnGateDispOutSate", &TKV8AppForm::MnGateDispOutSateClick},
        {"MnM750outinfo", &TKV8AppForm::MnM750outinfoClick},
        {"MnSensorState", &TKV8AppForm::MnSensorStateClick},
        {"MnGateEEPROM_READ", &TKV8AppForm::MnGateEEPROM_READClick},
        {"MnGateEEPROM_WRITE", &TKV8AppForm::MnGateEEPROM_WRITEClick},
        {"MnCountEEPROM", &TKV8AppForm::MnCountEEPROMClick},
        {"MnCountData", &TKV8AppForm::MnCountDataClick},
        {"MnM750mcountvalu", &TKV8AppForm::MnM750mcountvaluClick},
        {"MnContTimgRes", &TKV8AppForm::MnContTimgResClick},
        {"MnMelodyLEDCmd", &TKV8AppForm::MnMelodyLEDCmdClick},
        {"MnM750spkvolume", &TKV8AppForm::MnM750spkvolumeClick},
        {"MnM750ROM1", &TKV8AppForm::MnM750ROM1Click},
        {"MnM750GetType", &TKV8AppForm::MnM750GetTypeClick},
        {"MnM750ReStart", &TKV8AppForm::MnM750ReStartClick},
        {"MnM750Bps", &TKV8AppForm::MnM750BpsClick},
        {"MnM750ProgMode", &TKV8AppForm::MnM750ProgModeClick},
        {"IOBEEPROMCmd", &TKV8AppForm::IOBEEPROMCmdClick},
        {"MnDispCountDlg", &TKV8AppForm::MnDispCountDlgClick},
        {"MnM750GCount", &TKV8AppForm::MnM750GCountClick},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
}

// --- gate mode, EEPROM, display and output state, sensors ---

void TKV8AppForm::MnGateModeClick(QObject *)
{
    editGateSetting<TGDousaModeDlg>(
        *this, {"Error: GateGetModeCmd", "OK: GateGetModeCmd", "OK: GateSetModeCmd", "Error: GateSetModeCmd"},
        gateModeFields(),
        [](TTComXDlg &hub, QByteArray &image) {
            uint8_t mode = 0;
            const bool ok = hub.G_GetModeCmd(&mode);
            image = QByteArray(1, static_cast<char>(mode));
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) { return hub.G_SetModeCmd(at(image, 0)); });
}

void TKV8AppForm::MnGeteEEPROMClick(QObject *)
{
    const bool m750 = fM750 != 0;
    editGateSetting<TGEEPROMDlg>(
        *this, {"NG: GateGetEEPROMCmd", "OK: GateGetEEPROMCmd", "OK: GateSetEEPROMCmd", "NG: GateSetEEPROMCmd"},
        gateEepromFields(),
        [](TTComXDlg &hub, QByteArray &image) {
            std::array<uint8_t, 2 * GateEepromWords> words{};
            const bool ok = hub.GateGetEEPROMCmd(1, GateEepromWords, words);
            image = imageOf(words);
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) { return hub.GateSetEEPROMCmd(1, GateEepromWords, spanOf(image)); },
        [m750](TGEEPROMDlg &dlg) {
            dlg.setPageVisible(GateEepromWords - 1, m750);
            dlg.setModelItems(m750);
        });
}

void TKV8AppForm::MnGateDispOutSateClick(QObject *)
{
    // Two bytes: the third page and the relay outputs of byte 1 are not the M740's. The ready
    // LED's control stays hidden but carries bit 4 back as read.
    editGateSetting<TGDispOutStateDlg>(
        *this, dispOutLines, gateDispOutFields(),
        [](TTComXDlg &hub, QByteArray &image) {
            std::array<uint8_t, 2> state{};
            const bool ok = hub.GateGetDispOutStateCmd(state);
            image = imageOf(state);
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) { return hub.GateSetDispOutStateCmd(at(image, 0), at(image, 1)); },
        [](TGDispOutStateDlg &dlg) {
            dlg.setPageVisible(2, false);
            showControls(&dlg, {"DOS2_bit4", "DOS2_bit5", "DOS2_bit6", "DOS2_bit7"}, false);
        });
}

void TKV8AppForm::MnM750outinfoClick(QObject *)
{
    editGateSetting<TGDispOutStateDlg>(
        *this, dispOutLines, gateDispOutFields(),
        [](TTComXDlg &hub, QByteArray &image) {
            std::array<uint8_t, 3> state{};
            const bool ok = hub.GateGetDispOutStateCmd2(state);
            image = imageOf(state);
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) {
            return hub.GateSetDispOutStateCmd2(at(image, 0), at(image, 1), at(image, 2));
        },
        [](TGDispOutStateDlg &dlg) {
            dlg.findChild<QGroupBox *>(QStringLiteral("DOS1_bit7"))
                ->setTitle(QStringLiteral("焦電センサー入力確認用ＬＥＤ"));
        });
}

void TKV8AppForm::MnSensorStateClick(QObject *)
{
    if (!TComXDlg)
        return;
    // Switch, DIP switch, in/out sensors, person sensor.
    std::array<uint8_t, 4> state{};
    const std::function<bool()> reads[] = {
        [&] { return TComXDlg->GateGetSwSensorCmd(&state[0], &state[1]); },
        [&] { return TComXDlg->GateGetIoSensorCmd(&state[2]); },
        [&] { return TComXDlg->GateGetPersonSensorCmd(&state[3]); },
    };
    const char *const names[] = {"GateGetSwSensorCmd", "GateGetIoSensorCmd", "GateGetPersonSensorCmd"};
    bool ok = true;
    for (int i = 0; i < 3; ++i) {
        // After a failure the later reads are not sent, but each still logs its failure line.
        ok = ok && reads[i]();
        if (applicationClosing())
            return;
        AddLog(QLatin1String(ok ? "OK:" : "NG:") + QLatin1String(names[i]));
    }
    if (!ok)
        return;
    auto dlg = std::make_unique<TSensorStateDlg>(this);
    showControls(dlg.get(), {"IO_bit2", "IO_bit3", "IO_bit4", "IO_bit5"}, fM750 != 0);
    fillFields(dlg.get(), gateSensorFields(), imageOf(state));
    dlg->exec();
}

void TKV8AppForm::MnGateEEPROM_READClick(QObject *)
{
    if (TComXDlg)
        std::make_unique<TEEPROM_ReadDlg>(this, *TComXDlg)->exec();
}

void TKV8AppForm::MnGateEEPROM_WRITEClick(QObject *)
{
    if (TComXDlg)
        std::make_unique<TEEPROM_WriteDlg>(this, *TComXDlg)->exec();
}

// --- people counting ---

void TKV8AppForm::MnCountEEPROMClick(QObject *)
{
    const bool m750 = fM750 != 0;
    editGateSetting<TMCountSetDlg>(
        *this, countModeLines, countModeFields(),
        [](TTComXDlg &hub, QByteArray &image) {
            uint16_t w[3] = {};
            const bool ok = hub.GateRmcountmodeCmd(&w[0], &w[1], &w[2]);
            image = QByteArray(6, '\0');
            for (int i = 0; i < 6; ++i)
                image[i] = static_cast<char>(w[i / 2] >> (8 * (i % 2)));
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) {
            const auto word = [&](int i) {
                return static_cast<uint16_t>(at(image, 2 * i) | (at(image, 2 * i + 1) << 8));
            };
            return hub.GateWmcountmodeCmd(word(0), word(1), word(2));
        },
        [m750](TMCountSetDlg &dlg) { dlg.setPageVisible(2, m750); });
}

void TKV8AppForm::MnCountDataClick(QObject *)
{
    editGateSetting<TMCountValue>(
        *this, countValueLines, countValueFields740(),
        [](TTComXDlg &hub, QByteArray &image) {
            GateCountRecord record;
            const bool ok = hub.GateRmcountvaluCmd(&record);
            image = record.toBytes();
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) {
            return hub.GateWmcountvaluCmd(*GateCountRecord::fromBytes(image));
        },
        [](TMCountValue &dlg) { dlg.setPageVisible(1, false); });
}

void TKV8AppForm::MnM750mcountvaluClick(QObject *)
{
    editGateSetting<TMCountValue>(
        *this, countValueLines, countValueFields750(),
        [](TTComXDlg &hub, QByteArray &image) {
            // A good answer carries at least the whole record.
            std::array<uint8_t, 49> bytes{};
            uint8_t count = 0;
            const bool ok = hub.GateRmcountvaluCmd2(bytes, &count);
            image = imageOf(bytes, GateCount2Record::Size);
            return ok;
        },
        [](TTComXDlg &hub, const QByteArray &image) {
            return hub.GateWmcountmodeCmd2(spanOf(image), GateCount2Record::Size);
        },
        [](TMCountValue &dlg) { dlg.setPageVisible(0, false); });
}

void TKV8AppForm::MnContTimgResClick(QObject *)
{
    sendOne(&TTComXDlg::GateWadjusttimeCmd);
}

void TKV8AppForm::MnMelodyLEDCmdClick(QObject *)
{
    if (!TComXDlg)
        return;
    auto dlg = std::make_unique<TGBuzLedDlg>(this);
    fillFields(dlg.get(), buzLedFields(), buzLedDefaults());
    if (dlg->exec() != QDialog::Accepted || applicationClosing())
        return;
    // Bits 4-7 of the flags byte are 0.
    QByteArray command(7, '\0');
    command[0] = 0x2A;
    command = packFields(dlg.get(), buzLedFields(), command);
    TComXDlg->GateCommCmd(static_cast<uint8_t>(command.size()), spanOf(command));
}

// --- M750 maintenance ---

void TKV8AppForm::MnM750spkvolumeClick(QObject *)
{
    uint8_t volume = 0;
    if (!TComXDlg || !TComXDlg->GateGetSPKVolumeCmd(&volume) || applicationClosing())
        return;
    // 9 to 15 are taken too (the gate plays them at full volume).
    if (askInt(*this, QStringLiteral("電子ボリューム値"),
               {QStringLiteral("電子ボリューム値（0:OFF, 8:Max）[書き込みは、内部EEPROM値へ]"), volume, 0, 15, 10}) &&
        !applicationClosing())
        TComXDlg->GateSetSPKVolumeCmd(volume);
}

void TKV8AppForm::MnM750BpsClick(QObject *)
{
    // The gate's line speed only; the program's own stays as it is.
    uint8_t code = 0;
    if (!TComXDlg || !TComXDlg->GateGetBPSSpeedComad(&code) || applicationClosing())
        return;
    if (askInt(*this, QStringLiteral("通信スピードの設定"),
               {QStringLiteral("通信スピード(0:9600, 1:19.2k, 2:38.4k)"), code, 0, 2, 10}) &&
        !applicationClosing())
        TComXDlg->GateSetBPSSpeedComad(code);
}

void TKV8AppForm::MnM750ROM1Click(QObject *)
{
    sendOne(&TTComXDlg::GateGetRomVersionCmd);
}

void TKV8AppForm::MnM750GetTypeClick(QObject *)
{
    sendOne(&TTComXDlg::GateGetModelNameCmd);
}

void TKV8AppForm::MnM750ReStartClick(QObject *)
{
    sendOne(&TTComXDlg::GateReStartComad);
}

void TKV8AppForm::MnM750ProgModeClick(QObject *)
{
    sendOne(&TTComXDlg::GateProgModeComad);
}

void TKV8AppForm::IOBEEPROMCmdClick(QObject *)
{
    static constexpr uint8_t initialise[] = {0x91};
    sendOne(&TTComXDlg::GateCommCmd, uint8_t{1}, ByteSpan(initialise));
}

// --- people-count monitors ---

void TKV8AppForm::MnDispCountDlgClick(QObject *)
{
    runMonitor(*this, M740LogFile, fGateCountDlgOpen, GateCountDlg);
}

void TKV8AppForm::MnM750GCountClick(QObject *)
{
    runMonitor(*this, M750LogFile, fGateCount2DlgOpen, GateCount2Dlg);
}
