#include "setup/ParamSet3Dlg.h"

#include "controls/DialogKit.h"
#include "setup/EepromTransfer.h"

#include <QFrame>
#include <QMouseEvent>

TParamSet3Dlg::TParamSet3Dlg(QWidget *owner, int versionFlag, int) : RadixDialog(owner), ParamVersionFlag(versionFlag)
{
    const DialogKit kit(this, QStringLiteral("ParamSet3Dlg"), QStringLiteral("R/Wのパラメータ設定"));
    auto byteEdit = [&kit](const char *name, int radix = 10) {
        return kit.intEdit(QLatin1String(name), {0, 255, radix});
    };
    auto twoItems = [&kit](const char *name, const char *title, const char *item0, const char *item1) {
        return kit.choiceGroup(QLatin1String(name), QString::fromUtf8(title),
                               {QString::fromUtf8(item0), QString::fromUtf8(item1)});
    };
    EdRWID = byteEdit("EdRWID");
    EdRetryNum = byteEdit("EdRetryNum");
    EdBlockSize = byteEdit("EdBlockSize");
    EdAFI = byteEdit("EdAFI", 16);
    EdRdStAddr = byteEdit("EdRdStAddr");
    EdDataLen = byteEdit("EdDataLen");
    RGAntic = twoItems("RGAntic", "アンチコリジョン処理の設定", "通常処理", "高速処理");
    RGInvTrg = twoItems("RGInvTrg", "インベントリ時のトリガー入力", "無効", "有効");
    RGInvAFI = twoItems("RGInvAFI", "インベントリコマンド時のAFI値", "使用しない", "使用する");
    RGTagSel = twoItems("RGTagSel", "", "TI,my-d,フィリップス", "富士通");
    RGBuzType = twoItems("RGBuzType", "ブザー種別の設定（ハード設定）", "標準", "ブザー音大");
    RGIOPORT3 = twoItems("RGIOPORT3", "IOPORT3の機能", "RS485制御信号", "エラー出力");
    RGBRCmd = twoItems("RGBRCmd", "ノーリードコマンド", "使用しない", "使用する");
    RGUseUID1 = twoItems("RGUseUID1", "シンプルライトコマンド時UIDを使用", "しない", "する");
    RGAntic->setItemIndex(0);
    CBSelTag1 = kit.checkBox(QStringLiteral("CBSelTag1"), QStringLiteral("タグの選択を行う"));
    Panel1 = DialogKit::named(new QFrame(this), QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->installEventFilter(this);
    kit.row(Panel1, {LayoutCell::stretch(), kit.confirmRow(OKBtn, CancelBtn)});

    kit.column(this,
               {kit.grid(nullptr, {{"R/WのID（RS485使用時以外は,0を設定）[0-255]", EdRWID},
                                   {"リトライ回数（２で１回リトライを行う）", EdRetryNum},
                                   {"ブロックサイズ(Tag-it HFI, I-code SLIの場合は4)", EdBlockSize},
                                   {"R/WのAFI値の設定値（16進[0-255]）", EdAFI},
                                   {"RDLOOPモード：　読み出しスタートブロック（0-255）", EdRdStAddr},
                                   {"RDLOOPモード：　読み出しデータ長（0-255)", EdDataLen}}),
                kit.grid(nullptr, {{RGAntic, RGInvTrg}, {RGInvAFI, RGUseUID1}, {RGBuzType, RGIOPORT3}, {RGBRCmd}}),
                CBSelTag1, RGTagSel, Panel1});

    connect(CBSelTag1, &QCheckBox::clicked, this, &TParamSet3Dlg::CBSelTag1Click);
    connect(RGTagSel, &ChoiceGroup::itemClicked, this, &TParamSet3Dlg::RGTagSelClick);
}

void TParamSet3Dlg::showValues(const ParamSetValues &v, bool anticollision)
{
    EdRWID->SetValue(v.rwId);
    EdRetryNum->SetValue(v.retry);
    EdBlockSize->SetValue(v.blockSize);
    EdAFI->SetValue(v.afi);
    if (anticollision)
        RGAntic->setItemIndex(v.antic);
    RGInvTrg->setItemIndex(v.invTrg);
    RGInvAFI->setItemIndex(v.invAfi);
    RGTagSel->setItemIndex(v.tagSel);
    RGBuzType->setItemIndex(v.buzType);
    RGIOPORT3->setItemIndex(v.ioPort3);
    RGBRCmd->setItemIndex(v.brCmd);
    RGUseUID1->setItemIndex(v.useUid);
}

ParamSetValues TParamSet3Dlg::values() const
{
    ParamSetValues v;
    v.rwId = static_cast<uint8_t>(EdRWID->GetValue());
    v.retry = static_cast<uint8_t>(EdRetryNum->GetValue());
    v.blockSize = static_cast<uint8_t>(EdBlockSize->GetValue());
    v.afi = static_cast<uint8_t>(EdAFI->GetValue());
    v.antic = RGAntic->itemIndex();
    v.invTrg = RGInvTrg->itemIndex();
    v.invAfi = RGInvAFI->itemIndex();
    v.tagSel = RGTagSel->itemIndex();
    v.buzType = RGBuzType->itemIndex();
    v.ioPort3 = RGIOPORT3->itemIndex();
    v.brCmd = RGBRCmd->itemIndex();
    v.useUid = RGUseUID1->itemIndex();
    return v;
}

void TParamSet3Dlg::CBSelTag1Click()
{
    const bool tagStep = CBSelTag1->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{EdRWID, EdRetryNum, EdBlockSize, RGAntic, RGInvAFI, RGInvTrg,
                                                       RGBuzType, RGIOPORT3, RGBRCmd})
        w->setEnabled(!tagStep);
    RGTagSel->setEnabled(tagStep);
}

void TParamSet3Dlg::RGTagSelClick()
{
    if (!CBSelTag1->isChecked())
        return;
    const bool fujitsu = RGTagSel->itemIndex() == 1;
    EdBlockSize->SetValue(fujitsu ? 8 : 4);
    EdRetryNum->SetValue(fujitsu ? 10 : 3);
}

void TParamSet3Dlg::Panel1Click(Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & Qt::ControlModifier) && Hub)
        DumpReaderSettings(*Hub, ParamVersionFlag != 0, Ver121, this);
}

bool TParamSet3Dlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel1 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            Panel1Click(mouse->modifiers());
    }
    return RadixDialog::eventFilter(watched, event);
}
