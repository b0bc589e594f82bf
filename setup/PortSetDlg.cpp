#include "setup/PortSetDlg.h"

#include "controls/DialogKit.h"

namespace
{

constexpr int portCount = 10;

} // namespace

TPortSetDlg::TPortSetDlg(QWidget *owner) : QDialog(owner)
{
    const DialogKit kit(this, "PortSetDlg", "COMポートの設定");
    QStringList ports;
    for (int n = 1; n <= portCount; ++n)
        ports << QStringLiteral("COM") + QString::number(n);
    RGSetPort = kit.choiceGroup("RGSetPort", "ポートの指定", ports, 2);
    kit.column(this, {RGSetPort, kit.confirmRow(OKBtn, CancelBtn, QStringLiteral("設定"))});
}

int TPortSetDlg::PortNo() const
{
    return RGSetPort->itemIndex() + 1;
}

void TPortSetDlg::SetPortNo(int n)
{
    RGSetPort->setItemIndex(n >= 1 && n <= portCount ? n - 1 : -1);
}
