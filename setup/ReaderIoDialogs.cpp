#include "setup/ReaderIoDialogs.h"

#include "controls/DialogKit.h"

namespace
{

const QStringList ledModes = {QStringLiteral("指定時間ON/OFF"), QStringLiteral("点滅"), QStringLiteral("常時ON/OFF")};

TIntEdit *byteEdit(const DialogKit &kit, const char *name)
{
    TIntEdit *edit = kit.intEdit(QLatin1String(name), {0, 255, -10});
    edit->SetValue(0);
    return edit;
}

} // namespace

TLEDContDlg::TLEDContDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("LEDContDlg"), QStringLiteral("LED制御"));
    RadioGroup1 = kit.choiceGroup(QStringLiteral("RadioGroup1"), QStringLiteral("LEDの選択"),
                                  {QStringLiteral("緑"), QStringLiteral("赤")}, 2);
    ComboBox1 = kit.comboBox(QStringLiteral("ComboBox1"), ledModes);
    EdTime = byteEdit(kit, "EdTime");
    RadioGroup1->setItemIndex(0);
    ComboBox1->setCurrentIndex(0);
    EdTime->SetValue(5);
    kit.column(this, {RadioGroup1,
                      kit.grid(nullptr, {{"動作モード", ComboBox1},
                                         {"点灯時間／ON/OFF", EdTime},
                                         {nullptr, kit.label(QStringLiteral("（時間：*50ms、ON->1,OFF->0）"))}}),
                      kit.confirmRow(OKBtn, CancelBtn)});
}

TSetLEDBUZDlg::TSetLEDBUZDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("SetLEDBUZDlg"), QStringLiteral("LED&BUZ制御"));
    EdPort = byteEdit(kit, "EdPort");
    ComboBox1 = kit.comboBox(QStringLiteral("ComboBox1"), ledModes);
    EdTime = byteEdit(kit, "EdTime");
    EdBuzMode = byteEdit(kit, "EdBuzMode");
    EdBuzTime = byteEdit(kit, "EdBuzTime");
    kit.column(this, {kit.grid(nullptr, {{"LEDポート", EdPort},
                                         {"動作モード", ComboBox1},
                                         {"点灯時間（*200ms、ON->1,OFF->0）", EdTime},
                                         {"ブザー音", EdBuzMode},
                                         {"ブザー時間（*200ms、0->未使用）", EdBuzTime}}),
                      kit.confirmRow(OKBtn, CancelBtn)});
}

TRYSelDlg::TRYSelDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("RYSelDlg"), QStringLiteral("アンテナの選択"));
    QStringList antennas;
    for (const QChar digit : QStringLiteral("１２３４５６７８"))
        antennas << QStringLiteral("アンテナ") + digit;
    RadioGroup1 = kit.choiceGroup(QStringLiteral("RadioGroup1"), QStringLiteral("アンテナの選択"), antennas, 2);
    kit.column(this, {RadioGroup1, kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("設定"))});
}
