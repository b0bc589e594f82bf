// Arbitrary bytes, in arbitrary chunks and polls, through the frame collector, the reply router,
// the decoders and the read table with its grid. Input: a mode byte (low 3 bits the last command,
// the rest a chunk size), a flags byte (option flag, TAG-IT reader, trace, in/out column, huge
// block size, frame mode), a block-size byte, then
// - raw mode: chunks, each a length byte followed by that many bytes written to the ring and one
//   poll; the length bytes 0xFF, 0xFE and 0xFD instead run 101 idle polls, clear the read table,
//   or clear the reply state;
// - frame mode: records (reply code, LEN, DATA) made into frames with a correct checksum, so that
//   the decoders see every length, then fed to the ring in chunks of the mode's size.

#include "link/Frame.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MemoSink.h"
#include "tests/link/ReceiveTestWindow.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace
{

// No transport is opened: bytes reach the hub only through its ring writer.
constexpr int NoTransport = -1;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "collector_fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    // A settings file that does not exist: the hub runs on its defaults and writes nothing.
    setProgramPathForTest(QDir::temp().filePath(QStringLiteral("kv8-fuzz-no-such-dir/kv8demo")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    ReceiveTestWindow window(5);
    MemoryMemoSink memo;
    TTComXDlg hub(nullptr, &memo, 0, 1, NoTransport, TcpLinkParam{}, &window);

    static constexpr char lastCmds[] = "ONuvxRQG";
    const uint8_t flags = data[1];
    hub.LastCmd = static_cast<uint8_t>(lastCmds[data[0] & 7]);
    hub.OptionFlag = flags & 1;
    window.s6700 = (flags & 2) ? 0x08 : 0xD4;
    hub.fDispRecInfo = (flags >> 2) & 1;
    window.useInOut = (flags & 8) != 0;
    window.inOutMode = (flags >> 4) & 1;
    window.tagBlockSize = data[2] * ((flags & 0x20) ? 1000 : 1);

    size_t at = 3;
    if (flags & 0x40) {
        QByteArray stream;
        while (at + 2 <= size) {
            const uint8_t code = data[at];
            const size_t len = std::min<size_t>(data[at + 1], size - at - 2);
            stream += buildFrame(static_cast<uint8_t>(flags >> 7), code, data + at + 2, static_cast<int>(len));
            at += 2 + len;
        }
        const int chunk = 1 + (data[0] >> 3) * 8;
        for (qsizetype pos = 0; pos < stream.size(); pos += chunk) {
            const auto n = static_cast<int>(std::min<qsizetype>(chunk, stream.size() - pos));
            hub.WriteRxRing(reinterpret_cast<const uint8_t *>(stream.constData()) + pos, n);
            hub.PollReceive();
        }
        return 0;
    }
    while (at < size) {
        const uint8_t n = data[at++];
        if (n == 0xFF) {
            for (int i = 0; i < 101; ++i)
                hub.PollReceive();
            continue;
        }
        if (n == 0xFE) {
            hub.ClearReadTable();
            continue;
        }
        if (n == 0xFD) {
            hub.ClearReplyState();
            continue;
        }
        const size_t take = std::min<size_t>(n, size - at);
        hub.WriteRxRing(data + at, static_cast<int>(take));
        at += take;
        hub.PollReceive();
    }
    return 0;
}
