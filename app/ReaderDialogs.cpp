#include "app/ReaderDialogs.h"

#include "controls/DialogKit.h"

#include <QLineEdit>

namespace
{

TIntEdit *valueEdit(const DialogKit &kit, const QString &name, int radix = -10, int32_t max = 255)
{
    TIntEdit *edit = kit.intEdit(name, {0, max, radix});
    edit->SetValue(0);
    return edit;
}

using Bits = std::array<LoopDialog::BitChoice, 8>;

// Bits 5-7 of the 16-slot inventory and of the read loop.
constexpr LoopDialog::BitChoice greenLed = {"データを受信時の緑LED制御", "しない", "する"};
constexpr LoopDialog::BitChoice redLed = {"データを受信していない時の、赤LED制御", "しない", "する"};
constexpr LoopDialog::BitChoice buzzer = {"データ受信時のブザー制御", "しない", "する"};
constexpr LoopDialog::BitChoice emptyAnswer = {"受信データが無いときのレスポンス", "返さない", "返す"};

constexpr Bits inventoryBits = {{
    {"連続／UID受信後コマンドモードへ移行", "連続", "移行"},
    emptyAnswer,
    {"コリジョンデータのみの受信時のレスポンス", "返す", "返さない"},
    {"StayQuietの発行", "しない", "する"},
    {"ビット４", "0", "1"},
    greenLed,
    redLed,
    buzzer,
}};

constexpr Bits readLoopBits = {{
    {"連続／データ受信後コマンドモードへ移行", "連続", "移行"},
    emptyAnswer,
    {"ビット２", "0", "1"},
    {"ビット３", "0", "1"},
    {"ビット４", "0", "1"},
    greenLed,
    redLed,
    buzzer,
}};

constexpr Bits pollingBits = {{
    {"アンテナIDを返す", "返さない", "返す"},
    {"タイムオーバー時、データを返す", "返す", "返さない"},
    {"読み取り毎にデータを返す", "返さない", "返す"},
    {"ビット３", "0", "1"},
    {"ビット４", "0", "1"},
    {"ビット５", "0", "1"},
    {"ビット６", "0", "1"},
    {"ビット７", "0", "1"},
}};

} // namespace

TSetUIDDlg::TSetUIDDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("SetUIDDlg"), QStringLiteral("UIDのセット"));
    for (int i = 0; i < 8; ++i)
        IntEdit[i] = valueEdit(kit, QStringLiteral("IntEdit%1").arg(i + 1), -16);
    QGridLayout *grid = kit.grid(nullptr, {{kit.label(QStringLiteral("UID"), IntEdit[0], QStringLiteral("Label1"))}});
    for (int i = 0; i < 8; ++i)
        grid->addWidget(IntEdit[i], 0, i + 1);
    grid->addWidget(kit.label(QStringLiteral("上位バイト"), nullptr, QStringLiteral("Label2")), 1, 1);
    grid->addWidget(kit.label(QStringLiteral("下位バイト"), nullptr, QStringLiteral("Label3")), 1, 8);
    kit.column(this, {grid, kit.confirmRow(OKBtn, CancelBtn)});
}

void LoopDialog::setModeBits(uint8_t bits)
{
    for (int i = 0; i < 8; ++i)
        RGMemSW[i]->setItemIndex((bits >> i) & 1);
}

uint8_t LoopDialog::modeBits() const
{
    uint8_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint8_t>((RGMemSW[i]->itemIndex() & 1) << i);
    return bits;
}

QGroupBox *LoopDialog::buildLoopFields(const DialogKit &kit, const QString &modeTitle, const Bits &bits)
{
    EdAFI = valueEdit(kit, QStringLiteral("EdAFI"), -16);
    CBUseAFI = kit.checkBox(QStringLiteral("CBUseAFI"), QStringLiteral("AFIを指定する"));
    QGroupBox *box = kit.groupBox(QStringLiteral("GroupBox1"), modeTitle);
    auto *grid = new QGridLayout(box);
    for (int i = 0; i < 8; ++i) {
        RGMemSW[i] = kit.choiceGroup(QStringLiteral("RGMemSW%1").arg(i), QString::fromUtf8(bits[i].title),
                                     {QString::fromUtf8(bits[i].clear), QString::fromUtf8(bits[i].set)}, 2);
        grid->addWidget(RGMemSW[i], i % 4, i / 4);
    }
    return box;
}

