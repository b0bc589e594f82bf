#pragma once

#include "app/LanBoardText.h"
#include "app/OptionSettings.h"
#include "app/RequestFlags.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QWidget;
class StringGridView;
class TAboutBox;
class TGateCountDlg;
class TGateCount2Dlg;
class TGuage1Dlg;
class MainWindowHubLink;
class PlainTextMemoSink;
class TTComXDlg;
class TTelNetCont1Dlg;
struct LineSpeed;

// The program's main window. It carries the settings of section "Option" as its own fields
// (through OptionSettings), the log, the result grid, the menus and tool bar, and owns the hub.
class TKV8AppForm : public QMainWindow, public OptionSettings
{
    Q_OBJECT

public:
    explicit TKV8AppForm(QWidget *owner = nullptr);
    ~TKV8AppForm() override;

    // --- components other code reaches ---
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    StringGridView *StringGrid1 = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QStackedWidget *Notebook1 = nullptr;
    QWidget *PageRS232C = nullptr;
    QWidget *PageTCPIP = nullptr;
    QCheckBox *CBReOpen = nullptr;
    QComboBox *CBCOMPort = nullptr;
    QComboBox *CBSpeed = nullptr;
    QPushButton *BtReOpen = nullptr;
    QLabel *ST_TCPAddress = nullptr;
    QLabel *ST_TCPPORT = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *PopupMenu1 = nullptr;

    // A menu item, sub-menu, pop-up item, tool button or action by its name (null if none).
    QAction *Item(const QString &name) const;

    // --- fields ---
    QString IniFileName; // the settings file, built once at construction
    int fLogOn = 1;
    int SavedDispTxInfo = 0;
    int SavedDispRecInfo = 0;
    int fShowEEPROMInit = 0;
    uint8_t MydData[8] = {};
    uint8_t CurrentUid[8] = {};
    uint8_t CurrentSid[4] = {};
    uint8_t TagDSFID = 0;
    uint8_t TagAFI = 0;
    uint8_t TagICRef = 0;
    uint8_t TagInfoFlags = 0;
    uint8_t TagMemSize[2] = {};
    uint8_t BlockNo = 0;

    // --- log ---
    void AddLog(const QString &line);
    // The pair doesn't nest; handlers take it through LogSuspendGuard (BusyGuards.h).
    void SuspendLog();
    void ResumeLog();

    // --- menu state ---
    // The menu rules' setters; in the test build a name that is not in the menus throws
    // std::logic_error naming it (elsewhere it is ignored).
    void setItemVisible(const char *name, bool visible);
    void setItemEnabled(const char *name, bool enabled);
    void UpdateMenuState(int extended);
    // The command-mode menus and tool buttons enabled (always, while fMenuDisp is set) or
    // disabled; the gate menu groups stay enabled.
    void EnableMenusForMode(bool enable);
    void ShowLockMenus();
    void ToolBar1DblClick(Qt::KeyboardModifiers modifiers);

    // "Main window disabled": the menu bar, the tool bar and the central widget, never the
    // window itself (that would disable its modal dialogs too). A handler takes it through
    // MainDisabledGuard (BusyGuards.h), which gives it back on every way out.
    void SetMainEnabled(bool enabled);
    bool MainEnabled() const;

    // --- connection start-up ---
    int RunIPAddrDialog();
    int RunTcpIpDialog();
    int OpenSerialAtStart();
    void SearchReader(const QStringList *ports);
    void ListSerialPorts(QStringList &list);
    void FillComPortList(int port, int comSpeed);
    // The hub's serial port set to this rate for the reopen that follows at once.
    void SetHubBitRate(int bitRate);
    // The number after the first three characters of a port name ("COM12" -> 12); 0 when none.
    static int portNumberOf(const QString &name);
    // After a serial port was (re)opened: with the window disabled and the log suspended, the
    // reader is asked for its ROM version when probe is set (and a hub exists); then the outcome
    // ("Find KV8 R/W", "Not Find KV8 R/W", "NG: Port Open", or an empty line) is logged.
    void ReportOpenedPort(bool probe);
    // Port n at each line speed in turn (the hub created at the first when there is none): true
    // once the reader answers its ROM version request. leaveClosedPort gives up on the port when
    // it doesn't open; otherwise the next speed is tried. beforeSpeed runs before each speed.
    bool ProbeSerialPort(int n, bool leaveClosedPort, const std::function<void(const LineSpeed &)> &beforeSpeed = {});
    int SetupTcpIpConnection(int forceClient);
    int WaitTcpConnect();
    // Creates the hub on the window's settings (kept in the global TComXDlg).
    void CreateHub(int comSpeed);
    // What the hub is handed as the main window, and where its log lines go.
    MainWindowHubLink *HubLink() const { return hubLink_.get(); }
    PlainTextMemoSink *LogSink() const { return memoSink_.get(); }
    // The gauge of a running connection wait (null when none runs).
    TGuage1Dlg *RunningGauge() const;

