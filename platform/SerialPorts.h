#pragma once

#include <QList>
#include <QString>

// The one mapping between the program's COM port numbers and Linux device nodes, used by the
// port list and the port open alike. The usual devices lie inside COM1..COM10, which several
// dialogs offer:
//   COM1..COM4   /dev/ttyS0..ttyS3       (on-board UARTs)
//   COM5..COM8   /dev/ttyUSB0..ttyUSB3   (USB serial adapters)
//   COM9..COM10  /dev/ttyACM0..ttyACM1   (USB modems and CDC devices)
//   COM11..COM38 /dev/ttyS4..ttyS31
//   COM39..COM134  /dev/ttyUSB4..ttyUSB99
//   COM135..COM232 /dev/ttyACM2..ttyACM99
// Numbers outside these ranges have no device.

// The device path of COM n ("" when n maps to none).
QString comPortDevice(int comNumber);
// The COM number of a device name such as "ttyUSB0" (0 when it has none).
int comNumberOfDevice(const QString &deviceName);

// The COM numbers of the serial ports present, ascending: ttyUSB*, ttyACM* and the ttyS* whose
// UART type is not 0 (a PC lists up to 32 phantom 8250 ports), read from /sys/class/tty.
QList<int> presentComPorts();

// Tests point the lookups at a fake /sys/class/tty and /dev ("" restores the real ones).
void setSerialRootsForTest(const QString &sysClassTty, const QString &devDir);
