#include "app/ConnectionDialogs.h"
#include "app/NetAdapters.h"

#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

AdapterEntry adapter(const char *address, const char *mask)
{
    return {ipv4FromText(address), ipv4FromText(mask)};
}

tagTCPIPPara param(const char *address, int server = 0)
{
    tagTCPIPPara p;
    p.TCPServAddr = QString::fromLatin1(address);
    p.fTCPServer = server;
    return p;
}

} // namespace

TEST(AdapterChoiceTest, PreselectsTheLastAdapterOnTheTargetsNetworkAndLocksByTheLastMask)
{
    struct Case {
        QList<AdapterEntry> adapters;
        const char *target;
        int row;
        const char *shown;
        const char *lockMask;
    };
    const Case cases[] = {
        // clang-format off
        {{adapter("10.0.0.5", "255.0.0.0"), adapter("192.168.0.7", "255.255.255.0")}, "192.168.0.100", 2, "192.168.0.100", "255.255.255.0"},
        {{adapter("192.168.0.7", "255.255.255.0"), adapter("10.0.0.5", "255.0.0.0")}, "192.168.0.100", 1, "192.168.0.100", "255.0.0.0"},
        {{adapter("10.0.0.5", "255.0.0.0"), adapter("172.16.1.2", "255.255.0.0")}, "192.168.0.100", 1, "10.0.0.5", "255.0.0.0"},
        // A zero mask never matches; the fourth octet is never compared.
        {{adapter("192.168.0.7", "0.0.0.0"), adapter("192.168.0.9", "255.255.255.255")}, "192.168.0.100", 2, "192.168.0.100", "255.255.255.255"},
        {{}, "192.168.0.100", 0, "192.168.0.100", "0.0.0.0"},
        {{adapter("192.168.0.7", "255.255.255.0")}, "", 1, "192.168.0.7", "255.255.255.0"},
        // clang-format on
    };
    for (const Case &c : cases) {
        const AdapterChoice choice = chooseAdapter(c.adapters, ipv4FromText(c.target));
        EXPECT_EQ(choice.selectedRow, c.row) << c.target;
        EXPECT_EQ(ipv4Text(choice.shownAddress), c.shown) << c.target;
        EXPECT_EQ(ipv4Text(choice.lockMask), c.lockMask) << c.target;
    }
}

TEST(AdapterChoiceTest, SplitHeadAndAddressSplittingFollowTheDotRule)
{
    bool found = false;
    int position = 0;
    EXPECT_EQ(SplitHead("192.168", ".", found, position), "192");
    EXPECT_TRUE(found && position == 4);
    EXPECT_EQ(SplitHead("abc", ".", found, position), "abc");
    EXPECT_TRUE(!found && position == 4);

    const SplitAddress full = splitDottedAddress("192.168.0.100");
    EXPECT_EQ(QStringList(std::begin(full.octets), std::end(full.octets)), QStringList({"192", "168", "0", "100"}));
    const SplitAddress noDots = splitDottedAddress("board");
    EXPECT_FALSE(noDots.set[0] || noDots.set[1] || noDots.set[2]);
    EXPECT_EQ(noDots.octets[3], "board");
    const SplitAddress extra = splitDottedAddress("1.2.3.4.5");
    EXPECT_EQ(extra.octets[3], "4.5");
}

TEST(SetIPAddr1DlgTest, RowClickFillsTheOctetsAndLocksThoseTheMaskFixes)
{
    TSetIPAddr1Dlg d(nullptr, param("192.168.0.100"),
                     {adapter("10.0.0.5", "255.0.0.0"), adapter("192.168.0.7", "255.255.255.0")});
    EXPECT_EQ(d.SelectedRow, 2);
    EXPECT_EQ(d.StringGrid1->item(1, 0)->background().color(), QColor(0, 255, 255));
    EXPECT_EQ(d.StringGrid1->item(0, 0)->background().style(), Qt::NoBrush);
    EXPECT_EQ(d.Ed_CIP[3]->GetValue(), 100);
    EXPECT_FALSE(d.Ed_CIP[2]->isEnabled());
    EXPECT_TRUE(d.Ed_CIP[3]->isEnabled());
    EXPECT_FALSE(d.Ed_SPortNum->isEnabled()) << "client mode: the listen port is not used";

    d.StringGrid1->setCurrentCell(0, 1);
    d.StringGrid1Click();
    EXPECT_EQ(d.SelectedRow, 1);
    EXPECT_EQ(d.Ed_CIP[0]->GetValue(), 10);
    EXPECT_FALSE(d.Ed_CIP[0]->isEnabled());
    EXPECT_TRUE(d.Ed_CIP[1]->isEnabled());
}

TEST(SetIPAddr1DlgTest, WithoutAdaptersEveryOctetIsOpenAndAcceptRunsTheFocusedFieldsExitRule)
{
    TSetIPAddr1Dlg d(nullptr, param("192.168.0.100", 1), {});
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    for (TIntEdit *edit : d.Ed_CIP)
        EXPECT_TRUE(edit->isEnabled());
    d.Ed_CIP[3]->setFocus();
    d.Ed_CIP[3]->selectAll();
    QTest::keyClicks(d.Ed_CIP[3], "300");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Param.TCPServAddr, "192.168.0.255");
    EXPECT_EQ(d.Param.fTCPServer, 1);
}

TEST(SetTCPIPDlgTest, OctetsAreJoinedInPlainDecimalWithAnEmptyOneCountingAsZero)
{
    TSetTCPIPDlg d(nullptr);
    d.SetAddressText("+5.010..255");
    EXPECT_EQ(d.AddressText(), "5.10.0.255");
    d.SetMode(1);
    d.RadioGroup1Click();
    EXPECT_FALSE(d.EdTCPIP1[0]->isEnabled());
    EXPECT_TRUE(d.EdTCPPort->isEnabled());
}

// Escape and the close box are checked on the start-up road.
TEST(Guage1DlgTest, CancelStopsTheWaitAndEveryShowingRunsAgain)
{
    TGuage1Dlg g(nullptr);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    EXPECT_EQ(g.fRun, 1);
    QTest::mouseClick(g.Button1, Qt::LeftButton);
    EXPECT_EQ(g.fRun, 0);
    g.hide();
    g.show();
    EXPECT_EQ(g.fRun, 1);
    g.hide();
}
