#pragma once

#include <QString>

#include <sys/types.h>
#include <termios.h>

// Line error counters of a serial driver (TIOCGICOUNT); they only ever grow.
struct LineCounters {
    int frame = 0;
    int overrun = 0; // the UART's own overruns
    int parity = 0;
    int brk = 0;
    int bufOverrun = 0; // bytes lost because the driver's buffer was full
};

// One serial line over POSIX termios: the operations the serial component needs of the
// operating system, one call each. Virtual, so that tests can record what the component asks
// of the line (modem lines, breaks, line errors) where a pseudo-terminal can't show it. Used by
// the GUI thread and the component's two threads at once: every call is a single system call
// on a descriptor that stays valid until close().
class TermiosLine
{
public:
    virtual ~TermiosLine();

    // Opens the device for reading and writing, non-blocking, and makes it ours alone:
    // TIOCEXCL for everybody else, plus an flock that holds against root, who passes TIOCEXCL.
    // False with errno set when the device can't be opened, isn't a terminal or is taken.
    virtual bool open(const QString &device);
    virtual void close();
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

    virtual bool getAttributes(termios &attributes);
    virtual bool setAttributes(const termios &attributes);
    // A bit rate that has no Bxxx code (termios2 with BOTHER).
    virtual bool setOtherBitRate(int rate);

    virtual ssize_t readSome(void *buffer, size_t count);
    virtual ssize_t writeSome(const void *data, size_t count);
    // TCIFLUSH, TCOFLUSH or TCIOFLUSH.
    virtual bool flush(int queue);
    // Returns once everything written has left the line.
    virtual bool drain();

    // TIOCM_* bits, or -1 when the driver has no modem lines.
    virtual int modemStatus();
    // TIOCM_RTS or TIOCM_DTR on or off.
    virtual bool setModemLine(int line, bool on);
    virtual bool setBreak(bool on);
    // False when the driver keeps no counters (pseudo-terminals, some USB adapters).
    virtual bool counters(LineCounters &out);

private:
    int fd_ = -1;
};

// The Bxxx code of a bit rate, or 0 when it has none.
speed_t standardSpeedCode(int bitRate);
// The output bit rate the driver holds for the line (also for rates set with a Bxxx code; on a
// pseudo-terminal's master, the slave's); -1 on failure.
int lineBitRate(int fd);
