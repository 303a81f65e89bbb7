// TavroApi.DLL over the Native Wifi API: what each method answers for the
// interfaces, connections, radios and statistics the WLAN service reports,
// and that every client handle and block of the service's memory is given
// back, also when a WLAN call fails.
#include "FakeWlan.h"
#include "WlanMapping.h"
#include "sim/Desktop.h"

#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>

using namespace tavrowlan;
using fakewlan::Interface;

namespace {

const unsigned long kUntouched = 0xEEEEEEEE;
const DOT11_RADIO_STATE On = dot11_radio_state_on, Off = dot11_radio_state_off,
                        Unknown = dot11_radio_state_unknown;

class WlanTest : public ::testing::Test {
protected:
    WlanTest() : wlan(fakewlan::Service::Get()) {
        wlan.Reset();
        sim::Desktop::Get().Reset();
        session.Acquire();
    }
    // Nothing of the service is left with the library once its last object is gone.
    void TearDown() override {
        session.Release();
        EXPECT_EQ(wlan.OpenHandles(), 0) << "client handles left open";
        EXPECT_EQ(wlan.BlocksOutstanding(), 0) << "WLAN memory not freed";
        EXPECT_EQ(wlan.BadFrees(), 0);
        EXPECT_EQ(wlan.BadHandles(), 0);
        EXPECT_EQ(wlan.loads, wlan.unloads);
    }
    Interface& Card() { return wlan.interfaces.empty() ? wlan.Add(u"Wireless LAN Card", 1) : wlan.interfaces[0]; }
    GUID CardGuid() { return Card().guid; }
    // One tick of the program, a second after the last: attach, then the queries in its order.
    struct Reading { long attach, linkResult; unsigned long radio, type, state, quality, rate, frames; };
    Reading Poll() {
        sim::Desktop::Get().Advance(1000);
        Reading r = {};
        r.attach = CheckInterface(session, CardGuid());
        ReadRadioState(session, CardGuid(), &r.radio);
        r.linkResult = ReadNetworkType(session, CardGuid(), &r.type);
        ReadAdapterState(session, CardGuid(), &r.state);
        ReadLinkQuality(session, CardGuid(), &r.quality);
        ReadDot11Rate(session, CardGuid(), &r.rate);
        ReadRxFrames(session, CardGuid(), &r.frames);
        return r;
    }

    fakewlan::Service& wlan;
    WlanEntryPoints api = {};
    WlanSession session{&api, fakewlan::Service::Load, fakewlan::Service::Unload};
};

// ---- the client handle and wlanapi.dll ----

// The driver version follows the client version: NDIS 5.1 on XP's client 1.
TEST_F(WlanTest, ClientOpensTheNewestVersionTheSystemOffersOnce) {
    struct Row {
        DWORD newest;
        int opens;
        bool open;
        DWORD version;
        long driverResult;
        unsigned long driverVersion, typeInUse;  // an 802.11g connection; XP reports no PHY
    } rows[] = {{2, 1, true, 2, Ok, kDriverVersionNative, 3},
                {1, 2, true, 1, Ok, kDriverVersionXp, 1},  // 1: the greying rule stays meaningful on XP
                {0, 2, false, 0, SystemFailed, kUntouched, kUntouched}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.newest);
        wlan.newestVersion = row.newest;
        WlanSession other(&api, fakewlan::Service::Load, fakewlan::Service::Unload);
        other.Acquire();
        EXPECT_EQ(other.Client() != nullptr, row.open);
        other.Client();
        EXPECT_EQ(other.Version(), row.version);
        EXPECT_EQ(wlan.CountCalls("WlanOpenHandle"), row.opens) << "a failed open is not repeated";
        unsigned long version = kUntouched;
        EXPECT_EQ(ReadDriverVersion(other, &version), row.driverResult);
        EXPECT_EQ(version, row.driverVersion);
        unsigned long inUse = kUntouched;
        ReadNetworkTypeInUse(other, CardGuid(), &inUse);
        EXPECT_EQ(inUse, row.typeInUse);
        other.Release();
        wlan.calls.clear();
    }
}

