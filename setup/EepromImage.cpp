#include "setup/EepromImage.h"

#include <algorithm>
#include <bit>

namespace
{

constexpr unsigned AS = EditorAllSetRom;
constexpr unsigned SR = EditorSetRom;
constexpr unsigned E2 = EditorSetEeprom2;
constexpr unsigned DM = EditorDousaMode;

constexpr const char *codes = "各コードの設定";
constexpr const char *s6700 = "S6700制御モード";
constexpr const char *dousa = "動作モード";
constexpr const char *memSw1 = "メモリスイッチ１";
constexpr const char *memSw2 = "メモリスイッチ２";
constexpr const char *memSw3 = "メモリースイッチ３";
constexpr const char *ioPorts = "Ｉ／Ｏポートの設定";
constexpr const char *memSw5 = "メモリースイッチ５";
constexpr const char *memSw6 = "メモリースイッチ６";
constexpr const char *scanMode = "ScanModeの設定";
constexpr const char *cascade = "切替基板カスケード接続";
constexpr const char *memSw7 = "MemSw7";
constexpr const char *memSw8 = "MemSw8";
constexpr const char *rfLoop = "RFLOOPモード";
constexpr const char *others2 = "その他EEPROM2";
constexpr const char *testMode = "検査モード";

constexpr const char *noYes = "しない|する";
constexpr const char *zeroOne = "0|1";
constexpr const char *offOn = "無効|有効";
constexpr int64_t u32Max = 0xFFFFFFFFLL;

constexpr EepromField radio(int area, int byte, int shift, const char *name, unsigned editors, const char *page,
                            const char *caption, const char *items, int bits = 1, bool enabled = true)
{
    return {area,  byte, shift, bits, name,   FieldControl::Radio, FieldRule::Bits, editors, page, caption,
            items, 0,    0,     0,    enabled};
}

constexpr EepromField edit(int area, int byte, int shift, int bits, const char *name, unsigned editors,
                           const char *page, const char *caption, int radix, int64_t lo, int64_t hi)
{
    return {area,    byte,  shift, bits, name, FieldControl::Edit, FieldRule::Bits, editors, page, caption,
            nullptr, radix, lo,    hi,   true};
}

constexpr EepromField combo(int area, int byte, int shift, int bits, const char *name, unsigned editors,
                            const char *page, const char *caption, const char *items, FieldRule rule)
{
    return {area, byte, shift, bits, name, FieldControl::Combo, rule, editors, page, caption, items, 0, 0, 0, true};
}

const EepromField fields[] = {
    // ----- area 1 -----
    edit(1, 0, 0, 8, "EdTagId", AS | SR, codes, "タグＩＤ", 10, 0, 255),
    edit(1, 1, 0, 8, "EdProdCode", AS | SR, codes, "製品コード", 10, 0, 255),
    edit(1, 2, 0, 16, "EdUserCode", AS | SR, codes, "ユーザーコード", 10, 0, 65535),
    radio(1, 4, 1, "RGTag", AS, s6700, "タグの選択",
          "Direct Mode|ISO14443(A)|ISO15693(1/4)|Reserved|Tag-it|Reserved|ISO15693(1/256)|Configuration commnads", 3),
    radio(1, 4, 4, "RGModul", AS, s6700, "Modulation Depth", "10%|100%"),
    radio(1, 4, 5, "RGAmFm", AS, s6700, "AM/FSK", "FSK|AM"),
    radio(1, 4, 6, "RGSpeed", AS, s6700, "Baurd rate", "Low Baud rate|High Baud rate"),
    edit(1, 5, 0, 8, "EdAFIValue", AS, s6700, "AFI値：", 16, 0, 255),
    combo(1, 6, 0, 2, "CBMode2", AS | SR, memSw1, "出力モード（ロングレンジ）", "TX1|TX2|TX1/TX2|TX1+TX2",
          FieldRule::Bits),
    radio(1, 6, 2, "RG5VCONT", AS | SR, memSw1, "送信キャリアのON/OFF制御（トリガー、ポーリングモード時）",
          "行わない|行う"),
    radio(1, 6, 3, "RGRF5VOFF_ST", AS | SR, memSw1, "パワーダウンモード", "ＯＦＦ|ＯＮ"),
    radio(1, 6, 4, "RGBRCOMD", AS | SR, memSw1, "ノーリードコマンド", "未使用|使用"),
    radio(1, 6, 5, "RGCHKDATANUM", AS | SR, memSw1, "タグのデータ数チェック", noYes),
    radio(1, 6, 6, "RGDCMDASCII", AS | SR, memSw1, "DコマンドのASCIIフォーマット", "未対応|対応", 1, false),
    radio(1, 6, 7, "RGTWICECHK", AS | SR, memSw1, "システム予約（０固定）", noYes),
    radio(1, 7, 0, "RGD_NOCHK", AS | SR, memSw2, "データのフォーマットチェック", "する|しない"),
    radio(1, 7, 1, "RGMemSw9", AS | SR, memSw2, "書込コマンドのｲﾝﾍﾞﾝﾄﾘ時のＡＦＩのチェック", noYes),
    radio(1, 7, 2, "RGMemSw10", AS | SR, memSw2, "書込コマンド時オプションフラグを０とする", "ｵﾌﾟｼｮﾝ１|ｵﾌﾟｼｮﾝ０"),
    radio(1, 7, 3, "RGMemSw11", AS | SR, memSw2, "書込コマンド時のUIDの使用", noYes),
    radio(1, 7, 4, "RGMemSw12", AS | SR, memSw2, "書き込み後のべリファイ（ACK未受信時）", noYes),
    radio(1, 7, 5, "RGMemSw13", AS | SR, memSw2, "タグの自動識別", noYes),
    radio(1, 7, 6, "RGMemSw14", AS | SR, memSw2, "スロット切り替え時間（i-code2対応）", "固定|指定時間", 1, false),
    radio(1, 7, 7, "RGMemSw15", AS | SR, memSw2, "パワーダウンモード時のモード", "WAIT|STOP"),
    radio(1, 8, 2, "RGAntiCol", AS | DM, dousa, "アンチコリジョン", "単独読み取り|複数同時読み取り"),
    radio(1, 8, 3, "GbReadMode", AS | DM, dousa, "読み取りモード", "シングル読み取り|連続読み取り"),
    radio(1, 8, 4, "GbBuzzer", AS | DM, dousa, "ブザー", "鳴らさない|鳴らす"),
    radio(1, 8, 5, "RGTxData", AS | DM, dousa, "送信データ", "ユーザーデータのみ|ユーザーデータ＋ＵＩＤ"),
    combo(1, 8, 6, 2, "CBSpeed", AS | DM, dousa, "通信スピード：", nullptr, FieldRule::Speed),
    combo(1, 9, 0, 8, "ComboBox1", AS | DM, dousa, "動作モード：", nullptr, FieldRule::ModeCode),
    edit(1, 10, 0, 32, "EdTimer1", AS, codes, "ライト時のＡＣＫ待ち時間：", 10, 0, 1000000),
    edit(1, 14, 0, 32, "EdTimer2", AS, codes, "リード間隔時間：", 10, 0, u32Max),
    edit(1, 18, 0, 32, "EdTimer3", AS, codes, "ライト時のﾍﾞﾘﾌｧｲﾃﾞｰﾀ待ち時間：", 10, 0, u32Max),
    edit(1, 22, 0, 8, "EdRetry", AS | SR, codes, "リトライ回数：", 10, 0, 255),
    // A 4-bit field: the edit stops at 15, so a typed 16 can't pack as 0.
    edit(1, 23, 0, 4, "EdScanM_mode", AS, scanMode, "スキャンモード：", 16, 0, 15),
    radio(1, 23, 4, "RGEdScanM_bit4", AS, scanMode, "ビット４", zeroOne),
    radio(1, 23, 5, "RGEdScanM_bit5", AS, scanMode, "TX1, TX2 同時出力禁止", zeroOne),
    radio(1, 23, 6, "RGEdScanM_bit6", AS, scanMode, "1/4 禁止", zeroOne),
    radio(1, 23, 7, "RGEdScanM_bit7", AS, scanMode, "100%禁止　10%のみ", zeroOne),
    edit(1, 24, 0, 16, "EdChkDataNum", AS | SR, codes, "チェックするデータ数：", 10, 1, 255),
    edit(1, 26, 0, 8, "EdOUTPTime", AS | SR, codes, "ＬＥＤ・ポート出力時間（×50ms）：", 10, 1, 255),
    edit(1, 27, 0, 8, "EdInputChkTime", AS | SR, codes, "入力信号チェック時間：", 10, 1, 255),
    edit(1, 28, 0, 8, "EdRWID", AS, codes, "Ｒ／ＷのＩＤ：", 10, 0, 255),
    edit(1, 29, 0, 8, "EdChkDataTime", AS, codes, "タイマー（未使用）：", 10, 0, 255),
    radio(1, 30, 0, "RGPORTSEL1", AS | SR, ioPorts, "ポート１の機能", "LED|ポート"),
    radio(1, 30, 1, "RGPORTSEL2", AS | SR, ioPorts, "ポート２の機能", "トリガー|ポート"),
    radio(1, 30, 2, "RGPORTSEL3", AS | SR, ioPorts, "ポート３の機能", "RS485|ポート"),
    radio(1, 30, 6, "RGPORTSEL7", AS | SR, ioPorts, "ポート７の機能", "ブザー|ポート"),
    radio(1, 31, 0, "RGMemSW40", AS | SR, memSw3, "ＩＯ３の機能選択", "RS485制御|エラー出力"),
    radio(1, 31, 1, "RGMemSW41", AS | SR, memSw3, "Tag-it HF-I 2BlockWrite使用", "使用しない|使用する"),
    radio(1, 31, 2, "RGMemSW42", AS | SR, memSw3, "インベントリコマンド間隔", "高速|等間隔"),
    radio(1, 31, 3, "RGMemSW43", AS | SR, memSw3, "インベントリコマンド時のTXOFF", noYes),
    radio(1, 31, 4, "RGMemSW44", AS | SR, memSw3, "アンチコリジョン時のTXOFF", noYes),
    radio(1, 31, 5, "RGMemSW45", AS | SR, memSw3, "UIDを使用したCRCの計算", noYes),
    radio(1, 31, 6, "RGMemSW46", AS | SR, memSw3, "Timing Register", "設定しない|設定する"),
    radio(1, 31, 7, "RGMemSW47", AS | SR, memSw3, "検波信号の出力", "ＯＦＦ|出力する"),
    radio(1, 32, 0, "RGPORTIO1", AS | SR, ioPorts, "ポート１の方向", "入力|出力"),
    radio(1, 32, 1, "RGPORTIO2", AS | SR, ioPorts, "ポート２の方向", "入力|出力"),
    radio(1, 32, 2, "RGPORTIO3", AS | SR, ioPorts, "ポート３の方向", "入力|出力"),
    radio(1, 32, 3, "RGPORTIO4", AS | SR, ioPorts, "ポート４の方向", "入力|出力"),
    radio(1, 32, 4, "RGPORTIO5", AS | SR, ioPorts, "ポート５の方向", "入力|出力"),
    radio(1, 32, 5, "RGPORTIO6", AS | SR, ioPorts, "ポート６の方向", "入力|出力"),
    radio(1, 32, 6, "RGPORTIO7", AS | SR, ioPorts, "ポート７の方向", "入力|出力"),
    radio(1, 32, 7, "RGPORTIO8", AS | SR, ioPorts, "ポート８の方向", "入力|出力"),
    radio(1, 33, 0, "RGPORTDefault1", AS | SR, ioPorts, "ポート１の初期値", zeroOne),
    radio(1, 33, 1, "RGPORTDefault2", AS | SR, ioPorts, "ポート２の初期値", zeroOne),
    radio(1, 33, 2, "RGPORTDefault3", AS | SR, ioPorts, "ポート３の初期値", zeroOne),
    radio(1, 33, 3, "RGPORTDefault4", AS | SR, ioPorts, "ポート４の初期値", zeroOne),
    radio(1, 33, 4, "RGPORTDefault5", AS | SR, ioPorts, "ポート５の初期値", zeroOne),
    radio(1, 33, 5, "RGPORTDefault6", AS | SR, ioPorts, "ポート６の初期値", zeroOne),
    radio(1, 33, 6, "RGPORTDefault7", AS | SR, ioPorts, "ポート７の初期値", zeroOne),
    radio(1, 33, 7, "RGPORTDefault8", AS | SR, ioPorts, "ポート８の初期値", zeroOne),
    edit(1, 34, 0, 8, "EdTXOffTime1", AS, codes, "TX OFF時間：", 10, 0, 255),
    edit(1, 35, 0, 8, "EdTimRegData", AS, codes, "タイミングレジスタ値：", 16, 0, 255),
    edit(1, 36, 0, 8, "EdBlockSize", AS, codes, "ブロックサイズ：", 10, 0, 255),
    edit(1, 37, 0, 8, "EdmydBlockSize", AS, codes, "my-dブロックサイズ：", 10, 0, 255),
    radio(1, 38, 0, "RGMemSW50", AS | SR, memSw5, "1BlockRead/Write時リトライする（P320）", noYes),
    radio(1, 38, 1, "RGMemSW51", AS | SR, memSw5, "スレッシュホールドの設定を行う for AM", offOn),
    radio(1, 38, 2, "RGMemSW52", AS | SR, memSw5, "アンチコリジョン時のデータ長０の処理", offOn),
    radio(1, 38, 3, "RGMemSW53", AS | SR, memSw5, "スロット切替EOF制御(N410,N610)", "10%/100%|100%"),
    radio(1, 38, 4, "RGMemSW54", AS | SR, memSw5, "自励式ブザーの使用", noYes),
    radio(1, 38, 5, "RGMemSW55", AS | SR, memSw5, "インベントリ時のトリガー入力", offOn),
    radio(1, 38, 6, "RGMemSW56", AS | SR, memSw5, "通信スピード 9600bps/38.4kbps", "9600|38.4"),
    radio(1, 38, 7, "RGMemSW57", AS | SR, memSw5, "ビット７", zeroOne),
    radio(1, 39, 0, "RGMemSW60", AS | SR, memSw6, "外部アンテナの自動切り替え機能", offOn),
    edit(1, 39, 1, 3, "EdSelAntena", AS | SR, memSw6, "アンテナの選択：", 10, 0, 7),
    radio(1, 39, 4, "RGMemSW64", AS | SR, memSw6, "自動切替のポートの選択(N410,N610)", "通常ポート|拡張ポート"),
    radio(1, 39, 5, "RGMemSW65", AS | SR, memSw6, "カスケード接続", noYes),
    radio(1, 39, 6, "RGMemSW66", AS | SR, memSw6, "自動切り替え時のパワー制御", "行う|行わない"),
    radio(1, 39, 7, "RGMemSW67", AS | SR, memSw6, "アンテナのIDを出力する（識別機能有効）", offOn),

    // ----- area 2 -----
    edit(2, 1, 0, 8, "EdChgWaitTime", AS | E2, cascade, "切り替え後のウエイト時間", 10, 0, 8),
    edit(2, 2, 0, 4, "EdANT1_SELNUM", AS | E2, cascade, "アンテナ１出力", 10, 0, 8),
    edit(2, 2, 4, 4, "EdANT2_SELNUM", AS | E2, cascade, "アンテナ２出力", 10, 0, 8),
    edit(2, 3, 0, 4, "EdANT3_SELNUM", AS | E2, cascade, "アンテナ３出力", 10, 0, 8),
    edit(2, 3, 4, 4, "EdANT4_SELNUM", AS | E2, cascade, "アンテナ４出力", 10, 0, 8),
    edit(2, 4, 0, 4, "EdANT5_SELNUM", AS | E2, cascade, "アンテナ５出力", 10, 0, 8),
    edit(2, 4, 4, 4, "EdANT6_SELNUM", AS | E2, cascade, "アンテナ６出力", 10, 0, 8),
    edit(2, 5, 0, 4, "EdANT7_SELNUM", AS | E2, cascade, "アンテナ７出力", 10, 0, 8),
    edit(2, 5, 4, 4, "EdANT8_SELNUM", AS | E2, cascade, "アンテナ８出力", 10, 0, 8),
    edit(2, 6, 0, 8, "EdRdStAddr", AS | E2, rfLoop, "読み出しスタートブロック（0-255）", 10, 0, 255),
    edit(2, 7, 0, 8, "EdDataLen", AS | E2, rfLoop, "読み出しデータ長（0-255）", 10, 0, 255),
    radio(2, 8, 0, "RGMemSW70", AS | E2, memSw7, "Inventoryコマンド時、EOF発行", noYes),
    radio(2, 8, 1, "RGMemSW71", AS | E2, memSw7, "ブザー周波数の設定", "5KHz固定|設定周波数"),
    radio(2, 8, 2, "RGMemSW72", AS | E2, memSw7, "bit2", zeroOne),
    radio(2, 8, 3, "RGMemSW73", AS | E2, memSw7, "bit3", zeroOne),
    radio(2, 8, 4, "RGMemSW74", AS | E2, memSw7, "bit4", zeroOne),
    radio(2, 8, 5, "RGMemSW75", AS | E2, memSw7, "bit5", zeroOne),
    radio(2, 8, 6, "RGMemSW76", AS | E2, memSw7, "bit6", zeroOne),
    radio(2, 8, 7, "RGMemSW77", AS | E2, memSw7, "bit7", zeroOne),
    radio(2, 9, 0, "RGMemSW80", AS | E2, memSw8, "bit0", zeroOne),
    radio(2, 9, 1, "RGMemSW81", AS | E2, memSw8, "bit1", zeroOne),
    radio(2, 9, 2, "RGMemSW82", AS | E2, memSw8, "bit2", zeroOne),
    radio(2, 9, 3, "RGMemSW83", AS | E2, memSw8, "bit3", zeroOne),
    radio(2, 9, 4, "RGMemSW84", AS | E2, memSw8, "bit4", zeroOne),
    radio(2, 9, 5, "RGMemSW85", AS | E2, memSw8, "bit5", zeroOne),
    radio(2, 9, 6, "RGMemSW86", AS | E2, memSw8, "bit6", zeroOne),
    radio(2, 9, 7, "RGMemSW87", AS | E2, memSw8, "bit7", zeroOne),
    edit(2, 10, 0, 16, "EdMem6", AS | E2, others2, "アドレス６", 16, 0, 65535),
    edit(2, 12, 0, 16, "EdMem7", AS | E2, others2, "アドレス７", 16, 0, 65535),
    edit(2, 14, 0, 16, "EdMem8", AS | E2, others2, "アドレス８", 16, 0, 65535),
    edit(2, 16, 0, 16, "EdBuzFreq", AS | E2, memSw7, "ブザー周波数", 10, 0, 65535),
    // Word 10: one hexadecimal number in the whole-image editor, test-mode controls in the area-2 form.
    edit(2, 18, 0, 16, "EdMem10", AS, others2, "アドレス１０", 16, 0, 65535),
    radio(2, 18, 0, "RGCheckMode", E2, testMode, "Check Mode", "Inventory|Read|Write|Write/Read", 2),
    radio(2, 18, 2, "RGWriteData", E2, testMode, "Write Data", "AFIValue|0xCC, 0x55"),
    radio(2, 18, 3, "RBKensa1_bit3", E2, testMode, "bit3", zeroOne),
    radio(2, 18, 4, "RBKensa1_bit4", E2, testMode, "bit4", zeroOne),
    radio(2, 18, 5, "RBKensa1_bit5", E2, testMode, "bit5", zeroOne),
    radio(2, 18, 6, "RBKensa1_bit6", E2, testMode, "bit6", zeroOne),
    radio(2, 18, 7, "RBKensa1_bit7", E2, testMode, "bit7", zeroOne),
    edit(2, 19, 0, 8, "IntEdit1", E2, testMode, "MemSwKensa2", 16, 0, 255),
};

const char *const modeNames[] = {
    "コマンドモード",   "オートスキャンモード", "トリガーモード",           "ポーリングモード",
    "連続インベントリ", "EASモード１",          "連続書き込みテスト",       "擬似信号出力",
    "テストモード４",   "テストモード５",       "インベントリ16Slotモード", "インベントリ16Slotモード2",
    "RDLOOPモード",     "RFLOOPモード２"};
constexpr uint8_t modeCodes[] = {0x00, 0x01, 0x02, 0x03, 0x50, 0x24, 0x51, 0x52, 0x53, 0x54, 0x56, 0x57, 0x58, 0x59};

uint64_t fieldMask(const EepromField &f)
{
    return f.bits >= 64 ? ~0ULL : (1ULL << f.bits) - 1;
}

int fieldBytes(const EepromField &f)
{
    return (f.shift + f.bits + 7) / 8;
}

// The field's bits, read from the little-endian number at its first byte.
uint64_t readBits(const EepromField &f, std::span<const uint8_t> image)
{
    uint64_t word = 0;
    for (int i = fieldBytes(f) - 1; i >= 0; --i)
        word = (word << 8) | image[static_cast<size_t>(f.byte + i)];
    return (word >> f.shift) & fieldMask(f);
}

void writeBits(const EepromField &f, std::span<uint8_t> image, uint64_t value)
{
    const int n = fieldBytes(f);
    uint64_t word = 0;
    for (int i = n - 1; i >= 0; --i)
        word = (word << 8) | image[static_cast<size_t>(f.byte + i)];
    word = (word & ~(fieldMask(f) << f.shift)) | ((value & fieldMask(f)) << f.shift);
    for (int i = 0; i < n; ++i)
        image[static_cast<size_t>(f.byte + i)] = static_cast<uint8_t>(word >> (8 * i));
}

bool inEditor(const EepromField &f, int area, unsigned editor)
{
    return f.area == area && (f.editors & editor) != 0;
}

} // namespace