    // Gate count records forwarded by the hub (identifier 10: M740, 11: M750): into the open
    // monitor of that model (a record shorter than the model's is ignored); any other message
    // is logged as its text up to the first zero byte.
    void WMCopyData(int dwData, const QByteArray &data);

    // --- handlers of this window ---
    void FormShow();
    void FileExit1Execute(QObject *Sender);
    void HelpAbout1Execute(QObject *Sender);
    void Timer1Timer();
    void MnFileSave1Click(QObject *Sender);
    void Copy1Click(QObject *Sender);
    // Opens the tag viewer (TagDataViewer.cpp).
    void MnTagData1Click(QObject *Sender);

    // --- result grid ---
    // Rows 1 .. RowCount - 1 as the CSV writes them.
    QList<QList<QByteArray>> GridRows() const;
    // The row the grid paints red (the hub's LastRecRow while its fDispCont1 is set), else -1.
    int HighlightedRow() const;

    // Menu commands run through this table: a handler family registers its handlers by item
    // name; an item without a handler does nothing. In the test build a name that is not in
    // the menus, or one registered twice, throws std::logic_error naming it.
    using MenuHandler = void (TKV8AppForm::*)(QObject *Sender);
    void RegisterHandler(const QString &itemName, MenuHandler handler);
    QStringList HandlerNames() const;
    void RunItem(const QString &itemName); // as a click on the item (tests and pop-up items)

    // Saves the settings and shuts the hub down; runs once, after every wait has unwound (the
    // program calls it when its event loop has ended, the destructor otherwise).
    void Shutdown();

    // ===== LAN board set-up and ping scan (MenuLanBoard.cpp) =====

    NetBoardRecord NetBoardSettings;
    // The board console's telnet port (tests give their stand-in's).
    quint16 TelnetPort = 23;

    void RegisterLanBoardHandlers();
    // The board's settings read into the settings dialog, edited, and written back and saved,
    // with the hub's LAN link closed meanwhile. The dialog's "出荷時設定" is offered while
    // fShowEEPROMInit is set (the maintenance items shown by Shift+Ctrl on the tool bar).
    void MnTelnet1Click(QObject *Sender);
    // Every setting and "save" over the open console; false from the first step that failed.
    // With the MAC, a successful save moves MacLow on to the next board's address.
    bool WriteNetBoardSettings(TTelNetCont1Dlg &telnet, bool withMac);
    void NextMacAddress();
    // The board's serial speed over its console: 1 when it is known to be the index's speed.
    int SetNetBoardSpeed(int speedIndex);
    void MnPingClick(QObject *Sender);

    // ===== connection changes (MenuConnection.cpp) =====

    void RegisterConnectionHandlers();
    void MnSetTCPIP1Click(QObject *Sender);
    // The three speed items: on LAN the reader and its board, otherwise the reader's line.
    void Mn384kbpsClick(QObject *Sender);
    int ChangeSerialSpeed(QObject *Sender);
    int ChangeReaderSpeed(QObject *Sender);
    void MnChkPortClick(QObject *Sender);
    void CheckPortSerial();
    void CheckPortLan();
    void BtReOpenClick();
    void MnComParaClick(QObject *Sender);

    // ===== environment settings, COM port choice and grid clear, in MenuEnvironment.cpp =====

    void RegisterEnvironmentHandlers();
    // The environment dialog on the live values of this window and the hub; OK applies them at
    // once (menus, grid columns, the reader ID of the next frame), the settings file takes them
    // when the window closes.
    void MnConfig1Click(QObject *Sender);
    // Reopens the hub's serial port on the port chosen from COM1..COM10.
    void MnSetCOMPortClick(QObject *Sender);
    // The read table and its grid, the read count, and the log while its page is shown.
    void MnGridClrClick(QObject *Sender);

    // ===== ISO 15693 menu ("ISO15693コマンド"), in MenuIso15693.cpp =====

