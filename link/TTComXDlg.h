#pragma once

#include "link/CommX.h"
#include "link/Frame.h"
#include "link/LinkParams.h"
#include "link/ReadTable.h"
#include "link/SendData.h"
#include "platform/Tick.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

class HubWindow;
class MemoSink;
struct FieldWrite;
struct GateCountRecord;
class QTcpServer;
class QTcpSocket;
class QWidget;
class TQRZUsbC1;

constexpr int RxRingSize = 16384;
constexpr int FrameBufferSize = 268;

// The read table's capacity for a MAX_REC_NO read from the settings: the value itself when it
// is 1..100000, else 200 below 1 and 100000 above. The setting is kept and saved as read.
int readTableCapacity(int maxRecNo);

// The hub: owns the link to the reader (serial, USB, or TCP client or server), builds and sends
// every command frame, collects and routes the replies, keeps the read table and its own log,
// and its settings section "ComDebug". One instance, owned by the main window. All of it runs
// on the GUI thread; the waits pump events, so socket events and timer polls run inside them.
class TTComXDlg : public QObject
{
    Q_OBJECT

public:
    // Owner: the main window; LogMemo: where AppendLog writes; ComSpeed: 1 = 9600, 2 = 38400,
    // any other = 19200 bit/s; ComPort: COM port number (low byte); TransportKind: 0/1/2.
    TTComXDlg(QObject *Owner, MemoSink *LogMemo, int ComSpeed, int ComPort, int TransportKind, TcpLinkParam Tcp,
              HubWindow *window = nullptr);
    ~TTComXDlg() override;

    // The main window as the hub sees it; may be null (tests of the link alone).
    HubWindow *window() const { return window_; }
    void setWindow(HubWindow *window) { window_ = window; }

    // --- settings, transport and log ---

    void LoadComSettings();
    void SaveComSettings();
    void OpenTransport();
    void ReopenPort(int portNo);
    void CloseTransport();
    bool IsTransportOpen() const;
    void AppendLog(const QString &text);
    // Mode 0 starts the shared stopwatch (true); mode 1 tells whether ms have passed since the
    // start, correct across a wrap of the tick counter; any other mode gives false.
    bool TimeoutTimer(int mode, uint32_t ms);
    // What is left of ms on the stopwatch, 0 once they have passed: how long a wait may sleep.
    int timeoutLeft(uint32_t ms) const;
    void ConfigureSerialPort();
    // Shut-down: saves "ComDebug" and closes the transport; closing is always allowed.
    bool FormCloseQuery();

    // --- TCP transport and the send primitive ---

    // Writes one frame to the active transport; returns the bytes sent (TCP, USB), 1/0 for the
    // serial port, and 0 when nothing could be sent.
    unsigned SendFrame(const uint8_t *bytes, int count);
    unsigned SendFrame(const QByteArray &frame);
    // Waits up to 5000 ms for fConnected.
    bool WaitConnect();

    // The listening port in server mode (the one the system chose for port 0), 0 when not
    // listening.
    int listeningPort() const;
    // Connections accepted by ServerSocket1 that are still in its list.
    int serverConnectionCount() const;

    // --- receive ring ---

    // The ring writer of every transport: appends at RxWriteIndex, wrapping at the end, and
    // never overwrites unread bytes (one slot stays free, so equal indices mean empty). Returns
    // how many bytes were taken; the caller keeps the rest.
    int WriteRxRing(const uint8_t *data, int count);
    int RxRingFree() const;
    // The TCP read handlers leave bytes in their sockets, and the serial receive handler in the
    // port, while the ring is full, and neither signals those bytes again: the receive path
    // calls this at the end of every PollReceive, once the ring has been emptied, so those bytes
    // are taken now.
    void DrainTransports();

    // Every sender (and every other place that sets ReplyState to 0 before a send) calls this:
    // it clears ReplyState and the marks of what arrived since the send. The reply router sets
    // ackOrNackSinceSend for a '0' or '1' frame and bit s of statesSinceSend for every state s
    // it sets, so that a wait never takes its verdict from an earlier exchange.
    void ClearReplyState()
    {
        ReplyState = ReplyStateNone;
        ackOrNackSinceSend = false;
        statesSinceSend = 0;
        SystemInfoComplete = false;
    }

