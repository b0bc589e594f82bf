#include "app/HubLink.h"

#include "app/ConnectionDialogs.h"
#include "app/KV8AppForm.h"

#include <QLabel>

uint8_t *MainWindowHubLink::CurrentUid()
{
    return form_.CurrentUid;
}

uint8_t *MainWindowHubLink::CurrentSid()
{
    return form_.CurrentSid;
}

uint8_t *MainWindowHubLink::MydData()
{
    return form_.MydData;
}

uint8_t &MainWindowHubLink::TagDSFID()
{
    return form_.TagDSFID;
}

uint8_t &MainWindowHubLink::TagAFI()
{
    return form_.TagAFI;
}

uint8_t &MainWindowHubLink::TagICRef()
{
    return form_.TagICRef;
}

uint8_t &MainWindowHubLink::TagInfoFlags()
{
    return form_.TagInfoFlags;
}

uint8_t *MainWindowHubLink::TagMemSize()
{
    return form_.TagMemSize;
}

StringGridView *MainWindowHubLink::ResultGrid()
{
    return form_.StringGrid1;
}

void MainWindowHubLink::SetStatusPanelText(int panel, const QString &text)
{
    QLabel *label = panel == 0 ? form_.StatusPanel0 : panel == 1 ? form_.StatusPanel1 : nullptr;
    if (label)
        label->setText(text);
}

void MainWindowHubLink::GateCountEvent(int identifier, const QByteArray &record)
{
    form_.WMCopyData(identifier, record);
}

void MainWindowHubLink::AddMainLog(const QString &line)
{
    form_.AddLog(line);
}

int MainWindowHubLink::S6700Conf() const
{
    return form_.OptionSettings::S6700Conf;
}

int MainWindowHubLink::TagBlockSize() const
{
    return form_.OptionSettings::TagBlockSize;
}

int MainWindowHubLink::BlockNo() const
{
    return form_.BlockNo;
}

bool MainWindowHubLink::fUseInOutFormat() const
{
    return form_.OptionSettings::fUseInOutFormat != 0;
}

int MainWindowHubLink::InOutMode() const
{
    return form_.OptionSettings::InOutMode;
}

QString MainWindowHubLink::InString() const
{
    return form_.OptionSettings::InString;
}

QString MainWindowHubLink::OutString() const
{
    return form_.OptionSettings::OutString;
}

int MainWindowHubLink::InCode() const
{
    return form_.OptionSettings::InCode;
}

int MainWindowHubLink::OutCode() const
{
    return form_.OptionSettings::OutCode;
}

int MainWindowHubLink::RunPortCheckDialog()
{
    TPortCheck1 dialog(&form_);
    return dialog.exec();
}
