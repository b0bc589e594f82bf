#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>

class QTcpServer;
class QTcpSocket;

// A stand-in for the LAN board's telnet console, on loopback TCP (any port: the board's own is
// 23). It offers ECHO and SUPPRESS-GO-AHEAD, asks for the terminal type, prompts "PASSWORD:",
// and once logged in echoes every byte and answers each line behind a ">" prompt: an empty line
// with ">" alone, a key with ">" + its value + CR LF, "key=value" and "save" with ">OK" or
// ">NG" + CR LF. Answers can be replaced by garbage or silence, line by line or all at once.
class LanBoardConsole : public QObject
{
    Q_OBJECT

public:
    explicit LanBoardConsole(QObject *parent = nullptr);
    ~LanBoardConsole() override;

    bool listen(quint16 port = 0);
    quint16 port() const;
    // Drops every connection (the board going away).
    void dropConnections();

    // The board's settings by console key ("madr", "l_ip", ... as the console shows them).
    QMap<QByteArray, QByteArray> settings;
    QByteArray password = QByteArrayLiteral("VQJ");
    // Every line "save" stored, counted.
    int saveCount = 0;

    // Nothing at all is sent while set: no negotiation, prompt, echo or answer.
    void setSilent(bool silent) { silent_ = silent; }
    // The answer to one exact line (after its echo) replaced by these bytes; empty: no answer.
    void setAnswer(const QByteArray &line, const QByteArray &bytes) { answers_.insert(line, bytes); }
    // Writes of this key are answered ">NG".
    void refuseWrite(const QByteArray &key) { refused_.insert(key, true); }

    // Data bytes received (telnet commands taken out), all connections, in order.
    QByteArray received() const { return received_; }
    void clearReceived() { received_.clear(); }
    // The terminal type the client reported, and the negotiation commands it sent, raw.
    QByteArray terminalType() const { return terminalType_; }
    QByteArray negotiation() const { return negotiation_; }
    int connectionCount() const { return connections_; }
    bool isConnected() const;

private:
    struct Session {
        int state = 0; // telnet parser: 0 data, 1 IAC, 2 option, 3 SB, 4 SB IAC
        uint8_t command = 0;
        QByteArray sub;
        QByteArray line;
        bool loggedIn = false;
    };
    void adopt(QTcpSocket *socket);
    void onReadyRead(QTcpSocket *socket);
    void onData(QTcpSocket *socket, Session &session, char byte);
    void onLine(QTcpSocket *socket, Session &session, const QByteArray &line);
    void onSubnegotiation(QTcpSocket *socket, const QByteArray &sub);
    QByteArray answerTo(const QByteArray &line);
    void write(QTcpSocket *socket, const QByteArray &bytes);

    QTcpServer *server_;
    QList<QPointer<QTcpSocket>> sockets_;
    QHash<QTcpSocket *, Session> sessions_;
    QHash<QByteArray, QByteArray> answers_;
    QHash<QByteArray, bool> refused_;
    bool silent_ = false;
    QByteArray received_;
    QByteArray terminalType_;
    QByteArray negotiation_;
    int connections_ = 0;
};
