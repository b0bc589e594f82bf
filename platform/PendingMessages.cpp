#include "platform/PendingMessages.h"

#include "platform/Tick.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {
bool closing = false;
}

void processPendingMessages(int maxWaitMs)
{
    if (!QCoreApplication::instance())
        return;
    // A timer of our own guarantees the wake-up: WaitForMoreEvents alone may block
    // indefinitely when nothing else is due, and the time-limited overload of
    // processEvents ignores WaitForMoreEvents.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxWaitMs < 0 ? 0 : maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
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
        const int left = timeoutMs - static_cast<int>(elapsed);
        processPendingMessages(left < 10 ? left : 10);
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
