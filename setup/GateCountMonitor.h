#pragma once

// The people-count monitors of the M740 (TGateCountDlg) and the M750 (TGateCount2Dlg). Each
// shows the counts of its record: polled by its timer in manual mode, pushed by the gate (the
// main window hands the forwarded records to ShowRecord) in either mode. "保存(&S)" appends
// the shown counts to the model's CSV log; only "キャンセル(&C)" closes.

#include "controls/DateTimeText.h"
#include "controls/RadixDialog.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class ChoiceGroup;
class QLabel;
class QPushButton;
class QTimer;
class TIntEdit;
class TTComXDlg;

enum class GateModel { M740, M750 };

// --- the CSV logs (CP932 bytes) ---

// "M740LogFile.csv" / "M750LogFile.csv".
QString countLogFileName(GateModel model);
// The header line, with its CR LF.
QByteArray countLogHeader(GateModel model);
// One row: the date "yyyy/mm/dd", the time "hh:nn:ss", then the shown texts, with its CR LF.
QByteArray countLogRow(TDateTime now, const QStringList &texts);

class GateCountMonitor : public RadixDialog
{
    Q_OBJECT

public:
    ChoiceGroup *RadioGroup1;
    TIntEdit *IntEdit1;
    QTimer *Timer1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    // Set while a tick polls the gate: a tick that comes meanwhile returns at once.
    int fTimerBusy = 0;

    // False when the log file had to be created and could not be (the operator was told): the
    // monitor is not to be shown.
    bool LogReady() const { return logReady_; }
    QString LogPath() const { return logPath_; }

    // The counts "0", IntEdit1 1 (a poll every second), "マニュアル", and the timer running.
    void Start();
    // A record of the model (at least its size) into the count texts.
    void ShowRecord(QByteArrayView record);
    // The count texts in the order of the log's columns.
    QStringList ShownCounts() const;

    void Timer1Timer();
    void IntEdit1Enter();
    void IntEdit1Change();
    void RadioGroup1Click();
    void OKBtnClick();

    void done(int result) override;

protected:
    // logPath: the setting; when empty it is set to the program's folder and the model's file
    // name (kept for the run, never written back). A file that doesn't exist there is created
    // with the header line.
    GateCountMonitor(QWidget *owner, TTComXDlg &hub, QString &logPath, GateModel model);
    // One poll of the gate: the record on success.
    virtual bool poll(QByteArray &record) = 0;

    bool writeCountLog(const QString &path);
    bool appendCountRow(const QString &path);
    void buildCommon(QLayout *counts);
    QLabel *countText(const QString &name);

    TTComXDlg &hub_;

private:
    void setPollInterval(int64_t ms);
    void updateTimer();

    GateModel model_;
    QString logPath_;
    bool logReady_ = true;
};

class TGateCountDlg : public GateCountMonitor
{
    Q_OBJECT

public:
    TGateCountDlg(QWidget *owner, TTComXDlg &hub, QString &logPath);

    QLabel *STG1Count1, *STG1Count2, *STG2Count1, *STG2Count2;

    bool WriteCountLogM740(const QString &path) { return writeCountLog(path); }
    bool AppendCountRowM740(const QString &path) { return appendCountRow(path); }

protected:
    bool poll(QByteArray &record) override;
};

class TGateCount2Dlg : public GateCountMonitor
{
    Q_OBJECT

public:
    TGateCount2Dlg(QWidget *owner, TTComXDlg &hub, QString &logPath);

    // Pairs 1, 3, 5: the in sensors of aisles 1-3; pairs 2, 4, 6: their out sensors.
    QLabel *STG1Count1, *STG1Count2, *STG2Count1, *STG2Count2, *STG3Count1, *STG3Count2;
    QLabel *STG4Count1, *STG4Count2, *STG5Count1, *STG5Count2, *STG6Count1, *STG6Count2;

    bool WriteCountLogM750(const QString &path) { return writeCountLog(path); }
    bool AppendCountRowM750(const QString &path) { return appendCountRow(path); }

protected:
    bool poll(QByteArray &record) override;
};
