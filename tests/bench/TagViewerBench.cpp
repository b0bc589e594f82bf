// The tag viewer's per-block read-out of a 64 x 4-byte tag (a maker the viewer doesn't know, so
// its geometry comes from its system information) against the reader stand-in on loopback, which
// answers at once; the main window's 100 ms timer collects the replies, as in the program.
// Reported: the mean and worst time per block (from one block request to the next, as the
// stand-in receives them; about one timer period is expected, and a mean above 110 ms means a wait
// sleeps past its wake-up), and the worst lateness of a 10 ms probe timer during the read-out
// (under 50 ms: the program stays responsive while it reads).

#include "app/KV8AppForm.h"
#include "app/TagDataViewer.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/PendingMessages.h"
#include "tests/bench/BenchApp.h"
#include "tools/standin/ReaderStandIn.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace
{

constexpr int BlockCount = 64;

void tagViewerPerBlockReadOut(benchmark::State &state)
{
    ensureBenchApplication();
    QTemporaryDir dir;
    setProgramPathForTest(dir.filePath(QStringLiteral("kv8demo")));
    auto form = std::make_unique<TKV8AppForm>();
    form->TcpLinkParam.TCPPort = 0;
    form->TcpLinkParam.fTCPServer = 1;
    form->CreateHub(0);
    ReaderStandIn board;
    board.setDefaultResponder(board.modelReader());
    board.model().tags.clear();
    board.model().blockSize = 4;
    board.model().addTag(QByteArray("\x11\x22\x33\x44\x55\x01\x16\xE0", 8), BlockCount);
    if (!TComXDlg || !board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(TComXDlg->listeningPort())) ||
        !waitFor([] { return TComXDlg->fConnected != 0; }, 5000))
        return state.SkipWithError("the stand-in could not connect");
    form->Timer1->start(100);

    QElapsedTimer clock;
    clock.start();
    QList<qint64> blockRequests;
    QObject::connect(&board, &ReaderStandIn::frameReceived, [&](const QByteArray &frame) {
        if (frame.size() > 4 && frame.at(2) == 'x' && static_cast<uint8_t>(frame.at(4)) == 0x20)
            blockRequests.append(clock.elapsed());
    });
    qint64 lastProbe = -1;
    qint64 worstLateness = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (lastProbe >= 0)
            worstLateness = std::max(worstLateness, now - lastProbe - 10);
        lastProbe = now;
    });
    // Closes the viewer once it has read.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto *viewer = qobject_cast<TDispTagDataDlg *>(QApplication::activeModalWidget());
        if (!viewer)
            return;
        if (!probe.isActive()) {
            lastProbe = -1;
            probe.start(10);
        }
        if (!viewer->Reading()) {
            probe.stop();
            viewer->OKBtn->click();
        }
    });
    closer.start(5);

    for (auto _ : state) {
        blockRequests.clear();
        worstLateness = 0;
        form->RunItem(QStringLiteral("MnTagData1"));
    }
    closer.stop();
    if (blockRequests.size() != BlockCount)
        return state.SkipWithError("the read-out did not read every block");
    qint64 worst = 0;
    for (qsizetype i = 1; i < blockRequests.size(); ++i)
        worst = std::max(worst, blockRequests[i] - blockRequests[i - 1]);
    state.counters["mean_ms_per_block"] =
        static_cast<double>(blockRequests.last() - blockRequests.first()) / static_cast<double>(BlockCount - 1);
    state.counters["worst_ms_per_block"] = static_cast<double>(worst);
    state.counters["worst_probe_lateness_ms"] = static_cast<double>(worstLateness);
    board.close();
    form.reset();
    setProgramPathForTest(QString());
}

} // namespace

BENCHMARK(tagViewerPerBlockReadOut)->Iterations(1)->Unit(benchmark::kSecond);
