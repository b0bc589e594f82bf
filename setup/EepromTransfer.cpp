#include "setup/EepromTransfer.h"

#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/ReaderSettingsFile.h"

namespace
{

bool logged(const MainLogLine &log, bool ok, const char *what)
{
    log(QString::fromLatin1(ok ? "OK: " : "ERROR: ") + QLatin1String(what));
    return ok;
}

} // namespace

int ReadEepromAreas(TTComXDlg &hub, const MainLogLine &log, EepromAreaFlags flags, EepromData &area1,
                    EepromData2 &area2)
{
    area1.fill(0);
    area2.fill(0);
    const std::span<uint8_t> bytes(area1);
    if (flags.p310) {
        if (!hub.RxEepromData(1, 10, bytes.subspan(0, 20)))
            return logged(log, false, "RxEepromData");
        return logged(log, hub.RxEepromData(11, 10, bytes.subspan(20, 20)), "RxEepromData");
    }
    if (!logged(log, hub.RxEepromData(1, 20, bytes), "RxEepromData"))
        return 0;
    if (!flags.ver121)
        return 1;
    return logged(log, hub.RxEepromData2(1, 10, area2), "RxEepromData2");
}

void WriteEepromAreas(TTComXDlg &hub, const MainLogLine &log, EepromAreaFlags flags, const EepromData &area1,
                      const EepromData2 &area2)
{
    const ByteSpan bytes(area1);
    auto write = [&](uint8_t word, uint8_t count, ByteSpan part) {
        return hub.TxEepromData(word, count, part) && hub.WaitReply();
    };
    if (flags.p310) {
        if (!write(1, 10, bytes.subspan(0, 20))) {
            logged(log, false, "TxEepromData");
            return;
        }
        logged(log, write(11, 10, bytes.subspan(20, 20)), "TxEepromData");
        return;
    }
    logged(log, write(1, 20, bytes), "TxEepromData");
    // A program that is closing sends nothing more.
    if (flags.ver121 && !applicationClosing())
        logged(log, hub.TxEepromData2(1, 10, area2) && hub.WaitReply(), "TxEepromData2");
}

void DumpReaderSettings(TTComXDlg &hub, bool readArea2, bool ver121, QWidget *parent)
{
    EepromData area1{};
    EepromData2 area2{};
    if (!hub.RxEepromData(1, 20, area1) || (readArea2 && !hub.RxEepromData2(1, 10, area2))) {
        if (!applicationClosing())
            showMessage(QStringLiteral("設定情報の取得が出来ません"), parent);
        return;
    }
    const QString path = programDirectory() + QStringLiteral("/KV8RWConf.KVI");
    if (!WriteParamFile(path, ver121, area1, area2))
        showMessage(QStringLiteral("ファイル ") + path + QStringLiteral(" を作成できません。"), parent);
}
