#include "platform/SerialPorts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace
{

QString sysRoot = QStringLiteral("/sys/class/tty");
QString devRoot = QStringLiteral("/dev");

struct Range {
    const char *prefix;
    int firstIndex; // device index of the first COM number of the range
    int firstCom;
    int count;
};

const Range ranges[] = {
    {"ttyS", 0, 1, 4},   {"ttyUSB", 0, 5, 4},   {"ttyACM", 0, 9, 2},
    {"ttyS", 4, 11, 28}, {"ttyUSB", 4, 39, 96}, {"ttyACM", 2, 135, 98},
};

} // namespace

QString comPortDevice(int comNumber)
{
    for (const Range &r : ranges) {
        if (comNumber >= r.firstCom && comNumber < r.firstCom + r.count)
            return devRoot + QLatin1Char('/') + QLatin1String(r.prefix) +
                   QString::number(r.firstIndex + comNumber - r.firstCom);
    }
    return QString();
}

int comNumberOfDevice(const QString &deviceName)
{
    static const QRegularExpression form(QStringLiteral("^(ttyS|ttyUSB|ttyACM)(\\d+)$"));
    const QRegularExpressionMatch m = form.match(deviceName);
    if (!m.hasMatch())
        return 0;
    const QString prefix = m.captured(1);
    const int index = m.captured(2).toInt();
    for (const Range &r : ranges) {
        if (prefix == QLatin1String(r.prefix) && index >= r.firstIndex && index < r.firstIndex + r.count)
            return r.firstCom + index - r.firstIndex;
    }
    return 0;
}

QList<int> presentComPorts()
{
    QList<int> out;
    const QStringList names =
        QDir(sysRoot).entryList({QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                QDir::AllEntries | QDir::System);
    for (const QString &name : names) {
        if (name.startsWith(QLatin1String("ttyS"))) {
            QFile type(sysRoot + QLatin1Char('/') + name + QStringLiteral("/type"));
            if (!type.open(QIODevice::ReadOnly) || type.readAll().trimmed().toInt() == 0)
                continue;
        }
        if (const int com = comNumberOfDevice(name))
            out.append(com);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void setSerialRootsForTest(const QString &sysClassTty, const QString &devDir)
{
    sysRoot = sysClassTty.isEmpty() ? QStringLiteral("/sys/class/tty") : sysClassTty;
    devRoot = devDir.isEmpty() ? QStringLiteral("/dev") : devDir;
}