TEST_F(WlanTest, LastObjectGoneClosesTheHandleAndFreesTheLibrary) {
    session.Acquire();
    ASSERT_NE(session.Client(), nullptr);
    session.Release();
    EXPECT_EQ(wlan.OpenHandles(), 1);
    EXPECT_EQ(wlan.unloads, 0);
    session.Release();
    EXPECT_EQ(wlan.OpenHandles(), 0);
    EXPECT_EQ(wlan.unloads, 1);
    session.Release();  // one too many is ignored
    session.Acquire();  // for TearDown, whose Release closes the handle opened here
    ASSERT_NE(session.Client(), nullptr);
}

TEST_F(WlanTest, LoaderNeedsWlanapiWithEverySixCalls) {
    sim::Desktop& desk = sim::Desktop::Get();
    const FARPROC any = reinterpret_cast<FARPROC>(&GetLastError);
    const std::map<std::string, FARPROC> all = {{"WlanOpenHandle", any},     {"WlanCloseHandle", any},
                                                {"WlanEnumInterfaces", any}, {"WlanQueryInterface", any},
                                                {"WlanSetInterface", any},   {"WlanFreeMemory", any}};
    std::map<std::string, FARPROC> withoutSet = all;
    withoutSet.erase("WlanSetInterface");
    struct Row {
        const char* name;
        const std::map<std::string, FARPROC>* exports;
        bool loads;
        std::string file = "";  // empty: wlanapi.dll in the system folder
    } rows[] = {{"no wlanapi.dll (98, NT 4, 2000, XP before SP2)", nullptr, false},
                {"one call missing", &withoutSet, false},
                {"the whole API", &all, true},
                {"only outside the system folder", &all, false, "wlanapi.dll"}};
    char system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        desk.Reset();
        if (row.exports) desk.RegisterModule(row.file.empty() ? system + std::string("\\wlanapi.dll") : row.file, *row.exports);
        WlanEntryPoints table = {};
        EXPECT_EQ(LoadWlanApi(&table), row.loads);
        // A library that fails to load leaves no call behind, not even those it found.
        for (auto call : {reinterpret_cast<const void*>(table.WlanOpenHandle),
                          reinterpret_cast<const void*>(table.WlanQueryInterface),
                          reinterpret_cast<const void*>(table.WlanSetInterface),
                          reinterpret_cast<const void*>(table.WlanFreeMemory)})
            EXPECT_EQ(call != nullptr, row.loads);
        EXPECT_EQ(desk.LoadedModules(), row.loads ? 1 : 0);
        UnloadWlanApi(&table);
        EXPECT_EQ(desk.LoadedModules(), 0);
        EXPECT_EQ(table.WlanOpenHandle, nullptr);
    }
}

// ---- the collection ----

TEST_F(WlanTest, ItemsAreTheInterfacesInOrderUntilRefreshSeesThemChange) {
    wlan.Add(u"A", 0xA);
    wlan.Add(u"B", 0xB);
    Collection collection;
    AdapterBinding adapter;
    DriverBinding driver;
    for (int index = 0; index < 2; ++index) {
        ASSERT_EQ(SelectItem(session, &collection, index, &adapter), Ok);
        EXPECT_EQ(adapter.entry.guid.Data1, 0xAu + index);
    }
    EXPECT_EQ(SelectItem(session, &collection, 2, &adapter), NoSuchItem);
    EXPECT_FALSE(adapter.bound);
    EXPECT_EQ(SelectItem(session, &collection, 31, &adapter), NoSuchItem);
    EXPECT_EQ(SelectItem(session, &collection, 32, &adapter), BadArgument);
    EXPECT_EQ(SelectItem(session, &collection, -1, &adapter), BadArgument);
    EXPECT_EQ(wlan.CountCalls("WlanEnumInterfaces"), 1) << "Item reads the collection as enumerated";

    // A is unplugged and C plugged in: Attach notices at once, Item after Refresh.
    ASSERT_EQ(SelectItem(session, &collection, 0, &adapter), Ok);
    ASSERT_EQ(AttachDriver(session, &adapter, &driver), Ok);
    EXPECT_TRUE(driver.bound);
    wlan.interfaces.erase(wlan.interfaces.begin());
    wlan.Add(u"C", 0xC);
    sim::Desktop::Get().Advance(1000);  // the next poll
    EXPECT_EQ(AttachDriver(session, &adapter, &driver), InterfaceGone);
    EXPECT_FALSE(driver.bound);
    EXPECT_EQ(RefreshCollection(session, &collection), Ok);
    ASSERT_EQ(collection.items.size(), 2u);
    EXPECT_EQ(collection.items[0].guid.Data1, 0xBu);
    EXPECT_EQ(collection.items[1].guid.Data1, 0xCu);
    ASSERT_EQ(SelectItem(session, &collection, 0, &adapter), Ok);
    EXPECT_EQ(AttachDriver(session, &adapter, &driver), Ok);
    EXPECT_EQ(driver.guid.Data1, 0xBu);
}

