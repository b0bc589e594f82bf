#include "app/KV8AppForm.h"
#include "app/ToolButtonAccess.h"

#include "link/ResultGrid.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>
#include <string>

namespace
{

// The whole menu tree: two blanks of indent per level; "name|caption|shortcut"; a caption of
// "-" is a separator. An item followed by deeper lines is a sub-menu.
const char *const mainMenuTree = R"(
MnFile|ファイル(&F)
  MnFileSave1|ファイルへの保存
  MnDataClear|データのクリア
  N1|-
  MnSetTCPIP1|LAN接続の設定...
  MnSetCOMPort|COMポートの設定...
  MnComPara|通信パラメータ...
  MnSetSpeed|通信スピードの設定
    Mn9600bps|9600bps
    Mn192kbps|19.2kbps
    Mn384kbps|38.4kbps
  MnChkPort|ポートチェック
  N2|-
  MnTelnet1|ネットワークボードの設定...
  MnPing|PINGの実行...
  N3|-
  FileExit1|終了(&X)
MnSetCmd|コマンド
  MnGetMode1|モード受信
    MnGetMode|モード
    MnGetS6700Mode|S6700のモード
  MnSetMode1|モード設定
    MnSetCmdMode|コマンドモード
    MnAutoScan|オートスキャン
    Test11|Test1
    Test21|Test2
    Test31|Test3
    Test41|Test4
    Test51|Test5
  MnSetDousa|動作モードの設定...
  N4|-
  MnGetErrRate|エラー率の取得
  MnClearErrRate|エラー率のクリア
MnDebug1|汎用コマンド
  MnGetRomVer|ＲＯＭバージョンの取得
  MnGetModelName|機種名の取得
  MnGetErrStatus|エラー状態の取得
  N5|-
  MnSetBuzzer1|ブザー鳴動
    MnSetBuz1|ブザー音１
    MnSetBuz2|ブザー音２
  MnLED1|LED制御
  MnLEDBUZ1|LED&&BUZ
  MnIOPORT1In|汎用入出ポートからの読み込み
  MnIOPORT2In|汎用入出力ポートへの書き込み
  MnWriteEXT1|拡張ポートへの書込...
  MnSelRy|アンテナの選択...|Ctrl+Alt+A
  MnReadRAM1|RAMデータの取得...
  MnWriteRAM1|RAMデータの書き込み...
  MnTx1|送信
    MnTxON|ON
    MnTxOFF|OFF
    MnTxOFFON|OFF->ON
  MnPowerDown|パワーダウンモード
  MnGetPWMode|パワー状態の取得
  N6|-
  MnGetUIDNum|UIDの数の取得
  GetUIDData|UIDデータの取得...
  MnGetCUID|カレントUIDの取得
  MnSetCUID|カレントUIDの設定
  MnQUIT_Cmd|キャンセルコマンド
    MnQUIT_Cmd1|レスポンスなし
    MnQUIT_Cmd2|常にACKを返す
    MnQUIT_Cmd3|ACK/NACKを返す
  N7|-
  MnPolWrite1|ポーリングライトコマンド
  ReadBytes1|ReadBytesコマンド...
  WriteBytes1|WriteBytesコマンド...
  MnLockBytes1|LockBytesコマンド...
  Inventory16Slots1|Inventory16Slotsコマンド...
  ReadLoop1|ReadLoopコマンド...
  ReadLoopPolling1|ReadLoop Pollingコマンド
    MnRDLoopPolCmd|スタート
    MnRDLoopPolGet|データ受信
  MnCommCommand|CommCommand
    MnCommRead1|Read
    MnCommWrite1|Write
    MnTransmit1|Transmit
  MnSimpleRead|シンプルリードコマンド
  N12|-
  MnCmdOutp|コマンド発行...
  MnDataWrite|データ書き込み...|Ctrl+W
  MnTagData1|Tag Data...
  N8|-
  MnRestart|リスタート
  MnEEPROM1|EEPROMの初期化
MnISO15693|ISO15693コマンド
  MnInventory|Inventory
    MnInventory1Slot1|1 Slot|Ctrl+F1
    MnInventory16Slots1|16 Slots
  Inventory21|Inventory2|Ctrl+F2
  MnStayQuit|StayQuiet|Ctrl+F3
  MnReadSingleBlock|ReadSingleBlock|Ctrl+F4
  MnWriteSingleBlock|WriteSingleBlock|Ctrl+F5
  MnLockBlock|LockBlock
  MnReadMultiBlock|ReadMultiBlock|Ctrl+F6
  MnWriteMultiBlock|WriteMultiBlock
  MnSelectTag|SelectTag
  MnResetToReady|ResetToReady|Ctrl+F7
  MnWriteAFI|WriteAFI|Ctrl+F8
  MnLockAFI|LockAFI
  MnWrietDSFID|WrietDSFID|Ctrl+F9
  MNLockDSFID|LockDSFID
  MnGetSystemInfo|GetSystemInfo|Ctrl+F10
  MnGetMBlockSecSt|GetMBlockSecSt|Ctrl+F11
  MnWrite2Blocks|Write2Blocks
  MnLock2Blocks|Lock2Blocks
  Read1BlockSelect1|Read1Block(Select)
  Write1BlockSelect1|Write1Block(Select)
  N13|-
  N14|コマンドダイアログの実行...
MnMyd1|my-dコマンド
  MnMydRead1|Read
  MnMydWrite1|Write
  MnMydWriteByte1|WriteByte
  MnMydWriteReread1|WriteReread
MnTAGIT1|TAG-ITコマンド
  MnGetBlock|GetBlock
  MnGetVersion|GetVersion
  MnPutBlock|PutBlock
  MnPutBlockLock|PutBlockLock
  MnLockBlock2|LockBlock
  MnSID_Poll|SID_Poll
  MnQuiet|Quiet
MnCustom|カスタムコマンド
  MnCustTI1|TI
    MnTIInventoryRead1|Inventory Read
      MnTIInventoryRead11|1
      MnTIInventoryRead161|16
    MnTIInventoryMultiRead1|Inventory Multi Read
      MnTIInventoryMultiRead11|1
      MnTIInventoryMultiRead161|16
    MnTIInventoryGetSystemInfo1|Inventory GetSystemInfo
      MnTIInventoryGetSystemInfo11|1
      MnTIInventoryGetSystemInfo161|16
    MnTIInventoryGetSecInfo1|Inventory GetSecInfo
      MnTIInventoryGetSecInfo11|1
      MnTIInventoryGetSecInfo161|16
  MnCustTILight1|TI Light
    MnKill1|Kill
    WriteSingleBlockPwd1|WriteSingleBlockPwd
    MnWrLightPass|パスワードの書き込み...
    MnSetRP|RPのセット（PWD有効）
    MnLightAFI1|AFI値の設定...
  MnCustFilips|フィリップス
    InventoryRead1|Inventory Read
      InventoryRead11|1
      InventoryRead161|16
    FastInventoryRead1|Fast Inventory Read
      FastInventoryRead11|1
      FastInventoryRead161|16
    MnSetEAS1|Set EAS
    MnResetEAS1|Reset EAS
    MnLockEAS1|Lock EAS
    MnEASAlarm1|EAS Alarm
  MnCustFujitu|富士通
    MnMB89EAS1|EAS
    MnFujiWriteEAS|Write EAS
      MnFujiEASON|ON
      MnFujiEASOFF|OFF
    MnMB89Refresh|Refresh
    MnMB89ReadMulitiBlocksUnlimited1|Read Muliti Blocks Unlimited
  MnCustSTMicro|STマイクロ
    MnACTIVATEEAS1|ACTIVATE EAS
    MnDEACTIVATEEAS1|DEACTIVATE EAS
    POOLEAS1|POOL EAS
MnSet1|設定
  MnConfig1|環境設定...
  N9|-
  MnSetEEPROM|EEPROMの設定...
  MnReadEEPROM2|EEPROM２のリード...
  MnSetEEPROM2|EEPROMの設定2...
  EEPROM21|EEPROM2の設定...
  MnSetPara3|R/Wのパラメータ設定...|Ctrl+Alt+P
  N10|-
  MnSetUserCode|ユーザーコード...
  MnSetAFI|AFIの設定...
  MnSetMemSW|メモリースイッチ...
  MnScanModeSet|ScanMode値の設定...
  MnSetWaitTimer|ウエイトタイマーの設定...
  MnSetRWIDNUM|Ｒ／ＷのＩＤの登録
  MnChkDataTime|２度読み禁止時間
  MnTXOffTime1|TXｏｆｆ時間の設定...
  MnTimingRegister1|Timing Registerの設定...
  MnSetRetry|リトライ回数の設定
  MnSetBlockSize|ブロックサイズの設定
  MnEEPROM|アンテナ設定...
  MnSelAntena|アンテナの選択...
  MnEAS1|EASの設定
    MnEASON1|ON
    MnEASOFF1|OFF
  MnEnableEAS1|EASモードの設定...
  MnTagMode1|モード設定
    MnSetMode2|モード設定...
    MnModeSet3|モード設定（EEPRON）...
  MnSelTag|タグの選択
    MnSelTag1|TI,my-d,フィリップス
    MnSelTag2|富士通
  MnAntSwitch1|アンテナ切替の設定
    MnKV8N520D1|KV8-N520D...
    MnSelAnt2|切替基板使用...
  MnSetIO1|I/Oポートの設定...
  MnSetAnci|アンチコリジョン設定
    MnAntiNormal|通常処理
    MnAntiFast|高速処理
  MnSetInv|インベントリ時のトリガ入力
    MnInvTrigOFF|無効
    MnInvTrigON|有効
  MnInventoryAFI1|Inventory時のAFI
    MnInventoryAFI_ON|指定する
    MnInventoryAFI_OFF|指定しない
  MnAFI1|AFI値の指定
    MnAFIOn|指定する
    MnAFIOff|指定しない
  MnNoReadCmd|ノーリードコマンド
    MnNoReadCmd_ON|使用する
    MnNoReadCmd_OFF|使用しない
  MnSetBuz|ブザーの選択
    MnSetBuz_2|自励式ブザー
    MnSetBuz_1|他励式ブザー
  MnBuzFreq|ブザーの周波数
    MnBuzFreq5KHz|5KHz
    MnBuzFreq2KHz|2KHｚ（可変）
  MnBuzFreq2|周波数設定...
  MnRDLoop1|RDLoopモードの設定...
  MnTagTest1|タグ検査モードの設定
    MnTagTest1ON|ON
    MnTagTest1OFF|OFF
  MnTagTest1Para|パラメータ
  MnParaData1|パラメータデータ
    MnSetMemSw11|SetMemSw
    MnSetTagID|SetTagID
    MnSetProductCode|SetProductCode
    MnSetAFICode|SetAFICode
    MnSetRWIDNUNM|SetRWIDNUNM
    MnSetRETRYNO|SetRETRYNO
    MnSetCHKDATANUM|SetCHKDATANUM
    MnSetLedTagDetCou|SetLedTagDetCou
    MnSetINSIGCHKNUM|SetINSIGCHK_NUM
    MnSetChkDataTime|SetChkDataTime
    MnSetBlockSize1|SetBlockSize
    MnSetmydBlockSize1|SetmydBlockSize
    MnSetTimRegData|SetTimRegData
    MnSetScanMode|SetScanMode
    MnSetdummy1|SetMemSW5
    MnSetdummy2|SetMemSW6
MnGateCmd|ゲート用コマンド
  MnGateMode|動作モード
  MnGeteEEPROM|EEPROMデータ
  MnGateDispOutSate|表示＆出力状態
  MnSensorState|センサー状態
  MnGateEEPROM_READ|EEPROM_READ
  MnGateEEPROM_WRITE|EEPROM_WRITE
  MnCountEEPROM|人数カウント設定...
  MnCountData|人数カウントデータ...
  MnContTimgRes|人数カウントのタイミングのリセット
  MnMelodyLEDCmd|メロディ、ランプ制御コマンド...
  N11|-
  MnDispCountDlg|人数カウントダイアログ...
  M7501|M750用コマンド
    MnM750outinfo|表示＆出力状態...
    MnM750mcountvalu|カウント値...
    MnM750spkvolume|電子ボリューム値...
    MnM750ROM1|M750 ROMバージョン
    MnM750GetType|M750 機種名取得
    N15|-
    MnM750GCount|人数カウントダイアログ...
    MnM750_Sepa|-
    MnM750ReStart|リスタート
    MnM750Bps|通信スピード取得・設定...
    MnM750ProgMode|ファーム書き込みモード
    IOBEEPROMCmd|IOボードEEPROM初期化コマンド
MnHelp|ヘルプ(&H)
  HelpAbout1|バージョン情報(&A)...
)";

