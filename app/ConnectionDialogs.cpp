#include "app/ConnectionDialogs.h"

#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"
#include "platform/MessageService.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>

// --- TGuage1Dlg ---

TGuage1Dlg::TGuage1Dlg(QWidget *owner) : QDialog(owner)
{
    const DialogKit kit(this, "Guage1Dlg", QStringLiteral("変換実行中"));
    Label1 = kit.label(QString(), nullptr, "Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(260);
    Panel2 = DialogKit::named(new QFrame(this), "Panel2");
    ProgressBar1 = DialogKit::named(new QProgressBar(Panel2), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    kit.column(Panel2, {ProgressBar1});
    Button1 = kit.button("Button1", "&Cancel");
    connect(Button1, &QPushButton::clicked, this, &TGuage1Dlg::Button1Click);
    QVBoxLayout *layout = kit.column(this, {Label1, Panel2});
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
}

void TGuage1Dlg::showEvent(QShowEvent *event)
{
    fRun = 1;
    QDialog::showEvent(event);
}

void TGuage1Dlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TGuage1Dlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

// --- TPortCheck1 ---

TPortCheck1::TPortCheck1(QWidget *owner) : QDialog(owner)
{
    const DialogKit kit(this, "PortCheck1", QStringLiteral("ポートのチェック"));
    RetryBtn = kit.button("RetryBtn", "再試行");
    ComPortBtn = kit.button("ComPortBtn", "ＣＯＭポート");
    CancelBtn = kit.button("CancelBtn", "キャンセル");
    connect(RetryBtn, &QPushButton::clicked, this, [this] { done(1); });
    connect(ComPortBtn, &QPushButton::clicked, this, [this] { done(5); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(2); });
    DialogKit::installConfirmKeys(this, nullptr, CancelBtn);
    kit.column(this, {kit.label("ポートが開けません！！"), kit.row(nullptr, {RetryBtn, ComPortBtn, CancelBtn})});
}

// --- TSetIPAddr1Dlg ---

TSetIPAddr1Dlg::TSetIPAddr1Dlg(QWidget *owner, const tagTCPIPPara &param)
    : TSetIPAddr1Dlg(owner, param, listIpv4Adapters())
{
}

TSetIPAddr1Dlg::TSetIPAddr1Dlg(QWidget *owner, const tagTCPIPPara &param, const QList<AdapterEntry> &adapters)
    : RadixDialog(owner), Param(param), Adapters(adapters)
{
    const DialogKit kit(this, "SetIPAddr1Dlg", QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定"));
    RGIPMode = kit.choiceGroup("RGIPMode", "TCP/IP動作モード（PC側）", {"クライアント", "サーバー"}, 2);
    connect(RGIPMode, &ChoiceGroup::itemClicked, this, [this](int) { RGIPModeClick(); });

    QGroupBox *target = kit.groupBox("GBTarget", "接続先");
    for (int i = 0; i < 4; ++i)
        Ed_CIP[i] = kit.intEdit(QStringLiteral("Ed_CIP%1").arg(i + 1), {0, 255, 10});
    Ed_CPortNum = kit.intEdit("Ed_CPortNum", {0, 64000, 10});
    Ed_SPortNum = kit.intEdit("Ed_SPortNum", {0, 64000, 10});
    kit.grid(target, {{"IPアドレス", kit.row(nullptr, {Ed_CIP[0], Ed_CIP[1], Ed_CIP[2], Ed_CIP[3]})},
                      {"ポート番号", Ed_CPortNum},
                      {"ポート番号", Ed_SPortNum}});

    StringGrid1 = DialogKit::named(new QTableWidget(0, 2, this), "StringGrid1");
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("IP Address"), QStringLiteral("NET MASK")});
    StringGrid1->verticalHeader()->setVisible(false);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int, int) { StringGrid1Click(); });

    BtNetwork = kit.button("BtNetwork", "ネットワーク接続...");
    connect(BtNetwork, &QPushButton::clicked, this, &TSetIPAddr1Dlg::BtNetworkClick);
    kit.confirmButtons(OKBtn, CancelBtn, "接続");
    kit.column(this, {kit.label("ＰＣのTCP/IPの設定"), RGIPMode, target, StringGrid1,
                      kit.row(nullptr, {BtNetwork, LayoutCell::stretch(), OKBtn, CancelBtn})});

    const uint32_t targetAddress = ipv4FromText(Param.TCPServAddr);
    StringGrid1->setRowCount(static_cast<int>(Adapters.size()));
    for (int i = 0; i < Adapters.size(); ++i) {
        StringGrid1->setItem(i, 0, new QTableWidgetItem(ipv4Text(Adapters[i].address)));
        StringGrid1->setItem(i, 1, new QTableWidgetItem(ipv4Text(Adapters[i].mask)));
    }
    const AdapterChoice choice = chooseAdapter(Adapters, targetAddress);
    SelectedRow = choice.selectedRow;

    RGIPMode->setItemIndex(Param.fTCPServer);
    RGIPModeClick();
    Ed_SPortNum->SetValue(Param.TCPPort);
    Ed_CPortNum->SetValue(Param.TCPServPort);
    for (int i = 0; i < 4; ++i) {
        Ed_CIP[i]->SetValue(octetOf(choice.shownAddress, i));
        Ed_CIP[i]->setEnabled(octetOf(choice.lockMask, i) != 255);
    }
    paintSelection();
}

