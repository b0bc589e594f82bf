#include "app/BusyGuards.h"

#include "app/KV8AppForm.h"
#include "link/TTComXDlg.h"
#include "platform/PendingMessages.h"

MainDisabledGuard::MainDisabledGuard(TKV8AppForm &form, bool engaged)
    : form_(form), restore_(engaged && form.MainEnabled())
{
    if (restore_)
        form_.SetMainEnabled(false);
}

MainDisabledGuard::~MainDisabledGuard()
{
    if (restore_)
        form_.SetMainEnabled(true);
}

LogSuspendGuard::LogSuspendGuard(TKV8AppForm &form, Scope scope, bool engaged)
    : form_(form), scope_(scope), restore_(engaged && form.fLogOn != 0)
{
    if (!restore_)
        return;
    if (scope_ == Scope::LogAndTrace)
        form_.SuspendLog();
    else
        form_.fLogOn = 0;
}

LogSuspendGuard::~LogSuspendGuard()
{
    if (!restore_)
        return;
    if (scope_ == Scope::LogAndTrace)
        form_.ResumeLog();
    else
        form_.fLogOn = 1;
}

HubLinkClosedGuard::HubLinkClosedGuard()
{
    if (TComXDlg && TComXDlg->TransportKind == TransportTcp && TComXDlg->IsTransportOpen())
        TComXDlg->CloseTransport();
}

HubLinkClosedGuard::~HubLinkClosedGuard()
{
    if (TComXDlg && !applicationClosing())
        TComXDlg->ReopenPort(0);
}
