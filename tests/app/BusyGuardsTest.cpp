#include "tests/app/StartupFixture.h"

#include "app/BusyGuards.h"

#include <QMenuBar>
#include <QToolBar>

#include <memory>
#include <stdexcept>
#include <tuple>

using BusyGuardsTest = StartupFixture;

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
        std::function<std::shared_ptr<void>()> take;
        State held;
    } cases[] = {
        {[&] { return std::make_shared<MainDisabledGuard>(w); }, {false, 1, 1}},
        {[&] { return std::make_shared<LogSuspendGuard>(w); }, {true, 0, 0}},
        {[&] { return std::make_shared<LogSuspendGuard>(w, LogSuspendGuard::Scope::MainLogOnly); }, {true, 0, 1}},
    };
    for (const auto &c : cases)
        for (const bool throwing : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "state held " << testing::PrintToString(c.held) << ", throwing " << throwing);
            try {
                const auto guard = c.take();
                EXPECT_EQ(state(), c.held);
                if (throwing)
                    throw std::runtime_error("handler failed");
            } catch (const std::runtime_error &) {
            }
            EXPECT_EQ(state(), idle);
            {
                const BusyGuard outer(w);
                EXPECT_EQ(state(), busy);
                c.take();
                EXPECT_EQ(state(), busy);
            }
            EXPECT_EQ(state(), idle);
        }
}
