#include "app/KV8AppForm.h"

#include "app/AboutBox.h"
#include "app/ConnectionDialogs.h"
#include "app/GridCsv.h"
#include "app/HubLink.h"
#include "link/GateRecords.h"
#include "link/ResultGrid.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/Cp932.h"
#include "platform/FileDialogService.h"
#include "platform/MemoSink.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/GateCountMonitor.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <exception>
#include <stdexcept>

TKV8AppForm *KV8AppForm = nullptr;

namespace
{

// Wide enough for the whole menu bar and the tool bar with its connection page.
constexpr int designWidth = 780;
constexpr int inOutExtraWidth = 65;

// Paints the row counted last in red (the others black) while the hub asks for it.
class LastRowDelegate : public QStyledItemDelegate
{
public:
    LastRowDelegate(TKV8AppForm *form) : QStyledItemDelegate(form), form_(form) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int row = form_->HighlightedRow();
        if (row < 0)
            return;
        const QColor colour = index.row() + 1 == row ? QColor(255, 0, 0) : QColor(0, 0, 0);
        option->palette.setColor(QPalette::Text, colour);
        option->palette.setColor(QPalette::HighlightedText, colour);
    }

private:
    TKV8AppForm *form_;
};

} // namespace

TKV8AppForm::TKV8AppForm(QWidget *owner) : QMainWindow(owner)
{
    setObjectName(QStringLiteral("KV8AppForm"));
    setApplicationClosing(false);
    TComXDlg = nullptr;
    buildLayout();
    memoSink_ = std::make_unique<PlainTextMemoSink>(Memo1);
    hubLink_ = std::make_unique<MainWindowHubLink>(*this);
    buildMenus();
    buildToolBar();

    IniFileName = settingsFilePath();
    LoadSettings(IniFileName, *this);

    setItemVisible("MnM750_Sepa", fM750 && fM750Cmd);
    setItemVisible("MnM750ReStart", fM750 && fM750Cmd);
    setItemVisible("MnM750Bps", fM750 && fM750Cmd);
    setItemVisible("MnM750ProgMode", fM750 && fM750Cmd);
    setItemVisible("ReadLoopPolling1", fCustomCmd1 != 0);
    setItemVisible("Inventory16Slots1", fUseInv16SlotsCmd != 0);
    setItemVisible("MnSetSpeed", fVER121 != 0);
    setItemVisible("MnSetAnci", fVER121 != 0);

    SetGridTitles();

    // The idle moment: the event queue has gone empty and the thread is about to sleep.
    idleConnection_ = connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                              &TKV8AppForm::ShowLockMenus);
    setItemVisible("MnGateCmd", fGateCmd != 0);
    setItemVisible("M7501", fGateCmd && fM750);
    UpdateMenuState(0);

    RegisterHandler(QStringLiteral("FileExit1"), &TKV8AppForm::FileExit1Execute);
    RegisterHandler(QStringLiteral("HelpAbout1"), &TKV8AppForm::HelpAbout1Execute);
    RegisterEnvironmentHandlers();
    RegisterHandler(QStringLiteral("MnFileSave1"), &TKV8AppForm::MnFileSave1Click);
    RegisterHandler(QStringLiteral("Copy1"), &TKV8AppForm::Copy1Click);
    RegisterHandler(QStringLiteral("MnTagData1"), &TKV8AppForm::MnTagData1Click);
    RegisterIso15693Handlers();
    RegisterLanBoardHandlers();
    RegisterConnectionHandlers();
    RegisterCustomTagHandlers();
    RegisterReaderParamHandlers();
    RegisterRunModeHandlers();
    RegisterEepromHandlers();
    RegisterGateHandlers();
    RegisterEeprom2Handlers();
    RegisterParamSetHandlers();
    RegisterTagModeHandlers();
    RegisterAntennaHandlers();
    RegisterReaderHandlers();
}

TKV8AppForm::~TKV8AppForm()
{
    disconnect(idleConnection_);
    Shutdown();
    if (KV8AppForm == this)
        KV8AppForm = nullptr;
}

