// The read table at the receive ring's ceiling, with the main window's real grid on screen: one
// poll of a full ring of distinct 15-byte simple reads (8 DATA bytes each) into a table that
// already holds 10,000, 50,000 or 100,000 records (MAX_REC_NO 100000, so at 100,000 every read is
// looked up and dropped; the run from 94,540 times the five polls that fill the table up to it). Timed: the poll and
// the events it leaves behind (the grid's repaint). Reported beside it: the process's resident memory with the table at
// that size.
//
// And the waits: a 20 s wait for a connection with no peer (four WaitConnect calls of 5 s, a
// loopback listener open meanwhile), counting the event loop's wake-ups and the processor time.

#include "app/HubLink.h"
#include "app/KV8AppForm.h"
#include "link/Frame.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "tests/bench/BenchApp.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

namespace
{

QByteArray readText(char tag, int n)
{
    return tag + QByteArray::number(n).rightJustified(7, '0');
}

// The ring's ceiling in 15-byte simple-read frames, numbered from `first`.
QByteArray fullRingOfReads(int first)
{
    QByteArray bytes;
    for (int n = first; bytes.size() + 15 < RxRingSize; ++n)
        bytes += buildFrame(0, 'D', readText('R', n));
    return bytes;
}

void pollAtTheRingsCeiling(benchmark::State &state)
{
    ensureBenchApplication();
    const int records = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
    {
        QFile ini(dir.filePath(QStringLiteral("kv8demo.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return state.SkipWithError("no settings file");
        ini.write("[ComDebug]\r\nMAX_REC_NO=100000\r\nfDispRecInfo=0\r\n");
    }
    auto form = std::make_unique<TKV8AppForm>();
    form->show();
    // The window on screen, without the start-up road its first show queues (its dialogs).
    QCoreApplication::removePostedEvents(form.get(), QEvent::MetaCall);
    QCoreApplication::processEvents();
    // No transport: the bench feeds the ring itself.
    TComXDlg = new TTComXDlg(form.get(), form->LogSink(), 0, 1, -1, TcpLinkParam{}, form->HubLink());
    for (int n = 0; n < records; ++n)
        TComXDlg->AddReadData(readText('P', n));
    QCoreApplication::processEvents();

    int next = 0;
    for (auto _ : state) {
        const QByteArray ring = fullRingOfReads(next);
        next += static_cast<int>(ring.size() / 15);
        TComXDlg->WriteRxRing(reinterpret_cast<const uint8_t *>(ring.constData()), static_cast<int>(ring.size()));
        TComXDlg->PollReceive();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    state.counters["records"] = TComXDlg->ReadCount;
    state.counters["resident_MiB"] = residentMiB();
    form.reset();
    setProgramPathForTest(QString());
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void idleConnectionWait(benchmark::State &state)
{
    ensureBenchApplication();
    QTemporaryDir dir;
    setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
    MemoryMemoSink memo;
    TTComXDlg hub(nullptr, &memo, 0, 1, -1, TcpLinkParam{}, nullptr);
    QTcpServer listener;
    listener.listen(QHostAddress::LocalHost, 0);
    int wakeUps = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    double cpu = 0;
    for (auto _ : state) {
        const double before = cpuSeconds();
        for (int i = 0; i < 4; ++i)
            hub.WaitConnect();
        cpu = cpuSeconds() - before;
    }
    state.counters["wake_ups"] = wakeUps;
    state.counters["cpu_percent_of_a_core"] = cpu / 20.0 * 100.0;
    setProgramPathForTest(QString());
}

} // namespace

BENCHMARK(pollAtTheRingsCeiling)
    ->Arg(10000)
    ->Arg(50000)
    ->Arg(100000 - 5 * 1092)
    ->Arg(100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(idleConnectionWait)->Iterations(1)->Unit(benchmark::kSecond);
