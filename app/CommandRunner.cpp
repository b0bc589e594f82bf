#include "app/CommandRunner.h"

#include "app/ConnectionDialogs.h"
#include "app/HandlerKit.h"
#include "app/KV8AppForm.h"
#include "controls/DialogKit.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/MemoSink.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <exception>

namespace
{

const QStringList commandNames = {
    QStringLiteral("Inventory"),        QStringLiteral("StayQuiet"),      QStringLiteral("ReadSingleBlock"),
    QStringLiteral("WriteSingleBlock"), QStringLiteral("ReadMultiBlock"), QStringLiteral("WriteMultiBlock"),
    QStringLiteral("SelectTag"),        QStringLiteral("ResetToReady"),   QStringLiteral("WriteAFI"),
    QStringLiteral("WriteDSFID"),       QStringLiteral("GetSystemInfo"),  QStringLiteral("GetMBlockSecSt"),
};

// The code of a block write, as its sender puts it first in DATA.
constexpr uint8_t WriteSingleBlockCode = 0x21;
constexpr uint8_t WriteMultiBlockCode = 0x24;

// A sender with its values bound; the flags come last, as the tag senders take them.
template <class R, class... Params, class... Values>
std::function<bool(TTComXDlg &, uint8_t)> bound(R (TTComXDlg::*sender)(Params...), Values... values)
{
    return [=](TTComXDlg &hub, uint8_t flags) { return callSender(hub, sender, values..., flags); };
}

// Points the hub's log at the runner's memo while it lives, then back at the window's log, on
// every way out.
class HubLogRedirect
{
public:
    HubLogRedirect(TKV8AppForm &form, MemoSink *target) : form_(form)
    {
        if (TComXDlg)
            TComXDlg->LogMemo = target;
    }
    ~HubLogRedirect()
    {
        if (TComXDlg)
            TComXDlg->LogMemo = form_.LogSink();
    }
    HubLogRedirect(const HubLogRedirect &) = delete;
    HubLogRedirect &operator=(const HubLogRedirect &) = delete;

private:
    TKV8AppForm &form_;
};

} // namespace