    // --- receive path, reply decoders and read table ---

    // The frame collector, run by the main window's 100 ms timer: takes the ring's new bytes,
    // assembles frames by their LEN (its state lasts from one poll to the next), checks CR, ETX
    // and SUM, routes every good frame, then writes the poll's "RX:" trace line.
    void PollReceive();
    // Routes the frame in FrameBuffer: reply state, LastReply or LastGateFrame copy, decoder.
    void DispatchReply();
    // Wait up to 2000 ms, pumping events. WaitAnyReply ends on any frame; WaitReply on an ACK
    // or NACK that arrived after the last ClearReplyState (true for an ACK); WaitReplyState on a
    // frame after it that set the given state (true only for an ACK after it as well). All
    // return false at once when the program closes.
    bool WaitAnyReply();
    bool WaitReply();
    bool WaitReplyState(int state);
    // The verdict of the ACK or NACK kept in LastReply; logs "NACK 受信" for a NACK.
    bool LastReplyVerdict();
    // Stores one decoded value in the window or the hub, within the field's size.
    void storeField(const FieldWrite &write);
    // USB: moves the bytes the device has ready into the ring (at the start of every poll).
    void UsbPollRead();

    // The read table and its rows in the result grid. A simple read ('D') matches on its data
    // text alone; the others on both texts. Texts are kept as the wire's bytes.
    void AddReadData(const QByteArray &text);
    void AddReadRecord(const QByteArray &textA, const QByteArray &textB);
    void ClearReadTable();
    // Hands a gate count record to the main window; returns after the window has handled it.
    void PostGateEvent(int dwData, int count, const uint8_t *bytes);

    // --- reader command senders ---

    // The steps every sender takes: the frame from the one frame builder, LastCmd (unless the
    // command leaves it alone), the TX trace when fDispTxInfo is set, the reply state cleared,
    // SendFrame. DATA that won't fit LEN (an empty optional) is refused: the reply state is
    // cleared all the same, one line "<tag>DATA長オーバー" is logged, nothing is sent, and the
    // result is false, so the caller's wait times out instead of reporting an earlier reply.
    // The frame carries IDNo unless an id is given (the gate commands that go to ID 0).
    bool sendCommand(uint8_t cmd, const std::optional<QByteArray> &data, const QString &tag, bool recordsLastCmd = true,
                     std::optional<uint8_t> id = std::nullopt);
    // The last ACK/NACK copy as a frame; readers of it stay inside its LEN.
    QByteArrayView lastReplyFrame() const;

    void QuitCommand(uint8_t value);
    void BuzzerCommand(uint8_t number, uint8_t first);
    void SimpleReadCommand();
    void GetRomVersionCmd();
    void GetModelNameCmd();
    void RamReadCommand(uint16_t address, uint8_t count);
    // n is 1 to 4; value is left-aligned (its top n bytes are sent).
    bool RamWriteCommand(uint16_t address, uint8_t n, uint32_t value);
    void PortWriteCommand(uint8_t select, uint8_t value);
    bool DousaModeSetJCmd(uint8_t n, ByteSpan data);
    void DousaModeGetNoWait(uint8_t subCode);
    void TxDousaMode(uint8_t modeCode, uint8_t second, uint8_t flags, uint16_t pollingTime, bool alsoEeprom);
    bool PolWrite(uint8_t modeCode, uint8_t second, uint8_t flags, uint16_t pollingTime, bool alsoEeprom,
                  uint8_t blockNo, uint8_t n, ByteSpan data, uint8_t requestFlags);
    void AFI_RDWR_WriteCmd(uint8_t afi);
    void ERR_RATE_ClearCmd();
    bool TxEepromData(uint8_t wordAddress, uint8_t n, ByteSpan bytes);
    bool TxEepromData2(uint8_t wordAddress, uint8_t n, ByteSpan bytes);
    void TxS6700Mode(uint8_t mode, bool alsoEeprom);
    void TxSetParamData(uint8_t paramNo, uint8_t value);
    void RESTART_Cmd();
    void TXON_OFF_Cmd(uint8_t value);
    void POWERDOWN_WriteCmd();
    void POWERDOWN_ReadCmd();
    void SELANTENA_WriteCmd(uint8_t antenna);
    void SET_LEDCONT_Cmd(uint8_t led, uint8_t mode, uint8_t time);
    void CNT_LEDBUZ_Cmd(uint8_t port, uint8_t ledMode, uint8_t ledTime, uint8_t buzzerSound, uint8_t buzzerTime);
    void GetErrorStatusCmd();
    void GETUIDNUMBER_Cmd();
    void GETUIDDATA_Cmd(uint8_t index);
    void EEPROM_INIT_Cmd();
    void UID_RDWR_ReadCmd();
    void UID_RDWR_WriteCmd(ByteSpan uid);

