#pragma once

#include "link/CommX.h"
#include "platform/SerialPorts.h"
#include "tools/standin/ReaderStandIn.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

// The reader stand-in at the far end of a pseudo-terminal that the port mapping shows as COM1
// (a link "ttyS0" in a temporary device folder).
class SerialFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dev.isValid());
        const QString slave = standIn.openPseudoTerminal();
        ASSERT_FALSE(slave.isEmpty());
        ASSERT_TRUE(QFile::link(slave, dev.filePath(QStringLiteral("ttyS0"))));
        setSerialRootsForTest(dev.path(), dev.path());
    }
    void TearDown() override { setSerialRootsForTest(QString(), QString()); }

    QTemporaryDir dev;
    ReaderStandIn standIn;
};

// The operating system's side of the port, over the pseudo-terminal, recording what a
// pseudo-terminal can't show: the settings asked for, modem lines, breaks, drains (each with its
// time), and line error counters that the test sets.
class RecordingLine : public TermiosLine
{
public:
    using Clock = std::chrono::steady_clock;
    struct Event {
        std::string what;
        Clock::time_point at;
    };

    bool setAttributes(const termios &attributes) override
    {
        {
            std::lock_guard lock(mutex);
            asked = attributes;
        }
        // A pseudo-terminal refuses parity and data bits other than 8.
        termios carried = attributes;
        carried.c_cflag = (carried.c_cflag & ~(CSIZE | PARENB | PARODD)) | CS8;
        return TermiosLine::setAttributes(carried);
    }
    ssize_t readSome(void *buffer, size_t count) override
    {
        if (failReads) {
            errno = EIO;
            return -1;
        }
        return TermiosLine::readSome(buffer, count);
    }
    ssize_t writeSome(const void *data, size_t count) override
    {
        record("write " + std::to_string(count));
        return swallowWrites ? static_cast<ssize_t>(count) : TermiosLine::writeSome(data, count);
    }
    bool drain() override
    {
        record("drain");
        return true;
    }
    int modemStatus() override { return status; }
    bool setModemLine(int line, bool on) override
    {
        record(std::string(line == TIOCM_RTS ? "RTS " : "DTR ") + (on ? "on" : "off"));
        return true;
    }
    bool setBreak(bool on) override
    {
        record(on ? "break on" : "break off");
        return true;
    }
    bool counters(LineCounters &out) override
    {
        std::lock_guard lock(mutex);
        out = counts;
        return true;
    }

    void record(const std::string &what)
    {
        std::lock_guard lock(mutex);
        events.push_back({what, Clock::now()});
    }
    std::vector<Event> taken()
    {
        std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
    void setCounters(const LineCounters &c)
    {
        std::lock_guard lock(mutex);
        counts = c;
    }
    termios lastAsked()
    {
        std::lock_guard lock(mutex);
        return asked;
    }

    std::atomic<bool> swallowWrites{false};
    std::atomic<bool> failReads{false};
    std::atomic<int> status{0};

private:
    std::mutex mutex;
    std::vector<Event> events;
    LineCounters counts;
    termios asked{};
};
