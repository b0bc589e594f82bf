#include "app/ConnectionDialogs.h"

#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"
#include "platform/MessageService.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// The confirming button (the default one) and "キャンセル".
void makeConfirmButtons(QDialog *dialog, const QString &okText, QPushButton *&ok, QPushButton *&cancel)
{
    ok = makeButton(okText, "OKBtn", dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    cancel = makeButton(QStringLiteral("キャンセル"), "CancelBtn", dialog);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

QLabel *makeLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

TIntEdit *makeIntEdit(const QString &name, int32_t min, int32_t max, QWidget *parent)
{
    auto *edit = new TIntEdit(parent);
    edit->setObjectName(name);
    edit->SetRadix(10);
    edit->SetMinValue(min);
    edit->SetMaxValue(max);
    return edit;
}

// A two-choice radio group whose item index is the button id.
QButtonGroup *makeChoiceGroup(QGroupBox *box, const QStringList &items, const QString &name, int columns)
{
    auto *group = new QButtonGroup(box);
    group->setObjectName(name);
    auto *layout = new QGridLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *radio = new QRadioButton(items[i], box);
        radio->setObjectName(name + QString::number(i));
        group->addButton(radio, i);
        layout->addWidget(radio, i / columns, i % columns);
    }
    return group;
}

void checkItem(QButtonGroup *group, int index)
{
    if (QAbstractButton *button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    // No item for this index: no button is checked.
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

} // namespace

// --- TGuage1Dlg ---

TGuage1Dlg::TGuage1Dlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("Guage1Dlg"));
    setWindowTitle(QStringLiteral("変換実行中"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(260);
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    ProgressBar1 = new QProgressBar(Panel2);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    auto *panelLayout = new QVBoxLayout(Panel2);
    panelLayout->addWidget(ProgressBar1);
    Button1 = makeButton(QStringLiteral("&Cancel"), "Button1", this);
    connect(Button1, &QPushButton::clicked, this, &TGuage1Dlg::Button1Click);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Panel2);
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
    setObjectName(QStringLiteral("PortCheck1"));
    setWindowTitle(QStringLiteral("ポートのチェック"));
    auto *text = new QLabel(QStringLiteral("ポートが開けません！！"), this);
    RetryBtn = makeButton(QStringLiteral("再試行"), "RetryBtn", this);
    ComPortBtn = makeButton(QStringLiteral("ＣＯＭポート"), "ComPortBtn", this);
    CancelBtn = makeButton(QStringLiteral("キャンセル"), "CancelBtn", this);
    connect(RetryBtn, &QPushButton::clicked, this, [this] { done(1); });
    connect(ComPortBtn, &QPushButton::clicked, this, [this] { done(5); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(2); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(RetryBtn);
    buttons->addWidget(ComPortBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
}

// --- TSetIPAddr1Dlg ---

TSetIPAddr1Dlg::TSetIPAddr1Dlg(QWidget *owner, const tagTCPIPPara &param)
    : TSetIPAddr1Dlg(owner, param, listIpv4Adapters())
{
}

TSetIPAddr1Dlg::TSetIPAddr1Dlg(QWidget *owner, const tagTCPIPPara &param, const QList<AdapterEntry> &adapters)
    : RadixDialog(owner), Param(param), Adapters(adapters)
{
    setObjectName(QStringLiteral("SetIPAddr1Dlg"));
    setWindowTitle(QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定"));

    auto *heading = new QLabel(QStringLiteral("ＰＣのTCP/IPの設定"), this);
    auto *modeBox = new QGroupBox(QStringLiteral("TCP/IP動作モード（PC側）"), this);
    modeBox->setObjectName(QStringLiteral("RGIPModeBox"));
    RGIPMode = makeChoiceGroup(modeBox, {QStringLiteral("クライアント"), QStringLiteral("サーバー")},
                               QStringLiteral("RGIPMode"), 2);
    connect(RGIPMode, &QButtonGroup::idClicked, this, [this](int) { RGIPModeClick(); });

    auto *target = new QGroupBox(QStringLiteral("接続先"), this);
    auto *targetLayout = new QGridLayout(target);
    auto *octets = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        Ed_CIP[i] = makeIntEdit(QStringLiteral("Ed_CIP%1").arg(i + 1), 0, 255, target);
        octets->addWidget(Ed_CIP[i]);
    }
    Ed_CPortNum = makeIntEdit(QStringLiteral("Ed_CPortNum"), 0, 64000, target);
    Ed_SPortNum = makeIntEdit(QStringLiteral("Ed_SPortNum"), 0, 64000, target);
    targetLayout->addWidget(makeLabel(QStringLiteral("IPアドレス"), Ed_CIP[0], target), 0, 0);
    targetLayout->addLayout(octets, 0, 1);
    targetLayout->addWidget(makeLabel(QStringLiteral("ポート番号"), Ed_CPortNum, target), 1, 0);
    targetLayout->addWidget(Ed_CPortNum, 1, 1);
    targetLayout->addWidget(makeLabel(QStringLiteral("ポート番号"), Ed_SPortNum, target), 2, 0);
    targetLayout->addWidget(Ed_SPortNum, 2, 1);

    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("IP Address"), QStringLiteral("NET MASK")});
    StringGrid1->verticalHeader()->setVisible(false);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int, int) { StringGrid1Click(); });

    BtNetwork = makeButton(QStringLiteral("ネットワーク接続..."), "BtNetwork", this);
    connect(BtNetwork, &QPushButton::clicked, this, &TSetIPAddr1Dlg::BtNetworkClick);
    makeConfirmButtons(this, QStringLiteral("接続"), OKBtn, CancelBtn);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BtNetwork);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(modeBox);
    layout->addWidget(target);
    layout->addWidget(StringGrid1);
    layout->addLayout(buttons);

    const uint32_t targetAddress = ipv4FromText(Param.TCPServAddr);
    StringGrid1->setRowCount(static_cast<int>(Adapters.size()));
    for (int i = 0; i < Adapters.size(); ++i) {
        StringGrid1->setItem(i, 0, new QTableWidgetItem(ipv4Text(Adapters[i].address)));
        StringGrid1->setItem(i, 1, new QTableWidgetItem(ipv4Text(Adapters[i].mask)));
    }
    const AdapterChoice choice = chooseAdapter(Adapters, targetAddress);
    SelectedRow = choice.selectedRow;

    checkItem(RGIPMode, Param.fTCPServer);
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
    const bool server = RGIPMode->checkedId() == 1;
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
    Param.fTCPServer = RGIPMode->checkedId() == 1 ? 1 : 0;
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
    setObjectName(QStringLiteral("SetTCPIPDlg"));
    setWindowTitle(QStringLiteral("LAN接続の設定"));

    RadioGroup1 = new QGroupBox(QStringLiteral("動作モード"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1Buttons = makeChoiceGroup(RadioGroup1, {QStringLiteral("クライアント"), QStringLiteral("サーバー")},
                                         QStringLiteral("RadioGroup1Item"), 2);
    connect(RadioGroup1Buttons, &QButtonGroup::idClicked, this, [this](int) { RadioGroup1Click(); });

    auto *serverBox = new QGroupBox(QStringLiteral("サーバモード"), this);
    auto *serverLayout = new QHBoxLayout(serverBox);
    EdTCPPort = makeIntEdit(QStringLiteral("EdTCPPort"), 0, 65535, serverBox);
    serverLayout->addWidget(makeLabel(QStringLiteral("ポート番号"), EdTCPPort, serverBox));
    serverLayout->addWidget(EdTCPPort);

    auto *clientBox = new QGroupBox(QStringLiteral("クライアントモード"), this);
    auto *clientLayout = new QGridLayout(clientBox);
    auto *octets = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        EdTCPIP1[i] = new TFmtEdit(clientBox);
        EdTCPIP1[i]->setObjectName(QStringLiteral("EdTCPIP1_%1").arg(i + 1));
        EdTCPIP1[i]->SetFmtKind(fkInt);
        EdTCPIP1[i]->SetMinValue(QStringLiteral("0"));
        EdTCPIP1[i]->SetMaxValue(QStringLiteral("255"));
        EdTCPIP1[i]->SetValidChars(QStringLiteral("+-0123456789"));
        EdTCPIP1[i]->Loaded();
        if (i)
            octets->addWidget(new QLabel(QStringLiteral("："), clientBox));
        octets->addWidget(EdTCPIP1[i]);
    }
    EdTCPServPort = makeIntEdit(QStringLiteral("EdTCPServPort"), 0, 65535, clientBox);
    clientLayout->addWidget(makeLabel(QStringLiteral("サーバのアドレス"), EdTCPIP1[0], clientBox), 0, 0);
    clientLayout->addLayout(octets, 0, 1);
    clientLayout->addWidget(makeLabel(QStringLiteral("ポート番号"), EdTCPServPort, clientBox), 1, 0);
    clientLayout->addWidget(EdTCPServPort, 1, 1);

    makeConfirmButtons(this, QStringLiteral("設定"), OKBtn, CancelBtn);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(serverBox);
    layout->addWidget(clientBox);
    layout->addLayout(buttons);
}

