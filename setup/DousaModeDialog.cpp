#include "setup/DousaModeDialog.h"

#include "controls/DialogKit.h"
#include "setup/EepromFieldControls.h"

namespace
{
constexpr int pollingModeIndex = 3;
}

TDousaMode1Dlg::TDousaMode1Dlg(QWidget *owner, uint8_t modeFlags, uint8_t modeCode, uint16_t pollingTime, bool ver121)
    : RadixDialog(owner), ModeCode(modeCode), ModeFlags(modeFlags)
{
    DialogKit kit(this, QStringLiteral("DousaMode1Dlg"), QStringLiteral("動作モードの設定"));
    fields_ = std::make_unique<EepromFieldControls>(kit, EditorDousaMode, ver121);
    ComboBox1 = qobject_cast<QComboBox *>(fields_->control(QStringLiteral("ComboBox1")));
    GbBuzzer = qobject_cast<ChoiceGroup *>(fields_->control(QStringLiteral("GbBuzzer")));
    GbReadMode = qobject_cast<ChoiceGroup *>(fields_->control(QStringLiteral("GbReadMode")));
    RGAntiCol = qobject_cast<ChoiceGroup *>(fields_->control(QStringLiteral("RGAntiCol")));
    RGTxData = qobject_cast<ChoiceGroup *>(fields_->control(QStringLiteral("RGTxData")));
    CBSpeed = qobject_cast<QComboBox *>(fields_->control(QStringLiteral("CBSpeed")));
    EdPolTime = kit.intEdit(QStringLiteral("EdPolTime"), {0, 65535, 10});
    LabelPol1 = kit.label(QStringLiteral("ポーリング時間："), EdPolTime, QStringLiteral("LabelPol1"));
    LabelPol2 = kit.label(QStringLiteral("× ２００ｍｓ"), nullptr, QStringLiteral("LabelPol2"));
    CBWriteEEPROM = kit.checkBox(QStringLiteral("CBWriteEEPROM"), QStringLiteral("EEPROMへの書き込みを行う"));
    kit.confirmButtons(OKBtn, CancelBtn);
    CancelBtn->setText(QStringLiteral("ｷｬﾝｾﾙ"));

    kit.column(this, {kit.grid(nullptr, {{"動作モード：", ComboBox1}, {"通信スピード：", CBSpeed}}),
                      kit.grid(nullptr, {{GbBuzzer, GbReadMode}, {RGAntiCol, RGTxData}}),
                      kit.row(nullptr, {LabelPol1, EdPolTime, LabelPol2, LayoutCell::stretch()}), CBWriteEEPROM,
                      kit.row(nullptr, {LayoutCell::stretch(), OKBtn, CancelBtn})});

    fields_->show(ModeBytesToFields(modeFlags, modeCode, ver121));
    EdPolTime->SetValue(pollingTime);
    ComboBox1Change();
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TDousaMode1Dlg::ComboBox1Change);
    connect(CBSpeed, &QComboBox::currentIndexChanged, this, &TDousaMode1Dlg::ComboBox1Change);
}

TDousaMode1Dlg::~TDousaMode1Dlg() = default;

int TDousaMode1Dlg::PollingTime() const
{
    return EdPolTime->GetValue();
}

void TDousaMode1Dlg::ComboBox1Change()
{
    const bool polling = ComboBox1->currentIndex() == pollingModeIndex;
    EdPolTime->setVisible(polling);
    LabelPol1->setVisible(polling);
    LabelPol2->setVisible(polling);
}

void TDousaMode1Dlg::Button1Click()
{
    FieldsToModeBytes(fields_->values(1), ModeFlags, ModeCode);
}

void TDousaMode1Dlg::accept()
{
    if (!leaveFocusedField())
        return;
    Button1Click();
    RadixDialog::accept();
}