std::span<const EepromField> eepromFields()
{
    return fields;
}

const EepromField *eepromField(const QString &control)
{
    for (const EepromField &f : fields)
        if (control == QLatin1String(f.control))
            return &f;
    return nullptr;
}

QStringList fieldItems(const EepromField &field, bool ver121)
{
    switch (field.rule) {
    case FieldRule::Speed:
        return speedItems(ver121);
    case FieldRule::ModeCode:
        return dousaModeNames();
    case FieldRule::Bits:
        break;
    }
    return field.items ? QString::fromUtf8(field.items).split(QLatin1Char('|')) : QStringList();
}

void setBit(uint8_t &byte, int n, bool on)
{
    byte = static_cast<uint8_t>(on ? byte | (1u << n) : byte & ~(1u << n));
}

uint8_t ModeByteParity(uint8_t mode)
{
    const uint8_t body = mode & 0x7E;
    return static_cast<uint8_t>(body | (std::popcount(static_cast<unsigned>(body)) % 2 ? 0x80 : 0x00));
}

QStringList dousaModeNames()
{
    QStringList out;
    for (const char *name : modeNames)
        out << QString::fromUtf8(name);
    return out;
}

int modeIndexOfCode(uint8_t code)
{
    const auto *it = std::find(std::begin(modeCodes), std::end(modeCodes), code);
    return it == std::end(modeCodes) ? 0 : static_cast<int>(it - std::begin(modeCodes));
}

