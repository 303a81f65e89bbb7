// The check of the system's wireless configuration service: when the menu
// greys "&Advanced Configuration..." and "WEP &Encryption...".
#include "ProgramRun.h"

#include "resource.h"

#include <algorithm>

namespace {

const char kInterfaces[] = "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\";

enum class Flags { Missing, Clear, Set, Unreadable };

class OwnConfigCheckTest : public DesktopTest {
protected:
    // An adapter as the service would take it over.
    fake::FakeAdapter& AddManaged(const std::string& description) {
        fake::FakeAdapter& adapter = library.Add(description);
        adapter.driverVersion = 0x0501;
        adapter.networkTypeInUse = 1;
        return adapter;
    }
    void SetFlags(const std::string& adapterId, Flags flags) {
        const std::string key = kInterfaces + adapterId;
        if (flags == Flags::Clear) desk.SetRegistryDword(HKEY_LOCAL_MACHINE, key, "ControlFlags", 0x7FFF);
        if (flags == Flags::Set) desk.SetRegistryDword(HKEY_LOCAL_MACHINE, key, "ControlFlags", 0x8000);
        if (flags == Flags::Unreadable) desk.SetRegistryString(HKEY_LOCAL_MACHINE, key, "ControlFlags", "32768");
    }
    // Whether the menu of the slot's icon offers the two commands; both must agree.
    bool OffersOwnConfig(WPARAM slot) {
        const sim::OpenMenu* menu = OpenMenu(slot);
        EXPECT_NE(menu, nullptr);
        if (!menu) return false;
        auto grayed = [menu](UINT id) {
            auto item = std::find_if(menu->items.begin(), menu->items.end(),
                                     [id](const sim::MenuItemView& i) { return i.id == id; });
            return item != menu->items.end() && item->grayed;
        };
        const bool configGrayed = grayed(ID_ADVANCED_CONFIGURATION);
        EXPECT_EQ(configGrayed, grayed(ID_WEP_ENCRYPTION));
        EXPECT_EQ(desk.OpenRegistryKeys(), 0);
        EXPECT_EQ(desk.OpenServiceHandles(), 0);
        desk.DismissMenu();
        return !configGrayed;
    }
};

TEST_F(OwnConfigCheckTest, MenuGreysTheCommandsExactlyWhileTheServiceManagesSlotZero) {
    struct Row {
        bool adapter;
        unsigned long version, networkType;
        DWORD service;  // 0: not installed
        Flags flags;
        bool offered;
    };
    const Row rows[] = {
        {false, 0x0501, 1, SERVICE_RUNNING, Flags::Missing, true},
        {true, 0x0500, 1, SERVICE_RUNNING, Flags::Missing, true},
        {true, 0x0502, 1, SERVICE_RUNNING, Flags::Missing, true},
        {true, 0x0501, 2, SERVICE_RUNNING, Flags::Missing, true},
        {true, 0x0501, 1, SERVICE_STOPPED, Flags::Missing, true},
        {true, 0x0501, 1, SERVICE_PAUSED, Flags::Set, true},
        {true, 0x0501, 1, SERVICE_START_PENDING, Flags::Set, true},
        {true, 0x0501, 1, 0, Flags::Set, true},
        {true, 0x0501, 1, SERVICE_RUNNING, Flags::Clear, true},
        {true, 0x0501, 1, SERVICE_RUNNING, Flags::Set, false},
        {true, 0x0501, 1, SERVICE_RUNNING, Flags::Missing, false},
        {true, 0x0501, 1, SERVICE_RUNNING, Flags::Unreadable, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "version 0x" << std::hex << row.version << " type " << row.networkType
                                        << " service " << row.service << " flags " << int(row.flags));
        if (row.adapter) {
            fake::FakeAdapter& adapter = library.Add("Adapter One");
            adapter.driverVersion = row.version;
            adapter.networkTypeInUse = row.networkType;
            SetFlags(adapter.id, row.flags);
        }
        if (row.service) desk.SetService("WZCSVC", row.service);
        Start();
        EXPECT_EQ(OffersOwnConfig(0), row.offered);
        // The service is asked and, with an adapter, the value read on every check.
        EXPECT_EQ(CallsWith("OpenServiceA(", "\"WZCSVC\", 0x4"), 2);
        EXPECT_EQ(CallsWith("RegOpenKeyExA(0x80000002, \"" + std::string(kInterfaces) + "{", "}\", 0x1"),
                  row.adapter ? 2 : 0);
        StartOver();
    }
}

TEST_F(OwnConfigCheckTest, ServiceThatCannotBeAskedCountsAsNotRunning) {
    // Each call failing, and Windows 98, which has no service control manager.
    for (const char* call : {"OpenSCManagerA", "OpenServiceA", "QueryServiceStatus", "Windows 98"}) {
        SCOPED_TRACE(call);
        AddManaged("Adapter One");
        desk.SetService("WZCSVC", SERVICE_RUNNING);
        if (std::string(call) == "Windows 98")
            desk.SetVersion(sim::Desktop::Version98());
        else
            desk.FailCall(call, -1);
        Start();
        EXPECT_TRUE(OffersOwnConfig(0));
        StartOver();
    }
}

TEST_F(OwnConfigCheckTest, InitialisationAttachesSlotZeroBeforeTheFirstTick) {
    // An identifier that fills the library's buffer is cut at its last byte.
    const std::string id(259, 'I');
    AddManaged("Adapter One").id = id + "beyond the buffer";
    Start();
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"Item(0)", "Attach(0)", "GetVendorDescription(0)",
                                        "GetDot11NetworkTypeInUse(0)", "GetGenDriverVersion(0)", "GetAdapterID(0)"}));
    EXPECT_EQ(CallsWith("RegOpenKeyExA(", std::string(kInterfaces) + id + "\", 0x1)"), 1);
    EXPECT_EQ(desk.OpenRegistryKeys(), 0);
    // With slot 0 attached, the check before a menu searches nothing.
    library.calls.clear();
    OffersOwnConfig(0);
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"GetDot11NetworkTypeInUse(0)", "GetGenDriverVersion(0)", "GetAdapterID(0)"}));
}

TEST_F(OwnConfigCheckTest, EachMenuAsksAgain) {
    AddManaged("Adapter One");
    Start();
    EXPECT_TRUE(OffersOwnConfig(0));
    desk.SetService("WZCSVC", SERVICE_RUNNING);
    EXPECT_FALSE(OffersOwnConfig(0));
    desk.SetService("WZCSVC", SERVICE_STOPPED);
    EXPECT_TRUE(OffersOwnConfig(0));
}

TEST_F(OwnConfigCheckTest, DecisionFollowsSlotZeroWhicheverIconWasClicked) {
    desk.SetService("WZCSVC", SERVICE_RUNNING);
    AddManaged("Managed");
    library.Add("Older driver").driverVersion = 0x0400;
    Start();
    Ticks(1);
    EXPECT_FALSE(OffersOwnConfig(1));
    EXPECT_FALSE(OffersOwnConfig(0));

    processes.clear();
    library.items[0].driverVersion = 0x0400;
    library.items[1].driverVersion = 0x0501;
    Start();
    Ticks(1);
    EXPECT_TRUE(OffersOwnConfig(1));
}

}  // namespace
