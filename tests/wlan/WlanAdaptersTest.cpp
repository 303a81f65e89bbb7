// Adapters as the tray program keeps them: a connected one survives a
// reading the service fails now and then, and one plugged in or out shows
// or goes at the next tick, each slot still naming its own adapter.
#include "WlanTest.h"

#include <functional>

namespace {

// The quality the icon shows over six polls while readings fail, and
// whether the adapter stayed attached; the applet's link at the third.
TEST_F(WlanTest, AFailedReadingKeepsAConnectedAdapter) {
    struct Row {
        const char* name;
        DWORD version;
        const char* failing;
        int failures;
        std::vector<unsigned long> qualities;
        std::vector<long> attached;
        unsigned long linkResult;
    } rows[] = {
        {"the signal strength once",
         2,
         "WlanQueryInterface(rssi)",
         1,
         {14, 14, 14, 14, 14, 14},
         {Ok, Ok, Ok, Ok, Ok, Ok},
         0},
        {"the signal strength for good: three polls, then the connection the applet read",
         2,
         "WlanQueryInterface(rssi)",
         100,
         {14, 14, 14, 14, 8, 8},
         {Ok, Ok, Ok, Ok, Ok, Ok},
         0},
        {"XP's connection reading once",
         1,
         "WlanQueryInterface(current_connection)",
         1,
         {8, 8, 8, 8, 8, 8},
         {Ok, Ok, Ok, Ok, Ok, Ok},
         0},
        {"the interface state: that poll only",
         2,
         "WlanQueryInterface(interface_state)",
         1,
         {14, 0, 14, 14, 14, 14},
         {Ok, InterfaceGone, Ok, Ok, Ok, Ok},
         0},
        {"the interface state for good",
         2,
         "WlanQueryInterface(interface_state)",
         100,
         {14, 0, 0, 0, 0, 0},
         {Ok, InterfaceGone, InterfaceGone, InterfaceGone, InterfaceGone, InterfaceGone},
         ERROR_NOT_READY},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FreshService();
        wlan.newestVersion = row.version;
        Card().rssi = -55;          // 14 on the icon's scale
        Card().signalQuality = 50;  // XP's reading: 8
        std::vector<unsigned long> qualities;
        std::vector<long> attached;
        unsigned long linkResult = kUntouched;
        for (int poll = 0; poll < 6; ++poll) {
            if (poll == 1)
                for (int i = 0; i < row.failures; ++i) wlan.FailNext(row.failing, ERROR_NOT_READY);
            const Reading r = Poll();
            qualities.push_back(r.quality);
            attached.push_back(r.attach);
            if (poll == 3) Link(&linkResult);
        }
        EXPECT_EQ(qualities, row.qualities);
        EXPECT_EQ(attached, row.attached);
        EXPECT_EQ(linkResult, row.linkResult) << "an error, never success with a record not filled";
    }
}

// A USB adapter plugged in gets the next slot's icon at the next tick (the
// program refreshes its collection only every two minutes); one pulled out
// goes as fast, and the slot that takes over names its own adapter.
TEST_F(WlanTest, AnAdapterPluggedInOrOutShowsAtTheNextTick) {
    struct Row {
        const char* name;
        std::function<void(fakewlan::Service&)> change;
        std::vector<std::string> shown;  // the slots' descriptions at the next tick
    } rows[] = {
        {"B plugged in", [](fakewlan::Service& w) { w.Plug(u"B", 0xB); }, {"A", "B"}},
        {"A pulled out: B's slot says B", [](fakewlan::Service& w) { w.Unplug(0xA); }, {"B"}},
        {"A back in its place", [](fakewlan::Service& w) { w.Plug(u"A", 0xA); }, {"A", "B"}},
        {"C plugged in after them", [](fakewlan::Service& w) { w.Plug(u"C", 0xC); }, {"A", "B", "C"}},
        {"B pulled out", [](fakewlan::Service& w) { w.Unplug(0xB); }, {"A", "C"}},
    };
    wlan.Add(u"A", 0xA);
    TrayTick();
    ASSERT_EQ(TrayDescriptions(), std::vector<std::string>{"A"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.change(wlan);
        TrayTick();
        EXPECT_EQ(TrayDescriptions(), row.shown);
        for (const TraySlot& slot : tray)
            if (slot.present) {
                EXPECT_EQ(std::string(1, static_cast<char>('A' + slot.driver.guid.Data1 - 0xA)), slot.description);
            }
    }
    EXPECT_EQ(wlan.CountCalls("WlanEnumInterfaces"), 1 + 5) << "once at the start and after each event";
}

// Without the service's events (none registered) a new adapter waits for
// the program's refresh of its collection, every 120 ticks.
TEST_F(WlanTest, WithoutEventsAnAdapterWaitsForTheRefresh) {
    wlan.missingCalls = {"WlanRegisterNotification"};
    wlan.Add(u"A", 0xA);
    TrayTick();
    wlan.Plug(u"B", 0xB);
    int ticks = 0;
    while (TrayDescriptions().size() < 2 && ticks < 200) ++ticks, TrayTick();
    EXPECT_EQ(ticks, 121);
}

}  // namespace