uint8_t modeCodeOfIndex(int index)
{
    return index >= 0 && index < static_cast<int>(std::size(modeCodes)) ? modeCodes[index] : 0x00;
}

QStringList speedItems(bool ver121)
{
    QStringList items{QStringLiteral("19.2Kbps"), QStringLiteral("9600bps")};
    if (ver121)
        items << QStringLiteral("38.4kbps");
    return items;
}

int speedIndexOfFlags(uint8_t flags, bool ver121)
{
    const int index = (flags & 0x80) ? 2 : (flags & 0x40) ? 1 : 0;
    return index < speedItems(ver121).size() ? index : -1;
}

uint8_t flagsWithSpeed(uint8_t flags, int index)
{
    flags &= 0x3F;
    if (index == 2)
        flags |= 0x80;
    else if (index == 1)
        flags |= 0x40;
    return flags;
}

FieldValues unpackFields(int area, unsigned editor, std::span<const uint8_t> image, bool ver121)
{
    FieldValues values;
    for (const EepromField &f : fields) {
        if (!inEditor(f, area, editor))
            continue;
        const uint64_t bits = readBits(f, image);
        int64_t value = static_cast<int64_t>(bits);
        if (f.rule == FieldRule::ModeCode)
            value = modeIndexOfCode(static_cast<uint8_t>(bits));
        else if (f.rule == FieldRule::Speed)
            value = speedIndexOfFlags(static_cast<uint8_t>(bits << f.shift), ver121);
        values.insert(QLatin1String(f.control), value);
    }
    return values;
}