    // The own wait of the read senders (WaitReply), then the answer test: true when the ACK
    // echoes `echo` and carries answerLength more bytes; a short answer logs
    // "レスポンスフォーマットエラー", a wrong echo stays silent.
    bool waitForAnswer(QByteArrayView echo, int answerLength);
    // The port value of the ACK that answered this read; 0 on failure.
    uint8_t PortReadCommand();
    bool RxDousaMode(uint8_t *modeCode, uint8_t *second, uint8_t *flags);
    bool AFI_RDWR_ReadCmd(uint8_t *afi);
    bool ERR_RATE_ReadCmd(uint32_t *good, uint32_t *failed);
    // bytes receives the 2 n answer bytes (as many of them as it holds).
    bool RxEepromData(uint8_t wordAddress, uint8_t n, std::span<uint8_t> bytes);
    bool RxEepromData2(uint8_t wordAddress, uint8_t n, std::span<uint8_t> bytes);
    bool RxS6700Mode(uint8_t *mode);
    bool RXParamData(uint8_t paramNo, uint8_t *value);
    bool SELANTENA_ReadCmd(uint8_t *antenna);
    bool CNT_EXT2PORT_WriteCmd(uint8_t value);
    uint8_t CNT_EXT2PORT_ReadCmd();
    // -1, 0 or 1 as the reader's ROM version (its first three digits) is below, equal to or
    // above reference; a version that can't be read counts as 0.
    int CompareRomVersion(int reference);

    // --- ISO 15693 tag command senders ---

    // 'x' request: code, params, dataLength bytes of data, requestFlags, and CurrentUid when the
    // flags' UID mode is 1. Refused like sendCommand when it won't fit LEN.
    bool sendTagCommand(uint8_t code, QByteArrayView params, ByteSpan data, uint64_t dataLength, uint8_t requestFlags,
                        const QString &tag);
    // CurrentUid of the window (8 bytes), empty without a window.
    ByteSpan currentUidBytes() const;
    // Bytes per tag block as the window holds it; 4 without a window.
    int64_t tagBlockSize() const;

    void ISO15693_CommCmd(uint8_t n, ByteSpan bytes);
    void ISO15693_Inventory(uint8_t flags);
    void ISO15693_Inventory2(uint8_t flags, uint8_t param);
    void ISO15693_StayQuiet(ByteSpan uid, uint8_t flags);
    void ISO15693_ReadSingleBlock(uint8_t block, uint8_t flags);
    bool ISO15693_WriteSingleBlock(uint8_t block, ByteSpan data, uint8_t flags);
    void ISO15693_LockBlock(uint8_t block, uint8_t flags);
    void ISO15693_ReadMultiBlock(uint8_t first, uint8_t count, uint8_t flags);
    bool ISO15693_WriteMultiBlock(uint8_t first, uint8_t count, ByteSpan data, uint8_t flags);
    void ISO15693_SelectTag(ByteSpan uid, uint8_t flags);
    void ISO15693_ResetToReady(uint8_t flags);
    void ISO15693_WriteAFI(uint8_t afi, uint8_t flags);
    void ISO15693_LockAFI(uint8_t flags);
    void ISO15693_WriteDSFID(uint8_t dsfid, uint8_t flags);
    void ISO15693_LockDSFID(uint8_t flags);
    void ISO15693_GetSystemInfo(uint8_t flags);
    void ISO15693_GetMBlockSecSt(uint8_t first, uint8_t count, uint8_t flags);
    void ISO15693_Write2Blocks(uint8_t block, ByteSpan data, uint8_t flags);
    void ISO15693_Lock2Blocks(uint8_t block, uint8_t flags);