    // Values last entered in the handlers' dialogs, offered again as defaults; kept for the
    // run only. TagByteValue is shared by WriteAFI and WriteDSFID, TagDataText by every
    // text-data dialog.
    uint8_t MultiBlockNo = 0;
    uint8_t MultiBlockCount = 0;
    int TagByteValue = 0;
    QString TagDataText;
    // Taken around a command when fTimeOut is set (class-library date-time: days as a double).
    double CmdStartTime = 0;
    double CmdEndTime = 0;

    void RegisterIso15693Handlers();
    RequestFlagSettings requestFlagSettings() const;
    // The steps after a handler's dialog (in HandlerKit.cpp): start time, send (false:
    // refused, nothing went out, so nothing more happens), the wait and the "実行時間: " line
    // (when fTimeOut is set) as steps say. Returns the wait's verdict; false without a hub and
    // when the program is closing.
    bool RunCommand(const std::function<bool(TTComXDlg &hub)> &send, TagSteps steps = TagSteps::WaitAndTime);
    // RunCommand for a tag command: the request flags by the row's rule, or its fixed byte.
    bool RunTagCommand(TagFlags flags, const std::function<bool(TTComXDlg &hub, uint8_t flags)> &send,
                       TagSteps steps = TagSteps::WaitAndTime);

    void MnInventoryClick(QObject *Sender);
    void Inventory21Click(QObject *Sender);
    void MnStayQuitClick(QObject *Sender);
    void MnReadSingleBlockClick(QObject *Sender);
    void MnWriteSingleBlockClick(QObject *Sender);
    void MnLockBlockClick(QObject *Sender);
    void MnReadMultiBlockClick(QObject *Sender);
    void MnWriteMultiBlockClick(QObject *Sender);
    void MnSelectTagClick(QObject *Sender);
    void MnResetToReadyClick(QObject *Sender);
    void MnWriteAFIClick(QObject *Sender);
    void MnLockAFIClick(QObject *Sender);
    void MnWrietDSFIDClick(QObject *Sender);
    void MNLockDSFIDClick(QObject *Sender);
    void MnGetSystemInfoClick(QObject *Sender);
    void MnGetMBlockSecStClick(QObject *Sender);
    void MnWrite2BlocksClick(QObject *Sender);
    void MnLock2BlocksClick(QObject *Sender);
    void Read1BlockSelect1Click(QObject *Sender);
    void Write1BlockSelect1Click(QObject *Sender);
    // Opens the command runner (CommandRunner.cpp), the hub's log in its memo meanwhile.
    void N14Click(QObject *Sender);

    // ===== end of the ISO 15693 menu =====

    // ===== TAG-IT, my-d and custom-command menus, in MenuCustomTag.cpp =====

    // Values last entered in these menus' dialogs, kept for the run only: the AFI of the
    // inventory reads and of the TI Light AFI write, and the TAG-IT SID poll's mask.
    int32_t InvAFIValue = 0;
    uint8_t SidMaskLen = 0;
    uint32_t SidMaskValue = 0;

    void RegisterCustomTagHandlers();

    void MnGetBlockClick(QObject *Sender);
    void MnGetVersionClick(QObject *Sender);
    void MnPutBlockClick(QObject *Sender);
    void MnPutBlockLockClick(QObject *Sender);
    void MnLockBlock2Click(QObject *Sender);
    void MnSID_PollClick(QObject *Sender);
    void MnQuietClick(QObject *Sender);

    void MnMydRead1Click(QObject *Sender);
    void MnMydWrite1Click(QObject *Sender);
    void MnMydWriteByte1Click(QObject *Sender);
    void MnMydWriteReread1Click(QObject *Sender);

    // Each on the "1" and "16" items of its sub-menu.
    void MnTIInventoryRead11Click(QObject *Sender);
    void MnTIInventoryMultiRead11Click(QObject *Sender);
    void MnTIInventoryGetSystemInfo11Click(QObject *Sender);
    void MnTIInventoryGetSecInfo11Click(QObject *Sender);
    void InventoryRead11Click(QObject *Sender);
    void FastInventoryRead11Click(QObject *Sender);

    void MnKill1Click(QObject *Sender);
    void WriteSingleBlockPwd1Click(QObject *Sender);
    void MnWrLightPassClick(QObject *Sender);
    void MnSetRPClick(QObject *Sender);
    void MnLightAFI1Click(QObject *Sender);

