#include "link/SerialSettingsDialog.h"

#include "controls/DialogKit.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

SerialLineSettings serialLineSettingsOf(const TCommX &port)
{
    SerialLineSettings line;
    line.baudRate = port.BitRate() == -1 ? 9600 : port.BitRate();
    line.dataBits = port.CharSize();
    line.parity = port.ParityBit();
    line.stopBits = port.StopBit();
    switch (port.FlowCtrl()) {
    case cfcRtsCts:
        line.flow = SerialLineSettings::FlowHardware;
        break;
    case cfcXonXoff:
        line.flow = SerialLineSettings::FlowXonXoff;
        break;
    default:
        line.flow = SerialLineSettings::FlowNone;
        break;
    }
    return line;
}

void applySerialLineSettings(const SerialLineSettings &line, TCommX &port)
{
    port.SetBitRate(line.baudRate);
    port.SetCharSize(line.dataBits);
    port.SetStopBit(line.stopBits);
    port.SetParityBit(line.parity);
    port.SetFlowCtrl(cfcNone);
    if (line.flow == SerialLineSettings::FlowHardware)
        port.SetFlowCtrl(cfcRtsCts);
    else if (line.flow == SerialLineSettings::FlowXonXoff)
        port.SetFlowCtrl(cfcXonXoff);
}

SerialSettingsDialog::SerialSettingsDialog(QWidget *parent) : QDialog(parent)
{
    const DialogKit kit(this, "SerialSettingsDialog", QString());
    baudRate_ = kit.comboBox("CBBitRate");
    baudRate_->setEditable(true);
    baudRate_->lineEdit()->setValidator(new QIntValidator(10, 4000000, baudRate_));
    for (int rate : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200, 128000, 256000})
        baudRate_->addItem(QString::number(rate), rate);

    dataBits_ = kit.comboBox("CBDataBits");
    for (int bits = 5; bits <= 8; ++bits)
        dataBits_->addItem(QString::number(bits), bits);
    dataBits_->setCurrentIndex(dataBits_->count() - 1);

    parity_ = kit.comboBox("CBParity");
    parity_->addItem(QStringLiteral("なし"), cpbNone);
    parity_->addItem(QStringLiteral("奇数"), cpbOdd);
    parity_->addItem(QStringLiteral("偶数"), cpbEven);

    stopBits_ = kit.comboBox("CBStopBits");
    stopBits_->addItem(QStringLiteral("1"), csb1);
    stopBits_->addItem(QStringLiteral("1.5"), csb1p5);
    stopBits_->addItem(QStringLiteral("2"), csb2);

    flow_ = kit.comboBox("CBFlowControl");
    flow_->addItem(QStringLiteral("Xon / Xoff"), SerialLineSettings::FlowXonXoff);
    flow_->addItem(QStringLiteral("ハードウェア"), SerialLineSettings::FlowHardware);
    flow_->addItem(QStringLiteral("なし"), SerialLineSettings::FlowNone);

    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    kit.column(this, {kit.grid(nullptr, {{"ビット/秒(&B):", baudRate_},
                                         {"データ ビット(&D):", dataBits_},
                                         {"パリティ(&P):", parity_},
                                         {"ストップ ビット(&S):", stopBits_},
                                         {"フロー制御(&F):", flow_}}),
                      kit.confirmRow(ok, cancel)});
}

namespace
{

void selectData(QComboBox *combo, int value)
{
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

void SerialSettingsDialog::setSettings(const SerialLineSettings &line)
{
    const int rateIndex = baudRate_->findData(line.baudRate);
    if (rateIndex >= 0)
        baudRate_->setCurrentIndex(rateIndex);
    else
        baudRate_->setEditText(QString::number(line.baudRate));
    selectData(dataBits_, line.dataBits);
    selectData(parity_, line.parity);
    selectData(stopBits_, line.stopBits);
    selectData(flow_, line.flow);
}

SerialLineSettings SerialSettingsDialog::settings() const
{
    SerialLineSettings line;
    bool ok = false;
    const int rate = baudRate_->currentText().toInt(&ok);
    line.baudRate = ok && rate >= 10 ? rate : 9600;
    line.dataBits = dataBits_->currentData().toInt();
    line.parity = static_cast<TCommParityBits>(parity_->currentData().toInt());
    line.stopBits = static_cast<TCommStopBits>(stopBits_->currentData().toInt());
    line.flow = static_cast<SerialLineSettings::Flow>(flow_->currentData().toInt());
    return line;
}