void packFields(int area, unsigned editor, const FieldValues &values, std::span<uint8_t> image)
{
    for (const EepromField &f : fields) {
        const auto it = values.constFind(QLatin1String(f.control));
        if (!inEditor(f, area, editor) || it == values.constEnd())
            continue;
        uint64_t bits = static_cast<uint64_t>(it.value());
        if (f.rule == FieldRule::ModeCode)
            bits = modeCodeOfIndex(static_cast<int>(it.value()));
        else if (f.rule == FieldRule::Speed)
            bits = flagsWithSpeed(0, static_cast<int>(it.value())) >> f.shift;
        writeBits(f, image, bits);
    }
}

QStringList differingFields(int area, unsigned editor, std::span<const uint8_t> a, std::span<const uint8_t> b)
{
    QStringList out;
    for (const EepromField &f : fields)
        if (inEditor(f, area, editor) && readBits(f, a) != readBits(f, b))
            out << QLatin1String(f.control);
    return out;
}

FieldValues EepromImageToFields1(const EepromData &image, EepromWindowValues &window)
{
    window.TagAFI = image[5];
    return unpackFields(1, EditorAllSetRom, image, window.fVER121 != 0);
}

FieldValues EepromImageToFields2(const EepromData2 &image, EepromWindowValues &window)
{
    window.Eep2Byte0 = image[0];
    window.MemSw78[0] = image[8];
    window.MemSw78[1] = image[9];
    return unpackFields(2, EditorAllSetRom, image, window.fVER121 != 0);
}