int TSetTCPIPDlg::Mode() const
{
    return RadioGroup1Buttons->checkedId();
}

void TSetTCPIPDlg::SetMode(int index)
{
    checkItem(RadioGroup1Buttons, index);
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
    setObjectName(QStringLiteral("OpenCom1Dlg"));
    setWindowTitle(QStringLiteral("シリアルポートのオープン"));
    LBComPort = new QListWidget(this);
    LBComPort->setObjectName(QStringLiteral("LBComPort"));
    connect(LBComPort, &QListWidget::itemClicked, this, [this] { LBComPortClick(); });
    STComPort = new QLabel(this);
    STComPort->setObjectName(QStringLiteral("STComPort"));
    auto *speedBox = new QGroupBox(QStringLiteral("通信速度"), this);
    RGComSpeed =
        makeChoiceGroup(speedBox, {QStringLiteral("9600bps"), QStringLiteral("19.2kbps"), QStringLiteral("38.4kbps")},
                        QStringLiteral("RGComSpeed"), 1);
    CBAutoCheck = new QCheckBox(QStringLiteral("Auto Check"), this);
    CBAutoCheck->setObjectName(QStringLiteral("CBAutoCheck"));
    Button1 = makeButton(QStringLiteral("ポートの確認..."), "Button1", this);
    connect(Button1, &QPushButton::clicked, this, &TOpenCom1Dlg::Button1Click);
    makeConfirmButtons(this, QStringLiteral("Open"), OKBtn, CancelBtn);

    auto *left = new QVBoxLayout;
    left->addWidget(STComPort);
    left->addWidget(LBComPort);
    auto *right = new QVBoxLayout;
    right->addWidget(speedBox);
    right->addWidget(CBAutoCheck);
    right->addWidget(Button1);
    right->addStretch();
    right->addWidget(OKBtn);
    right->addWidget(CancelBtn);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
    UpdateOpenButton();
}

int TOpenCom1Dlg::SpeedIndex() const
{
    return RGComSpeed->checkedId();
}

void TOpenCom1Dlg::SetSpeedIndex(int index)
{
    checkItem(RGComSpeed, index);
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