// The grid's and the log's pop-up menu. Its F-key items are also added to the central widget,
// so that their keys work outside the menu and fall silent with the disabled window.
const char *const popupMenuTree = R"(
Copy1|Copy
MnGridClr|クリア|F9
N16|-
MnSetCmd1|コマンドモード|F5
MnSetAuto1|オートスキャン|F6
MnSetInv1|連続インベントリ|F8
)";

struct TreeLine {
    int depth;
    QString name;
    QString caption;
    QString shortcut;
};

QList<TreeLine> parseTree(const char *text)
{
    QList<TreeLine> out;
    for (const QString &raw : QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        int indent = 0;
        while (indent < raw.size() && raw.at(indent) == QLatin1Char(' '))
            ++indent;
        const QStringList parts = raw.mid(indent).split(QLatin1Char('|'));
        out.append({indent / 2, parts.value(0), parts.value(1), parts.value(2)});
    }
    return out;
}

// What is usable only in the reader's command mode: disabled at start, and enabled or
// disabled by the run mode (EnableMenusForMode, which adds MnCustTILight1 and IOBEEPROMCmd).
const char *const commandModeItems[] = {
    "TBtModeSet",      "TBtSetConf",  "TBtDataWrite",  "ToolButton2",       "MnDebug1",
    "MnSetCmd",        "MnISO15693",  "MnMyd1",        "MnTAGIT1",          "MnSet1",
    "MnCustom",        "MnGateMode",  "MnGeteEEPROM",  "MnGateDispOutSate", "MnSensorState",
    "MnCountEEPROM",   "MnCountData", "MnContTimgRes", "MnM750outinfo",     "MnM750mcountvalu",
    "MnM750spkvolume", "MnM750ROM1",  "MnM750GetType", "MnM750ReStart",     "MnM750Bps",
    "MnM750ProgMode"};