    void MnSetEAS1Click(QObject *Sender);
    void MnResetEAS1Click(QObject *Sender);
    void MnLockEAS1Click(QObject *Sender);
    void MnEASAlarm1Click(QObject *Sender);
    void MnMB89EAS1Click(QObject *Sender);
    void MnFujiEASONClick(QObject *Sender); // on "ON" and "OFF"
    void MnMB89RefreshClick(QObject *Sender);
    void MnMB89ReadMulitiBlocksUnlimited1Click(QObject *Sender);
    void MnACTIVATEEAS1Click(QObject *Sender);
    void MnDEACTIVATEEAS1Click(QObject *Sender);
    void POOLEAS1Click(QObject *Sender);

    // ===== end of the custom tag menus =====

    // ===== Reader parameters ("設定", "パラメータデータ"), in MenuReaderParams.cpp =====

    void RegisterReaderParamHandlers();
    void MnSetUserCodeClick(QObject *Sender);
    void MnSetAFIClick(QObject *Sender);
    void MnSetMemSWClick(QObject *Sender);
    void MnScanModeSetClick(QObject *Sender);
    void MnSetWaitTimerClick(QObject *Sender);
    void MnSetRWIDNUMClick(QObject *Sender);
    void MnChkDataTimeClick(QObject *Sender);
    void MnTXOffTime1Click(QObject *Sender);
    void MnTimingRegister1Click(QObject *Sender);
    void MnSetRetryClick(QObject *Sender);
    void MnSetBlockSizeClick(QObject *Sender);
    void MnEEPROMClick(QObject *Sender);
    void MnGetErrRateClick(QObject *Sender);
    void MnClearErrRateClick(QObject *Sender);
    void MnSelAntenaClick(QObject *Sender);
    void MnEASON1Click(QObject *Sender);
    void MnEASOFF1Click(QObject *Sender);
    void MnSetMemSw11Click(QObject *Sender);
    // One reader parameter (0xA0 .. 0xB1), picked by the sender among the items of "パラメータデータ".
    void MnSetTagIDClick(QObject *Sender);

    // ===== Run mode and operating mode, in MenuRunMode.cpp =====

    // Set by the restart command: the next run-mode switch first reads the reader's mode.
    int fReloadMode = 0;

    void RegisterRunModeHandlers();
    // The run-mode switch of "モード設定", the mode tool buttons and the pop-up mode items: the
    // sender picks the mode. Sends it without a wait and without changing Cmdmode.
    void MnSetCmdModeClick(QObject *Sender);
    // Reader parameter 0xAB bits 3 and 4 (TXOFF at inventory and at anticollision) set.
    void SetInvTxOffBits();
    void MnSetCmd1Click(QObject *Sender);
    void MnSetAuto1Click(QObject *Sender);
    void MnSetInv1Click(QObject *Sender);
    void MnSetDousaClick(QObject *Sender);

    // ===== Reader EEPROM editor ("EEPROMの設定..."), in MenuEeprom.cpp =====

    // The window's mirror of EEPROM area 2. The word dialogs use the first three; the
    // whole-image editor fills and reads Eep2Byte0 and MemSw78 only.
    int Eep2StartAddr = 1;
    int Eep2WordCount = 1;
    uint8_t Eep2Data[4] = {};
    uint16_t BuzFreqReg = 0;     // word 9
    uint8_t Eep2Byte0 = 0;       // byte 0, carried unchanged
    uint8_t ChgWaitTime = 0;     // byte 1
    uint16_t AntSelNum1 = 0;     // bytes 2-3
    uint16_t AntSelNum2 = 0;     // bytes 4-5
    uint8_t RdLoopParam[2] = {}; // bytes 6-7: read start block, read length
    uint8_t MemSw78[2] = {};     // bytes 8-9: memory switches 7 and 8
    int EepMem6 = 0;             // words 6-8
    int EepMem7 = 0;
    int EepMem8 = 0;
    uint8_t TagTestMode[2] = {}; // bytes 18-19

    void RegisterEepromHandlers();
    // The single dialog (fAllEEPROMSet 0) or the whole-image editor, with the window disabled.
    void MnSetEEPROMClick(QObject *Sender);
    void EditRomSettings();
    void EditAllEeprom();

    // ===== gate command menu ("ゲート用コマンド", "M750用コマンド"), in MenuGate.cpp =====

    // 1 while the M740 resp. M750 people-count monitor is shown (it then takes the counts that
    // the gate sends by itself); the monitor itself, null when none is shown.
    int fGateCountDlgOpen = 0;
    int fGateCount2DlgOpen = 0;
    TGateCountDlg *GateCountDlg = nullptr;
    TGateCount2Dlg *GateCount2Dlg = nullptr;

