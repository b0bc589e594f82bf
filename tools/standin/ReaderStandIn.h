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

class QTcpServer;
class QTcpSocket;

// A stand-in for a reader behind its LAN board, on loopback TCP. As a client it connects to the
// program's listening port (as the board does by default); as a server it accepts the program's
// connection. Every frame it receives is recorded and answered from a script, or else by the
// default responder (silence unless set). Event-driven on the Qt event loop of the thread that
// owns it, so tests run it in-process.
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
    // Stops listening and closes every connection.
    void close();

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
    // stand-in program and the handler tests use for requests no script entry takes).
    Responder modelReader();
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
    void adopt(QTcpSocket *socket);
    void onReadyRead(QTcpSocket *socket);
    void answer(const QByteArray &request);
    void schedule(const QList<Piece> &pieces);
    QTcpSocket *current() const;

    QTcpServer *server_ = nullptr;
    QList<QPointer<QTcpSocket>> sockets_;
    QHash<QTcpSocket *, FrameSplitter> splitters_;
    QList<Entry> script_;
    Responder defaultResponder_;
    QList<QByteArray> received_;
    QByteArray receivedBytes_;
    ReaderModel model_;
};
