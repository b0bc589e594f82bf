#pragma once

#include "link/HubWindow.h"
#include "link/ResultGrid.h"

#include <array>
#include <functional>
#include <map>
#include <vector>

// The main window as the hub sees it, with a real grid of 20 rows (title row included).
class ReceiveTestWindow : public HubWindow
{
public:
    explicit ReceiveTestWindow(int columns = 4) : grid(GridDesignRowCount - 1, columns) {}

    uint8_t *CurrentUid() override { return uid.data(); }
    uint8_t *CurrentSid() override { return sid.data(); }
    uint8_t *MydData() override { return myd.data(); }
    uint8_t &TagDSFID() override { return dsfid; }
    uint8_t &TagAFI() override { return afi; }
    uint8_t &TagICRef() override { return icRef; }
    uint8_t &TagInfoFlags() override { return infoFlags; }
    uint8_t *TagMemSize() override { return memSize.data(); }
    StringGridView *ResultGrid() override { return &grid; }
    void SetStatusPanelText(int panel, const QString &text) override { status[panel] = text; }
    void GateCountEvent(int identifier, const QByteArray &record) override
    {
        gateEvents.push_back({identifier, record});
        if (onGateEvent)
            onGateEvent();
    }
    int S6700Conf() const override { return s6700; }
    int TagBlockSize() const override { return tagBlockSize; }
    int BlockNo() const override { return blockNo; }
    bool fUseInOutFormat() const override { return useInOut; }
    int InOutMode() const override { return inOutMode; }
    QString InString() const override { return QStringLiteral("IN"); }
    QString OutString() const override { return QStringLiteral("OUT"); }
    int InCode() const override { return 0; }
    int OutCode() const override { return 1; }

    std::array<uint8_t, 8> uid{}, myd{};
    std::array<uint8_t, 4> sid{};
    std::array<uint8_t, 2> memSize{};
    uint8_t dsfid = 0, afi = 0, icRef = 0, infoFlags = 0;
    StringGridView grid;
    std::map<int, QString> status;
    std::vector<std::pair<int, QByteArray>> gateEvents;
    std::function<void()> onGateEvent;
    int s6700 = 0xD4, tagBlockSize = 4, blockNo = 0, inOutMode = 0;
    bool useInOut = false;
};