void TKV8AppForm::buildLayout()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralPanel"));
    setCentralWidget(central);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    StringGrid1 = new StringGridView(GridDesignRowCount - 1, 4, TabSheet1);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->verticalHeader()->setVisible(false);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setItemDelegate(new LastRowDelegate(this));
    auto *gridLayout = new QVBoxLayout(TabSheet1);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(StringGrid1);
    PageControl1->addTab(TabSheet1, QStringLiteral("受信データ"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    Memo1 = new QPlainTextEdit(TabSheet2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    auto *memoLayout = new QVBoxLayout(TabSheet2);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(Memo1);
    PageControl1->addTab(TabSheet2, QStringLiteral("ログ"));

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(StatusBar);
    StatusPanel0 = new QLabel(StatusBar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMinimumWidth(120);
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusBar->addWidget(StatusPanel0);
    StatusBar->addWidget(StatusPanel1, 1);

    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    PageRS232C = new QWidget;
    PageRS232C->setObjectName(QStringLiteral("RS232C"));
    CBReOpen = new QCheckBox(QStringLiteral("有効"), PageRS232C);
    CBReOpen->setObjectName(QStringLiteral("CBReOpen"));
    connect(CBReOpen, &QCheckBox::clicked, this, [this] { CBReOpenClick(); });
    CBCOMPort = new QComboBox(PageRS232C);
    CBCOMPort->setObjectName(QStringLiteral("CBCOMPort"));
    CBSpeed = new QComboBox(PageRS232C);
    CBSpeed->setObjectName(QStringLiteral("CBSpeed"));
    for (const LineSpeed &speed : LineSpeeds)
        CBSpeed->addItem(QString::fromLatin1(speed.text));
    BtReOpen = new QPushButton(QStringLiteral("再オープン"), PageRS232C);
    BtReOpen->setObjectName(QStringLiteral("BtReOpen"));
    connect(BtReOpen, &QPushButton::clicked, this, [this] { BtReOpenClick(); });
    auto *serialLayout = new QHBoxLayout(PageRS232C);
    serialLayout->setContentsMargins(0, 0, 0, 0);
    serialLayout->addWidget(CBReOpen);
    serialLayout->addWidget(CBCOMPort);
    serialLayout->addWidget(CBSpeed);
    serialLayout->addWidget(BtReOpen);
    Notebook1->addWidget(PageRS232C);

    PageTCPIP = new QWidget;
    PageTCPIP->setObjectName(QStringLiteral("TCP_IP"));
    ST_TCPAddress = new QLabel(PageTCPIP);
    ST_TCPAddress->setObjectName(QStringLiteral("ST_TCPAddress"));
    ST_TCPPORT = new QLabel(PageTCPIP);
    ST_TCPPORT->setObjectName(QStringLiteral("ST_TCPPORT"));
    auto *tcpLayout = new QHBoxLayout(PageTCPIP);
    tcpLayout->setContentsMargins(0, 0, 0, 0);
    tcpLayout->addWidget(ST_TCPAddress);
    tcpLayout->addWidget(ST_TCPPORT);
    Notebook1->addWidget(PageTCPIP);
    // The tool bar gives the notebook the width of the page on show, not that of its widest
    // page, so the TCP/IP page doesn't push the tool bar into its overflow menu.
    auto fitPage = [this](int index) {
        for (int i = 0; i < Notebook1->count(); ++i)
            Notebook1->widget(i)->setSizePolicy(i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                                QSizePolicy::Preferred);
        Notebook1->updateGeometry();
    };
    connect(Notebook1, &QStackedWidget::currentChanged, this, fitPage);
    // Start-up takes the LAN road; its page stays empty until the connection is up.
    Notebook1->setCurrentWidget(PageTCPIP);
    fitPage(Notebook1->currentIndex());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TKV8AppForm::Timer1Timer);

    resize(designWidth, 520);
}

void TKV8AppForm::SetGridTitles()
{
    QStringList titles = {QStringLiteral("No."), QStringLiteral("データ数"), QStringLiteral("受信データ"),
                          QStringLiteral("ＵＩＤ")};
    if (fUseInOutFormat)
        titles << InOutTitle;
    StringGrid1->setColumnCount(static_cast<int>(titles.size()));
    StringGrid1->setHorizontalHeaderLabels(titles);
}

void TKV8AppForm::SetMainEnabled(bool enabled)
{
    menuBar()->setEnabled(enabled);
    if (ToolBar1)
        ToolBar1->setEnabled(enabled);
    centralWidget()->setEnabled(enabled);
}

bool TKV8AppForm::MainEnabled() const
{
    return centralWidget()->isEnabledTo(this);
}

// --- log ---

void TKV8AppForm::AddLog(const QString &line)
{
    if (!fLogOn)
        return;
    const QTextDocument *doc = Memo1->document();
    const int lines = doc->isEmpty() ? 0 : doc->blockCount();
    if (lines >= 1000)
        Memo1->clear();
    Memo1->appendPlainText(line);
}

// The pair doesn't nest: a second SuspendLog does nothing, and one ResumeLog restores.
void TKV8AppForm::SuspendLog()
{
    if (!fLogOn)
        return;
    fLogOn = 0;
    if (TComXDlg) {
        SavedDispTxInfo = TComXDlg->fDispTxInfo;
        SavedDispRecInfo = TComXDlg->fDispRecInfo;
        TComXDlg->fDispTxInfo = 0;
        TComXDlg->fDispRecInfo = 0;
    }
}

void TKV8AppForm::ResumeLog()
{
    if (fLogOn)
        return;
    fLogOn = 1;
    if (TComXDlg) {
        TComXDlg->fDispTxInfo = SavedDispTxInfo;
        TComXDlg->fDispRecInfo = SavedDispRecInfo;
    }
}

// --- handlers ---

void TKV8AppForm::RegisterHandler(const QString &itemName, MenuHandler handler)
{
#ifdef KV8_TEST_BUILD
    if (!items_.contains(itemName))
        throw std::logic_error("a handler for an item that is not in the menus: " + itemName.toStdString());
    if (handlers_.contains(itemName))
        throw std::logic_error("a second handler for the item " + itemName.toStdString());
#endif
    handlers_.insert(itemName, handler);
}

QStringList TKV8AppForm::HandlerNames() const
{
    return handlers_.keys();
}

void TKV8AppForm::RunItem(const QString &itemName)
{
    if (QAction *action = Item(itemName))
        runAction(action);
}

void TKV8AppForm::runAction(QAction *action)
{
    const MenuHandler handler = handlers_.value(action->objectName(), nullptr);
    if (!handler)
        return;
    // Nothing may leave an event handler: an exception ends here in one message box.
    try {
        (this->*handler)(action);
    } catch (const std::exception &e) {
        showMessage(QString::fromLocal8Bit(e.what()), this);
    } catch (...) {
        showMessage(QStringLiteral("Exception"), this);
    }
}

void TKV8AppForm::FileExit1Execute(QObject *)
{
    close();
}

void TKV8AppForm::HelpAbout1Execute(QObject *)
{
    if (AboutBox)
        AboutBox->exec();
}

void TKV8AppForm::Copy1Click(QObject *)
{
    const QModelIndex cell = StringGrid1->currentIndex();
    QApplication::clipboard()->setText(cell.isValid() ? gridCellText(StringGrid1, cell.column(), cell.row() + 1)
                                                      : QString());
}

void TKV8AppForm::MnFileSave1Click(QObject *)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Save;
    request.initialFolder = programDirectory();
    request.fileName = programDirectory() + QStringLiteral("/datalist.csv");
    request.filters = QStringLiteral("CSVﾌｧｲﾙ (*.csv)");
    const QString chosen = askFile(this, request).path;
    if (chosen.isEmpty())
        return;
    const QString path = csvPathFor(chosen);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        showMessage(QStringLiteral("ファイル ") + path + QStringLiteral(" を作成できません。"), this);
        return;
    }
    file.write(csvText(GridRows()));
    if (!file.flush() || file.error() != QFileDevice::NoError)
        showMessage(QStringLiteral("ファイル ") + path + QStringLiteral(" を作成できません。"), this);
}

