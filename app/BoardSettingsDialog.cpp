#include "app/BoardSettingsDialog.h"

#include "controls/DialogKit.h"
#include "controls/FmtEdit.h"
#include "link/LinkParams.h"

namespace
{

void setOctets(TFmtEdit *const edits[4], const int octets[4])
{
    for (int i = 0; i < 4; ++i)
        edits[i]->SetAsInteger(octets[i]);
}

void getOctets(TFmtEdit *const edits[4], int octets[4])
{
    for (int i = 0; i < 4; ++i)
        octets[i] = edits[i]->GetAsInteger();
}

} // namespace

TParaSet1Dlg::TParaSet1Dlg(QWidget *owner) : RadixDialog(owner)
{
    DialogKit kit(this, QStringLiteral("ParaSet1Dlg"), QStringLiteral("ネットワークボードの設定"));
    for (int i = 0; i < 4; ++i) {
        EdTCPIP1[i] = kit.fmtIntEdit(QStringLiteral("EdTCPIP1_%1").arg(i + 1), 0, 255);
        EdTCPIP2[i] = kit.fmtIntEdit(QStringLiteral("EdTCPIP2_%1").arg(i + 1), 0, 255);
    }
    for (int i = 0; i < 3; ++i) {
        EdMacAdr0[i] = kit.intEdit(QStringLiteral("EdMacAdr0%1").arg(i + 1), {0, 255, 16});
        EdMacAdr[i] = kit.intEdit(QStringLiteral("EdMacAdr%1").arg(i + 1), {0, 255, 16});
    }
    EdPort1 = kit.intEdit(QStringLiteral("EdPort1"), {0, 65535, 10});
    EdPort2 = kit.intEdit(QStringLiteral("EdPort2"), {0, 65535, 10});
    Edmask = kit.intEdit(QStringLiteral("Edmask"), {0, 32, 10});
    CBAutoConnect = kit.checkBox(QStringLiteral("CBAutoConnect"), QStringLiteral("自動接続モード使用"));
    QStringList speeds;
    for (const LineSpeed &speed : LineSpeeds)
        speeds << QString::fromLatin1(speed.text);
    ComboBox1 = kit.comboBox(QStringLiteral("ComboBox1"), speeds);
    EdTxTiming = kit.intEdit(QStringLiteral("EdTxTiming"), {0, 65535, 10});
    EdChkTimer = kit.intEdit(QStringLiteral("EdChkTimer"), {0, 65535, 10});
    RGKeep = kit.choiceGroup(QStringLiteral("RGKeep"), QStringLiteral("キープ・アライブ"),
                             {QStringLiteral("OFF"), QStringLiteral("ON")}, 2);
    BtDefault = kit.button(QStringLiteral("BtDefault"), QStringLiteral("出荷時設定"));
    connect(BtDefault, &QPushButton::clicked, this, &TParaSet1Dlg::BtDefaultClick);

    const auto dotted = [&](TFmtEdit *const edits[4]) {
        return kit.row(nullptr, {edits[0], kit.label(QStringLiteral(".")), edits[1], kit.label(QStringLiteral(".")),
                                 edits[2], kit.label(QStringLiteral(".")), edits[3]});
    };
    auto *mac = kit.row(nullptr, {EdMacAdr0[0], EdMacAdr0[1], EdMacAdr0[2], EdMacAdr[0], EdMacAdr[1], EdMacAdr[2]});
    kit.column(this, {kit.grid(nullptr, {{"TCP/IP", dotted(EdTCPIP1)},
                                         {"PORT", EdPort1},
                                         {"TCP/IP（接続先）", dotted(EdTCPIP2)},
                                         {"PORT（接続先）", EdPort2},
                                         {"マスク長", Edmask},
                                         {nullptr, CBAutoConnect},
                                         {"通信スピード", ComboBox1},
                                         {"送信タイミング", kit.row(nullptr, {EdTxTiming, kit.label("ms")})},
                                         {"MACアドレス", mac},
                                         {"無通信監視タイマー", kit.row(nullptr, {EdChkTimer, kit.label("min")})},
                                         {nullptr, RGKeep}}),
                      kit.row(nullptr, {BtDefault, LayoutCell::stretch(),
                                        kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("設定"))})});
}

bool TParaSet1Dlg::SetFromReply(const QByteArray &key, const QString &reply)
{
    if (key == "madr") {
        int octets[6];
        ParseMacText(reply, octets);
        for (int i = 0; i < 3; ++i) {
            EdMacAdr0[i]->SetValue(octets[i]);
            EdMacAdr[i]->SetValue(octets[3 + i]);
        }
        return true;
    }
    if (key == "l_ip" || key == "f_ip") {
        int octets[4];
        if (!ParseIpText(reply, octets))
            return false;
        setOctets(key == "l_ip" ? EdTCPIP1 : EdTCPIP2, octets);
        return true;
    }
    int32_t value = 0;
    if (!parseReplyNumber(reply, value))
        return false;
    if (key == "conn")
        CBAutoConnect->setChecked(value != 0);
    else if (key == "bps")
        ComboBox1->setCurrentIndex(speedIndexOfBoardCode(value));
    else if (key == "keep")
        RGKeep->setItemIndex(value);
    else if (TIntEdit *edit = key == "l_pt"   ? EdPort1
                              : key == "f_pt" ? EdPort2
                              : key == "mask" ? Edmask
                              : key == "timv" ? EdTxTiming
                              : key == "timr" ? EdChkTimer
                                              : nullptr)
        edit->SetValue(value);
    else
        return false;
    return true;
}

void TParaSet1Dlg::ReadInto(NetBoardRecord &s) const
{
    getOctets(EdTCPIP1, s.LocalIp);
    s.LocalPort = EdPort1->GetValue();
    getOctets(EdTCPIP2, s.PeerIp);
    s.PeerPort = EdPort2->GetValue();
    s.MaskBits = Edmask->GetValue();
    s.AutoConnect = CBAutoConnect->isChecked() ? 1 : 0;
    s.BoardSpeedIndex = ComboBox1->currentIndex();
    s.TxTiming = EdTxTiming->GetValue();
    s.KeepAlive = RGKeep->itemIndex();
    s.IdleTimer = EdChkTimer->GetValue();
}

void TParaSet1Dlg::BtDefaultClick()
{
    using F = FactoryBoardSettings;
    setOctets(EdTCPIP1, F::LocalIp);
    setOctets(EdTCPIP2, F::PeerIp);
    EdPort1->SetValue(F::LocalPort);
    EdPort2->SetValue(F::PeerPort);
    Edmask->SetValue(F::MaskBits);
    CBAutoConnect->setChecked(F::AutoConnect != 0);
    ComboBox1->setCurrentIndex(F::BoardSpeedIndex);
    EdTxTiming->SetValue(F::TxTiming);
    RGKeep->setItemIndex(F::KeepAlive);
    EdChkTimer->SetValue(F::IdleTimer);
}