    // --- custom tag command senders ('x') ---

    // Always the UID and password given, whatever the flags.
    void TI_KillCommand(uint8_t flags, ByteSpan uid, ByteSpan password);
    void TI_WRSIBK_Psw(uint8_t flags, ByteSpan uid, ByteSpan password, uint8_t block, ByteSpan data);
    // The inventory reads (TI A4, A5, SLI C0, C1) set OptionFlag from bit 4 of their flags; no
    // inventory command carries a UID.
    void TI_InventoryRead(uint8_t block, uint8_t flags, uint8_t afi);
    void TI_InventoryMultiRead(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi);
    void TI_InventoryGetSystemInfo(uint8_t flags, uint8_t afi);
    void TI_InventoryGetSecInfo(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi);
    void ISO15693_ReadBytes(uint8_t start, uint8_t count, uint8_t flags);
    // n data bytes; refused when they won't fit LEN (n above 251, 243 when addressed).
    bool ISO15693_WriteBytes(uint8_t start, uint8_t n, ByteSpan data, uint8_t flags);
    void ISO15693_LockBytes(uint8_t start, uint8_t count, uint8_t flags);
    void Inventory16SlotsCmd(uint8_t mode, uint8_t flags, uint8_t afi, uint8_t maskLength, ByteSpan mask);
    // Always CurrentUid, whatever the flags.
    void ReadLoopCmd(uint8_t mode, uint8_t flags, uint8_t startBlock, uint8_t length, uint8_t afi);
    // pollingTime in units of 10 ms.
    void RDLoopPolCmd(uint8_t flags, uint8_t mode, uint16_t pollingTime, uint8_t startBlock, uint8_t length,
                      uint8_t afi);
    void RDLoopPolGetCmd();
    void Myd_ReadCommand(uint8_t block, uint8_t flags);
    void Myd_WriteCommand(uint8_t block, ByteSpan data, uint8_t flags);
    void Myd_WriteByteCommand(uint8_t block, uint8_t position, uint8_t value, uint8_t flags);
    void Myd_WriteRereadCommand(uint8_t block, ByteSpan data, uint8_t flags);
    void SLI_InventoryRead(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi);
    void SLI_FastInventoryRead(uint8_t block, uint8_t count, uint8_t flags, uint8_t afi);
    void SLI_SetEASCommand(uint8_t flags);
    void SLI_ResetEASCommand(uint8_t flags);
    void SLI_LockEASCommand(uint8_t flags);
    void SLI_EASAlarmCommand(uint8_t flags);
    void MB89_EASCommand(uint8_t flags);
    // Flags first here, but the value goes out before the flags.
    void MB89_WriteEASCommand(uint8_t flags, uint8_t value);
    void MB89_RefreshCommand(uint8_t flags);
    void MB89_RDMULIBLOCKSCommand(uint8_t first, uint8_t count, uint8_t flags);
    void LRI_ACTIVATEEAS(uint8_t flags);
    void LRI_DEACTIVATEEAS(uint8_t flags);
    void LRI_POOLEAS(uint8_t flags);

    // --- TAG-IT command senders ('u') ---

    // CurrentSid of the window (4 bytes), empty without a window.
    ByteSpan currentSidBytes() const;

    // Addressed ((flags & 3) = 1): CurrentSid follows the flags.
    void TAGIT_GETBLOCK_CMD(uint8_t block, uint8_t flags);
    void TAGIT_GETVERSION_CMD(uint8_t flags);
    void TAGIT_PUTBLOCK_CMD(uint8_t block, ByteSpan data, uint8_t flags);
    void TAGIT_PUTBLOCKLOCK_CMD(uint8_t block, ByteSpan data, uint8_t flags);
    void TAGIT_LOCKBLOCK_CMD(uint8_t block, uint8_t flags);
    // Never addressed.
    void TAGIT_SID_POLL_CMD(uint8_t maskLength, uint32_t mask, uint8_t flags);
    void TAGIT_QUIET_CMD(uint8_t flags);