// A service that starts after the program is found within kReopenMs, and
// a machine without it is asked no oftener.
TEST_F(WlanTest, AServiceThatStartsLateIsFoundWithoutRefresh) {
    wlan.Add(u"A", 0xA);
    wlan.newestVersion = 0;
    Collection collection;
    AdapterBinding adapter;
    EXPECT_EQ(SelectItem(session, &collection, 0, &adapter), NoSuchItem);
    sim::Desktop::Get().Advance(kReopenMs - 1);
    EXPECT_EQ(SelectItem(session, &collection, 0, &adapter), NoSuchItem);
    EXPECT_EQ(wlan.CountCalls("WlanOpenHandle"), 2) << "versions 2 and 1, once";
    EXPECT_EQ(RefreshCollection(session, &collection), SystemFailed);
    EXPECT_EQ(wlan.CountCalls("WlanOpenHandle"), 4) << "Refresh tries at once";
    wlan.newestVersion = 2;
    EXPECT_EQ(SelectItem(session, &collection, 0, &adapter), NoSuchItem);
    sim::Desktop::Get().Advance(kReopenMs);
    EXPECT_EQ(SelectItem(session, &collection, 0, &adapter), Ok);
}

// A restarted service forgets the handle; a stopped one answers over RPC
// that it is not there. The handle is reopened in the same call, or, while
// the service is down, by the polls after it is up.
TEST_F(WlanTest, AServiceRestartBringsTheLinkBackOnTheNextPoll) {
    ASSERT_EQ(Poll().state, 1u);
    wlan.Restart();
    EXPECT_EQ(Poll().state, 1u) << "reopened at once";
    wlan.FailNext("WlanQueryInterface", 1722);  // RPC_S_SERVER_UNAVAILABLE
    EXPECT_EQ(Poll().state, 1u);
    wlan.Restart();
    wlan.newestVersion = 0;
    EXPECT_EQ(Poll().linkResult, SystemFailed);
    const int opens = wlan.CountCalls("WlanOpenHandle");
    EXPECT_EQ(Poll().attach, InterfaceGone);
    EXPECT_EQ(wlan.CountCalls("WlanOpenHandle"), opens) << "not within kReopenMs";
    wlan.newestVersion = 2;
    Poll();
    EXPECT_EQ(Poll().state, 1u) << "kReopenMs after the failed open";
    EXPECT_EQ(wlan.OpenHandles(), 1);
}

// ---- the adapter's texts ----

