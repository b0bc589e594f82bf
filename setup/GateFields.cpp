#include "setup/GateFields.h"

#include <QString>

namespace
{

constexpr GateField radio(int word, int byte, int shift, int width, const char *control, const char *caption,
                          const char *items)
{
    return {word, byte, shift, width, control, GateControl::Radio, caption, items};
}

constexpr GateField combo(int word, int byte, int shift, int width, const char *control, const char *caption,
                          GateItems list, const char *before = "", const char *after = "", const char *items = "")
{
    return {word, byte, shift, width, control, GateControl::Combo, caption, items, list, before, after};
}

constexpr GateField listCombo(int word, int byte, int shift, int width, const char *control, const char *caption,
                              const char *items)
{
    return combo(word, byte, shift, width, control, caption, GateItems::Listed, "", "", items);
}

constexpr GateField edit(int word, int byte, int shift, int width, const char *control, const char *caption,
                         int32_t min, int32_t max, const char *notes = "", const char *after = "", int radix = -10)
{
    return {word,  byte,  shift, width, control, GateControl::Edit, caption, "", GateItems::Listed, "",
            after, notes, min,   max,   radix};
}

constexpr GateField text(int byte, int width, const char *control)
{
    return {0, byte, 0, width, control, GateControl::Text, ""};
}

constexpr const char *offOn = "OFF|ON";
constexpr const char *offOn01 = "0|1";
constexpr const char *disabledEnabled = "無効|有効";
constexpr const char *sounds = "ピー　～|ピッ、ピッ、･･･|ピロ、ロ、･･･|ツートトツー、･･･";
constexpr const char *volumes = "OFF|小|中|大";
constexpr const char *baseTimes = "0.25 Sec|0.5 Sec|1.0 Sec|10.0 Sec";
constexpr const char *sensorBaseTimes = "0.25 ｓec|0.5 ｓec|1.0 ｓec|10.0 ｓec";
constexpr const char *lamps = "消灯|点滅|点灯|フラッシング";
constexpr const char *directions = "順方向|逆方向";
constexpr const char *errorResponses = "出力しない|出力する";
constexpr const char *easModes = "EEPROM有効|EASモード";
constexpr const char *lampTests = "無効|テストモード";
constexpr const char *timesBase = "ベースタイム　×";
constexpr int32_t intMin = -2147483647;

// The gate operating mode; word 6's high byte of the EEPROM repeats bits 2-6 of it.
constexpr GateField modeFields[] = {
    radio(0, 0, 0, 2, "RG_bit01", "入出センサー　モード", "未使用|入|出|入・出"),
    radio(0, 0, 2, 1, "RG_bit2", "入出センサー　通過方向", directions),
    radio(0, 0, 3, 1, "RG_bit3", "入出力センサー　エラー時レスポンス", errorResponses),
    radio(0, 0, 4, 1, "RG_bit4", "人センサー", disabledEnabled),
    radio(0, 0, 5, 1, "RG_bit5", "EASモード", easModes),
    radio(0, 0, 6, 1, "RG_bit6", "ランプテストモード", lampTests),
};

constexpr GateField eepromFields[] = {
    radio(1, 0, 0, 3, "EEP1_Lbit012", "入時のブザー音", sounds),
    radio(1, 0, 3, 2, "EEP1_Lbit34", "入時のブザー音量", volumes),
    radio(1, 0, 5, 3, "EEP1_Lbit567", "出時のブザー音", sounds),
    radio(1, 1, 0, 2, "EEP1_Hbit01", "出時のブザー音量", volumes),
    radio(1, 1, 2, 3, "EEP1_Hbit234", "エラー時のブザー音", sounds),
    radio(1, 1, 5, 2, "EEP1_Hbit56", "エラー時のブザー音量", volumes),
    radio(1, 1, 7, 1, "EEP1_Hbit7", "音の選択", "ブザー|音声"),
    radio(2, 0, 0, 1, "EEP2_Lbit0", "ブザー＆ランプの連続", offOn),
    radio(2, 0, 1, 3, "EEP2_Lbit123", "ブザー＆ランプ時間のベースタイム", baseTimes),
    combo(2, 0, 4, 4, "EEP2_Lbit4567", "ブザー＆ランプ時間", GateItems::Multiplier, timesBase, "（秒）"),
    radio(2, 1, 0, 1, "EEP2_Hbit0", "立上時DIPSWの有効指定", "OFF ： DIPSW|ON ： EEPROM"),
    radio(2, 1, 1, 1, "EEP2_Hbit1", "パネルLED使用の入出センサーテストモード", "OFF ： パネルLED|ON ： センサー入力"),
    radio(2, 1, 2, 3, "EEP2_Hbit234", "入側のランプ", lamps),
    radio(2, 1, 5, 3, "EEP2_Hbit567", "出側のランプ", lamps),
    radio(3, 0, 0, 3, "EEP3_Lbit012", "エラー時のランプ", lamps),
    combo(3, 0, 4, 4, "EEP3_Lbit4567", "入側の音声", GateItems::VoiceA),
    combo(3, 1, 0, 4, "EEP3_Hbit0123", "出側の音声", GateItems::VoiceA),
    combo(3, 1, 4, 4, "EEP3_Hbit4567", "エラー時の音声", GateItems::VoiceB),
    radio(4, 0, 0, 4, "EEP4_Lbit0123", "音声出力回数", "OFF ： 0 回|ON ： 出力回数 1 回"),
    radio(4, 0, 5, 3, "EEP4_Lbit567", "入出時タグ読取有効時間のベースタイム", baseTimes),
    combo(4, 1, 0, 4, "EEP4_Hbit0123", "入出時タグ読取有効時間", GateItems::Multiplier, timesBase, "（秒）"),
    radio(4, 1, 4, 2, "EEP4_Hbit45", "入出判断時赤外センサーの動作間隔時間（タグ先読時のみ）",
          "0.0 Sec|0.5 Sec|1.0 Sec|2.0 Sec"),
    radio(4, 1, 6, 1, "EEP4_Hbit6", "ブザー＆ランプ等の自動制御有無", "0 ： 有り|1 ： 無し"),
    radio(4, 1, 7, 1, "EEP4_Hbit7", "入出センサーの使用モード", "0 ： 入出用|1 ： 通過用"),
    combo(5, 0, 0, 4, "EEP5_Lbit0123", "入出赤外センサーセンシング時間", GateItems::Multiplier, "0.01 Sec　×"),
    combo(5, 0, 4, 4, "EEP5_Lbit4567", "入出センサーON/OFF後の無効時間", GateItems::Multiplier, "0.1 Sec　×"),
    radio(5, 1, 1, 3, "EEP5_Hbit123", "人検知センサーON/OFF間のベースタイム", sensorBaseTimes),
    combo(5, 1, 4, 4, "EEP5_Hbit4567", "人検知センサーON/OFF間の時間", GateItems::Multiplier, timesBase),
    radio(6, 0, 0, 1, "EEP6_Lbit0", "リレー出力連続", "0 ： OFF|1 ： ON"),
    radio(6, 0, 1, 3, "EEP6_Lbit123", "リレー出力時間のベースタイム", sensorBaseTimes),
    combo(6, 0, 4, 4, "EEP6_Lbit4567", "リレー出力時間", GateItems::Multiplier, timesBase),
    radio(6, 1, 0, 2, "EEP6_Hbit01", "入出判断モード", "0 ： OFF|1 ： 入|2 ： 出|3 ： 入出"),
    radio(6, 1, 2, 1, "EEP6_Hbit2", "入出センサー　通過方向", directions),
    radio(6, 1, 3, 1, "EEP6_Hbit3", "入出力センサー　エラー時レスポンス", errorResponses),
    radio(6, 1, 4, 1, "EEP6_Hbit4", "人センサー", disabledEnabled),
    radio(6, 1, 5, 1, "EEP6_Hbit5", "EASモード", easModes),
    radio(6, 1, 6, 1, "EEP6_Hbit6", "ランプテストモード", lampTests),
    edit(7, 0, 0, 4, "EdVolume", "スピーカー音量", 0, 15,
         "0～8：　0:OFF, 8:最大音量|9～15：　未使用（設定時は、最大音量）"),
};

constexpr GateField dispOutFields[] = {
    radio(0, 0, 0, 1, "DOS1_bit0", "入側のブザー／音声出力", offOn),
    radio(0, 0, 1, 1, "DOS1_bit1", "出側のブザー／音声出力", offOn),
    radio(0, 0, 2, 1, "DOS1_bit2", "エラー時のブザー／音声出力", offOn),
    radio(0, 0, 3, 1, "DOS1_bit3", "ランプLED　ゲート0点灯", offOn),
    radio(0, 0, 4, 1, "DOS1_bit4", "ランプLED　ゲート1点灯", offOn),
    radio(0, 0, 5, 1, "DOS1_bit5", "ランプLED　ゲート2点灯", offOn),
    radio(0, 0, 6, 1, "DOS1_bit6", "ランプLED　ゲート3点灯", offOn),
    radio(0, 0, 7, 1, "DOS1_bit7", "基板上のタグ読取確認用LED", offOn),
    radio(0, 1, 0, 1, "DOS2_bit0", "入側LED", offOn),
    radio(0, 1, 1, 1, "DOS2_bit1", "出側LED", offOn),
    radio(0, 1, 2, 1, "DOS2_bit2", "エラー表示LED", offOn),
    radio(0, 1, 3, 1, "DOS2_bit3", "外部リレー出力", offOn),
    radio(0, 1, 4, 1, "DOS2_bit4", "レディ表示用LED", offOn),
    radio(0, 1, 5, 1, "DOS2_bit5", "リレー出力１", offOn),
    radio(0, 1, 6, 1, "DOS2_bit6", "リレー出力２", offOn),
    radio(0, 1, 7, 1, "DOS2_bit7", "リレー出力３", offOn),
    radio(0, 2, 0, 1, "DOS3_bit0", "汎用ＩＯ１", offOn01),
    radio(0, 2, 1, 1, "DOS3_bit1", "汎用ＩＯ２", offOn01),
    radio(0, 2, 2, 1, "DOS3_bit2", "汎用ＩＯ３", offOn01),
    radio(0, 2, 3, 1, "DOS3_bit3", "汎用ＩＯ４", offOn01),
};

// Byte 0: the release switch answer, 1: the DIP switch, 2: the in/out sensors, 3: the person sensor.
constexpr GateField sensorFields[] = {
    radio(0, 0, 0, 1, "SW_bit0", "解除SW", offOn),
    {0, 1, 0, 8, "ST_DIPSW", GateControl::HexText, "DIPSW ："},
    radio(0, 2, 0, 1, "IO_bit0", "入出センサー0", offOn),
    radio(0, 2, 1, 1, "IO_bit1", "入出センサー1", offOn),
    radio(0, 2, 2, 1, "IO_bit2", "入出センサー2", offOn),
    radio(0, 2, 3, 1, "IO_bit3", "入出センサー3", offOn),
    radio(0, 2, 4, 1, "IO_bit4", "入出センサー4", offOn),
    radio(0, 2, 5, 1, "IO_bit5", "入出センサー5", offOn),
    radio(0, 3, 0, 1, "Person_bit0", "人検知センサー", offOn),
};

constexpr GateField countModeFieldTable[] = {
    radio(1, 0, 0, 1, "EEP11_Lb0", "赤外線センサー１の人数カウント機能", disabledEnabled),
    radio(1, 0, 1, 1, "EEP11_Lb1", "赤外線センサー２の人数カウント機能", disabledEnabled),
    radio(1, 0, 4, 1, "EEP11_Lb4", "赤外線センサー１のアラームカウント機能", disabledEnabled),
    radio(1, 0, 5, 1, "EEP11_Lb5", "赤外線センサー２のアラームカウント機能", disabledEnabled),
    radio(1, 1, 0, 1, "EEP11_Hb0", "赤外線センサー遮光回数の1/2カウント機能", disabledEnabled),
    listCombo(2, 0, 0, 4, "EEP12_Lb03", "カウンタ値の自動送信モード",
              "自動送信しない|センサー遮光毎に上位へ送信|インターバル毎に上位へ送信|"
              "インターバル毎に上位へ送信＆クリア"),
    listCombo(2, 0, 4, 2, "CBInterVal", "カウント値のインターバル送信時、ベース時間", "分|時間"),
    edit(2, 1, 0, 8, "EEP12_Hb", "カウント値のインターバル送信時、カウント時間(DEC)", intMin, 2147483647,
         "（1～255、0：未使用）"),
    radio(3, 0, 0, 1, "RG_MW3_0", "赤外線センサー３の人数カウント機能", disabledEnabled),
    radio(3, 0, 1, 1, "RG_MW3_1", "赤外線センサー４の人数カウント機能", disabledEnabled),
    radio(3, 0, 2, 1, "RG_MW3_2", "赤外線センサー３のアラームカウント機能", disabledEnabled),
    radio(3, 0, 3, 1, "RG_MW3_3", "赤外線センサー４のアラームカウント機能", disabledEnabled),
    radio(3, 0, 4, 1, "RG_MW3_4", "赤外線センサー５の人数カウント機能", disabledEnabled),
    radio(3, 0, 5, 1, "RG_MW3_5", "赤外線センサー６の人数カウント機能", disabledEnabled),
    radio(3, 0, 6, 1, "RG_MW3_6", "赤外線センサー５のアラームカウント機能", disabledEnabled),
    radio(3, 0, 7, 1, "RG_MW3_7", "赤外線センサー６のアラームカウント機能", disabledEnabled),
    radio(3, 1, 0, 1, "RG_MW3_8", "タグ検出モード（有効なモード）", "タグ有りの時|タグなしの時"),
    radio(3, 1, 1, 1, "RG_MW3_9", "ブザー音の出力選択", "スピーカー|ブザー"),
    radio(3, 1, 2, 1, "RG_MW3_10", "M740互換モード", "有効|無効"),
};

// Persons are 32-bit counts shown unsigned in full (a read value goes back as read); alarms
// are 16-bit.
constexpr GateField persons(int byte, const char *control, const char *caption)
{
    return edit(0, byte, 0, 32, control, caption, 0, -1, "", "", 10);
}
constexpr GateField alarms(int byte, const char *control, const char *caption)
{
    return edit(0, byte, 0, 16, control, caption, 0, 65535);
}

constexpr GateField countValue740Fields[] = {
    persons(0, "S1Mcount", "赤外線センサー１の人数カウント値"),
    persons(4, "S2Mcount", "赤外線センサー２の人数カウント値"),
    alarms(8, "S1Acount", "赤外線センサー１のアラームカウント値"),
    alarms(10, "S2Acount", "赤外線センサー２のアラームカウント値"),
};

constexpr GateField countValue750Fields[] = {
    persons(0, "EdCount1", "赤外線センサー１の人数カウント値"),
    persons(4, "EdCount2", "赤外線センサー２の人数カウント値"),
    alarms(8, "EdCount3", "赤外線センサー１のアラームカウント値"),
    alarms(10, "EdCount4", "赤外線センサー２のアラームカウント値"),
    persons(12, "EdCount5", "赤外線センサー３の人数カウント値"),
    persons(16, "EdCount6", "赤外線センサー４の人数カウント値"),
    alarms(20, "EdCount7", "赤外線センサー３のアラームカウント値"),
    alarms(22, "EdCount8", "赤外線センサー４のアラームカウント値"),
    persons(24, "EdCount9", "赤外線センサー５の人数カウント値"),
    persons(28, "EdCount10", "赤外線センサー６の人数カウント値"),
    alarms(32, "EdCount11", "赤外線センサー５のアラームカウント値"),
    alarms(34, "EdCount12", "赤外線センサー６のアラームカウント値"),
};

constexpr GateField buzLedFieldTable[] = {
    listCombo(0, 1, 0, 2, "CB_CmdMode", "ブザー／メロディ制御モード", "制御しない|ブザー使用|メロディ使用"),
    {0, 1, 2, 1, "CBOnryou", GateControl::Check, "音量制御を行う（M750のみ有効）"},
    {0, 1, 3, 1, "CBUseTime", GateControl::Check, "鳴動時間、ランプ点灯時間のパラメータ有効"},
    edit(0, 2, 0, 8, "EdOto", "音の選択", 0, 255),
    edit(0, 3, 0, 8, "EdOnryou", "音量の選択", 0, 255, "［M750でのみ有効、０で音量OFF］"),
    listCombo(0, 4, 0, 8, "CBLanpMode", "ランプ制御モード", "制御しない|点滅|点灯|点灯フラッシング"),
    edit(0, 5, 0, 16, "EdTime", "制御時間", 0, 65535, "", "× 10ms"),
};

constexpr GateField monitor740Fields[] = {
    text(0, 32, "STG1Count1"),
    text(4, 32, "STG2Count1"),
    text(8, 16, "STG1Count2"),
    text(10, 16, "STG2Count2"),
};

// Aisle k's in sensor is pair 2k - 1, its out sensor pair 2k.
constexpr GateField monitor750Fields[] = {
    text(0, 32, "STG1Count1"),  text(4, 32, "STG2Count1"),  text(8, 16, "STG1Count2"),  text(10, 16, "STG2Count2"),
    text(12, 32, "STG3Count1"), text(16, 32, "STG4Count1"), text(20, 16, "STG3Count2"), text(22, 16, "STG4Count2"),
    text(24, 32, "STG5Count1"), text(28, 32, "STG6Count1"), text(32, 16, "STG5Count2"), text(34, 16, "STG6Count2"),
};

const char *const voiceA[] = {
    "00h:おはようございます",
    "01h:おつかれさまでした",
    "02h:いってらっしゃい",
    "03h:おかえりなさい",
    "04h:ピンポンパンポン(音階：右上り)",
    "05h:ピンポンパンポン(音階：右下り)",
    "06h:ウー　・　・　・     (音階：右上り後右下り)",
    "07h:ピンポンパンポン(音階：右上り後右下り)",
};
const char *const voiceB[] = {
    "00h:ピンポンパンポン(音階：右上り)",
    "01h:ピンポンパンポン(音階：右下り)",
    "02h:ウー　・　・　・     (音階：右上り後右下り)",
    "03h:ピンポンパンポン(音階：右上り後右下り)",
};
// The M750's further entries; list B first repeats the four greetings of list A.
const char *const voiceM750[] = {
    "カウンターまでお戻りください",
    "不正持ち出しです。カウンターまでお戻りください",
    "カード読取エラーです",
    "ここから先は立ち入り禁止です",
    "ピー",
    "ピッピッピッピッ",
    "ピロロロロ",
    "ツートトツー",
};

QString voiceCode(int code)
{
    return QString::number(code, 16).rightJustified(2, QLatin1Char('0')) + QStringLiteral("h:");
}

QStringList voiceList(GateItems list, bool m750)
{
    QStringList items;
    for (const char *item : (list == GateItems::VoiceA ? std::span<const char *const>(voiceA) : voiceB))
        items << QString::fromUtf8(item);
    if (!m750)
        return items;
    if (list == GateItems::VoiceB)
        for (int i = 0; i < 4; ++i)
            items << voiceCode(4 + i) + QString::fromUtf8(voiceA[i]).mid(4);
    for (const char *item : voiceM750)
        items << voiceCode(static_cast<int>(items.size())) + QString::fromUtf8(item);
    return items;
}

} // namespace