    // --- gate command senders ('G') ---

    // Each waits for the gate's answer (the restart excepted) and logs nothing beyond its TX trace
    // and the wait's own line. Outputs come only from inside the DATA of the ACK that ended the
    // wait; a NACK, silence, a wrong echo or a short answer gives false and leaves them unchanged.
    bool G_GetModeCmd(uint8_t *mode);
    bool G_SetModeCmd(uint8_t mode);
    // bytes receives the 2 n bytes of the words (as many of them as it holds).
    bool GateGetEEPROMCmd(uint8_t wordAddress, uint8_t n, std::span<uint8_t> bytes);
    bool GateSetEEPROMCmd(uint8_t wordAddress, uint8_t n, ByteSpan bytes);
    bool GateGetDispOutStateCmd(std::span<uint8_t, 2> state);
    bool GateSetDispOutStateCmd(uint8_t byte0, uint8_t byte1);
    bool GateGetSwSensorCmd(uint8_t *releaseSwitch, uint8_t *dipSwitch);
    bool GateGetIoSensorCmd(uint8_t *sensors);
    bool GateGetPersonSensorCmd(uint8_t *sensor);
    bool GateRmcountmodeCmd(uint16_t *word1, uint16_t *word2, uint16_t *word3);
    bool GateWmcountmodeCmd(uint16_t word1, uint16_t word2, uint16_t word3);
    bool GateRmcountvaluCmd(GateCountRecord *record);
    bool GateWmcountvaluCmd(const GateCountRecord &record);
    bool GateWadjusttimeCmd();
    bool GateGetDispOutStateCmd2(std::span<uint8_t, 3> state);
    // Ends only on an ACK: a NACK leaves it waiting until the time-out.
    bool GateSetDispOutStateCmd2(uint8_t byte0, uint8_t byte1, uint8_t byte2);
    // The M750 record and whatever follows it, at most 49 bytes (as many as bytes holds), and
    // their count.
    bool GateRmcountvaluCmd2(std::span<uint8_t> bytes, uint8_t *count);
    bool GateWmcountmodeCmd2(ByteSpan data, uint8_t n);
    bool GateGetSPKVolumeCmd(uint8_t *volume);
    bool GateSetSPKVolumeCmd(uint8_t volume);
    // The answers show only in the RX trace; an ACK logs the "取得ＯＫ" line.
    void GateGetRomVersionCmd();
    void GateGetModelNameCmd();
    // These five go to ID 0 whatever IDNo is. The program-mode command's outcome is not
    // reported; the restart doesn't wait.
    void GateProgModeComad();
    void GateReStartComad();
    bool GateGetBPSSpeedComad(uint8_t *speedCode);
    bool GateSetBPSSpeedComad(uint8_t speedCode);
    // n bytes as given, the first being the sub-code.
    bool GateCommCmd(uint8_t n, ByteSpan bytes);

public:
    // --- the components ---

    TCommX CommX1;
    QTcpServer *ServerSocket1 = nullptr;
    QTcpSocket *ClientSocket1 = nullptr;

    // --- fields, in the order the hub keeps them ---

    uint8_t LastCmd = 0;
    std::array<uint8_t, RxRingSize> RxRing{};
    int RxWriteIndex = 0;
    int RxReadIndex = 0;
    int RxSnapshot = 0;
    int IdlePolls = 0;
    int InFrame = 0;
    int FrameIndex = 0;
    int FrameEndIndex = 0;
    uint8_t LastReplyId = 0;
    int ReadCount = 0;
    int MAX_REC_NO = 200; // as read from the settings; the capacity is ReadTable.size()
    std::vector<tagTAGDATA> ReadTable;
    int ReplyState = ReplyStateNone;
    int OptionFlag = 0;
    QByteArray RomVersion;
    MemoSink *LogMemo = nullptr;
    TQRZUsbC1 *UsbDevice = nullptr;
    std::array<uint8_t, RxRingSize> LastReply{};
    std::array<uint8_t, RxRingSize> LastGateFrame{};
    int UsbStagedCount = 0;
    std::array<uint8_t, 4096> UsbStaging{};
    int TransportKind = 0;
    uint8_t LastBlockSecSt = 0;
    std::array<uint8_t, 255> LastBlockData{};
    int TcpListenPort = 0;
    int fConnected = 0;
    int TcpServerMode = 0;
    int TcpReaderPort = 0;
    QString TcpReaderAddr;
    uint8_t IDNo = 0;
    uint8_t PortData = 0;
    int LastRecRow = 0;
    int fDispRecInfo = 1;
    int fDispTxInfo = 1;
    int fWrDebug1 = 0;
    int fDispCont1 = 1;

