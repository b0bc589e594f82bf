// Handlers of the reader settings kept in EEPROM area 1 and in the one-byte reader parameters:
// each reads the current value, shows it in a small dialog and writes the edited value back.
// A handler that changes one byte of a word writes the whole word, so it never writes a word
// whose other byte it could not read.

#include "app/BusyGuards.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "app/SettingSteps.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/ReaderParams.h"
#include "setup/SetPaDataDlg.h"

#include <array>
#include <memory>

namespace
{

const QString noSettingsMessage = QStringLiteral("設定情報の取得が出来ません");

// How much of the handler runs with the window disabled and the log suspended.
enum class Busy {
    None,
    QuietRead, // the log suspended during the read only
    Whole,     // the window disabled and the log suspended throughout
};

// What a failed read leads to.
enum class OnFailure {
    Fallback, // the dialog shows each field's fallback
    Message,  // "設定情報の取得が出来ません", no dialog
    Stop,     // no dialog, no message
};

// One integer of the words read: `width` bytes from `offset`, low byte first.
struct WordField {
    const char *prompt = nullptr; // none: the pair is hidden
    int offset = 0;
    int width = 1;
    int32_t min = 0;
    int32_t max = 255;
    uint32_t fallback = 0;
};

// An area-1 setting of `count` words from `word`: one field in TInputIntDlg, or up to three in
// TInp3Data1Dlg, all in one radix.
struct WordSetting {
    const char *caption;
    uint8_t word;
    uint8_t count;
    int radix;
    bool threeFields;
    std::array<WordField, 3> fields;
    Busy busy;
    bool wait;
    OnFailure onFailure;
};

uint32_t getLowFirst(const uint8_t *bytes, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

void putLowFirst(uint8_t *bytes, int width, uint32_t value)
{
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes[i] = static_cast<uint8_t>(value);
}

void runWordSetting(TKV8AppForm &form, const WordSetting &s)
{
    if (!TComXDlg)
        return;
    const bool whole = s.busy == Busy::Whole;
    MainDisabledGuard window(form, whole);
    LogSuspendGuard log(form, LogSuspendGuard::Scope::LogAndTrace, whole);

    std::array<uint8_t, 12> words{};
    const size_t bytes = 2u * s.count;
    bool read = false;
    {
        LogSuspendGuard quiet(form, LogSuspendGuard::Scope::LogAndTrace, s.busy == Busy::QuietRead);
        read = TComXDlg->RxEepromData(s.word, s.count, std::span(words.data(), bytes));
    }
    if (hubGone())
        return;
    if (!read) {
        if (s.onFailure == OnFailure::Message)
            showMessage(noSettingsMessage, &form);
        if (s.onFailure != OnFailure::Fallback)
            return;
        for (const WordField &f : s.fields)
            if (f.prompt)
                putLowFirst(&words[f.offset], f.width, f.fallback);
    }

    std::array<uint32_t, 3> values{};
    std::array<std::optional<IntPair>, 3> pairs;
    for (size_t i = 0; i < s.fields.size(); ++i) {
        const WordField &f = s.fields[i];
        if (!f.prompt)
            continue;
        values[i] = getLowFirst(&words[f.offset], f.width);
        pairs[i].emplace(IntPair{QString::fromUtf8(f.prompt), values[i], f.min, f.max, s.radix});
    }
    const QString caption = QString::fromUtf8(s.caption);
    const bool ok =
        s.threeFields ? askInts(form, caption, pairs[0], pairs[1], pairs[2]) : askInt(form, caption, *pairs[0]);
    if (!ok || hubGone())
        return;
    for (size_t i = 0; i < s.fields.size(); ++i)
        if (s.fields[i].prompt)
            putLowFirst(&words[s.fields[i].offset], s.fields[i].width, values[i]);
    TComXDlg->TxEepromData(s.word, s.count, ByteSpan(words.data(), bytes));
    if (s.wait)
        TComXDlg->WaitReply();
}

// A one-field setting of one byte (or, with width 2, the whole word).
WordSetting oneField(const char *caption, uint8_t word, int offset, int radix, const char *prompt, Busy busy, bool wait,
                     OnFailure onFailure, int width = 1)
{
    const int32_t max = width == 2 ? 65535 : 255;
    return {caption, word, 1, radix, false, {WordField{prompt, offset, width, 0, max}}, busy, wait, onFailure};
}

// The parameters of "パラメータデータ" that MnSetTagIDClick edits, by item.
struct ParamItem {
    const char *item;
    uint8_t param;
    int radix;
    const char *prompt;
};

const ParamItem paramItems[] = {
    {"MnSetTagID", 0xA0, 16, "タグＩＤの値を入力してください[hex]"},
    {"MnSetProductCode", 0xA1, 16, "プロダクトコードの値を入力してください[hex]"},
    {"MnSetAFICode", 0xA2, 16, "ＡＦＩの値を入力してください[hex]"},
    {"MnSetRWIDNUNM", 0xA3, 16, "R/WのＩＤの設定値を入力してください[hex]"},
    {"MnSetRETRYNO", 0xA6, 10, "リトライ回数を入力してください"},
    {"MnSetCHKDATANUM", 0xA7, 10, "データチック時のデータ数を入力してください"},
    {"MnSetLedTagDetCou", 0xA8, 10, "LED点灯時間を入力してください *100ms"},
    {"MnSetINSIGCHKNUM", 0xA9, 10, "トリガー入力検出時間の入力してください *10ms"},
    {"MnSetChkDataTime", 0xAA, 10, "２度読み禁止時間を入力してください *200ms"},
    {"MnSetBlockSize1", 0xAC, 10, "ブロックサイズを入力してください"},
    {"MnSetmydBlockSize1", 0xAD, 10, "ブロックサイズ(my-d)を入力してください"},
    {"MnSetTimRegData", 0xAE, 16, "TimRegDataへの設定値を入力してください[hex]"},
    {"MnSetScanMode", 0xAF, 16, "ScanModeへの設定値を入力してください[hex]"},
    {"MnSetdummy1", 0xB0, 16, "メモリ－スイッチ５への設定値を入力してください[hex]"},
    {"MnSetdummy2", 0xB1, 16, "メモリ－スイッチ６への設定値を入力してください[hex]"},
};

} // namespace

void TKV8AppForm::RegisterReaderParamHandlers()
{
    const std::pair<const char *, MenuHandler> table[] = {
        {"MnSetUserCode", &TKV8AppForm::MnSetUserCodeClick},
        {"MnSetAFI", &TKV8AppForm::MnSetAFIClick},
        {"MnSetMemSW", &TKV8AppForm::MnSetMemSWClick},
        {"MnScanModeSet", &TKV8AppForm::MnScanModeSetClick},
        {"MnSetWaitTimer", &TKV8AppForm::MnSetWaitTimerClick},
        {"MnSetRWIDNUM", &TKV8AppForm::MnSetRWIDNUMClick},
        {"MnChkDataTime", &TKV8AppForm::MnChkDataTimeClick},
        {"MnTXOffTime1", &TKV8AppForm::MnTXOffTime1Click},
        {"MnTimingRegister1", &TKV8AppForm::MnTimingRegister1Click},
        {"MnSetRetry", &TKV8AppForm::MnSetRetryClick},
        {"MnSetBlockSize", &TKV8AppForm::MnSetBlockSizeClick},
        {"MnEEPROM", &TKV8AppForm::MnEEPROMClick},
        {"MnGetErrRate", &TKV8AppForm::MnGetErrRateClick},
        {"MnClearErrRate", &TKV8AppForm::MnClearErrRateClick},
        {"MnSelAntena", &TKV8AppForm::MnSelAntenaClick},
        {"MnEASON1", &TKV8AppForm::MnEASON1Click},
        {"MnEASOFF1", &TKV8AppForm::MnEASOFF1Click},
        {"MnSetMemSw11", &TKV8AppForm::MnSetMemSw11Click},
    };
    for (const auto &[name, handler] : table)
        RegisterHandler(QLatin1String(name), handler);
    for (const ParamItem &p : paramItems)
        RegisterHandler(QLatin1String(p.item), &TKV8AppForm::MnSetTagIDClick);
}

void TKV8AppForm::MnSetUserCodeClick(QObject *)
{
    runWordSetting(*this,
                   {"ユーザーコードの設定",
                    1,
                    2,
                    10,
                    true,
                    {WordField{"製品コード", 1}, WordField{"タグＩＤ", 0}, WordField{"ユーザーコード", 2, 2, 0, 65535}},
                    Busy::QuietRead,
                    false,
                    OnFailure::Fallback});
}

void TKV8AppForm::MnSetAFIClick(QObject *)
{
    if (!TComXDlg)
        return;
    uint8_t afi = 0;
    if (TComXDlg->AFI_RDWR_ReadCmd(&afi))
        TagAFI = afi;
    if (hubGone() ||
        !askInt(*this, QStringLiteral("AFI値の設定"),
                {QStringLiteral("設定値（16進[0-255]）を入力してください"), afi, 0, 255, 16}) ||
        hubGone())
        return;
    TagAFI = afi;
    TComXDlg->AFI_RDWR_WriteCmd(afi);
}

void TKV8AppForm::MnSetMemSWClick(QObject *)
{
    // Bytes 6 and 7 as one number, byte 6 the low byte.
    runWordSetting(*this, oneField("メモリースイッチの設定", 4, 0, 16, "設定値（１６進）を入力してください",
                                   Busy::Whole, false, OnFailure::Fallback, 2));
}

void TKV8AppForm::MnScanModeSetClick(QObject *)
{
    runWordSetting(*this, oneField("ScanModeの設定", 12, 1, 16, "設定値（１６進）を入力してください", Busy::Whole,
                                   false, OnFailure::Message));
}

void TKV8AppForm::MnSetWaitTimerClick(QObject *)
{
    // Units of 3.2 us; the fallbacks are about 25 ms, 6 ms and 12 ms.
    runWordSetting(*this, {"ウエイト時間の設定(*3.2usec)",
                           6,
                           6,
                           10,
                           true,
                           {WordField{"ライト時のＡＣＫ待ち時間", 0, 4, 0, -1, 7812},
                            WordField{"リード間隔時間", 4, 4, 0, -1, 1875},
                            WordField{"ライト時のﾍﾞﾘﾌｧｲデータ待ち時間", 8, 4, 0, -1, 3750}},
                           Busy::Whole,
                           false,
                           OnFailure::Fallback});
}

void TKV8AppForm::MnSetRWIDNUMClick(QObject *)
{
    runWordSetting(*this, oneField("Ｒ／ＷのＩＤの設定", 15, 0, 10, "Ｒ／ＷのＩＤを入力してください", Busy::Whole,
                                   false, OnFailure::Message));
}

void TKV8AppForm::MnChkDataTimeClick(QObject *)
{
    runWordSetting(*this, oneField("２度読み禁止時間の設定", 15, 1, 10, "禁止時間を入力してください［×200ms］",
                                   Busy::Whole, false, OnFailure::Message));
}

void TKV8AppForm::MnTXOffTime1Click(QObject *)
{
    runWordSetting(*this, oneField("インベントリコマンド時のTX OFF時間の設定", 18, 0, 10,
                                   "設定時間を入力してください[×100us]", Busy::None, false, OnFailure::Message));
}

void TKV8AppForm::MnTimingRegister1Click(QObject *)
{
    runWordSetting(*this, oneField("Timing Registerの設定", 18, 1, 16, "設定値入力してください[hex]", Busy::None, false,
                                   OnFailure::Message));
}

void TKV8AppForm::MnSetRetryClick(QObject *)
{
    runWordSetting(*this, oneField("リトライ回数の設定", 12, 0, 10, "リトライ回数を入力してください[回]", Busy::Whole,
                                   true, OnFailure::Message));
}

void TKV8AppForm::MnSetBlockSizeClick(QObject *)
{
    runWordSetting(*this, {"タグのブロックサイズの設定",
                           19,
                           1,
                           10,
                           true,
                           {WordField{"ブロックサイズ", 0, 1, 1, 255, 4}, WordField{},
                            WordField{"ブロックサイズ(my-d)", 1, 1, 1, 255, 8}},
                           Busy::Whole,
                           false,
                           OnFailure::Fallback});
}

void TKV8AppForm::MnEEPROMClick(QObject *)
{
    runWordSetting(
        *this, oneField("データの入力", 4, 0, 16, "データを入力してください(HEX)", Busy::Whole, true, OnFailure::Stop));
}

void TKV8AppForm::MnGetErrRateClick(QObject *)
{
    uint32_t good = 0, failed = 0;
    if (TComXDlg && TComXDlg->ERR_RATE_ReadCmd(&good, &failed) && !hubGone())
        AddLog(successRateLine(good, failed));
}

void TKV8AppForm::MnClearErrRateClick(QObject *)
{
    if (TComXDlg)
        TComXDlg->ERR_RATE_ClearCmd();
}

void TKV8AppForm::MnSelAntenaClick(QObject *)
{
    uint8_t antenna = 0;
    if (!TComXDlg || !TComXDlg->SELANTENA_ReadCmd(&antenna) || hubGone())
        return;
    // Up to 63, although the caption says 0-7.
    if (!askInt(*this, QStringLiteral("アンテナの選択[0-7]"),
                {QStringLiteral("アンテナの番号（アンテナ 1-->0）"), antenna, 0, 63, 10}) ||
        hubGone())
        return;
    TComXDlg->SELANTENA_WriteCmd(antenna);
    TComXDlg->WaitReply();
}

void TKV8AppForm::MnEASON1Click(QObject *)
{
    // The tag's AFI as the EAS "on" value; its reply reaches the log through the decoder.
    runSender(*this, FlagRule::W, TagSteps::SendOnly, &TTComXDlg::ISO15693_WriteAFI, EAS_ON_VALUE);
}

void TKV8AppForm::MnEASOFF1Click(QObject *)
{
    runSender(*this, FlagRule::W, TagSteps::SendOnly, &TTComXDlg::ISO15693_WriteAFI, EAS_OFF_VALUE);
}

void TKV8AppForm::MnSetMemSw11Click(QObject *)
{
    if (!TComXDlg)
        return;
    std::array<uint8_t, 3> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        const bool read = TComXDlg->RXParamData(TSetPaDataDlg::Params[i], &values[i]);
        if (hubGone())
            return;
        if (!read) {
            showMessage(QStringLiteral("応答がありません!！"), this);
            return;
        }
    }
    auto dlg = std::make_unique<TSetPaDataDlg>(this);
    dlg->showParams(values);
    if (dlg->exec() != QDialog::Accepted || hubGone())
        return;
    values = dlg->params();
    dlg.reset();
    // Each written whatever the answer to the one before.
    for (size_t i = 0; i < values.size(); ++i) {
        TComXDlg->TxSetParamData(TSetPaDataDlg::Params[i], values[i]);
        TComXDlg->WaitReply();
        if (hubGone())
            return;
    }
}

void TKV8AppForm::MnSetTagIDClick(QObject *Sender)
{
    const ParamItem *item = nullptr;
    for (const ParamItem &p : paramItems)
        if (Sender && Sender->objectName() == QLatin1String(p.item))
            item = &p;
    if (!item || !TComXDlg)
        return;
    uint8_t value = 0;
    if (!TComXDlg->RXParamData(item->param, &value) || hubGone())
        return;
    if (!askInt(*this, QStringLiteral("パラメータの設定"),
                {QString::fromUtf8(item->prompt), value, 0, 255, item->radix}) ||
        hubGone())
        return;
    TComXDlg->TxSetParamData(item->param, value);
    TComXDlg->WaitReply();
}
