#pragma once

#include "link/HubWindow.h"

class TKV8AppForm;

// The main window as the hub sees it. A separate object rather than a base of the window,
// because the interface's accessors carry the names of the window's own fields.
class MainWindowHubLink : public HubWindow
{
public:
    explicit MainWindowHubLink(TKV8AppForm &form) : form_(form) {}

    uint8_t *CurrentUid() override;
    uint8_t *CurrentSid() override;
    uint8_t *MydData() override;
    uint8_t &TagDSFID() override;
    uint8_t &TagAFI() override;
    uint8_t &TagICRef() override;
    uint8_t &TagInfoFlags() override;
    uint8_t *TagMemSize() override;
    StringGridView *ResultGrid() override;
    void SetStatusPanelText(int panel, const QString &text) override;
    void GateCountEvent(int identifier, const QByteArray &record) override;
    void AddMainLog(const QString &line) override;
    int S6700Conf() const override;
    int TagBlockSize() const override;
    int BlockNo() const override;
    bool fUseInOutFormat() const override;
    int InOutMode() const override;
    QString InString() const override;
    QString OutString() const override;
    int InCode() const override;
    int OutCode() const override;
    int RunPortCheckDialog() override;

private:
    TKV8AppForm &form_;
};
