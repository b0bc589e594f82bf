#include "link/SerialSettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SerialLineSettings serialLineSettingsOf(const TCommX &port)
{
    SerialLineSettings line;
    line.baudRate = port.BitRate == -1 ? 9600 : port.BitRate;
    line.dataBits = port.CharSize;
    line.parity = port.ParityBit;
    line.stopBits = port.StopBit;
    switch (port.FlowCtrl) {
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
    port.BitRate = line.baudRate;
    port.CharSize = line.dataBits;
    port.StopBit = line.stopBits;
    port.ParityBit = line.parity;
    port.FlowCtrl = cfcNone;
    if (line.flow == SerialLineSettings::FlowHardware)
        port.FlowCtrl = cfcRtsCts;
    else if (line.flow == SerialLineSettings::FlowXonXoff)
        port.FlowCtrl = cfcXonXoff;
}

namespace
{

QComboBox *addRow(QFormLayout *form, const QString &objectName, const QString &label)
{
    auto *combo = new QComboBox;
    combo->setObjectName(objectName);
    auto *caption = new QLabel(label);
    caption->setBuddy(combo);
    form->addRow(caption, combo);
    return combo;
}

} // namespace

SerialSettingsDialog::SerialSettingsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SerialSettingsDialog"));
    auto *form = new QFormLayout;
    baudRate_ = addRow(form, QStringLiteral("CBBitRate"), QStringLiteral("ビット/秒(&B):"));
    baudRate_->setEditable(true);
    baudRate_->lineEdit()->setValidator(new QIntValidator(10, 4000000, baudRate_));
    for (int rate : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200, 128000, 256000})
        baudRate_->addItem(QString::number(rate), rate);

    dataBits_ = addRow(form, QStringLiteral("CBDataBits"), QStringLiteral("データ ビット(&D):"));
    for (int bits = 5; bits <= 8; ++bits)
        dataBits_->addItem(QString::number(bits), bits);
    dataBits_->setCurrentIndex(dataBits_->count() - 1);

    parity_ = addRow(form, QStringLiteral("CBParity"), QStringLiteral("パリティ(&P):"));
    parity_->addItem(QStringLiteral("なし"), cpbNone);
    parity_->addItem(QStringLiteral("奇数"), cpbOdd);
    parity_->addItem(QStringLiteral("偶数"), cpbEven);

    stopBits_ = addRow(form, QStringLiteral("CBStopBits"), QStringLiteral("ストップ ビット(&S):"));
    stopBits_->addItem(QStringLiteral("1"), csb1);
    stopBits_->addItem(QStringLiteral("1.5"), csb1p5);
    stopBits_->addItem(QStringLiteral("2"), csb2);

    flow_ = addRow(form, QStringLiteral("CBFlowControl"), QStringLiteral("フロー制御(&F):"));
    flow_->addItem(QStringLiteral("Xon / Xoff"), SerialLineSettings::FlowXonXoff);
    flow_->addItem(QStringLiteral("ハードウェア"), SerialLineSettings::FlowHardware);
    flow_->addItem(QStringLiteral("なし"), SerialLineSettings::FlowNone);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
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