// Items whose visibility or enabling the rules change; they start hidden in the layout.
const char *const hiddenAtDesign[] = {"MnDataClear", "MnChkDataTime",   "MnEEPROM",   "MnSetAnci",
                                      "MnSetInv",    "MnInventoryAFI1", "MnSelTag",   "MnSetBuz",
                                      "MnNoReadCmd", "MnSetTCPIP1",     "ToolButton2"};

} // namespace

QAction *TKV8AppForm::Item(const QString &name) const
{
    return items_.value(name, nullptr);
}

void TKV8AppForm::buildMenus()
{
    // Fills a menu from the lines [first, end) at the given depth; returns the next line.
    std::function<int(QMenu *, QMenuBar *, const QList<TreeLine> &, int, int)> fill;
    fill = [&](QMenu *menu, QMenuBar *bar, const QList<TreeLine> &lines, int index, int depth) {
        while (index < lines.size() && lines[index].depth == depth) {
            const TreeLine &line = lines[index];
            const bool isSubMenu = index + 1 < lines.size() && lines[index + 1].depth > depth;
            QAction *action = nullptr;
            if (isSubMenu) {
                QMenu *sub = bar ? bar->addMenu(line.caption) : menu->addMenu(line.caption);
                sub->setObjectName(line.name);
                action = sub->menuAction();
                action->setObjectName(line.name);
                items_.insert(line.name, action);
                index = fill(sub, nullptr, lines, index + 1, depth + 1);
                continue;
            }
            if (line.caption == QLatin1String("-")) {
                action = menu->addSeparator();
            } else {
                action = menu->addAction(line.caption);
                if (!line.shortcut.isEmpty())
                    action->setShortcut(QKeySequence(line.shortcut));
                connect(action, &QAction::triggered, this, [this, action] { runAction(action); });
            }
            action->setObjectName(line.name);
            items_.insert(line.name, action);
            ++index;
        }
        return index;
    };
    fill(nullptr, menuBar(), parseTree(mainMenuTree), 0, 0);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    fill(PopupMenu1, nullptr, parseTree(popupMenuTree), 0, 0);
    for (QAction *action : PopupMenu1->actions()) {
        if (!action->shortcut().isEmpty()) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            centralWidget()->addAction(action);
        }
    }
    // The log and the grid show this menu in place of their own (the log's would offer only
    // its text edit's copy and select-all).
    for (QWidget *widget :
         {static_cast<QWidget *>(PageControl1), static_cast<QWidget *>(Memo1), static_cast<QWidget *>(StringGrid1)}) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this, [this, widget](const QPoint &pos) {
            // A scroll area reports the position in its viewport's coordinates.
            const auto *area = qobject_cast<QAbstractScrollArea *>(widget);
            PopupMenu1->popup((area ? area->viewport() : widget)->mapToGlobal(pos));
        });
    }
}