TEST_F(WlanTest, DescriptionIsCutWholeCharactersAndTerminated) {
    sim::Desktop::Get().SetLeadBytes({0x81});
    const std::u16string kanji(1, u'\u6F22');  // two bytes in the fake code page
    struct Row {
        const char* name;
        std::u16string description;
        size_t bytes;
    } rows[] = {{"short", u"Wireless LAN Card", 17},
                {"empty", u"", 0},
                {"127 bytes fit", std::u16string(127, u'a'), 127},
                {"longer is cut to 127", std::u16string(200, u'a'), 127},
                {"a character that fits whole", std::u16string(125, u'a') + kanji, 127},
                {"a character not split at the end", std::u16string(126, u'a') + kanji, 126}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WCHAR wide[256] = {};
        memcpy(wide, row.description.data(), row.description.size() * sizeof(WCHAR));
        char out[kDescriptionBytes + 4];
        memset(out, 'X', sizeof out);
        api = wlan.Table();
        EXPECT_EQ(DescribeInterface(api, wide, out, kDescriptionBytes), Ok);
        EXPECT_EQ(strlen(out), row.bytes);
        EXPECT_EQ(out[kDescriptionBytes], 'X') << "written past the buffer";
    }
    char out[kDescriptionBytes];
    wlan.FailNext("WideCharToMultiByte", ERROR_INVALID_PARAMETER);
    EXPECT_EQ(DescribeInterface(api, u"Card", out, sizeof out), SystemFailed);
    EXPECT_STREQ(out, "");
}

TEST_F(WlanTest, AdapterIdIsTheGuidInRegistryForm) {
    char out[kAdapterIdBytes];
    memset(out, 'X', sizeof out);
    FormatInterfaceId(fakewlan::MakeGuid(0x0123ABCD), out);
    EXPECT_STREQ(out, "{0123ABCD-1234-ABCD-8001-00A0C9144B0F}");
}

// ---- the link ----

TEST_F(WlanTest, LinkValuesFollowTheConnection) {
    struct Row {
        const char* name;
        WLAN_INTERFACE_STATE state;
        DOT11_BSS_TYPE bss;
        DOT11_PHY_TYPE phy;
        ULONG signal, kbit;
        unsigned long networkType, adapterState, quality, rate, typeInUse;
    } rows[] = {
        {"54 Mbps, full signal", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_erp, 100, 54000, 1, 1, 15, 108, 3},
        {"11 Mbps, half signal", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_hrdsss, 50, 11000, 1, 1, 8, 22, 1},
        {"1 Mbps, no signal", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_dsss, 0, 1000, 1, 1, 0, 2, 1},
        {"signal above 100, rate rounded", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_ht, 130, 6250, 1, 1, 15, 13, 4},
        {"ad hoc", wlan_interface_state_connected, dot11_BSS_type_independent, dot11_phy_type_ofdm, 70, 24000, 2, 1, 11, 48, 2},
        {"ad hoc formed, no peer", wlan_interface_state_ad_hoc_network_formed, dot11_BSS_type_independent, dot11_phy_type_ofdm, 70, 24000, 1, 0, 0, 0, kUntouched},
        {"disconnected", wlan_interface_state_disconnected, dot11_BSS_type_infrastructure, dot11_phy_type_erp, 90, 54000, 1, 0, 0, 0, kUntouched},
        {"associating", wlan_interface_state_associating, dot11_BSS_type_infrastructure, dot11_phy_type_erp, 90, 54000, 1, 0, 0, 0, kUntouched},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Desktop::Get().Advance(1000);  // a new poll reads the link anew
        Interface& card = Card();
        card.state = row.state;
        card.bssType = row.bss;
        card.phyType = row.phy;
        card.signalQuality = row.signal;
        card.txRate = row.kbit;
        unsigned long type = 3, state = 4, quality = kUntouched, rate = kUntouched, inUse = kUntouched;
        EXPECT_EQ(ReadNetworkType(session, card.guid, &type), Ok);
        EXPECT_EQ(ReadAdapterState(session, card.guid, &state), Ok);
        EXPECT_EQ(ReadLinkQuality(session, card.guid, &quality), Ok);
        EXPECT_EQ(ReadDot11Rate(session, card.guid, &rate), Ok);
        EXPECT_EQ(ReadNetworkTypeInUse(session, card.guid, &inUse), row.typeInUse == kUntouched ? NotConnected : Ok);
        EXPECT_EQ(type, row.networkType);
        EXPECT_EQ(state, row.adapterState);
        EXPECT_EQ(quality, row.quality);
        EXPECT_EQ(rate, row.rate);
        EXPECT_EQ(inUse, row.typeInUse);
    }
}

