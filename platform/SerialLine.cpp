#include "platform/SerialLine.h"

#include "platform/Termios2.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

TermiosLine::~TermiosLine()
{
    close();
}

bool TermiosLine::open(const QString &device)
{
    close();
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios probe;
    if (::tcgetattr(fd, &probe) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return false;
    }
    fd_ = fd;
    return true;
}

void TermiosLine::close()
{
    if (fd_ < 0)
        return;
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool TermiosLine::getAttributes(termios &attributes)
{
    return ::tcgetattr(fd_, &attributes) == 0;
}

bool TermiosLine::setAttributes(const termios &attributes)
{
    return ::tcsetattr(fd_, TCSANOW, &attributes) == 0;
}

bool TermiosLine::setOtherBitRate(int rate)
{
    return setTermios2BitRate(fd_, rate);
}

ssize_t TermiosLine::readSome(void *buffer, size_t count)
{
    return ::read(fd_, buffer, count);
}

ssize_t TermiosLine::writeSome(const void *data, size_t count)
{
    return ::write(fd_, data, count);
}

bool TermiosLine::flush(int queue)
{
    return ::tcflush(fd_, queue) == 0;
}

bool TermiosLine::drain()
{
    return ::tcdrain(fd_) == 0;
}

int TermiosLine::modemStatus()
{
    int bits = 0;
    return ::ioctl(fd_, TIOCMGET, &bits) == 0 ? bits : -1;
}

bool TermiosLine::setModemLine(int line, bool on)
{
    return ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

bool TermiosLine::setBreak(bool on)
{
    return ::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0;
}

bool TermiosLine::counters(LineCounters &out)
{
    serial_icounter_struct c{};
    if (::ioctl(fd_, TIOCGICOUNT, &c) != 0)
        return false;
    out.frame = c.frame;
    out.overrun = c.overrun;
    out.parity = c.parity;
    out.brk = c.brk;
    out.bufOverrun = c.buf_overrun;
    return true;
}

speed_t standardSpeedCode(int bitRate)
{
    static const struct {
        int rate;
        speed_t code;
    } codes[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
        {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
        {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
        {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
        {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto &c : codes) {
        if (c.rate == bitRate)
            return c.code;
    }
    return 0;
}

int lineBitRate(int fd)
{
    return termios2BitRate(fd);
}
