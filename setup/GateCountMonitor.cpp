#include "setup/GateCountMonitor.h"

#include "controls/DialogKit.h"
#include "link/GateRecords.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/Cp932.h"
#include "platform/CsvText.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/GateFieldDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <array>
#include <climits>

namespace
{

int pairCount(GateModel model)
{
    return model == GateModel::M740 ? 2 : 6;
}

std::span<const GateField> monitorFields(GateModel model)
{
    return model == GateModel::M740 ? countMonitorFields740() : countMonitorFields750();
}

int recordSize(GateModel model)
{
    return model == GateModel::M740 ? GateCountRecord::Size : GateCount2Record::Size;
}

// Log columns and layout go pair by pair: persons, then alarms.
QStringList countNames(GateModel model)
{
    QStringList names;
    for (int i = 1; i <= pairCount(model); ++i)
        names << QStringLiteral("STG%1Count1").arg(i) << QStringLiteral("STG%1Count2").arg(i);
    return names;
}

QByteArray csvLine(const QStringList &cells)
{
    QList<QByteArray> row;
    for (const QString &cell : cells)
        row << unicodeToCp932(cell);
    return csvText({row});
}

} // namespace

QString countLogFileName(GateModel model)
{
    return model == GateModel::M740 ? QStringLiteral("M740LogFile.csv") : QStringLiteral("M750LogFile.csv");
}

