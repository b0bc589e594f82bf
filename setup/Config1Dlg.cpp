#include "setup/Config1Dlg.h"

#include "controls/DialogKit.h"

#include <QFrame>
#include <QMouseEvent>
#include <QTabWidget>

namespace
{

const QStringList uidChoices = {QStringLiteral("指定しない"), QStringLiteral("コマンドで指定"),
                                QStringLiteral("カレントのＵＩＤを使用する")};
const QStringList bitChoices = {QStringLiteral("0"), QStringLiteral("1")};

} // namespace

TConfig1Dlg::TConfig1Dlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, "Config1Dlg", "環境設定");
    auto bitGroup = [&kit](const char *name, const char *title) {
        return kit.choiceGroup(QLatin1String(name), QString::fromUtf8(title), bitChoices, 2);
    };

    PageControl1 = DialogKit::named(new QTabWidget(this), "PageControl1");
    TabSheet1 = DialogKit::named(new QWidget, "TabSheet1");
    TabSheet2 = DialogKit::named(new QWidget, "TabSheet2");
    TabSheet3 = DialogKit::named(new QWidget, "TabSheet3");
    TabSheet4 = DialogKit::named(new QWidget, "TabSheet4");
    PageControl1->addTab(TabSheet1, QStringLiteral("動作環境"));
    PageControl1->addTab(TabSheet2, QStringLiteral("EASの設定"));
    PageControl1->addTab(TabSheet3, QStringLiteral("デバッグ"));
    PageControl1->addTab(TabSheet4, QStringLiteral("フラグ設定"));

    // --- 動作環境 ---
    CBEnabLockBlock = kit.checkBox("CBEnabLockBlock", "ロックブロック機能有効");
    CBSelUID = kit.comboBox("CBSelUID", uidChoices);
    RGReadOption = bitGroup("RGReadOption", "オプションフラグ");
    CBReadSelUID = kit.comboBox("CBReadSelUID", uidChoices);
    RGWriteOption = bitGroup("RGWriteOption", "オプションフラグ");
    CBWriteSelUID = kit.comboBox("CBWriteSelUID", uidChoices);
    BtSetTagit = kit.button("BtSetTagit", "Tag-itの設定");
    BtSetICode2 = kit.button("BtSetICode2", "I-CODE2の設定");
    CBProgSetFlag = kit.checkBox("CBProgSetFlag", "各フラグ設定");
    auto *readBox = kit.groupBox("GBRead", "リード関係のコマンド");
    kit.grid(readBox, {{RGReadOption->wide(2)}, {"ＵＩＤの指定", CBReadSelUID}});
    auto *writeBox = kit.groupBox("GBWrite", "ライト関係のコマンド");
    kit.grid(writeBox, {{RGWriteOption->wide(2)}, {"ＵＩＤの指定", CBWriteSelUID}});
    kit.column(TabSheet1,
               {CBEnabLockBlock, kit.row(nullptr, {"ＵＩＤの指定", CBSelUID}), kit.row(nullptr, {readBox, writeBox}),
                kit.row(nullptr, {BtSetTagit, BtSetICode2}), CBProgSetFlag, LayoutCell::stretch()});
    connect(BtSetTagit, &QPushButton::clicked, this, &TConfig1Dlg::BtSetTagitClick);
    connect(BtSetICode2, &QPushButton::clicked, this, &TConfig1Dlg::BtSetICode2Click);

    // --- EASの設定 ---
    IntEdEASON = kit.intEdit("IntEdEASON", {0, 255, -16});
    IntEdEASOFF = kit.intEdit("IntEdEASOFF", {0, 255, -16});
    kit.column(TabSheet2, {kit.grid(nullptr, {{"EAS ON", IntEdEASON, kit.label("(1-0xff)")}, {"EAS OFF", IntEdEASOFF}}),
                           LayoutCell::stretch()});

    // --- デバッグ ---
    Panel2 = DialogKit::named(new QFrame(this), "Panel2");
    Panel2->installEventFilter(this);
    CBfDispRecInfo = kit.checkBox("CBfDispRecInfo", "fDispRecInfo");
    CBfDispTxInfo = kit.checkBox("CBfDispTxInfo", "fDispTxInfo");
    CBfWrDebug1 = kit.checkBox("CBfWrDebug1", "fWrDebug1");
    CBDispCont1 = kit.checkBox("CBDispCont1", "表示データの色を変える");
    EdRWID = kit.intEdit("EdRWID", {0, 255, 10});
    EdBlockSize = kit.intEdit("EdBlockSize", {1, 255, 10});
    CBInventory2 = kit.checkBox("CBInventory2", "インベントリ２時、UIDデータも受信する");
    CBUseInOutFormat = kit.checkBox("CBUseInOutFormat", "入出フォーマットを使用する");
    RGChannelMode = kit.choiceGroup("RGChannelMode", QString(),
                                    {QStringLiteral("入／出モード"), QStringLiteral("チャンネルモード")}, 2);
    CBBinaryWrite = kit.checkBox("CBBinaryWrite", "1BlockWrite時バイナリデータの書き込みを行う");
    CBROMVer200 = kit.checkBox("CBROMVer200", "ＲＯＭバージョン1.21以降");
    CBGateCmd = kit.checkBox("CBGateCmd", "ゲート用コマンドを有効にする");
    CBDispEXTSet1 = kit.checkBox("CBDispEXTSet1", "拡張設定メニューの表示");
    CBInvTxOff = kit.checkBox("CBInvTxOff", "Tag IT HF-I Light　連続リード");
    kit.grid(Panel2, {{CBfDispRecInfo, CBfDispTxInfo},
                      {CBfWrDebug1, CBDispCont1},
                      {"Ｒ／ＷのＩＤ", EdRWID},
                      {"ブロックサイズ", EdBlockSize},
                      {LayoutCell(CBInventory2).span(2)},
                      {CBUseInOutFormat, RGChannelMode},
                      {LayoutCell(CBBinaryWrite).span(2)},
                      {CBROMVer200, CBGateCmd},
                      {CBDispEXTSet1, CBInvTxOff}});
    kit.column(TabSheet3, {Panel2});
    for (QCheckBox *box : {CBUseInOutFormat, CBBinaryWrite, CBROMVer200, CBGateCmd})
        connect(box, &QCheckBox::clicked, this, &TConfig1Dlg::CBUseInOutFormatClick);

    // --- フラグ設定 ---
    CBUidFlag = kit.comboBox("CBUidFlag", uidChoices);
    RGSelect = bitGroup("RGSelect", "select_flag");
    RGAddress = bitGroup("RGAddress", "address_flag");
    RGOption = bitGroup("RGOption", "option_flag");
    RGAFI = bitGroup("RGAFI", "AFI_flag");
    RGNBSlots = bitGroup("RGNBSlots", "Nb_slots_flag");
    RBDummy1 = bitGroup("RBDummy1", "未使用");
    kit.column(TabSheet4, {kit.row(nullptr, {"ＵＩＤの指定", CBUidFlag}),
                           kit.grid(nullptr, {{RGSelect, RGAddress, RGOption}, {RGAFI, RGNBSlots, RBDummy1}}),
                           LayoutCell::stretch()});

    kit.column(this, {PageControl1, kit.confirmRow(OKBtn, CancelBtn)});
}

void TConfig1Dlg::BtSetTagitClick()
{
    RGReadOption->setItemIndex(0);
    RGWriteOption->setItemIndex(1);
}

void TConfig1Dlg::BtSetICode2Click()
{
    RGReadOption->setItemIndex(0);
    RGWriteOption->setItemIndex(0);
}

void TConfig1Dlg::CBUseInOutFormatClick()
{
    RGChannelMode->setEnabled(CBUseInOutFormat->isChecked());
}

void TConfig1Dlg::Panel2Click(Qt::KeyboardModifiers modifiers)
{
    const bool both = (modifiers & Qt::ShiftModifier) && (modifiers & Qt::ControlModifier);
    const bool show = both && CBDispEXTSet1->isHidden();
    CBDispEXTSet1->setVisible(show);
    CBInvTxOff->setVisible(show);
}

bool TConfig1Dlg::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the panel itself, not on one of its controls (those take their own clicks). A
    // click that a label or a check box's blank end ignores comes on to the panel: it is not one.
    if (watched == Panel2 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && Panel2->rect().contains(at) && !Panel2->childAt(at))
            Panel2Click(mouse->modifiers());
    }
    return RadixDialog::eventFilter(watched, event);
}