// Frame errors only from counters that count: frames that fail to decrypt.
TEST_F(WlanTest, ReceivedFramesComeFromTheStatistics) {
    struct Row {
        const char* name;
        bool statistics;
        unsigned long long unicast, multicast;
        unsigned long count;
        long result;
        unsigned long long unicastFailed = 0, multicastFailed = 0;
    } rows[] = {{"unicast", true, 100, 0, 100, Ok},
                {"counters left at zero: not 0", true, 0, 0, 1, Ok},
                {"none decrypts", true, 0, 0, 0, Ok, 4},
                {"no multicast decrypts", true, 0, 0, 0, Ok, 0, 1},
                {"multicast too", true, 5, 7, 12, Ok, 3},
                {"past 32 bits it stays at the top", true, 1ull << 33, 0, 0xFFFFFFFF, Ok},
                {"no statistics (XP)", false, 0, 0, kRxFramesUnknown, SystemFailed}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Card().statistics = row.statistics;
        Card().unicastReceived = row.unicast;
        Card().multicastReceived = row.multicast;
        Card().unicastDecryptFailures = row.unicastFailed;
        Card().multicastDecryptFailures = row.multicastFailed;
        unsigned long count = kUntouched;
        EXPECT_EQ(ReadRxFrames(session, CardGuid(), &count), row.result);
        EXPECT_EQ(count, row.count);
    }
}

