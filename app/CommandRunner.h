#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class ChoiceGroup;
class PlainTextMemoSink;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class TGuage1Dlg;
class TKV8AppForm;
class TTComXDlg;

// The ISO 15693 command runner: the request flags composed bit by bit, one of twelve commands,
// run once or over and over until the progress box's stop button is pressed. Its memo takes
// "command OK"/"command NG" after each command and, while the runner is open, the hub's log.
// OK runs the command and leaves the dialog open; Cancel closes it. Cancel, Escape and the
// close box during a run stop the run first and close the runner once it has unwound.
class TCoomandDlg1 : public QDialog
{
    Q_OBJECT

public:
    explicit TCoomandDlg1(TKV8AppForm &form);
    ~TCoomandDlg1() override;

    QPlainTextEdit *Memo1;
    QComboBox *CBUidFlag;
    ChoiceGroup *RGSelect;
    ChoiceGroup *RGAddress;
    ChoiceGroup *RGOption;
    ChoiceGroup *RGAFI;
    ChoiceGroup *RGNBSlots;
    ChoiceGroup *RBDummy1;
    QComboBox *CBCommand;
    QCheckBox *CBfLoop;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    // Values of this opening, offered again by the parameter dialogs.
    uint8_t RunFlags = 0;
    uint8_t RunFirstBlock = 0;
    uint8_t RunBlockCount = 0;
    uint8_t RunBlockNo = 0;
    uint16_t RunByteValue = 0;
    QString RunDataText = QStringLiteral("TEST");

    void OKBtnClick();
    // Appends one line to Memo1, cleared first once it holds 1000 lines.
    void CmdLog(const QString &line);
    // The memo as a log target (where the hub writes while the runner is open).
    PlainTextMemoSink *LogSink() const { return memoSink_.get(); }
    // The progress box of a running loop; null otherwise.
    TGuage1Dlg *LoopGauge() const;
    bool Running() const { return running_; }

    void done(int result) override;

private:
    using Send = std::function<bool(TTComXDlg &hub, uint8_t flags)>;
    enum class Kind { Reply, StayQuiet };

    uint8_t composeFlags() const;
    void dispatch(int index);
    // One command with RunFlags, once or in a loop; Kind::StayQuiet waits only in a single run
    // and pauses 100 ms after each send, logging no verdict.
    void run(const Send &send, Kind kind = Kind::Reply, bool loopAllowed = true);
    void runOnce(const Send &send, Kind kind);
    void runLoop(const Send &send, Kind kind);
    void setRunning(bool running);

    void writeSingleBlock();
    void writeMultiBlock();

    TKV8AppForm &form_;
    std::unique_ptr<PlainTextMemoSink> memoSink_;
    QGroupBox *optionBox_ = nullptr;
    QGroupBox *commandBox_ = nullptr;
    QPointer<TGuage1Dlg> gauge_;
    bool running_ = false;
    bool closeAfterRun_ = false;
};
