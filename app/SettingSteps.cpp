#include "app/SettingSteps.h"

#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"

#include <QObject>

bool hubGone()
{
    return applicationClosing() || !TComXDlg;
}

bool isItem(const QObject *Sender, const char *name)
{
    return Sender && Sender->objectName() == QLatin1String(name);
}

bool EepromWord::read(bool extraWait)
{
    if (hubGone())
        return false;
    const bool ok = area == 1 ? TComXDlg->RxEepromData(address, 1, bytes) : TComXDlg->RxEepromData2(address, 1, bytes);
    if (!ok || hubGone())
        return false;
    return !extraWait || (TComXDlg->WaitReply() && !hubGone());
}

bool EepromWord::write() const
{
    if (hubGone())
        return false;
    const bool sent =
        area == 1 ? TComXDlg->TxEepromData(address, 1, bytes) : TComXDlg->TxEepromData2(address, 1, bytes);
    return sent && TComXDlg->WaitReply() && !hubGone();
}

bool EepromWord::rewrite(const std::function<void(std::array<uint8_t, 2> &bytes)> &change, bool extraWait)
{
    if (!read(extraWait))
        return false;
    change(bytes);
    return write();
}