// Windows 11 24H2 refuses the connection reading without location consent:
// the signal strength and the interface state still tell the link, and the
// connection is asked again once a minute.
TEST_F(WlanTest, WithoutLocationConsentTheLinkShowsFromTheSignal) {
    struct Row {
        const char* name;
        WLAN_INTERFACE_STATE state;
        bool rssiQuery;
        unsigned long adapterState, quality;
    } rows[] = {{"connected, -55 dBm", wlan_interface_state_connected, true, 1, 14},
                {"connected, no signal query", wlan_interface_state_connected, false, 1, 0},
                {"disconnected", wlan_interface_state_disconnected, true, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        session.Release();
        session.Acquire();
        Card().locationConsent = false;
        Card().rssi = -55;
        Card().state = row.state;
        Card().rssiQuery = row.rssiQuery;
        wlan.calls.clear();
        for (int second = 0; second < 60; ++second) {
            const Reading r = Poll();
            ASSERT_EQ(r.attach, Ok);
            EXPECT_EQ(r.state, row.adapterState);
            EXPECT_EQ(r.quality, row.quality);
            EXPECT_EQ(r.rate, 0u);
        }
        EXPECT_EQ(wlan.CountCalls("WlanQueryInterface(current_connection)"), 1);
        Poll();
        EXPECT_EQ(wlan.CountCalls("WlanQueryInterface(current_connection)"), 2) << "a minute later";
    }
}

// The program's tick asks attach, radio, type, state, quality, rate and
// frames: they share one reading of the link.
TEST_F(WlanTest, APollCostsAtMostThreeServiceCalls) {
    for (WLAN_INTERFACE_STATE state : {wlan_interface_state_connected, wlan_interface_state_disconnected})
        for (bool consent : {true, false}) {
            SCOPED_TRACE(std::to_string(state) + (consent ? " with consent" : " without consent"));
            Card().state = state;
            Card().locationConsent = consent;
            for (int second = 0; second < 3; ++second) {
                Poll();
                wlan.calls.clear();
                EXPECT_EQ(Poll().attach, Ok);
                EXPECT_LE(wlan.ServiceCalls(), 3);
            }
        }
}

// ---- the radio ----

TEST_F(WlanTest, RadioStateCombinesEveryPhy) {
    struct Row {
        const char* name;
        std::vector<WLAN_PHY_RADIO_STATE> phys;
        bool query;
        unsigned long state;
        long result;
        DWORD blockBytes = 0;
    } rows[] = {
        {"on", {{0, On, On}}, true, 3, Ok},
        {"off in software", {{0, Off, On}}, true, 2, Ok},
        {"switch off", {{0, On, Off}}, true, 1, Ok},
        {"both off", {{0, Off, Off}}, true, 0, Ok},
        {"one of two PHYs on", {{0, On, On}, {1, Off, On}}, true, 3, Ok},
        {"no PHY can transmit, one switch on", {{0, On, Off}, {1, Off, On}}, true, 2, Ok},
        {"unknown counts as on", {{0, Unknown, Unknown}}, true, 3, Ok},
        {"no PHY listed", {}, true, kRadioAssumedOn, SystemFailed},
        {"no radio query (XP)", {{0, Off, Off}}, false, kRadioAssumedOn, SystemFailed},
        {"a block shorter than its PHY count", {{0, Off, On}, {1, On, On}}, true, 2, Ok, 4 + 12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Card().phys = row.phys;
        Card().radioQuery = row.query;
        Card().radioBlockBytes = row.blockBytes;
        unsigned long state = kUntouched;
        EXPECT_EQ(ReadRadioState(session, CardGuid(), &state), row.result);
        EXPECT_EQ(state, row.state);
    }
}

TEST_F(WlanTest, SetRadioSwitchesEveryPhyOrNone) {
    struct Row {
        const char* name;
        std::vector<WLAN_PHY_RADIO_STATE> phys;
        std::set<DWORD> refused;
        bool query;
        unsigned long on;
        long result;
        std::vector<DOT11_RADIO_STATE> after;
        int sets;
    } rows[] = {
        {"off, two PHYs", {{0, On, On}, {1, On, On}}, {}, true, 0, Ok, {Off, Off}, 2},
        {"on, one already on", {{0, On, On}, {1, Off, On}}, {}, true, 1, Ok, {On, On}, 1},
        {"on when on", {{0, On, On}}, {}, true, 1, Ok, {On}, 0},
        {"second PHY refuses: the first is put back", {{0, On, On}, {1, On, On}}, {1}, true, 0, SystemFailed, {On, On}, 3},
        {"switch or rights refuse", {{0, Off, Off}}, {0}, true, 1, SystemFailed, {Off}, 1},
        {"no radio control (XP)", {{0, On, On}}, {}, false, 0, SystemFailed, {On}, 0},
        {"neither 0 nor 1", {{0, On, On}}, {}, true, 2, BadArgument, {On}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Card().phys = row.phys;
        Card().refusedPhys = row.refused;
        Card().radioQuery = row.query;
        wlan.calls.clear();
        EXPECT_EQ(SetSoftwareRadio(session, CardGuid(), row.on), row.result);
        ASSERT_EQ(Card().phys.size(), row.after.size());
        for (size_t i = 0; i < row.after.size(); ++i) EXPECT_EQ(Card().phys[i].dot11SoftwareRadioState, row.after[i]);
        EXPECT_EQ(Card().phys[0].dot11HardwareRadioState, row.phys[0].dot11HardwareRadioState);
        EXPECT_EQ(wlan.CountCalls("WlanSetInterface"), row.sets);
    }
}

// ---- every WLAN call failing once ----

TEST_F(WlanTest, AFailedCallReportsFailureAndLeavesADefinedValue) {
    using Read = std::function<long(unsigned long*)>;
    auto read = [this](long (*f)(WlanSession&, const GUID&, unsigned long*)) {
        return Read([this, f](unsigned long* out) { return f(session, CardGuid(), out); });
    };
    struct Row {
        const char* name;
        const char* function;
        int skip;
        Read run;
        long result;
        unsigned long value;
    } rows[] = {
        {"radio state", "WlanQueryInterface", 0, read(ReadRadioState), SystemFailed, kRadioAssumedOn},
        {"network type", "WlanQueryInterface", 0, read(ReadNetworkType), SystemFailed, 1},
        {"adapter state", "WlanQueryInterface", 0, read(ReadAdapterState), SystemFailed, 0},
        {"link quality", "WlanQueryInterface", 0, read(ReadLinkQuality), SystemFailed, 0},
        {"rate", "WlanQueryInterface", 0, read(ReadDot11Rate), SystemFailed, 0},
        {"received frames", "WlanQueryInterface", 0, read(ReadRxFrames), SystemFailed, kRxFramesUnknown},
        {"network type in use", "WlanQueryInterface", 0, read(ReadNetworkTypeInUse), SystemFailed, kUntouched},
        {"attach", "WlanQueryInterface", 0, [this](unsigned long*) { return CheckInterface(session, CardGuid()); }, InterfaceGone, kUntouched},
        {"radio switch: the query", "WlanQueryInterface", 0, [this](unsigned long*) { return SetSoftwareRadio(session, CardGuid(), 0); }, SystemFailed, kUntouched},
        {"radio switch: the set", "WlanSetInterface", 0, [this](unsigned long*) { return SetSoftwareRadio(session, CardGuid(), 0); }, SystemFailed, kUntouched},
        {"enumeration", "WlanEnumInterfaces", 0, [this](unsigned long* out) {
             std::vector<InterfaceEntry> items(1);
             long result = EnumerateInterfaces(session, &items);
             if (items.empty()) *out = 0;
             return result;
         }, SystemFailed, 0},
        {"open, version 2 (then 1)", "WlanOpenHandle", 0, [this](unsigned long* out) { return ReadDriverVersion(session, out); }, Ok, kDriverVersionXp},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Card();
        session.Release();  // a fresh client for each row
        session.Acquire();
        wlan.FailNext(row.function, ERROR_NOT_FOUND, row.skip);
        unsigned long value = kUntouched;
        EXPECT_EQ(row.run(&value), row.result);
        EXPECT_EQ(value, row.value);
        EXPECT_EQ(wlan.BlocksOutstanding(), 0);
        EXPECT_EQ(Card().phys[0].dot11SoftwareRadioState, On) << "a failure changes nothing";
    }
}

// ---- the rules ----

TEST_F(WlanTest, ScalesAndNames) {
    EXPECT_EQ(std::vector<long>({Ok, NoSuchItem, NotBound, InterfaceGone, BadArgument, Internal, SystemFailed, NotConnected}),
              std::vector<long>({0, 1, 2, 3, 5, 6, 7, 8})) << "the results TavroApi.h publishes";
    const std::pair<LONG, ULONG> rssis[] = {{-120, 0}, {-100, 0}, {-99, 2}, {-75, 50}, {-55, 90}, {-50, 100}, {-20, 100}};
    for (const auto& r : rssis) EXPECT_EQ(SignalFromRssi(r.first), r.second) << r.first;
    for (DWORD gone : {6, 1702, 1717, 1722, 1726, 1727, 1753}) EXPECT_TRUE(HandleGone(gone)) << gone;
    for (DWORD other : {0, 5, 7, 1701, 1723, 1752, 1754}) EXPECT_FALSE(HandleGone(other)) << other;
    const ULONG signals[][2] = {{0, 0}, {3, 0}, {4, 1}, {50, 8}, {93, 14}, {97, 15}, {100, 15}, {1000, 15}};
    for (const auto& s : signals) EXPECT_EQ(ScaleSignalQuality(s[0]), s[1]) << s[0];
    const ULONG rates[][2] = {{0, 0}, {249, 0}, {250, 1}, {1000, 2}, {5500, 11}, {54000, 108}, {0xFFFFFFFF, 8589935}};
    for (const auto& r : rates) EXPECT_EQ(RateUnits(r[0]), r[1]) << r[0];
    const std::pair<DOT11_PHY_TYPE, unsigned long> phys[] = {
        {dot11_phy_type_fhss, 0}, {dot11_phy_type_dsss, 1}, {dot11_phy_type_hrdsss, 1}, {dot11_phy_type_ofdm, 2},
        {dot11_phy_type_erp, 3},  {dot11_phy_type_ht, 4},   {dot11_phy_type_unknown, 4}};
    for (const auto& p : phys) EXPECT_EQ(NdisNetworkType(p.first), p.second) << p.first;
}

}  // namespace