void TKV8AppForm::buildToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->installEventFilter(this);

    auto addButton = [this](const char *name, const QString &text, const QString &hint, bool checkable) {
        auto *action = new QAction(text, ToolBar1);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(hint);
        action->setCheckable(checkable);
        if (checkable) // only the mode buttons: a screen reader switches the mode with them as a click does
            clickOnAccessibleToggle(action);
        ToolBar1->addAction(action);
        if (QWidget *button = ToolBar1->widgetForAction(action))
            button->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, action] { runAction(action); });
        items_.insert(action->objectName(), action);
        return action;
    };
    // The three mode buttons are grouped check buttons: the pressed one shows the mode last chosen.
    auto *modes = new QActionGroup(this);
    modes->addAction(addButton("TBtSetCmdMode", QStringLiteral("コマンド"), QStringLiteral("コマンドモードへ"), true));
    modes->addAction(
        addButton("TBtSetATRMD", QStringLiteral("オートスキャン"), QStringLiteral("オートスキャンモードへ"), true));
    modes->addAction(addButton("TBtSetTest1Mode", QStringLiteral("連続インベントリ"),
                               QStringLiteral("連続インベントリモードへ"), true));
    ToolBar1->addSeparator();
    addButton("TBtModeSet", QStringLiteral("動作モード"), QStringLiteral("動作モードの設定"), false);
    addButton("TBtSetConf", QStringLiteral("環境設定"), QStringLiteral("環境設定"), false);
    addButton("TBtDataWrite", QStringLiteral("データ書込"), QStringLiteral("データ書き込み"), false);
    addButton("ToolButton2", QString(), QString(), false);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(Notebook1);

    // Once the menus and the tool bar are both there: ToolButton2 is among these.
    for (const char *name : hiddenAtDesign)
        setItemVisible(name, false);
}

