#include "setup/SetAnt1Rom1Dlg.h"

#include "controls/DialogKit.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"
#include "setup/SetEeprom2Dlg.h"

#include <QTabWidget>

#include <array>
#include <memory>

namespace
{

constexpr int selBits[] = {0, 1, 2, 6}; // byte 30: the bits of RGPORTSEL1, 2, 3 and 7

QStringList split(const char *items)
{
    return QString::fromUtf8(items).split(QLatin1Char('|'));
}

int bitOf(uint8_t byte, int bit)
{
    return (byte >> bit) & 1;
}

uint8_t bitFrom(const ChoiceGroup *group, int bit)
{
    return static_cast<uint8_t>((group->itemIndex() & 1) << bit);
}

} // namespace

TSetAnt1Rom1Dlg::TSetAnt1Rom1Dlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("SetAnt1Rom1Dlg"), QStringLiteral("ダイアログ"));
    auto twoWay = [&kit](const QString &name, const QString &title, const char *items) {
        return kit.choiceGroup(name, title, split(items), 2);
    };

    PageControl1 = DialogKit::named(new QTabWidget(this), QStringLiteral("PageControl1"));
    TabSheet7 = DialogKit::named(new QWidget, QStringLiteral("TabSheet7"));
    TabSheet8 = DialogKit::named(new QWidget, QStringLiteral("TabSheet8"));
    PageControl1->addTab(TabSheet7, QStringLiteral("Ｉ／Ｏポートの設定"));
    PageControl1->addTab(TabSheet8, QStringLiteral("メモリースイッチ"));

    RGPORTSEL1 = twoWay(QStringLiteral("RGPORTSEL1"), QStringLiteral("Ｉ／Ｏポート１"), "LED|ポート");
    RGPORTSEL2 = twoWay(QStringLiteral("RGPORTSEL2"), QStringLiteral("Ｉ／Ｏポート２"), "トリガー|ポート");
    RGPORTSEL3 = twoWay(QStringLiteral("RGPORTSEL3"), QStringLiteral("Ｉ／Ｏポート３"), "RS485|ポート");
    RGPORTSEL7 = twoWay(QStringLiteral("RGPORTSEL7"), QStringLiteral("Ｉ／Ｏポート７"), "ブザー|ポート");
    QGridLayout *ports = kit.grid(nullptr, {});
    for (int n = 0; n < 8; ++n) {
        RGPORTIO[n] = twoWay(QStringLiteral("RGPORTIO%1").arg(n + 1), QStringLiteral("入／出力ポート"), "入力|出力");
        RGPORTDefault[n] = twoWay(QStringLiteral("RGPORTDefault%1").arg(n + 1), QStringLiteral("デフォルト値"), "0|1");
        ports->addWidget(kit.label(QStringLiteral("Ｉ／Ｏポート%1").arg(QChar(static_cast<char16_t>(u'１' + n)))), n,
                         0);
        ports->addWidget(RGPORTIO[n], n, 1);
        ports->addWidget(RGPORTDefault[n], n, 2);
    }
    kit.column(TabSheet7, {kit.row(nullptr, {RGPORTSEL1, RGPORTSEL2, RGPORTSEL3, RGPORTSEL7}), ports});

    CBMode2 = kit.comboBox(QStringLiteral("CBMode2"), split("TX1|TX2|TX1/TX2|TX1+TX2"));
    RGMemSW60 = twoWay(QStringLiteral("RGMemSW60"), QString(), "無効|有効");
    EdSelAntena = kit.intEdit(QStringLiteral("EdSelAntena"), {0, 7, -16});
    RGMemSW64 = twoWay(QStringLiteral("RGMemSW64"), QString(), "通常ポート|拡張ポート");
    RGMemSW65 = twoWay(QStringLiteral("RGMemSW65"), QString(), "しない|する");
    RGMemSW66 = twoWay(QStringLiteral("RGMemSW66"), QString(), "行う|行わない");
    RGMemSW67 = twoWay(QStringLiteral("RGMemSW67"), QString(), "無効|有効");
    Label43 = kit.label(QStringLiteral("出力モード（ロングレンジ）"), CBMode2, QStringLiteral("Label43"));
    Label55 = kit.label(QStringLiteral("外部アンテナの自動切り替え機能"), RGMemSW60, QStringLiteral("Label55"));
    Label88 = kit.label(QStringLiteral("アンテナの選択："), EdSelAntena, QStringLiteral("Label88"));
    Label59 = kit.label(QStringLiteral("自動切替のポートの選択(N410,N610)"), RGMemSW64, QStringLiteral("Label59"));
    Label60 = kit.label(QStringLiteral("カスケード接続"), RGMemSW65, QStringLiteral("Label60"));
    Label61 = kit.label(QStringLiteral("自動切り替え時のパワー制御"), RGMemSW66, QStringLiteral("Label61"));
    Label62 = kit.label(QStringLiteral("アンテナのIDを出力する（識別機能有効）"), RGMemSW67, QStringLiteral("Label62"));
    BtSetCascade = kit.button(QStringLiteral("BtSetCascade"), QStringLiteral("カスケード接続の設定..."));
    kit.column(TabSheet8, {kit.grid(nullptr,
                                    {
                                        {Label43, CBMode2},
                                        {Label55, RGMemSW60},
                                        {Label88, EdSelAntena},
                                        {Label59, RGMemSW64},
                                        {Label60, RGMemSW65},
                                        {Label61, RGMemSW66},
                                        {Label62, RGMemSW67},
                                    }),
                           kit.row(nullptr, {BtSetCascade, LayoutCell::stretch()}), LayoutCell::stretch()});
    PageControl1->setCurrentWidget(TabSheet8);

    kit.column(this, {PageControl1, kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("書き込み(&O)"))});
    CancelBtn->setText(QStringLiteral("キャンセル(&C)"));

    connect(RGMemSW65, &ChoiceGroup::itemClicked, this, &TSetAnt1Rom1Dlg::RGMemSW65Click);
    connect(BtSetCascade, &QPushButton::clicked, this, &TSetAnt1Rom1Dlg::BtSetCascadeClick);
}

