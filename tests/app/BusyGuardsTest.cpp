#include "tests/app/StartupFixture.h"

#include "app/BusyGuards.h"

#include <QMenuBar>
#include <QToolBar>

#include <stdexcept>
#include <tuple>

namespace
{

// Takes the guard, notes what it holds, and leaves its scope by a return or by an exception.
template <class Guard, class... Args>
void leave(bool throwing, const std::function<void()> &note, TKV8AppForm &form, Args... args)
{
    const Guard guard(form, args...);
    note();
    if (throwing)
        throw std::runtime_error("handler failed");
}

} // namespace

class BusyGuardsTest : public StartupFixture
{
};

TEST_F(BusyGuardsTest, EachGuardGivesItsStateBackAfterAnEarlyReturnAndAfterAnException)
{
    TKV8AppForm &w = make();
    w.TcpLinkParam.TCPPort = 0; // listen where the system says
    w.CreateHub(0);
    TComXDlg->fDispTxInfo = 1;
    // Window usable, main log on, hub's TX trace on.
    auto state = [&] {
        const bool enabled = w.MainEnabled() && w.menuBar()->isEnabled() && w.ToolBar1->isEnabled();
        return std::tuple(enabled, w.fLogOn, TComXDlg->fDispTxInfo);
    };
    using Leave = void (*)(bool, const std::function<void()> &, TKV8AppForm &);
    const struct {
        const char *guard;
        Leave run;
        std::tuple<bool, int, int> held;
    } cases[] = {
        {"window",
         [](bool t, const std::function<void()> &n, TKV8AppForm &f) { leave<MainDisabledGuard>(t, n, f); },
         {false, 1, 1}},
        {"log and trace",
         [](bool t, const std::function<void()> &n, TKV8AppForm &f) { leave<LogSuspendGuard>(t, n, f); },
         {true, 0, 0}},
        {"main log only",
         [](bool t, const std::function<void()> &n, TKV8AppForm &f) {
             leave<LogSuspendGuard>(t, n, f, LogSuspendGuard::Scope::MainLogOnly);
         },
         {true, 0, 1}},
        {"both",
         [](bool t, const std::function<void()> &n, TKV8AppForm &f) { leave<BusyGuard>(t, n, f); },
         {false, 0, 0}},
    };
    for (const auto &c : cases)
        for (const bool throwing : {false, true}) {
            SCOPED_TRACE(std::string(c.guard) + (throwing ? " exception" : " return"));
            std::tuple<bool, int, int> held;
            try {
                c.run(
                    throwing, [&] { held = state(); }, w);
            } catch (const std::runtime_error &) {
                EXPECT_TRUE(throwing);
            }
            EXPECT_EQ(held, c.held);
            EXPECT_EQ(state(), std::tuple(true, 1, 1));
            // A guard inside another leaves the outer one's state alone.
            {
                const BusyGuard outer(w);
                try {
                    c.run(
                        throwing, [] {}, w);
                } catch (const std::runtime_error &) {
                }
                EXPECT_EQ(state(), std::tuple(false, 0, 0));
            }
            EXPECT_EQ(state(), std::tuple(true, 1, 1));
        }
}