QAction *TKV8AppForm::ruleItem(const char *name) const
{
    QAction *action = items_.value(QString::fromLatin1(name));
#ifdef KV8_TEST_BUILD
    if (!action)
        throw std::logic_error(std::string("a menu rule names an item that is not in the menus: ") + name);
#endif
    return action;
}

void TKV8AppForm::setItemVisible(const char *name, bool visible)
{
    if (QAction *action = ruleItem(name))
        action->setVisible(visible);
}

void TKV8AppForm::setItemEnabled(const char *name, bool enabled)
{
    if (QAction *action = ruleItem(name))
        action->setEnabled(enabled);
}

void TKV8AppForm::UpdateMenuState(int extended)
{
    setItemVisible("MnCmdOutp", fCmdOutpStr != 0);
    setItemVisible("N12", fCmdOutpStr != 0);

    for (const char *name :
         {"ToolButton2", "MnSetCmd", "MnReadRAM1", "MnWriteRAM1", "MnSelRy", "MnWrite2Blocks", "MnLock2Blocks",
          "MnMydWriteByte1", "MnMydWriteReread1", "MnTAGIT1", "MnSetEEPROM", "EEPROM21", "MnSetUserCode", "MnSetAFI",
          "MnAFI1", "MnSetMemSW", "MnSetWaitTimer", "MnSetMode1", "MnPolWrite1"})
        setItemVisible(name, extended != 0);

    for (const char *name : commandModeItems)
        setItemEnabled(name, false);
    setItemEnabled("MnGateCmd", true);
    setItemEnabled("M7501", true);

    for (const char *name :
         {"IOBEEPROMCmd",  "MnChkDataTime", "MnTXOffTime1",      "MnSetBlockSize",     "MnEEPROM1",
          "MnGetCUID",     "MnSetCUID",     "MnCustTI1",         "MnCustFilips",       "MnCustFujitu",
          "MnCustSTMicro", "MnEEPROM",      "MnParaData1",       "MnTimingRegister1",  "MnGetModelName",
          "MnWriteEXT1",   "MnScanModeSet", "MnGateEEPROM_READ", "MnGateEEPROM_WRITE", "MnLEDBUZ1",
          "MnQUIT_Cmd",    "MnBuzFreq2",    "MnLockBytes1"})
        setItemVisible(name, false);
    for (const char *name : {"MnCustTILight1", "MnGateCmd", "MnCountEEPROM", "MnCountData"})
        setItemVisible(name, true);

    setItemVisible("MnCommCommand", fCommComand != 0);
    setItemVisible("MnTagTest1", fTagTest1 != 0);
    setItemVisible("MnBuzFreq", fSetBuzFreq != 0);
    setItemVisible("M7501", fM750 != 0);
    for (const char *name : {"MnInventoryAFI1", "MnSetBuz", "MnNoReadCmd", "MnSetRetry", "MnRDLoop1", "MnSetAnci",
                             "MnSetAFI", "MnAFI1", "MnSetRWIDNUM"})
        setItemVisible(name, fDispEXTSet1 != 0);
}

