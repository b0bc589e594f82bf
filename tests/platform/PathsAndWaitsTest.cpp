#include "platform/AppPaths.h"
#include "platform/PendingMessages.h"
#include "platform/Tick.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

#include <gtest/gtest.h>

#include <ctime>

TEST(AppPathsTest, SettingsFileReplacesOnlyTheLastExtensionOfTheFileName)
{
    EXPECT_EQ(iniPathFor("/opt/kv8/kv8demo"), "/opt/kv8/kv8demo.ini");
    EXPECT_EQ(iniPathFor("/opt/kv8/kv8demo.exe"), "/opt/kv8/kv8demo.ini");
    EXPECT_EQ(iniPathFor("/opt/kv8/kv8demo.v2.bin"), "/opt/kv8/kv8demo.v2.ini");
    EXPECT_EQ(iniPathFor("/opt/kv8.d/kv8demo"), "/opt/kv8.d/kv8demo.ini");
    EXPECT_EQ(iniPathFor("/opt/kv8/.hidden"), "/opt/kv8/.hidden.ini");
}

TEST(TickTest, ElapsedTimeIsCorrectAcrossTheWrapOfTheCounter)
{
    EXPECT_EQ(ticksSince(0xFFFFFF00u, 0x00000100u), 0x200u);
    setTickOffsetForTest(0xFFFFFFFFu - systemTick());
    const uint32_t before = systemTick();
    processPendingMessages(5);
    const uint32_t after = systemTick();
    EXPECT_LT(ticksSince(before, after), 1000u);
    setTickOffsetForTest(0);
}

TEST(WaitTest, WaitSleepsInsteadOfSpinningAndEndsOnItsCondition)
{
    bool fired = false;
    QTimer::singleShot(50, [&] { fired = true; });
    const std::clock_t cpuBefore = std::clock();
    EXPECT_TRUE(waitFor([&] { return fired; }, 2000));
    int wakeUps = 0;
    const auto counter =
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    EXPECT_FALSE(waitFor([] { return false; }, 200));
    QObject::disconnect(counter);
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    // Two waits of about 250 ms in all: a spinning loop would burn all of it.
    EXPECT_LT(cpuMs, 150.0);
    // With nothing arriving, the wait wakes for its deadline, not on a tick of its own.
    EXPECT_LE(wakeUps, 3);
}

TEST(WaitTest, WaitsReturnFalseOnceTheProgramIsClosing)
{
    setApplicationClosing(true);
    EXPECT_FALSE(waitFor([] { return false; }, 5000));
    setApplicationClosing(false);
}