    // The frame under collection (a frame is at most 262 bytes). One per hub, so that hubs of
    // parallel tests never share it.
    std::array<uint8_t, FrameBufferSize> FrameBuffer{};
    // A copy of the last frame the router took, whatever its code: FrameBuffer itself may
    // already hold the start of the next frame.
    std::array<uint8_t, FrameBufferSize> LastRoutedFrame{};
    // That copy as exactly its LEN + 7 bytes (all zero before the first frame).
    QByteArrayView routedFrame() const;

    // Marks of the replies routed since the last ClearReplyState (see there).
    bool ackOrNackSinceSend = false;
    uint32_t statesSinceSend = 0;
    // True while the last ACK or NACK since the send answered Get System Information and
    // carried every field its flags announce, so the window's system-information fields hold
    // this tag's values.
    bool SystemInfoComplete = false;

    // --- serial port events ---

    // Bytes are waiting in CommX1: takes as many as the ring has room for.
    void CommX1Receive(int count);
    // Logs "CommX1Error" and one line per error bit (framing, overrun, parity); a device that
    // went away is one line naming the port, and the transport counts as closed.
    void CommX1Error(unsigned errors);

    // --- TCP event handlers ---

    void ServerSocket1Listen();
    void ServerSocket1ClientConnect(QTcpSocket *socket);
    void ServerSocket1ClientDisconnect(QTcpSocket *socket);
    void ServerSocket1ClientRead(QTcpSocket *socket);
    void ServerSocket1ClientError(QTcpSocket *socket);
    void ServerSocket1ThreadEnd();
    void ClientSocket1Connect();
    void ClientSocket1Disconnect();
    void ClientSocket1Read();
    void ClientSocket1Error();

private:
    void openTcp();
    void closeTcp();
    void openSerial(bool setPort, int portNo);
    void reopen(bool setPort, int portNo);
    void openUsbAtStart();
    void acceptPendingConnections();
    void readIntoRing(QTcpSocket *socket, int portion, const QString &eventLine);
    class ConnectionStream;
    static ConnectionStream *findStream(const QTcpSocket *socket);
    void markRingSource(QTcpSocket *socket);
    void putHeldIntoRing(QTcpSocket *socket, ConnectionStream &stream);
    bool waitsForAnotherFrame(QTcpSocket *socket) const;
    bool hasUntakenBytes(const QTcpSocket *socket) const;
    void ringFrameAbandoned();
    // AddReadData and AddReadRecord: count the matching record or append a new one.
    void addRead(const QByteArray &textA, const QByteArray &textB, bool matchTextAOnly);
    bool drainClosedConnections();
    void retireSocket(QTcpSocket *socket);
    QTcpSocket *newClientSocket();
    QWidget *ownerWidget() const;

    HubWindow *window_ = nullptr;
    TickStopwatch timeout_;
    QList<QPointer<QTcpSocket>> serverConnections_;
    // Connections whose peer has closed while bytes of theirs still waited for room in the ring,
    // oldest first. They are emptied, in this order, before any open connection is read, and
    // deleted once empty.
    QList<QPointer<QTcpSocket>> closedConnections_;
    // The connection whose bytes went into the ring last, and the ring positions where the bytes
    // of another connection begin: there the collector drops any frame it had begun, so that no
    // frame is made of two connections' bytes.
    QPointer<QTcpSocket> ringSource_;
    // The records of ReadTable[0 .. ReadCount - 1] by their texts.
    ReadTableIndex readIndex_;
    std::deque<int> streamStarts_;
};

// The hub of the program (null until the main window has created it).
extern TTComXDlg *TComXDlg;
