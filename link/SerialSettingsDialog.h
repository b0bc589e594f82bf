#pragma once

#include "link/CommX.h"

#include <QDialog>

class QComboBox;

// The line settings that the serial-parameter dialog edits.
struct SerialLineSettings {
    enum Flow { FlowXonXoff, FlowHardware, FlowNone };
    int baudRate = 9600;
    int dataBits = 8;
    TCommParityBits parity = cpbNone;
    TCommStopBits stopBits = csb1;
    Flow flow = FlowNone;
};

// From the port's settings (a bit rate of -1 shows as 9600; RTS/CTS is hardware flow control,
// XON/XOFF is XON/XOFF, every other flow control none).
SerialLineSettings serialLineSettingsOf(const TCommX &port);
// Back to the port: flow control becomes none, then RTS/CTS for hardware or XON/XOFF. On an open
// port every setting applies at once and may raise ECommError.
void applySerialLineSettings(const SerialLineSettings &line, TCommX &port);

// The serial port's communication settings: bit rate, data bits, parity, stop bits and flow
// control.
class SerialSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SerialSettingsDialog(QWidget *parent = nullptr);
    void setSettings(const SerialLineSettings &line);
    SerialLineSettings settings() const;

private:
    QComboBox *baudRate_;
    QComboBox *dataBits_;
    QComboBox *parity_;
    QComboBox *stopBits_;
    QComboBox *flow_;
};