int fieldOffset(const GateField &field)
{
    return field.word > 0 ? 2 * (field.word - 1) + field.byte : field.byte;
}

static int fieldBytes(const GateField &field)
{
    return (field.shift + field.width + 7) / 8;
}

bool fieldFits(const GateField &field, qsizetype imageSize)
{
    return fieldOffset(field) + fieldBytes(field) <= imageSize;
}

static uint64_t fieldMask(const GateField &field)
{
    return ((uint64_t{1} << field.width) - 1) << field.shift;
}

uint32_t fieldValue(const GateField &field, QByteArrayView image)
{
    if (!fieldFits(field, image.size()))
        return 0;
    uint64_t v = 0;
    for (int i = fieldBytes(field) - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(image[fieldOffset(field) + i]);
    return static_cast<uint32_t>((v & fieldMask(field)) >> field.shift);
}

void setFieldValue(const GateField &field, QByteArray &image, uint32_t value)
{
    if (!fieldFits(field, image.size()))
        return;
    const int at = fieldOffset(field);
    const uint64_t mask = fieldMask(field);
    for (int i = 0; i < fieldBytes(field); ++i) {
        const auto byteMask = static_cast<uint8_t>(mask >> (8 * i));
        const auto bits = static_cast<uint8_t>((uint64_t{value} << field.shift) >> (8 * i));
        image[at + i] = static_cast<char>((static_cast<uint8_t>(image[at + i]) & ~byteMask) | (bits & byteMask));
    }
}

QStringList fieldItems(const GateField &field, bool m750)
{
    switch (field.list) {
    case GateItems::Multiplier: {
        QStringList items;
        for (int i = 0; i < 16; ++i)
            items << QString::number(i);
        return items;
    }
    case GateItems::VoiceA:
    case GateItems::VoiceB:
        return voiceList(field.list, m750);
    case GateItems::Listed:
        break;
    }
    const QString items = QString::fromUtf8(field.items);
    return items.isEmpty() ? QStringList() : items.split(QLatin1Char('|'));
}

std::span<const GateField> gateModeFields()
{
    return modeFields;
}
std::span<const GateField> gateEepromFields()
{
    return eepromFields;
}
std::span<const GateField> gateDispOutFields()
{
    return dispOutFields;
}
std::span<const GateField> gateSensorFields()
{
    return sensorFields;
}
std::span<const GateField> countModeFields()
{
    return countModeFieldTable;
}
std::span<const GateField> countValueFields740()
{
    return countValue740Fields;
}
std::span<const GateField> countValueFields750()
{
    return countValue750Fields;
}
std::span<const GateField> buzLedFields()
{
    return buzLedFieldTable;
}
std::span<const GateField> countMonitorFields740()
{
    return monitor740Fields;
}
std::span<const GateField> countMonitorFields750()
{
    return monitor750Fields;
}

QList<std::span<const GateField>> fieldPages(std::span<const GateField> fields)
{
    const auto key = [](const GateField &f) { return f.word > 0 ? f.word : f.byte; };
    QList<std::span<const GateField>> pages;
    size_t start = 0;
    for (size_t i = 1; i <= fields.size(); ++i)
        if (i == fields.size() || key(fields[i]) != key(fields[start])) {
            pages << fields.subspan(start, i - start);
            start = i;
        }
    return pages;
}

QByteArray buzLedDefaults()
{
    // 2A, melody (2), sound 0, volume 0, no lamp control, 150 x 10 ms low byte first.
    return QByteArray::fromHex("2a0200000096"
                               "00");
}
