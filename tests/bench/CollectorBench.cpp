// The frame collector over a full receive ring of valid frames mixed with garbage: what one 100 ms
// poll may have to take. The hub log goes to memory, so Qt's text layout is not what is measured.
// A full ring should be collected in well under 5 ms.

#include "link/Frame.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "tests/bench/BenchApp.h"

#include <QDir>

#include <benchmark/benchmark.h>

namespace
{

QByteArray mixedTraffic(int size)
{
    QByteArray uid("\x01\x02\x03\x04\x05\x06\x07\x00", 8);
    QByteArray out;
    for (int i = 0; out.size() < size; ++i) {
        uid[7] = static_cast<char>(i % 16);
        switch (i % 5) {
        case 0:
            out += buildFrame(0, '0', QByteArray("\x9F\x5A", 2));
            break;
        case 1:
            out += buildFrame(0, 'd', uid + "TAGDATA-0123456789");
            break;
        case 2:
            out += buildFrame(0, '1', QByteArray("\x05\x10", 2));
            break;
        case 3:
            out += QByteArray("\x00\x0D garbage \x03", 12);
            break;
        default:
            out += buildFrame(0, 'G', QByteArray(37, '\x81'));
            break;
        }
    }
    return out.left(size);
}

void collectFullRing(benchmark::State &state)
{
    ensureBenchApplication();
    setProgramPathForTest(QDir::temp().filePath(QStringLiteral("kv8-bench-no-such-dir/kv8demo")));

    MemoryMemoSink memo;
    TTComXDlg hub(nullptr, &memo, 0, 1, -1, TcpLinkParam{}, nullptr);
    hub.LastCmd = 'O';
    hub.fDispRecInfo = static_cast<int>(state.range(0));
    const QByteArray traffic = mixedTraffic(RxRingSize - 1);
    const auto *bytes = reinterpret_cast<const uint8_t *>(traffic.constData());

    for (auto _ : state) {
        if (hub.WriteRxRing(bytes, static_cast<int>(traffic.size())) != traffic.size())
            state.SkipWithError("the ring did not take the whole burst");
        hub.PollReceive();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * traffic.size());
    state.SetLabel(state.range(0) ? "with RX trace" : "without RX trace");
}

} // namespace

BENCHMARK(collectFullRing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