TCoomandDlg1::TCoomandDlg1(TKV8AppForm &form) : QDialog(&form), form_(form)
{
    DialogKit kit(this, QStringLiteral("CoomandDlg1"), QStringLiteral("コマンドの実行"));
    Memo1 = DialogKit::named(new QPlainTextEdit(this), QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setMinimumSize(360, 320);
    memoSink_ = std::make_unique<PlainTextMemoSink>(Memo1);

    optionBox_ = kit.groupBox(QStringLiteral("GBOption"), QStringLiteral("オプション"));
    CBUidFlag =
        kit.comboBox(QStringLiteral("CBUidFlag"), {QStringLiteral("指定しない"), QStringLiteral("コマンドで指定"),
                                                   QStringLiteral("カレントのＵＩＤを使用する")});
    const QStringList bit = {QStringLiteral("0"), QStringLiteral("1")};
    RGSelect = kit.choiceGroup(QStringLiteral("RGSelect"), QStringLiteral("select_flag"), bit, 2);
    RGAddress = kit.choiceGroup(QStringLiteral("RGAddress"), QStringLiteral("address_flag"), bit, 2);
    RGOption = kit.choiceGroup(QStringLiteral("RGOption"), QStringLiteral("option_flag"), bit, 2);
    RGAFI = kit.choiceGroup(QStringLiteral("RGAFI"), QStringLiteral("AFI_flag"), bit, 2);
    RGNBSlots = kit.choiceGroup(QStringLiteral("RGNBSlots"), QStringLiteral("Nb_slots_flag"), bit, 2);
    RBDummy1 = kit.choiceGroup(QStringLiteral("RBDummy1"), QStringLiteral("未使用"), bit, 2);
    kit.grid(
        optionBox_,
        {{QStringLiteral("ＵＩＤの指定"), CBUidFlag}, {RGSelect, RGAddress}, {RGOption, RGAFI}, {RGNBSlots, RBDummy1}});

    commandBox_ = kit.groupBox(QStringLiteral("GBCommand"), QString());
    CBCommand = kit.comboBox(QStringLiteral("CBCommand"), commandNames);
    CBfLoop = kit.checkBox(QStringLiteral("CBfLoop"), QStringLiteral("連続実行する"));
    kit.grid(commandBox_, {{QStringLiteral("コマンド"), CBCommand}, {LayoutCell(CBfLoop).span(2)}});

    // OK runs the command and keeps the dialog open; Enter and Escape still press OK and Cancel.
    OKBtn = kit.button(QStringLiteral("OKBtn"), QStringLiteral("OK"));
    OKBtn->setDefault(true);
    CancelBtn = kit.button(QStringLiteral("CancelBtn"), QStringLiteral("キャンセル"));
    connect(OKBtn, &QPushButton::clicked, this, &TCoomandDlg1::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    DialogKit::installConfirmKeys(this, OKBtn, CancelBtn);

    kit.row(this, {Memo1, kit.column(nullptr, {optionBox_, commandBox_, LayoutCell::stretch(),
                                               kit.row(nullptr, {LayoutCell::stretch(), OKBtn, CancelBtn})})});

    for (ChoiceGroup *group : {RGSelect, RGAddress, RGOption, RGAFI, RGNBSlots, RBDummy1})
        group->setItemIndex(0);
    CBUidFlag->setCurrentIndex(0);
    CBCommand->setCurrentIndex(0);
}

TCoomandDlg1::~TCoomandDlg1() = default;

TGuage1Dlg *TCoomandDlg1::LoopGauge() const
{
    return gauge_;
}

void TCoomandDlg1::CmdLog(const QString &line)
{
    if (memoSink_->lineCount() >= 1000)
        memoSink_->clear();
    memoSink_->appendLine(line);
}

uint8_t TCoomandDlg1::composeFlags() const
{
    const auto bitOf = [](const ChoiceGroup *group, int shift) { return (group->itemIndex() & 1) << shift; };
    return static_cast<uint8_t>((CBUidFlag->currentIndex() & 3) | bitOf(RGSelect, 2) | bitOf(RGAddress, 3) |
                                bitOf(RGOption, 4) | bitOf(RGAFI, 5) | bitOf(RGNBSlots, 6) | bitOf(RBDummy1, 7));
}

void TCoomandDlg1::OKBtnClick()
{
    if (running_)
        return;
    // Nothing may leave a Qt event handler: an exception ends here in one message box.
    try {
        RunFlags = composeFlags();
        const int index = CBCommand->currentIndex() < 0 ? -1 : commandNames.indexOf(CBCommand->currentText());
        if (index < 0) {
            CmdLog(QStringLiteral("no command"));
            return;
        }
        CmdLog(commandNames[index]);
        dispatch(index);
    } catch (const std::exception &e) {
        showMessage(QString::fromLocal8Bit(e.what()), this);
    }
}

void TCoomandDlg1::dispatch(int index)
{
    const ByteSpan uid(form_.CurrentUid, 8);
    switch (index) {
    case 0:
        return run(bound(&TTComXDlg::ISO15693_Inventory));
    case 1:
        return run(bound(&TTComXDlg::ISO15693_StayQuiet, uid), Kind::StayQuiet);
    case 2:
        if (askBlockNo(form_, RunBlockNo))
            run(bound(&TTComXDlg::ISO15693_ReadSingleBlock, RunBlockNo));
        return;
    case 3:
        return writeSingleBlock();
    case 4:
        if (askBlockRange(form_, RunFirstBlock, RunBlockCount, false))
            run(bound(&TTComXDlg::ISO15693_ReadMultiBlock, RunFirstBlock, RunBlockCount));
        return;
    case 5:
        return writeMultiBlock();
    case 6:
        return run(bound(&TTComXDlg::ISO15693_SelectTag, uid));
    case 7:
        return run(bound(&TTComXDlg::ISO15693_ResetToReady));
    case 8:
        if (askByteValue(form_, RunByteValue))
            run(bound(&TTComXDlg::ISO15693_WriteAFI, static_cast<uint8_t>(RunByteValue)));
        return;
    case 9:
        if (askByteValue(form_, RunByteValue))
            run(bound(&TTComXDlg::ISO15693_WriteDSFID, static_cast<uint8_t>(RunByteValue)));
        return;
    case 10:
        return run(bound(&TTComXDlg::ISO15693_GetSystemInfo));
    case 11:
        if (askBlockRange(form_, RunFirstBlock, RunBlockCount, false))
            run(bound(&TTComXDlg::ISO15693_GetMBlockSecSt, RunFirstBlock, RunBlockCount));
        return;
    default:
        return;
    }
}

// The block writes decide before any loop whether the request fits one frame, by the sender's
// own rule: one that doesn't goes to its sender once, which logs its refusal and sends
// nothing, and the run ends "command NG" without a wait or a loop.
void TCoomandDlg1::writeSingleBlock()
{
    const QString prompt = QStringLiteral("データ（%1文字）").arg(static_cast<uint32_t>(form_.TagBlockSize));
    if (!askBlockAndText(form_, RunBlockNo, TextPair{prompt, RunDataText}))
        return;
    DataBuffer data{};
    convertBlockText(form_, 1, RunDataText, data);
    const bool fits = blockWriteFits(form_, WriteSingleBlockCode, dataBytes({RunBlockNo}), 1, RunFlags);
    run([block = RunBlockNo, data](TTComXDlg &hub,
                                   uint8_t flags) { return hub.ISO15693_WriteSingleBlock(block, data, flags); },
        Kind::Reply, fits);
}

void TCoomandDlg1::writeMultiBlock()
{
    if (!askBlockRange(form_, RunFirstBlock, RunBlockCount, rangeText(RunDataText)))
        return;
    const uint64_t blocks = uint64_t{RunBlockCount} + 1;
    DataBuffer data{};
    convertBlockText(form_, blocks, RunDataText, data);
    const bool fits =
        blockWriteFits(form_, WriteMultiBlockCode, dataBytes({RunFirstBlock, RunBlockCount}), blocks, RunFlags);
    run([first = RunFirstBlock, count = RunBlockCount,
         data](TTComXDlg &hub, uint8_t flags) { return hub.ISO15693_WriteMultiBlock(first, count, data, flags); },
        Kind::Reply, fits);
}

void TCoomandDlg1::run(const Send &send, Kind kind, bool loopAllowed)
{
    struct Running {
        TCoomandDlg1 *dlg;
        explicit Running(TCoomandDlg1 *d) : dlg(d) { dlg->setRunning(true); }
        ~Running() { dlg->setRunning(false); }
    };
    {
        Running running(this);
        if (CBfLoop->isChecked() && loopAllowed)
            runLoop(send, kind);
        else
            runOnce(send, kind);
    }
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QDialog::done(Rejected);
    }
}

void TCoomandDlg1::runOnce(const Send &send, Kind kind)
{
    const bool acked = form_.RunTagCommand(RunFlags, send, TagSteps::WaitOnly);
    if (applicationClosing())
        return;
    if (kind == Kind::StayQuiet) {
        waitFor([] { return false; }, 100);
        return;
    }
    CmdLog(acked ? QStringLiteral("command OK") : QStringLiteral("command NG"));
}

void TCoomandDlg1::runLoop(const Send &send, Kind kind)
{
    // Owned by the runner, so that its stop button takes clicks while the runner is modal.
    auto *gauge = new TGuage1Dlg(this);
    gauge_ = gauge;
    gauge->Button1->setVisible(true);
    gauge->Panel2->hide();
    gauge->ProgressBar1->hide();
    gauge->setWindowTitle(QStringLiteral("コマンド連続実行"));
    gauge->Label1->setText(QStringLiteral("コマンド実行中..."));
    processPendingMessages(0);
    gauge->show();
    gauge->raise();
    gauge->activateWindow();
    const auto stopped = [this] { return !gauge_ || !gauge_->fRun; };
    for (;;) {
        processPendingMessages(0);
        if (stopped() || applicationClosing())
            break;
        if (kind == Kind::StayQuiet) {
            form_.RunTagCommand(RunFlags, send, TagSteps::SendOnly);
            waitFor(stopped, 100);
            continue;
        }
        const bool acked = form_.RunTagCommand(RunFlags, send, TagSteps::WaitOnly);
        if (applicationClosing())
            break;
        CmdLog(acked ? QStringLiteral("command OK") : QStringLiteral("command NG"));
    }
    delete gauge_;
}

void TCoomandDlg1::setRunning(bool running)
{
    running_ = running;
    OKBtn->setEnabled(!running);
    optionBox_->setEnabled(!running);
    commandBox_->setEnabled(!running);
}

void TCoomandDlg1::done(int result)
{
    // During a run the runner closes only once the run has unwound: a loop is told to stop,
    // a single run's wait ends by itself.
    if (running_) {
        closeAfterRun_ = true;
        if (gauge_)
            gauge_->fRun = 0;
        return;
    }
    QDialog::done(result);
}

// --- the menu item ---

void TKV8AppForm::N14Click(QObject *)
{
    TCoomandDlg1 runner(*this);
    HubLogRedirect redirect(*this, runner.LogSink());
    runner.exec();
}
