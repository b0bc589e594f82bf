#pragma once

#include "tools/standin/FrameSplitter.h"
#include "tools/standin/ReaderModel.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QTimer;

// A stand-in for a reader behind its LAN board, on loopback TCP. As a client it connects to the
// program's listening port (as the board does by default); as a server it accepts the program's
// connection. It can also sit at the far end of a pseudo-terminal (a reader on a serial port)
// or of two pipes (a USB reader). Every frame it receives is recorded and answered from a
// script, or else by the default responder (silence unless set): on the TCP connection when
// there is one, else on the pseudo-terminal, else on the pipes. Event-driven on the Qt event
// loop of the thread that owns it, so tests run it in-process.
class ReaderStandIn : public QObject
{
    Q_OBJECT

public:
    // One piece of a reply: bytes written after a pause (ms) counted from the previous piece.
    struct Piece {
        QByteArray bytes;
        int pauseMs = 0;
    };
    // What to send for a request (its whole frame); no pieces means silence.
    using Responder = std::function<QList<Piece>(const QByteArray &request)>;

    explicit ReaderStandIn(QObject *parent = nullptr);
    ~ReaderStandIn() override;

    // Server: listens on loopback (port 0 picks a free port); false when that fails.
    bool listen(quint16 port = 0);
    quint16 serverPort() const;
    // Client: starts connecting (only loopback in the test build); see waitConnected.
    bool connectTo(const QString &host, quint16 port);
    bool waitConnected(int timeoutMs = 5000);
    bool isConnected() const;
    // Closes the connection gracefully (what was written still goes out).
    void disconnectPeer();
    // Stops listening and closes every connection, the pseudo-terminal and the pipes.
    void close();

    // Opens a pseudo-terminal and answers on its master; returns the slave's path (empty on
    // failure), which the program opens as its serial port.
    QString openPseudoTerminal();
    int pseudoTerminalMaster() const { return pty_.readFd; }
    // Makes the FIFOs "PIPE00" (the program writes, the stand-in reads) and "PIPE01" (the
    // other way) in folder and answers on them; false on failure.
    bool openPipes(const QString &folder);

    // --- the script ---

    // The next request with this command byte (and this first DATA byte, when given) is answered
    // by the responder; entries are used once, the first matching one wins.
    void expect(uint8_t cmd, std::optional<uint8_t> subCode, Responder responder);
    // The next request of any kind.
    void expectAny(Responder responder);
    // Requests that no entry matches (silence unless set).
    void setDefaultResponder(Responder responder) { defaultResponder_ = std::move(responder); }
    int scriptLeft() const { return static_cast<int>(script_.size()); }

    // Responders.
    static Responder ack(const QByteArray &data);
    static Responder nack(uint8_t errorClass, uint8_t errorCode = 0);
    static Responder silence();
    // A fixed frame cut into pieces of the given sizes (the last piece takes the rest), with a
    // pause before every piece but the first.
    static Responder split(const QByteArray &frame, const QList<int> &sizes, int pauseMs);
    static Responder pieces(const QList<Piece> &pieces);
    // Answers from the stand-in's reader model, which keeps what was written (what the
    // stand-in program and the handler tests use for requests no script entry takes). After a
    // request that leaves the model in auto-scan or continuous inventory, the stand-in sends
    // the model's report of its field every ReportIntervalMs until the mode changes.
    Responder modelReader();
    static constexpr int ReportIntervalMs = 300;
    ReaderModel &model() { return model_; }

    // Unsolicited bytes: now, or after a delay (ms).
    void send(const QByteArray &bytes);
    void sendAfter(int delayMs, const QByteArray &bytes);

    // --- what was received ---

    QList<QByteArray> received() const { return received_; }
    QByteArray receivedBytes() const { return receivedBytes_; }
    void clearReceived();
    bool waitForFrames(int count, int timeoutMs = 3000);

signals:
    void frameReceived(const QByteArray &frame);

private:
    struct Entry {
        std::optional<uint8_t> cmd;
        std::optional<uint8_t> subCode;
        Responder responder;
    };
    // A pseudo-terminal master (readFd and writeFd the same) or the two pipes.
    struct FdSide {
        int readFd = -1;
        int writeFd = -1;
        int keepFd = -1; // the slave, held open so that the master never sees a hang-up
        QSocketNotifier *reader = nullptr;
        QSocketNotifier *writer = nullptr;
        FrameSplitter splitter;
        QByteArray outbox;
    };
    void watchSide(FdSide &side);
    void readSide(FdSide &side);
    void writeSide(FdSide &side);
    void closeSide(FdSide &side);
    void takeBytes(const QByteArray &bytes, FrameSplitter &splitter);
    void adopt(QTcpSocket *socket);
    void onReadyRead(QTcpSocket *socket);
    void answer(const QByteArray &request);
    void schedule(const QList<Piece> &pieces);
    void followModelMode();
    void reportField();
    QTcpSocket *current() const;

    QTcpServer *server_ = nullptr;
    QList<QPointer<QTcpSocket>> sockets_;
    QHash<QTcpSocket *, FrameSplitter> splitters_;
    QList<Entry> script_;
    Responder defaultResponder_;
    QList<QByteArray> received_;
    QByteArray receivedBytes_;
    ReaderModel model_;
    QTimer *reportTimer_ = nullptr;
    FdSide pty_;
    FdSide pipes_;
};
