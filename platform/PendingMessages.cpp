#include "platform/PendingMessages.h"

#include "platform/Tick.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace
{
bool closing = false;
}

void processPendingMessages(int maxWaitMs)
{
    if (!QCoreApplication::instance())
        return;
    // A timer of our own guarantees the wake-up at the deadline: WaitForMoreEvents alone may
    // block indefinitely when nothing else is due, and the time-limited overload of
    // processEvents ignores WaitForMoreEvents. Precise, so that it never fires early and costs
    // the wait a second wake-up.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    // With 0 as well: the thread then still reaches its idle moment (aboutToBlock) when nothing
    // is pending, which the main window's idle work relies on.
    if (maxWaitMs != NoDeadline)
        wake.start(std::max(maxWaitMs, 0));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    const uint32_t start = systemTick();
    for (;;) {
        if (done())
            return true;
        if (closing)
            return false;
        const uint32_t elapsed = ticksSince(start, systemTick());
        if (elapsed >= static_cast<uint32_t>(timeoutMs))
            return done();
        processPendingMessages(timeoutMs - static_cast<int>(elapsed));
    }
}

bool applicationClosing()
{
    return closing;
}

void setApplicationClosing(bool value)
{
    closing = value;
}