void TSetIPAddr1Dlg::RGIPModeClick()
{
    const bool server = RGIPMode->itemIndex() == 1;
    Ed_CPortNum->setEnabled(!server);
    Ed_SPortNum->setEnabled(server);
}

void TSetIPAddr1Dlg::StringGrid1Click()
{
    const int row = StringGrid1->currentRow() + 1;
    if (row < 1 || row > Adapters.size())
        return;
    SelectedRow = row;
    paintSelection();
    const AdapterEntry &entry = Adapters[row - 1];
    for (int i = 0; i < 4; ++i) {
        Ed_CIP[i]->SetValue(octetOf(entry.address, i));
        Ed_CIP[i]->setEnabled(octetOf(entry.mask, i) < 255);
    }
}

void TSetIPAddr1Dlg::paintSelection()
{
    const QColor aqua(0, 255, 255);
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        for (int c = 0; c < StringGrid1->columnCount(); ++c) {
            if (QTableWidgetItem *cell = StringGrid1->item(r, c))
                cell->setBackground(r + 1 == SelectedRow ? QBrush(aqua) : QBrush());
        }
    }
}

void TSetIPAddr1Dlg::BtNetworkClick()
{
    openSystemTool(QStringLiteral("network"), this);
}

void TSetIPAddr1Dlg::OKBtnClick()
{
    Param.fTCPServer = RGIPMode->itemIndex() == 1 ? 1 : 0;
    Param.TCPPort = Ed_SPortNum->GetValue();
    Param.TCPServPort = Ed_CPortNum->GetValue();
    int octets[4];
    for (int i = 0; i < 4; ++i)
        octets[i] = Ed_CIP[i]->GetValue();
    Param.TCPServAddr = joinOctets(octets);
}

void TSetIPAddr1Dlg::done(int result)
{
    if (result == QDialog::Accepted) {
        if (!leaveFocusedField())
            return;
        OKBtnClick();
    }
    QDialog::done(result);
}

// --- TSetTCPIPDlg ---

TSetTCPIPDlg::TSetTCPIPDlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, "SetTCPIPDlg", QStringLiteral("LAN接続の設定"));
    RadioGroup1 = kit.choiceGroup("RadioGroup1", "動作モード", {"クライアント", "サーバー"}, 2);
    connect(RadioGroup1, &ChoiceGroup::itemClicked, this, [this](int) { RadioGroup1Click(); });

    QGroupBox *serverBox = kit.groupBox("GBServer", "サーバモード");
    EdTCPPort = kit.intEdit("EdTCPPort", {0, 65535, 10});
    kit.row(serverBox, {"ポート番号", EdTCPPort});

    QGroupBox *clientBox = kit.groupBox("GBClient", "クライアントモード");
    for (int i = 0; i < 4; ++i)
        EdTCPIP1[i] = kit.fmtIntEdit(QStringLiteral("EdTCPIP1_%1").arg(i + 1), 0, 255);
    EdTCPServPort = kit.intEdit("EdTCPServPort", {0, 65535, 10});
    QHBoxLayout *octets = kit.row(nullptr, {EdTCPIP1[0], kit.label("："), EdTCPIP1[1], kit.label("："), EdTCPIP1[2],
                                            kit.label("："), EdTCPIP1[3]});
    kit.grid(clientBox, {{"サーバのアドレス", octets}, {"ポート番号", EdTCPServPort}});

    kit.column(this, {RadioGroup1, serverBox, clientBox, kit.confirmRow(OKBtn, CancelBtn, "設定")});
}