QList<QList<QByteArray>> TKV8AppForm::GridRows() const
{
    QList<QList<QByteArray>> rows;
    for (int r = 1; r < gridRowCount(StringGrid1); ++r) {
        QList<QByteArray> row;
        for (int c = 0; c < StringGrid1->columnCount(); ++c)
            row << gridCellBytes(StringGrid1, c, r);
        rows << row;
    }
    return rows;
}

int TKV8AppForm::HighlightedRow() const
{
    if (!TComXDlg || !TComXDlg->fDispCont1)
        return -1;
    return TComXDlg->LastRecRow;
}

void TKV8AppForm::Timer1Timer()
{
    if (TComXDlg)
        TComXDlg->PollReceive();
}

void TKV8AppForm::WMCopyData(int dwData, const QByteArray &data)
{
    if (dwData == 10 && fGateCountDlgOpen) {
        if (GateCountDlg && data.size() >= GateCountRecord::Size)
            GateCountDlg->ShowRecord(data);
        return;
    }
    if (dwData == 11 && fGateCount2DlgOpen) {
        if (GateCount2Dlg && data.size() >= GateCount2Record::Size)
            GateCount2Dlg->ShowRecord(data);
        return;
    }
    QByteArray text = data.left(255);
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    AddLog(cp932ToUnicode(text));
}

// --- life cycle ---

void TKV8AppForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The start-up road runs once, inside the event loop, so that closing the window from it
    // really ends the program; a window shown again after being restored doesn't run it again.
    if (!firstShowDone_) {
        firstShowDone_ = true;
        QMetaObject::invokeMethod(this, &TKV8AppForm::FormShow, Qt::QueuedConnection);
    }
}

void TKV8AppForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TKV8AppForm::FormClose()
{
    // Every running wait returns false from now on; the settings and the hub are dealt with
    // once those waits have unwound (Shutdown), so nothing on the stack meets a deleted hub.
    closed_ = true;
    setApplicationClosing(true);
    Timer1->stop();
    QCoreApplication::quit();
}

void TKV8AppForm::Shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    Timer1->stop();
    if (closed_)
        SaveSettings(IniFileName, *this);
    // The pointer is cleared before the hub goes, so no tick or repaint can reach it.
    if (TTComXDlg *hub = TComXDlg) {
        TComXDlg = nullptr;
        hub->FormCloseQuery();
        delete hub;
    }
}
