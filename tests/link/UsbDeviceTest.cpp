#include "link/QRZUsbC1.h"
#include "platform/PendingMessages.h"
#include "tests/link/ReceiveFixture.h"
#include "tools/standin/ReaderStandIn.h"

#include <QDir>
#include <QTimer>

#include <chrono>
#include <sys/stat.h>

namespace
{

class UsbWindow : public ReceiveTestWindow
{
public:
    int RunPortCheckDialog() override { return onPortCheck(); }
    void AddMainLog(const QString &line) override { mainLog << line; }

    std::function<int()> onPortCheck;
    QStringList mainLog;
};

// USB readers are folders under a temporary base directory.
class UsbDeviceTest : public HubFixture
{
protected:
    void SetUp() override
    {
        HubFixture::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("usb")));
        setUsbBaseDirectoryForTest(base());
    }
    QString base() const { return dir.filePath(QStringLiteral("usb")); }
    // A reader folder: PIPE00 always a FIFO; PIPE01 a FIFO, a folder (which no pipe open takes)
    // or missing.
    void makeReader(const QString &name, const char *pipe01 = "fifo")
    {
        const QString folder = base() + QLatin1Char('/') + name;
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/PIPE00").constData(), 0600), 0);
        if (qstrcmp(pipe01, "fifo") == 0) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/PIPE01").constData(), 0600), 0);
        } else if (qstrcmp(pipe01, "folder") == 0) {
            ASSERT_TRUE(QDir(folder).mkdir("PIPE01"));
        }
    }

    ReaderStandIn standIn;
};

// What a good open of the reader in folder logs.
QStringList openedLines(const QString &folder)
{
    return {"DeviceName = (" + folder + ")", "DeviceName = (" + folder + "/PIPE01)", "Opened successfully.",
            "DeviceName = (" + folder + "/PIPE00)", "Opened successfully."};
}

} // namespace

TEST_F(UsbDeviceTest, MissingReaderAsksThePortCheckAndOnRetryFramesPassSplitAcrossPolls)
{
    MessageBoxRecorder boxes;
    UsbWindow window;
    const QString reader = base() + QStringLiteral("/reader");
    window.onPortCheck = [&] {
        EXPECT_TRUE(QDir().mkpath(reader));
        EXPECT_TRUE(standIn.openPipes(reader));
        return HubWindow::PortCheckRetry;
    };
    hub = std::make_unique<TTComXDlg>(nullptr, &memo, 1, 1, TransportUsb, TcpLinkParam{}, &window);
    EXPECT_EQ(boxes.texts(), QStringList{"NG : TQRZUsbC1"});
    ASSERT_TRUE(hub->UsbDevice && hub->UsbDevice->IsOpen());
    EXPECT_EQ(window.mainLog, QStringList({"Failed to open () = 19", "Failed to GetUsbDeviceFileName[19]",
                                           "Failed to GetUsbDeviceFileName[19]"}) +
                                  openedLines(reader));
    EXPECT_TRUE(memo.lines.isEmpty()) << logText();

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] { hub->PollReceive(); });
    poll.start(100);
    // In three pieces 150 ms apart; then a frame longer than one 64-byte read.
    standIn.expect('O', 0x90, ReaderStandIn::split(buildFrame(0, '0', QByteArray("\x90") + "125"), {3, 4}, 150));
    hub->GetRomVersionCmd();
    EXPECT_TRUE(hub->WaitReply()) << logText();
    EXPECT_EQ(hub->RomVersion, QByteArray("125"));
    const QByteArray longer = buildFrame(0, '0', QByteArray("\x90") + QByteArray(100, '7'));
    standIn.expect('O', 0x90, ReaderStandIn::pieces({{longer, 0}}));
    hub->GetRomVersionCmd();
    EXPECT_TRUE(hub->WaitReply()) << logText();
    EXPECT_EQ(hexOf(hub->lastReplyFrame().first(longer.size()).toByteArray()), hexOf(longer));
    EXPECT_EQ(standIn.received().size(), 2);
}

TEST_F(UsbDeviceTest, FoldersAreTriedInSortedOrderAndBothPipesMustOpen)
{
    const QString a = base() + "/a";
    QStringList failedPipe01 = openedLines(a);
    failedPipe01[2] = "Failed to open (" + a + "/PIPE01) = 21";
    const struct {
        std::vector<std::pair<QString, const char *>> readers;
        QStringList log;
        bool open;
    } rows[] = {
        {{{"b", "fifo"}, {"a", "fifo"}}, openedLines(a), true},
        {{{"a", "none"}, {"b", "fifo"}}, openedLines(base() + "/b"), true},
        {{{"a", "folder"}}, failedPipe01, false},
    };
    for (const auto &row : rows) {
        ASSERT_TRUE(QDir(base()).removeRecursively() && QDir().mkpath(base()));
        for (const auto &[name, pipe01] : row.readers)
            makeReader(name, pipe01);
        QStringList log;
        TQRZUsbC1 device([&](const QString &line) { log << line; });
        EXPECT_EQ(log, row.log);
        EXPECT_EQ(device.IsOpen(), row.open);
    }
}

TEST_F(UsbDeviceTest, WriteGivesUpAfterASecondWithoutRoomAndTheEventLoopRunsMeanwhile)
{
    makeReader(QStringLiteral("reader"));
    TQRZUsbC1 device;
    ASSERT_TRUE(device.IsOpen());
    uint8_t byte = 0;
    int got = -1;
    EXPECT_EQ(device.UsbRead(&byte, 1, &got), 0) << "nothing to read returns at once";
    EXPECT_EQ(got, 0);

    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(50);
    // Nobody reads PIPE00: it fills, then takes nothing more.
    const std::vector<uint8_t> block(1 << 20, 0x55);
    int written = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device.UsbWrite(block.data(), static_cast<int>(block.size()), &written));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(990));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(block.size()));
    EXPECT_GE(ticks, 10);
}