TInv16SDlg::TInv16SDlg(QWidget *owner) : LoopDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("Inv16SDlg"), QStringLiteral("Inventory16Slotsコマンド"));
    for (int i = 0; i < 8; ++i)
        IntEdit[i] = valueEdit(kit, QStringLiteral("IntEdit%1").arg(i + 1), -16);
    EdMasklen = valueEdit(kit, QStringLiteral("EdMasklen"));
    QGroupBox *modes = buildLoopFields(kit, QStringLiteral("モード指定"), inventoryBits);
    MaskHighLabel = kit.label(QStringLiteral("上位バイト(Hex)"), IntEdit[0], QStringLiteral("MaskHighLabel"));
    MaskLowLabel = kit.label(QStringLiteral("下位バイト"), nullptr, QStringLiteral("MaskLowLabel"));
    MaskLenLabel = kit.label(QStringLiteral("マスク長"), EdMasklen, QStringLiteral("MaskLenLabel"));
    auto *mask = new QGridLayout;
    for (int i = 0; i < 8; ++i)
        mask->addWidget(IntEdit[i], 0, i);
    mask->addWidget(MaskHighLabel, 1, 0);
    mask->addWidget(MaskLowLabel, 1, 7);
    kit.column(this, {mask, kit.grid(nullptr, {{MaskLenLabel, EdMasklen}, {"AFI値(Hex)", EdAFI}, {nullptr, CBUseAFI}}),
                      modes, kit.confirmRow(OKBtn, CancelBtn)});
}

TRFLoopDlg::TRFLoopDlg(QWidget *owner) : LoopDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("RFLoopDlg"), QStringLiteral("Read Loop コマンド"));
    EdBlockNum = valueEdit(kit, QStringLiteral("EdBlockNum"));
    EdLen = valueEdit(kit, QStringLiteral("EdLen"));
    QGroupBox *modes = buildLoopFields(kit, QStringLiteral("モード指定"), readLoopBits);
    // The AFI's label is part of the form but never shown.
    QLabel *afiLabel = kit.label(QStringLiteral("AFI値(Hex)"), EdAFI, QStringLiteral("LbAFI"));
    afiLabel->setVisible(false);
    kit.column(this, {kit.grid(nullptr, {{"読み出し開始ブロック", EdBlockNum},
                                         {"読み出しデータ長", EdLen},
                                         {afiLabel, EdAFI},
                                         {nullptr, CBUseAFI}}),
                      modes, kit.confirmRow(OKBtn, CancelBtn)});
}

TRDLoopPol1Dlg::TRDLoopPol1Dlg(QWidget *owner) : LoopDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("RDLoopPol1Dlg"), QStringLiteral("RDLoopPolコマンド"));
    EdBlockNum = valueEdit(kit, QStringLiteral("EdBlockNum"));
    EdLen = valueEdit(kit, QStringLiteral("EdLen"));
    EdTime = valueEdit(kit, QStringLiteral("EdTime"), -10, 65535);
    QGroupBox *params = buildLoopFields(kit, QStringLiteral("パラメータ"), pollingBits);
    kit.column(this, {kit.grid(nullptr, {{"読み出し開始ブロック", EdBlockNum},
                                         {"読み出しデータ長", EdLen},
                                         {"AFI値(Hex)", EdAFI},
                                         {nullptr, CBUseAFI},
                                         {"ポーリング時間", EdTime, kit.label(QStringLiteral("×　10ms"))}}),
                      params, kit.confirmRow(OKBtn, CancelBtn)});
}

TCmdOutpDlg::TCmdOutpDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("CmdOutpDlg"), QStringLiteral("コマンド発行"));
    Edit1 = DialogKit::named(new QLineEdit(this), QStringLiteral("Edit1"));
    kit.column(this, {kit.label(QStringLiteral("コマンド列（例：02 00 78 02 01 40 03 C0 0D）"), Edit1), Edit1,
                      kit.confirmRow(OKBtn, CancelBtn)});
}