void TSetAnt1Rom1Dlg::ShowPorts(uint8_t functions, uint8_t directions, uint8_t levels)
{
    ChoiceGroup *sel[] = {RGPORTSEL1, RGPORTSEL2, RGPORTSEL3, RGPORTSEL7};
    for (int i = 0; i < 4; ++i)
        sel[i]->setItemIndex(bitOf(functions, selBits[i]));
    for (int n = 0; n < 8; ++n) {
        RGPORTIO[n]->setItemIndex(bitOf(directions, n));
        RGPORTDefault[n]->setItemIndex(bitOf(levels, n));
    }
}

void TSetAnt1Rom1Dlg::ReadPorts(uint8_t &functions, uint8_t &directions, uint8_t &levels) const
{
    const ChoiceGroup *sel[] = {RGPORTSEL1, RGPORTSEL2, RGPORTSEL3, RGPORTSEL7};
    for (int i = 0; i < 4; ++i)
        functions = static_cast<uint8_t>((functions & ~(1u << selBits[i])) | bitFrom(sel[i], selBits[i]));
    directions = 0;
    levels = 0;
    for (int n = 0; n < 8; ++n) {
        directions |= bitFrom(RGPORTIO[n], n);
        levels |= bitFrom(RGPORTDefault[n], n);
    }
}

void TSetAnt1Rom1Dlg::ShowSwitches(uint8_t memSw1, uint8_t memSw6)
{
    CBMode2->setCurrentIndex(memSw1 & 3);
    RGMemSW60->setItemIndex(bitOf(memSw6, 0));
    EdSelAntena->SetValue((memSw6 >> 1) & 7);
    RGMemSW64->setItemIndex(bitOf(memSw6, 4));
    RGMemSW65->setItemIndex(bitOf(memSw6, 5));
    RGMemSW66->setItemIndex(bitOf(memSw6, 6));
    RGMemSW67->setItemIndex(bitOf(memSw6, 7));
}

uint8_t TSetAnt1Rom1Dlg::MemSw1(uint8_t read) const
{
    return static_cast<uint8_t>((read & ~3) | (CBMode2->currentIndex() & 3));
}

uint8_t TSetAnt1Rom1Dlg::MemSw6() const
{
    return static_cast<uint8_t>(bitFrom(RGMemSW60, 0) | (EdSelAntena->GetValue() & 7) << 1 | bitFrom(RGMemSW64, 4) |
                                bitFrom(RGMemSW65, 5) | bitFrom(RGMemSW66, 6) | bitFrom(RGMemSW67, 7));
}

void TSetAnt1Rom1Dlg::hidePage(QWidget *page)
{
    PageControl1->setCurrentWidget(page == TabSheet7 ? TabSheet8 : TabSheet7);
    PageControl1->setTabVisible(PageControl1->indexOf(page), false);
}

void TSetAnt1Rom1Dlg::RGMemSW65Click(int index)
{
    BtSetCascade->setVisible(index == 1);
}

void TSetAnt1Rom1Dlg::BtSetCascadeClick()
{
    if (!TComXDlg)
        return;
    std::array<uint8_t, 6> words{}; // area-2 bytes 0-5
    if (!TComXDlg->RxEepromData2(1, 3, words) || applicationClosing() || !TComXDlg)
        return;
    auto dlg = std::make_unique<TSetEEPROM2Dlg>(this);
    for (QWidget *page : {dlg->TabSheet2, dlg->TabSheet3, dlg->TabSheet4})
        dlg->hidePage(page);
    for (QWidget *w : std::initializer_list<QWidget *>{dlg->EdChgWaitTime, dlg->Label13, dlg->Label14})
        w->hide();
    auto antenna = [&dlg](int n) { return dlg->intEdit(QStringLiteral("EdANT%1_SELNUM").arg(n)); };
    for (int n = 1; n <= 8; ++n)
        antenna(n)->SetValue((words[2 + (n - 1) / 2] >> ((n - 1) % 2 * 4)) & 0x0F);
    if (dlg->exec() != QDialog::Accepted || applicationClosing() || !TComXDlg)
        return;
    for (int n = 1; n <= 8; n += 2)
        words[2 + (n - 1) / 2] =
            static_cast<uint8_t>((antenna(n)->GetValue() & 0x0F) | (antenna(n + 1)->GetValue() & 0x0F) << 4);
    dlg.reset();
    TComXDlg->TxEepromData2(1, 3, words);
    TComXDlg->WaitReply();
}
