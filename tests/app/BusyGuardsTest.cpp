#include "tests/app/StartupFixture.h"

#include "app/BusyGuards.h"

#include <QMenuBar>
#include <QToolBar>

#include <stdexcept>
#include <tuple>

namespace
{

using Note = std::function<void()>;

// Holds the guard while note runs, then leaves its scope by a return or by an exception.
template <class Guard, class... Args> void hold(TKV8AppForm &form, bool throwing, const Note &note, Args... args)
{
    const Guard guard(form, args...);
    note();
    if (throwing)
        throw std::runtime_error("handler failed");
}

class BusyGuardsTest : public StartupFixture
{
};

} // namespace

TEST_F(BusyGuardsTest, EachGuardGivesItsStateBackAfterAReturnOrAnExceptionAndLeavesAnOuterOnesAlone)
{
    TKV8AppForm &w = make();
    w.TcpLinkParam.TCPPort = 0; // listen where the system says
    w.CreateHub(0);
    TComXDlg->fDispTxInfo = 1;
    // Window usable, main log on, hub's TX trace on.
    using State = std::tuple<bool, int, int>;
    auto state = [&] {
        const bool enabled = w.MainEnabled() && w.menuBar()->isEnabled() && w.ToolBar1->isEnabled();
        return State(enabled, w.fLogOn, TComXDlg->fDispTxInfo);
    };
    const State idle(true, 1, 1), busy(false, 0, 0);
    const struct {
        std::function<void(bool, const Note &)> take;
        State held;
    } cases[] = {
        {[&](bool t, const Note &n) { hold<MainDisabledGuard>(w, t, n); }, {false, 1, 1}},
        {[&](bool t, const Note &n) { hold<LogSuspendGuard>(w, t, n); }, {true, 0, 0}},
        {[&](bool t, const Note &n) { hold<LogSuspendGuard>(w, t, n, LogSuspendGuard::Scope::MainLogOnly); },
         {true, 0, 1}},
        {[&](bool t, const Note &n) { hold<BusyGuard>(w, t, n); }, busy},
    };
    for (const auto &c : cases)
        for (const bool throwing : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "state held " << testing::PrintToString(c.held) << ", throwing " << throwing);
            State held;
            EXPECT_EQ(throwing, [&] {
                try {
                    c.take(throwing, [&] { held = state(); });
                } catch (const std::runtime_error &) {
                    return true;
                }
                return false;
            }());
            EXPECT_EQ(held, c.held);
            EXPECT_EQ(state(), idle);
            {
                const BusyGuard outer(w);
                EXPECT_ANY_THROW(c.take(true, [] {}));
                EXPECT_EQ(state(), busy);
            }
            EXPECT_EQ(state(), idle);
        }
}
