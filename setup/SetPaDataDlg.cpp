#include "setup/SetPaDataDlg.h"

#include "controls/DialogKit.h"

#include <QTabWidget>

namespace
{

struct SwitchBit {
    int param; // index into TSetPaDataDlg::Params
    int bit;
    const char *name;
    const char *title;
    const char *items;
    bool enabled = true;
};

// Bits 0-1 of 0xA4 are CBMode2.
const SwitchBit switchBits[] = {
    {0, 2, "RG5VCONT", "送信キャリアのON/OFF制御", "行わない|行う"},
    {0, 3, "RGRF5VOFF_ST", "パワーダウンモード", "ＯＦＦ|ＯＮ"},
    {0, 4, "RGBRCOMD", "ノーリードコマンド", "未使用|使用"},
    {0, 5, "RGCHKDATANUM", "タグのデータ数チェック", "しない|する"},
    {0, 6, "RGDCMDASCII", "'D'コマンド、アスキーフォーマット", "未対応|対応", false},
    {0, 7, "RGTWICECHK", "２度読み禁止（トリガー、ポーリング時）", "しない|する"},
    {1, 0, "RGD_NOCHK", "データのフォーマットチェック", "する|しない"},
    {1, 1, "RGMemSw9", "書込コマンドのｲﾝﾍﾞﾝﾄﾘ時のＡＦＩのチェック", "しない|する"},
    {1, 2, "RGMemSw10", "書込コマンド時オプションフラグを０とする", "ｵﾌﾟｼｮﾝ１|ｵﾌﾟｼｮﾝ０"},
    {1, 3, "RGMemSw11", "書込コマンド時のUIDの使用", "しない|する"},
    {1, 4, "RGMemSw12", "書き込み後のべリファイ（ACK未受信時）", "しない|する"},
    {1, 5, "RGMemSw13", "タグの自動識別", "しない|する"},
    {1, 6, "RGMemSw14", "スロット切り替え時間（i-code2対応）", "固定|指定時間", false},
    {1, 7, "RGMemSw15", "パワーダウンモード時のモード", "WAIT|STOP"},
    {2, 0, "RGMemSW40", "ＩＯ３の機能選択", "RS485制御|エラー出力"},
    {2, 1, "RGMemSW41", "Tag-it HF-I 2BlockWrite使用", "使用しない|使用する"},
    {2, 2, "RGMemSW42", "インベントリコマンド間隔", "高速|等間隔"},
    {2, 3, "RGMemSW43", "インベントリコマンド時のTXOFF", "しない|する"},
    {2, 4, "RGMemSW44", "アンチコリジョン時のTXOFF", "しない|する"},
    {2, 5, "RGMemSW45", "UIDを使用したCRCの計算", "しない|する"},
    {2, 6, "RGMemSW46", "Timing Register", "設定しない|設定する"},
    {2, 7, "RGMemSW47", "検波信号の出力", "ＯＦＦ|出力する"},
};

constexpr const char *pageCaptions[] = {"メモリスイッチ１", "メモリスイッチ２", "メモリースイッチ３"};
constexpr int groupColumns = 3;

} // namespace

TSetPaDataDlg::TSetPaDataDlg(QWidget *owner) : QDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("SetPaDataDlg"), QStringLiteral("メモリスイッチの設定"));
    CBMode2 =
        kit.comboBox(QStringLiteral("CBMode2"), {QStringLiteral("TX1"), QStringLiteral("TX2"),
                                                 QStringLiteral("切替えモード１"), QStringLiteral("切替えモード２")});
    PageControl1 = DialogKit::named(new QTabWidget(this), QStringLiteral("PageControl1"));
    QGridLayout *grids[3];
    for (int page = 0; page < 3; ++page) {
        auto *sheet = DialogKit::named(new QWidget, QStringLiteral("TabSheet%1").arg(page + 1));
        grids[page] = new QGridLayout;
        auto *layout = new QVBoxLayout(sheet);
        if (page == 0)
            layout->addLayout(kit.row(nullptr, {"出力モード（ロングレンジ）", CBMode2, LayoutCell::stretch()}));
        layout->addLayout(grids[page]);
        layout->addStretch(1);
        PageControl1->addTab(sheet, QString::fromUtf8(pageCaptions[page]));
    }
    int placed[3] = {};
    for (const SwitchBit &b : switchBits) {
        ChoiceGroup *g = kit.choiceGroup(QLatin1String(b.name), QString::fromUtf8(b.title),
                                         QString::fromUtf8(b.items).split(QLatin1Char('|')));
        g->setEnabled(b.enabled);
        grids[b.param]->addWidget(g, placed[b.param] / groupColumns, placed[b.param] % groupColumns);
        ++placed[b.param];
    }
    kit.column(this, {PageControl1, kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("セット(&O)"))});
    CancelBtn->setText(QStringLiteral("Ｃｌｏｓｅ(&C)"));
}

ChoiceGroup *TSetPaDataDlg::group(int param, int bit) const
{
    for (const SwitchBit &b : switchBits)
        if (b.param == param && b.bit == bit)
            return findChild<ChoiceGroup *>(QLatin1String(b.name));
    return nullptr;
}

void TSetPaDataDlg::showParams(const std::array<uint8_t, 3> &values)
{
    CBMode2->setCurrentIndex(values[0] & 3);
    for (const SwitchBit &b : switchBits)
        group(b.param, b.bit)->setItemIndex((values[b.param] >> b.bit) & 1);
}

std::array<uint8_t, 3> TSetPaDataDlg::params() const
{
    std::array<uint8_t, 3> values{};
    values[0] = static_cast<uint8_t>(CBMode2->currentIndex() & 3);
    for (const SwitchBit &b : switchBits)
        values[b.param] |= static_cast<uint8_t>((group(b.param, b.bit)->itemIndex() & 1) << b.bit);
    return values;
}