EepromData FieldsToEepromImage1(const FieldValues &values, const EepromData &base, EepromWindowValues &window)
{
    EepromData image = base;
    // Byte 8's bits 0-1 have no control: they come from the mode flags the window knows.
    image[8] = window.SysMode;
    packFields(1, EditorAllSetRom, values, image);
    image[4] = ModeByteParity(image[4]);
    window.TagAFI = image[5];
    return image;
}

EepromData2 FieldsToEepromImage2(const FieldValues &values, EepromWindowValues &window)
{
    EepromData2 image{};
    image[0] = window.Eep2Byte0;
    packFields(2, EditorAllSetRom, values, image);
    window.MemSw78[0] = image[8];
    window.MemSw78[1] = image[9];
    return image;
}

FieldValues ModeBytesToFields(uint8_t flags, uint8_t code, bool ver121)
{
    EepromData image{};
    image[8] = flags;
    image[9] = code;
    return unpackFields(1, EditorDousaMode, image, ver121);
}

void FieldsToModeBytes(const FieldValues &values, uint8_t &flags, uint8_t &code)
{
    EepromData image{};
    image[8] = flags;
    packFields(1, EditorDousaMode, values, image);
    flags = image[8];
    code = image[9];
}

EepromData factoryDefaults1()
{
    return {0x00, 0x00, 0x00, 0x00, 0xD5, 0x00, 0x00, 0x30, 0x18, 0x00, 0x17, 0x11, 0x00, 0x00,
            0x1A, 0x06, 0x00, 0x00, 0x1A, 0x06, 0x00, 0x00, 0x01, 0x00, 0x05, 0x00, 0x05, 0x0A,
            0x00, 0x0A, 0x30, 0x1E, 0x00, 0xFF, 0x1E, 0x18, 0x04, 0x08, 0x01, 0x00};
}

EepromData2 factoryDefaults2()
{
    EepromData2 image{};
    image[6] = 1;
    image[7] = 4;
    return image;
}
