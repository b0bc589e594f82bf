#pragma once

class TKV8AppForm;

// Scope guards for the busy state of a handler that talks to the reader: each takes its state
// on construction and restores it on every way out of the scope, exceptions included. A guard
// that finds its state already taken (an outer guard holds it) leaves it alone both ways, so
// guards nest; engaged = false makes a guard do nothing.

// "Main window disabled" (TKV8AppForm::SetMainEnabled).
class MainDisabledGuard
{
public:
    explicit MainDisabledGuard(TKV8AppForm &form, bool engaged = true);
    ~MainDisabledGuard();
    MainDisabledGuard(const MainDisabledGuard &) = delete;
    MainDisabledGuard &operator=(const MainDisabledGuard &) = delete;

private:
    TKV8AppForm &form_;
    bool restore_;
};

// The log silenced: SuspendLog/ResumeLog (the main log and the hub's TX/RX lines), or the main
// log alone (fLogOn), as the reader search at start-up does.
class LogSuspendGuard
{
public:
    enum class Scope { LogAndTrace, MainLogOnly };
    explicit LogSuspendGuard(TKV8AppForm &form, Scope scope = Scope::LogAndTrace, bool engaged = true);
    ~LogSuspendGuard();
    LogSuspendGuard(const LogSuspendGuard &) = delete;
    LogSuspendGuard &operator=(const LogSuspendGuard &) = delete;

private:
    TKV8AppForm &form_;
    Scope scope_;
    bool restore_;
};

// Both, in the order the handlers take them: the window disabled, then the log suspended;
// given back the other way round.
struct BusyGuard {
    explicit BusyGuard(TKV8AppForm &form) : window(form), log(form) {}
    MainDisabledGuard window;
    LogSuspendGuard log;
};

// The hub's LAN link set aside while the program talks to the LAN board itself: closed on
// construction when the hub is on TCP and connected, and reopened (ReopenPort 0) on every way
// out, unless the program is closing by then.
class HubLinkClosedGuard
{
public:
    HubLinkClosedGuard();
    ~HubLinkClosedGuard();
    HubLinkClosedGuard(const HubLinkClosedGuard &) = delete;
    HubLinkClosedGuard &operator=(const HubLinkClosedGuard &) = delete;
};