QByteArray countLogHeader(GateModel model)
{
    QStringList titles{QStringLiteral("日付"), QStringLiteral("時刻")};
    if (model == GateModel::M740) {
        titles << QStringLiteral("人数１") << QStringLiteral("アラーム１") << QStringLiteral("人数２")
               << QStringLiteral("アラーム２");
    } else {
        const QString aisles[] = {QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３")};
        for (const QString &aisle : aisles)
            for (const QString &side : {QStringLiteral("（入）"), QStringLiteral("（出）")})
                titles << QStringLiteral("人数") + aisle + side << QStringLiteral("アラーム") + aisle + side;
    }
    return csvLine(titles);
}

QByteArray countLogRow(TDateTime now, const QStringList &texts)
{
    return csvLine(QStringList{FormatDateTime(QStringLiteral("yyyy/mm/dd"), now),
                               FormatDateTime(QStringLiteral("hh:nn:ss"), now)} +
                   texts);
}

// --- the monitor ---

GateCountMonitor::GateCountMonitor(QWidget *owner, TTComXDlg &hub, QString &logPath, GateModel model)
    : RadixDialog(owner), hub_(hub), model_(model)
{
    if (logPath.isEmpty())
        logPath = programDirectory() + QLatin1Char('/') + countLogFileName(model);
    logPath_ = logPath;
    if (!QFileInfo::exists(logPath_))
        logReady_ = writeCountLog(logPath_);
}

QLabel *GateCountMonitor::countText(const QString &name)
{
    auto *label = DialogKit::named(new QLabel(QStringLiteral("0"), this), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(80);
    return label;
}

void GateCountMonitor::buildCommon(QLayout *counts)
{
    const DialogKit kit(this, objectName(), QString());
    RadioGroup1 = kit.choiceGroup(QStringLiteral("RadioGroup1"), QStringLiteral("カウントモード"),
                                  {QStringLiteral("マニュアル"), QStringLiteral("オート")});
    IntEdit1 = kit.intEdit(QStringLiteral("IntEdit1"), {0, TIntEdit::defaultMax, -10});
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(0);
    OKBtn = kit.button(QStringLiteral("OKBtn"), QStringLiteral("保存(&S)"));
    CancelBtn = kit.button(QStringLiteral("CancelBtn"), QStringLiteral("キャンセル(&C)"));
    DialogKit::installConfirmKeys(this, OKBtn, CancelBtn);

    auto *timing = new QHBoxLayout;
    timing->addWidget(IntEdit1);
    timing->addWidget(kit.label(QStringLiteral("秒")));
    auto *side = new QVBoxLayout;
    side->addWidget(RadioGroup1);
    side->addWidget(kit.label(QStringLiteral("マニュアル時のデータ読み込みタイミング"), IntEdit1));
    side->addLayout(timing);
    side->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(counts);
    top->addLayout(side);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(kit.row(nullptr, {LayoutCell::stretch(), OKBtn, CancelBtn}));

    connect(Timer1, &QTimer::timeout, this, &GateCountMonitor::Timer1Timer);
    connect(IntEdit1, &FieldEdit::fieldEntered, this, &GateCountMonitor::IntEdit1Enter);
    connect(IntEdit1, &QLineEdit::textChanged, this, &GateCountMonitor::IntEdit1Change);
    connect(RadioGroup1, &ChoiceGroup::itemClicked, this, &GateCountMonitor::RadioGroup1Click);
    connect(OKBtn, &QPushButton::clicked, this, &GateCountMonitor::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void GateCountMonitor::Start()
{
    for (const QString &name : countNames(model_))
        findChild<QLabel *>(name)->setText(QStringLiteral("0"));
    IntEdit1->SetValue(1);
    RadioGroup1->setItemIndex(0);
    setPollInterval(1000);
}

void GateCountMonitor::ShowRecord(QByteArrayView record)
{
    if (record.size() >= recordSize(model_))
        fillFields(this, monitorFields(model_), record);
}

QStringList GateCountMonitor::ShownCounts() const
{
    QStringList texts;
    for (const QString &name : countNames(model_))
        texts << findChild<QLabel *>(name)->text();
    return texts;
}

void GateCountMonitor::Timer1Timer()
{
    if (fTimerBusy || applicationClosing())
        return;
    fTimerBusy = 1;
    QByteArray record;
    if (poll(record))
        ShowRecord(record);
    fTimerBusy = 0;
}

void GateCountMonitor::IntEdit1Enter()
{
    IntEdit1Change();
}

void GateCountMonitor::IntEdit1Change()
{
    // Seconds to milliseconds, wide enough not to wrap; a timer takes at most INT_MAX ms.
    setPollInterval(std::clamp<int64_t>(int64_t{IntEdit1->GetValue()} * 1000, 0, INT_MAX));
}

void GateCountMonitor::RadioGroup1Click()
{
    updateTimer();
}

void GateCountMonitor::setPollInterval(int64_t ms)
{
    // Setting an interval restarts a running timer: only a new value does.
    if (ms != Timer1->interval())
        Timer1->setInterval(static_cast<int>(ms));
    updateTimer();
}

void GateCountMonitor::updateTimer()
{
    // Polls only in manual mode, and never with interval 0 (a Qt timer would fire continuously).
    const bool run = RadioGroup1->itemIndex() == 0 && Timer1->interval() > 0;
    if (run && !Timer1->isActive())
        Timer1->start();
    else if (!run)
        Timer1->stop();
}

void GateCountMonitor::OKBtnClick()
{
    if (!QFileInfo::exists(logPath_) && !writeCountLog(logPath_))
        return;
    appendCountRow(logPath_);
}

void GateCountMonitor::done(int result)
{
    Timer1->stop();
    RadixDialog::done(result);
}

bool GateCountMonitor::writeCountLog(const QString &path)
{
    QFile file(path);
    const QByteArray header = countLogHeader(model_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(header) != header.size()) {
        showMessage(QStringLiteral("ファイル ") + path + QStringLiteral(" を作成できません。"), this);
        return false;
    }
    return true;
}

bool GateCountMonitor::appendCountRow(const QString &path)
{
    QFile file(path);
    const QByteArray row = countLogRow(TDateTime(currentDateTime()), ShownCounts());
    if (!file.open(QIODevice::ReadWrite) || !file.seek(file.size()) || file.write(row) != row.size()) {
        showMessage(QStringLiteral("ファイル ") + path + QStringLiteral(" を開けません。"), this);
        return false;
    }
    return true;
}

// --- M740 ---

TGateCountDlg::TGateCountDlg(QWidget *owner, TTComXDlg &hub, QString &logPath)
    : GateCountMonitor(owner, hub, logPath, GateModel::M740)
{
    const DialogKit kit(this, QStringLiteral("GateCountDlg"), QStringLiteral("人数カウントダイアログ"));
    STG1Count1 = countText(QStringLiteral("STG1Count1"));
    STG1Count2 = countText(QStringLiteral("STG1Count2"));
    STG2Count1 = countText(QStringLiteral("STG2Count1"));
    STG2Count2 = countText(QStringLiteral("STG2Count2"));
    auto *gates = new QVBoxLayout;
    const std::pair<QLabel *, QLabel *> pairs[] = {{STG1Count1, STG1Count2}, {STG2Count1, STG2Count2}};
    for (int g = 0; g < 2; ++g) {
        QGroupBox *box = kit.groupBox(QStringLiteral("GroupBox%1").arg(g + 1),
                                      g == 0 ? QStringLiteral("ゲート１") : QStringLiteral("ゲート２"));
        auto *grid = new QGridLayout(box);
        grid->addWidget(kit.label(QStringLiteral("人数")), 0, 0);
        grid->addWidget(pairs[g].first, 0, 1);
        grid->addWidget(kit.label(QStringLiteral("人")), 0, 2);
        grid->addWidget(kit.label(QStringLiteral("アラーム")), 1, 0);
        grid->addWidget(pairs[g].second, 1, 1);
        grid->addWidget(kit.label(QStringLiteral("回")), 1, 2);
        gates->addWidget(box);
    }
    buildCommon(gates);
}

bool TGateCountDlg::poll(QByteArray &record)
{
    GateCountRecord r;
    if (!hub_.GateRmcountvaluCmd(&r))
        return false;
    record = r.toBytes();
    return true;
}

// --- M750 ---

TGateCount2Dlg::TGateCount2Dlg(QWidget *owner, TTComXDlg &hub, QString &logPath)
    : GateCountMonitor(owner, hub, logPath, GateModel::M750)
{
    const DialogKit kit(this, QStringLiteral("GateCount2Dlg"), QStringLiteral("人数カウントダイアログ２"));
    QLabel **const texts[6][2] = {{&STG1Count1, &STG1Count2}, {&STG2Count1, &STG2Count2}, {&STG3Count1, &STG3Count2},
                                  {&STG4Count1, &STG4Count2}, {&STG5Count1, &STG5Count2}, {&STG6Count1, &STG6Count2}};
    const QString digits[] = {QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３")};
    auto *grid = new QGridLayout;
    grid->addWidget(kit.label(QStringLiteral("入")), 0, 1, Qt::AlignHCenter);
    grid->addWidget(kit.label(QStringLiteral("出")), 0, 2, Qt::AlignHCenter);
    for (int pair = 0; pair < 6; ++pair) {
        const int aisle = pair / 2;
        const bool out = pair % 2 != 0;
        *texts[pair][0] = countText(QStringLiteral("STG%1Count1").arg(pair + 1));
        *texts[pair][1] = countText(QStringLiteral("STG%1Count2").arg(pair + 1));
        QGroupBox *box = kit.groupBox(QStringLiteral("GroupBox%1").arg(pair + 1),
                                      QStringLiteral("通路") + digits[aisle] +
                                          (out ? QStringLiteral("（出）") : QStringLiteral("（入）")));
        auto *inner = new QGridLayout(box);
        inner->addWidget(kit.label(QStringLiteral("人数")), 0, 0);
        inner->addWidget(*texts[pair][0], 0, 1);
        inner->addWidget(kit.label(QStringLiteral("人")), 0, 2);
        inner->addWidget(kit.label(QStringLiteral("アラーム")), 1, 0);
        inner->addWidget(*texts[pair][1], 1, 1);
        inner->addWidget(kit.label(QStringLiteral("回")), 1, 2);
        if (!out)
            grid->addWidget(kit.label(QStringLiteral("通路") + digits[aisle]), aisle + 1, 0);
        grid->addWidget(box, aisle + 1, out ? 2 : 1);
    }
    buildCommon(grid);
}

bool TGateCount2Dlg::poll(QByteArray &record)
{
    std::array<uint8_t, 49> bytes{};
    uint8_t count = 0;
    if (!hub_.GateRmcountvaluCmd2(bytes, &count))
        return false;
    record = QByteArray(reinterpret_cast<const char *>(bytes.data()), GateCount2Record::Size);
    return true;
}
