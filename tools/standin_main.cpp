// A stand-in LAN board with a reader behind it, for trying kv8demo without hardware.
//   kv8standin [--server] [--telnet=port] [host] [port]
// By default it connects to 127.0.0.1:3335, where kv8demo listens; with --server it listens on
// 127.0.0.1 (port 10777 unless given) for kv8demo's client connection. --telnet also offers the
// board's telnet console on 127.0.0.1 at that port (the board's own is 23).

#include "tools/standin/LanBoardConsole.h"
#include "tools/standin/ReaderStandIn.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const bool serverMode = args.removeAll(QStringLiteral("--server")) > 0;
    LanBoardConsole console;
    for (qsizetype i = args.size() - 1; i >= 0; --i) {
        if (!args[i].startsWith(QLatin1String("--telnet=")))
            continue;
        const uint telnetPort = args.takeAt(i).mid(9).toUInt();
        if (telnetPort == 0 || telnetPort > 65535 || !console.listen(static_cast<quint16>(telnetPort))) {
            err << "cannot offer the telnet console on 127.0.0.1:" << telnetPort << "\n";
            return 1;
        }
        out << "telnet console on 127.0.0.1:" << console.port() << Qt::endl;
    }
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = serverMode ? 10777 : 3335;
    for (const QString &arg : std::as_const(args)) {
        bool isNumber = false;
        const uint value = arg.toUInt(&isNumber);
        if (isNumber && value > 0 && value <= 65535)
            port = static_cast<quint16>(value);
        else if (!isNumber && !arg.startsWith(QLatin1Char('-')))
            host = arg;
        else {
            err << "usage: kv8standin [--server] [--telnet=port] [host] [port]\n";
            return 2;
        }
    }

    ReaderStandIn standIn;
    standIn.setDefaultResponder(standIn.modelReader());
    QObject::connect(&standIn, &ReaderStandIn::frameReceived,
                     [&out](const QByteArray &frame) { out << "RX " << frame.toHex(' ').toUpper() << Qt::endl; });

    if (serverMode) {
        if (!standIn.listen(port)) {
            err << "cannot listen on 127.0.0.1:" << port << "\n";
            return 1;
        }
        out << "listening on 127.0.0.1:" << standIn.serverPort() << Qt::endl;
        return app.exec();
    }

    // A board keeps trying until the program listens, and again after each disconnect.
    auto attempt = [&] {
        if (!standIn.isConnected()) {
            out << "connecting to " << host << ':' << port << Qt::endl;
            standIn.connectTo(host, port);
        }
    };
    QTimer retry;
    QObject::connect(&retry, &QTimer::timeout, attempt);
    retry.start(3000);
    attempt();
    return app.exec();
}