    void RegisterGateHandlers();

    void MnGateModeClick(QObject *Sender);
    void MnGeteEEPROMClick(QObject *Sender);
    void MnGateDispOutSateClick(QObject *Sender);
    void MnM750outinfoClick(QObject *Sender);
    void MnSensorStateClick(QObject *Sender);
    void MnGateEEPROM_READClick(QObject *Sender);
    void MnGateEEPROM_WRITEClick(QObject *Sender);
    void MnCountEEPROMClick(QObject *Sender);
    void MnCountDataClick(QObject *Sender);
    void MnM750mcountvaluClick(QObject *Sender);
    void MnContTimgResClick(QObject *Sender);
    void MnMelodyLEDCmdClick(QObject *Sender);
    void MnM750spkvolumeClick(QObject *Sender);
    void MnM750ROM1Click(QObject *Sender);
    void MnM750GetTypeClick(QObject *Sender);
    void MnM750ReStartClick(QObject *Sender);
    void MnM750BpsClick(QObject *Sender);
    void MnM750ProgModeClick(QObject *Sender);
    void IOBEEPROMCmdClick(QObject *Sender);
    void MnDispCountDlgClick(QObject *Sender);
    void MnM750GCountClick(QObject *Sender);

    // ===== end of the gate command menu =====

    // ===== EEPROM area 2 ("設定"), in MenuEeprom2.cpp =====

    void RegisterEeprom2Handlers();
    void MnReadEEPROM2Click(QObject *Sender);
    void MnSetEEPROM2Click(QObject *Sender);
    // The area-2 form, through the mirror of area 2.
    void EEPROM21Click(QObject *Sender);

    // ===== Reader parameter set ("R/Wのパラメータ設定..."), in MenuParamSet.cpp =====

    void RegisterParamSetHandlers();
    // In command mode only: the form's parameters written back, the reader restarted, and the
    // window following the mode it comes up in; "SET EEPROM : OK" or "... : NG" at the end.
    void MnSetPara3Click(QObject *Sender);
    // The reader's tag mode for a tag family: AM with 10% modulation (am 1) or FSK with 100%,
    // stored in its EEPROM too; 1 when acknowledged.
    int CheckTagMode(int am);

    // ===== Tag mode, EAS mode, one-bit toggles, buzzer and tag test ("設定"), in MenuTagMode.cpp =====

    void RegisterTagModeHandlers();
    // The tag-mode dialog; through MnModeSet3 it offers to store the mode in the EEPROM too.
    void MnSetMode2Click(QObject *Sender);
    // The tag family switch (MnSelTag1 or MnSelTag2): the mode, four EEPROM words, a restart.
    void MnSelTag1Click(QObject *Sender);
    void MnEnableEAS1Click(QObject *Sender);
    // One bit of an EEPROM word, set by the pair's first item and cleared by the other.
    void MnInventoryAFI_ONClick(QObject *Sender);
    void MnAFIOffClick(QObject *Sender);
    void MnNoReadCmd_ONClick(QObject *Sender);
    void MnSetBuz_1Click(QObject *Sender);
    // The fixed 5 kHz buzzer (MnBuzFreq5KHz) or the frequency register (MnBuzFreq2KHz).
    void MnBuzFreq5KHzClick(QObject *Sender);
    void MnBuzFreq2Click(QObject *Sender);
    void MnRDLoop1Click(QObject *Sender);
    // The tag test mode on (MnTagTest1ON) or off as the power-on mode, and its parameters.
    void MnTagTest1ONClick(QObject *Sender);
    void MnTagTest1ParaClick(QObject *Sender);
    // ===== General reader commands ("汎用コマンド", "コマンド" > "モード受信"), in MenuReader.cpp =====

    // Values last entered in these dialogs, kept for the run only. The AFI, its check box, the
    // first block and the data length are shared by the 16-slot inventory and both read loops;
    // the 16-slot mask and its length have no visible field and stay 0.
    int Inv16MaskLen = 0;
    uint8_t Inv16Mask[8] = {};
    int LoopAFIValue = 0;
    int LoopUseAFI = 0;
    uint8_t Inv16Mode = 0;
    uint8_t ReadLoopMode = 0;
    int LoopStartBlock = 0;
    int LoopDataLen = 4;
    uint8_t LedBuzSettings[5] = {}; // port, LED mode, LED time, buzzer sound, buzzer time
    QString CmdOutpText;