void TKV8AppForm::EnableMenusForMode(bool enable)
{
    const bool enabled = fMenuDisp != 0 || enable;
    for (const char *name : commandModeItems)
        setItemEnabled(name, enabled);
    setItemEnabled("MnCustTILight1", enabled);
    setItemEnabled("IOBEEPROMCmd", enabled);
    setItemEnabled("MnGateCmd", true);
    setItemEnabled("M7501", true);
}

void TKV8AppForm::ShowLockMenus()
{
    for (const char *name : {"MnLockBlock", "MnLockAFI", "MNLockDSFID", "MnLock2Blocks", "MnLockEAS1"})
        setItemVisible(name, EnabLockBlock != 0);
}

void TKV8AppForm::ToolBar1DblClick(Qt::KeyboardModifiers modifiers)
{
    const bool both = (modifiers & Qt::ShiftModifier) && (modifiers & Qt::ControlModifier);
    fShowEEPROMInit = both ? !fShowEEPROMInit : 0;
    setItemVisible("MnEEPROM1", fShowEEPROMInit != 0);
}

bool TKV8AppForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ToolBar1 && event->type() == QEvent::MouseButtonDblClick)
        ToolBar1DblClick(static_cast<QMouseEvent *>(event)->modifiers());
    return QMainWindow::eventFilter(watched, event);
}
