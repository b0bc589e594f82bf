#include "setup/TagModeDialogs.h"

#include "controls/DialogKit.h"
#include "setup/EepromImage.h"

namespace
{

constexpr uint8_t speedQuarter = 2; // bits 1-3: "ISO15693(1/4)"
constexpr uint8_t speedFine = 6;    // bits 1-3: "ISO15693(1/256)"

QStringList items(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

TModeSet2Dlg::TModeSet2Dlg(QWidget *owner) : QDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("ModeSet2Dlg"), QStringLiteral("タグの動作モードの設定"));
    RGTag1 = kit.choiceGroup(QStringLiteral("RGTag1"), QStringLiteral("Tag Speed"),
                             items({"ISO15693(1/4)", "ISO15693(1/256)"}));
    RGModul = kit.choiceGroup(QStringLiteral("RGModul"), QStringLiteral("Modulation Depth"), items({"10%", "100%"}), 2);
    RGAmFm = kit.choiceGroup(QStringLiteral("RGAmFm"), QStringLiteral("FSK/ASK"), items({"FSK", "ASK"}), 2);
    CBWriteEEPROM = kit.checkBox(QStringLiteral("CBWriteEEPROM"), QStringLiteral("R/WのEEPROMへの書き込み"));
    kit.column(this,
               {RGTag1, RGModul, RGAmFm, CBWriteEEPROM, kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("設定"))});
}

void TModeSet2Dlg::ShowMode(uint8_t mode)
{
    RGTag1->setItemIndex(((mode >> 1) & 7) == speedQuarter ? 0 : 1);
    RGModul->setItemIndex((mode >> 4) & 1);
    RGAmFm->setItemIndex((mode >> 5) & 1);
}

uint8_t TModeSet2Dlg::Mode() const
{
    const int speed = RGTag1->itemIndex() == 0 ? speedQuarter : speedFine;
    const int mode = speed << 1 | (RGModul->itemIndex() & 1) << 4 | (RGAmFm->itemIndex() & 1) << 5 | 1 << 6;
    return ModeByteParity(static_cast<uint8_t>(mode));
}

TSetEAS1Dlg::TSetEAS1Dlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("SetEAS1Dlg"), QStringLiteral("EASモードの設定"));
    IntEdit1 = kit.intEdit(QStringLiteral("IntEdit1"), {0, 255, -16});
    IntEdit2 = kit.intEdit(QStringLiteral("IntEdit2"), {0, 255, -16});
    kit.column(this,
               {kit.grid(nullptr, {{"ＥＡＳ　有効", IntEdit1}, {"ＥＡＳ　無効", IntEdit2}}),
                kit.label(QStringLiteral("0-255 (HEX)")), kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("設定"))});
}

TKensaParaDlg::TKensaParaDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("KensaParaDlg"), QStringLiteral("検査パラメータの設定"));
    EdAFIValue = kit.intEdit(QStringLiteral("EdAFIValue"), {0, 255, -16});
    EdOUTPTime = kit.intEdit(QStringLiteral("EdOUTPTime"), {1, 255, 10});
    EdInputChkTime = kit.intEdit(QStringLiteral("EdInputChkTime"), {0, 255, 10});
    RGCheckMode = kit.choiceGroup(QStringLiteral("RGCheckMode"), QStringLiteral("Check Mode"),
                                  items({"Inventory", "Read", "Write", "Write/Read"}), 2);
    RGWriteData = kit.choiceGroup(QStringLiteral("RGWriteData"), QStringLiteral("ライトデータ"),
                                  items({"AFI値を使用", "0xAA, 0x55を使用"}));
    EdRdStAddr = kit.intEdit(QStringLiteral("EdRdStAddr"), {0, 255, 10});
    EdDataLen = kit.intEdit(QStringLiteral("EdDataLen"), {0, 255, 10});
    // The label's "&&" shows as one "&".
    kit.column(this, {kit.grid(nullptr,
                               {
                                   {"ライトデータ（AFI値を使用）：", EdAFIValue, kit.label(QStringLiteral("(Hex)"))},
                                   {"LED&&ポート出力時間：", EdOUTPTime, kit.label(QStringLiteral("× 50ms"))},
                                   {"入力信号チェック時間：", EdInputChkTime, kit.label(QStringLiteral("× 10ms"))},
                               }),
                      RGCheckMode, RGWriteData,
                      kit.grid(nullptr,
                               {
                                   {"読み出しスタートブロック（0-255）", EdRdStAddr},
                                   {"読み出しブロック長（0-255)[0で1Block]", EdDataLen},
                               }),
                      kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("設定"))});
}
