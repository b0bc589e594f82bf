#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class StringGridView;

// What the hub needs of the main window, without depending on it: the main window implements
// this, and link tests implement it with a small fake. Everything is called on the GUI thread.
class HubWindow
{
public:
    virtual ~HubWindow() = default;

    // --- written by the hub ---

    // The current tag identifiers that the UID decoders fill and the addressed senders append:
    // 8 bytes of UID and 4 bytes of TAG-IT SID, in wire order.
    virtual uint8_t *CurrentUid() = 0;
    virtual uint8_t *CurrentSid() = 0;

    // What the reply decoders store of the tag last answered: the my-d block (8 bytes), the
    // system information (DSFID, AFI, IC reference, information flags) and the memory size
    // (2 bytes, reply order).
    virtual uint8_t *MydData() = 0;
    virtual uint8_t &TagDSFID() = 0;
    virtual uint8_t &TagAFI() = 0;
    virtual uint8_t &TagICRef() = 0;
    virtual uint8_t &TagInfoFlags() = 0;
    virtual uint8_t *TagMemSize() = 0;

    // The result grid (StringGrid1); null while there is none.
    virtual StringGridView *ResultGrid() = 0;

    // Text of one panel of the status bar.
    virtual void SetStatusPanelText(int panel, const QString &text) = 0;

    // A gate count event (identifier 10: two-gate counts, 11: three-aisle in/out counts) with the
    // record bytes that follow the sub-code. Synchronous: the window has handled it on return.
    virtual void GateCountEvent(int identifier, const QByteArray &record) = 0;

    // A line in the main window's log (its AddLog, not the hub's log): only the USB device's
    // status lines go there.
    virtual void AddMainLog(const QString &) {}

    // --- read by the hub ---

    virtual int S6700Conf() const = 0;
    virtual int TagBlockSize() const = 0;
    virtual int BlockNo() const = 0;

    // The in/out column of the result grid.
    virtual bool fUseInOutFormat() const = 0;
    virtual int InOutMode() const = 0;
    virtual QString InString() const = 0;
    virtual QString OutString() const = 0;
    virtual int InCode() const = 0;
    virtual int OutCode() const = 0;

    // The port-check box of a USB reader that can't be opened ("ポートのチェック"): returns
    // PortCheckRetry, PortCheckUseSerial or PortCheckCancel. Without a window the answer is cancel.
    enum PortCheckAnswer { PortCheckRetry = 1, PortCheckCancel = 2, PortCheckUseSerial = 5 };
    virtual int RunPortCheckDialog() { return PortCheckCancel; }
};
