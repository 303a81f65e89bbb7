// Adapter discovery and polling: which adapters land in which slot, what the
// driver library is asked each tick, and what a failed query leaves.
#include "ProgramRun.h"

#include "resource.h"

#include <algorithm>

namespace {

class AdapterPollingTest : public DesktopTest {
protected:
    std::string Description(UINT slot) const {
        const sim::TrayIcon* icon = TrayIcon(slot);
        return icon ? icon->tip.substr(0, icon->tip.find('\n')) : "<no icon>";
    }
    std::vector<std::string> CallsOfOneTick() {
        library.calls.clear();
        Ticks(1);
        return library.calls;
    }
};

TEST_F(AdapterPollingTest, WithoutAnyAdapterEachTickAsksForItemZeroOnly) {
    Start();
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(CallsOfOneTick(), std::vector<std::string>{"Item(0)"});
    EXPECT_TRUE(desk.TrayIcons().empty());
}

TEST_F(AdapterPollingTest, OneTickOfOneLinkedAdapterAsksInOrder) {
    library.Add("Adapter One");
    Start();
    // Initialisation attached slot 0 and read its description; the ticks read
    // it again only when the item index changes.
    const std::vector<std::string> attach = {"Item(0)", "Attach(0)", "GetVendorDescription(0)"};
    EXPECT_TRUE(std::equal(attach.begin(), attach.end(), library.calls.begin()));
    const std::vector<std::string> expected = {
        "Item(0)",           "Attach(0)",         "Item(1)",  // slot 0, then slot 1 finds nothing
        "GetRadioState(0)",  "GetNetworkType(0)", "GetAdapterState(0)",
        "GetLinkQuality(0)", "GetDot11Rate(0)",   "GetWEPPacketRxOK(0)"};
    EXPECT_EQ(CallsOfOneTick(), expected);
    EXPECT_EQ(CallsOfOneTick(), expected);
}

TEST_F(AdapterPollingTest, AdapterAfterUnusableDevicesTakesSlotZeroAndTheNextSearchStartsAfterIt) {
    library.AddUnusable(5);
    library.Add("Adapter at five");
    library.Add("Adapter at six");
    Start();
    auto at = [](const std::vector<std::string>& calls, const std::string& c) {
        return std::find(calls.begin(), calls.end(), c) - calls.begin();
    };
    const std::vector<std::string> init = library.calls;
    EXPECT_LT(at(init, "Attach(5)"), at(init, "GetVendorDescription(5)"));
    std::vector<std::string> calls = CallsOfOneTick();
    EXPECT_LT(at(calls, "Item(5)"), at(calls, "Item(6)"));
    EXPECT_LT(at(calls, "Item(6)"), at(calls, "Attach(6)"));
    EXPECT_LT(at(calls, "Attach(6)"), at(calls, "GetVendorDescription(6)"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Item(0)"), 1);  // slot 1 did not start over
    EXPECT_EQ(Description(0), "Adapter at five");
    EXPECT_EQ(Description(1), "Adapter at six");
    EXPECT_EQ(TrayIcon(2), nullptr);
}

TEST_F(AdapterPollingTest, FailedSearchForSlotZeroLeavesTheOtherSlotsAsTheyWere) {
    library.Add("Adapter One");
    library.Add("Adapter Two");
    Start();
    Ticks(1);
    ASSERT_NE(TrayIcon(1), nullptr);
    // Neither item can be attached any more: the search for slot 0 fails.
    library.items[0].attachOk = false;
    library.items[1].attachOk = false;
    std::vector<std::string> calls = CallsOfOneTick();
    const std::vector<std::string> search = {"Item(0)", "Attach(0)", "Item(1)", "Attach(1)", "Item(2)"};
    EXPECT_TRUE(std::equal(search.begin(), search.end(), calls.begin())) << ::testing::PrintToString(calls);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("Item(", 0) == 0; }),
              3);  // no search for slots 1 to 3
    EXPECT_EQ(TrayIcon(0), nullptr);
    // Slot 1 stayed present and was polled through its old attachment.
    EXPECT_NE(TrayIcon(1), nullptr);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetRadioState(1)"), 1);
}

TEST_F(AdapterPollingTest, SameItemIndexKeepsTheDescriptionOfTheAdapterBefore) {
    fake::FakeAdapter& adapter = library.Add("First Card");
    Start();
    Ticks(1);
    adapter.description = "Second Card";
    Ticks(1);
    EXPECT_EQ(Description(0), "First Card");
}

TEST_F(AdapterPollingTest, FourSlotsAtMost) {
    for (int i = 0; i < 6; ++i) library.Add("Adapter " + std::to_string(i));
    Start();
    Ticks(1);
    EXPECT_EQ(desk.TrayIcons().size(), 4u);
    EXPECT_EQ(Description(3), "Adapter 3");
    EXPECT_EQ(library.CountCalls("Item(4)"), 0);
}

TEST_F(AdapterPollingTest, RadioStateTwoReadsTheLinkWithTheRadioOff) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    adapter.radio = 2;
    Start();
    std::vector<std::string> calls = CallsOfOneTick();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetLinkQuality(0)"), 1);
    EXPECT_EQ(TrayIcon(0)->tip, "Adapter One\nSpeed: 11.0 Mbps\nRadio Off");
}

TEST_F(AdapterPollingTest, FailedRadioQueryCountsAsRadioAndSwitchOff) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    adapter.failingQueries = {"GetRadioState"};
    Start();
    std::vector<std::string> calls = CallsOfOneTick();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetNetworkType(0)"), 0);
    EXPECT_EQ(TrayIcon(0)->tip, "Adapter One\nSpeed: 0.0 Mbps\nFAA Radio Switch Off");
}

TEST_F(AdapterPollingTest, FailedQueriesLeaveTheirPresetValues) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    // Network type stays 3: full quality, nothing more asked.
    adapter.failingQueries = {"GetNetworkType"};
    Start();
    std::vector<std::string> calls = CallsOfOneTick();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetAdapterState(0)"), 0);
    EXPECT_EQ(TrayIcon(0)->tip, "Adapter One\nSpeed: 0.0 Mbps\nExcellent Link Quality 100%");
    // Adapter state stays 4: not linked.
    adapter.failingQueries = {"GetAdapterState"};
    Ticks(1);
    EXPECT_EQ(TrayIcon(0)->tip, "Adapter One\nNot Linked");
}

TEST_F(AdapterPollingTest, CollectionIsRefreshedEvery121Ticks) {
    library.Add("Adapter One");
    Start();
    Ticks(121);
    EXPECT_EQ(library.CountCalls("Refresh()"), 0);
    Ticks(1);
    EXPECT_EQ(library.CountCalls("Refresh()"), 1);
    Ticks(120);
    EXPECT_EQ(library.CountCalls("Refresh()"), 1);
    Ticks(1);
    EXPECT_EQ(library.CountCalls("Refresh()"), 2);
}

}  // namespace