int TSetTCPIPDlg::Mode() const
{
    return RadioGroup1->itemIndex();
}

void TSetTCPIPDlg::SetMode(int index)
{
    RadioGroup1->setItemIndex(index);
}

void TSetTCPIPDlg::RadioGroup1Click()
{
    const bool client = Mode() == 0;
    for (TFmtEdit *edit : EdTCPIP1)
        edit->setEnabled(client);
    EdTCPServPort->setEnabled(client);
    EdTCPPort->setEnabled(!client);
}

void TSetTCPIPDlg::SetAddressText(const QString &text)
{
    const SplitAddress split = splitDottedAddress(text);
    for (int i = 0; i < 4; ++i) {
        if (split.set[i])
            EdTCPIP1[i]->SetText(split.octets[i]);
    }
}

QString TSetTCPIPDlg::AddressText() const
{
    int octets[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int value = EdTCPIP1[i]->GetText().trimmed().toInt(&ok, 10);
        octets[i] = ok ? qBound(0, value, 255) : 0;
    }
    return joinOctets(octets);
}

// --- TOpenCom1Dlg ---

TOpenCom1Dlg::TOpenCom1Dlg(QWidget *owner) : QDialog(owner)
{
    const DialogKit kit(this, "OpenCom1Dlg", QStringLiteral("シリアルポートのオープン"));
    LBComPort = DialogKit::named(new QListWidget(this), "LBComPort");
    connect(LBComPort, &QListWidget::itemClicked, this, [this] { LBComPortClick(); });
    STComPort = kit.label(QString(), nullptr, "STComPort");
    RGComSpeed = kit.choiceGroup("RGComSpeed", "通信速度", {"9600bps", "19.2kbps", "38.4kbps"});
    CBAutoCheck = kit.checkBox("CBAutoCheck", "Auto Check");
    Button1 = kit.button("Button1", "ポートの確認...");
    connect(Button1, &QPushButton::clicked, this, &TOpenCom1Dlg::Button1Click);
    kit.confirmButtons(OKBtn, CancelBtn, "Open");
    kit.row(this, {kit.column(nullptr, {STComPort, LBComPort}),
                   kit.column(nullptr, {RGComSpeed, CBAutoCheck, Button1, LayoutCell::stretch(), OKBtn, CancelBtn})});
    UpdateOpenButton();
}

int TOpenCom1Dlg::SpeedIndex() const
{
    return RGComSpeed->itemIndex();
}

void TOpenCom1Dlg::SetSpeedIndex(int index)
{
    RGComSpeed->setItemIndex(index);
}

void TOpenCom1Dlg::LBComPortClick()
{
    if (const QListWidgetItem *item = LBComPort->currentItem())
        STComPort->setText(item->text());
}

void TOpenCom1Dlg::Button1Click()
{
    openSystemTool(QStringLiteral("devices"), this);
}

void TOpenCom1Dlg::UpdateOpenButton()
{
    OKBtn->setEnabled(LBComPort->count() > 0);
}

// --- desktop tools ---

void openSystemTool(const QString &kind, QWidget *parent)
{
    struct Tool {
        const char *program;
        QStringList arguments;
    };
    const QList<Tool> tools = kind == QLatin1String("network")
                                  ? QList<Tool>{{"nm-connection-editor", {}},
                                                {"gnome-control-center", {QStringLiteral("network")}},
                                                {"systemsettings", {QStringLiteral("kcm_networkmanagement")}}}
                                  : QList<Tool>{{"gnome-control-center", {QStringLiteral("usb")}},
                                                {"systemsettings", {QStringLiteral("kcm_usb")}}};
    for (const Tool &tool : tools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool.program));
        if (!path.isEmpty() && QProcess::startDetached(path, tool.arguments))
            return;
    }
    showMessage(kind == QLatin1String("network") ? QStringLiteral("ネットワークの設定ツールが見つかりません。")
                                                 : QStringLiteral("デバイスの確認ツールが見つかりません。"),
                parent);
}