    void RegisterReaderHandlers();

    void MnGetModeClick(QObject *Sender);
    void MnGetS6700ModeClick(QObject *Sender);
    void MnGetRomVerClick(QObject *Sender);
    void MnGetModelNameClick(QObject *Sender);
    void MnGetErrStatusClick(QObject *Sender);
    void MnIOPORT1InClick(QObject *Sender);
    void MnTxONClick(QObject *Sender); // on "ON", "OFF" and "OFF->ON"
    void MnPowerDownClick(QObject *Sender);
    void MnGetPWModeClick(QObject *Sender);
    void MnGetUIDNumClick(QObject *Sender);
    void MnGetCUIDClick(QObject *Sender);
    void MnQUIT_Cmd1Click(QObject *Sender); // on the three cancel-command items
    void MnRDLoopPolGetClick(QObject *Sender);

    void MnSetBuz1Click(QObject *Sender); // on both buzzer items
    void MnLED1Click(QObject *Sender);
    void MnLEDBUZ1Click(QObject *Sender);
    void MnReadRAM1Click(QObject *Sender);
    void MnWriteRAM1Click(QObject *Sender);
    void MnIOPORT2InClick(QObject *Sender);
    void MnWriteEXT1Click(QObject *Sender);
    void MnSelRyClick(QObject *Sender);
    void GetUIDDataClick(QObject *Sender);
    void MnSetCUIDClick(QObject *Sender);
    void MnPolWrite1Click(QObject *Sender);
    void ReadBytes1Click(QObject *Sender);
    void WriteBytes1Click(QObject *Sender);
    void MnLockBytes1Click(QObject *Sender);
    void Inventory16Slots1Click(QObject *Sender);
    void ReadLoop1Click(QObject *Sender);
    void MnRDLoopPolCmdClick(QObject *Sender);
    void MnCommRead1Click(QObject *Sender);
    void MnCommWrite1Click(QObject *Sender);
    void MnTransmit1Click(QObject *Sender);
    void MnSimpleReadClick(QObject *Sender);
    void MnCmdOutpClick(QObject *Sender);
    void MnDataWriteClick(QObject *Sender); // also the tool button TBtDataWrite
    // Restarts the reader: its mode is read again at the next run-mode switch.
    void MnRestartClick(QObject *Sender);
    void MnEEPROM1Click(QObject *Sender);

    // ===== end of the general reader commands =====

    // ===== Antenna switching and I/O ports ("設定"), in MenuAntenna.cpp =====

    void RegisterAntennaHandlers();
    // The shared antenna dialog for the N520D board, the external switch board and the I/O ports.
    void MnKV8N520D1Click(QObject *Sender);
    void MnSelAnt2Click(QObject *Sender);
    void MnSetIO1Click(QObject *Sender);
    // Anticollision handled normally or fast (MnAntiFast), from ROM 1.21 on.
    void MnAntiNormalClick(QObject *Sender);
    // The trigger input during inventory on (MnInvTrigON) or off.
    void MnInvTrigONClick(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // MnSetPara3Click between its busy guard: whether the closing line says OK.
    bool runParamSet();
    void buildLayout();
    void buildMenus();
    void buildToolBar();
    QAction *ruleItem(const char *name) const;
    // The grid's column titles; the fifth column only with the in/out format.
    void SetGridTitles();
    void runAction(QAction *action);
    // Presses a mode tool button and runs the run-mode switch with it as the sender.
    void pressModeButton(const char *name);
    void FormClose();
    void CBReOpenClick();
    // The connection wait: 1 once the hub is connected; 0 when the operator cancelled or the
    // program is closing. The gauge is gone on return.
    int runConnectionWait();
    // The progress box of the waits, not yet shown: caption "しばらくお待ちください", the text
    // also in the status line, no bar, the cancel button only when asked for.
    TGuage1Dlg *makeWaitGauge(const QString &text, bool cancellable);

    std::unique_ptr<MainWindowHubLink> hubLink_;
    std::unique_ptr<PlainTextMemoSink> memoSink_;
    QPointer<TGuage1Dlg> gauge_;
    QHash<QString, QAction *> items_;
    QHash<QString, MenuHandler> handlers_;
    bool firstShowDone_ = false;
    bool closed_ = false;
    bool shutDown_ = false;
    QMetaObject::Connection idleConnection_;
};

extern TKV8AppForm *KV8AppForm;
