// TavroApi.DLL over the Native Wifi API: what each method answers for the
// interfaces, connections, radios and statistics the WLAN service reports,
// and that every client handle and block of the service's memory is given
// back, also when a WLAN call fails.
#include "WlanTest.h"

#include <string.h>

#include <functional>
#include <string>

namespace {

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
    const std::map<std::string, FARPROC> all = {{"WlanOpenHandle", any},
                                                {"WlanCloseHandle", any},
                                                {"WlanEnumInterfaces", any},
                                                {"WlanQueryInterface", any},
                                                {"WlanSetInterface", any},
                                                {"WlanFreeMemory", any},
                                                {"WlanGetAvailableNetworkList", any}};  // no BSS list: XP
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
        if (row.exports)
            desk.RegisterModule(row.file.empty() ? system + std::string("\\wlanapi.dll") : row.file, *row.exports);
        WlanEntryPoints table = wlan.Table();  // every call set before
        EXPECT_EQ(LoadWlanApi(&table), row.loads);
        EXPECT_EQ(table.WlanGetAvailableNetworkList != nullptr, row.loads) << "the applet's calls the system has";
        EXPECT_EQ(table.WlanGetNetworkBssList, nullptr) << "and none it lacks";
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
    ASSERT_EQ(RefreshCollection(session, &collection), Ok);
    for (int index = 0; index < 2; ++index) {
        ASSERT_EQ(SelectItem(session, &collection, index, &adapter), Ok);
        EXPECT_EQ(adapter.entry.guid.Data1, 0xAu + index);
    }
    EXPECT_EQ(SelectItem(session, &collection, 2, &adapter), NoSuchItem);
    EXPECT_FALSE(adapter.bound);
    EXPECT_EQ(SelectItem(session, &collection, 31, &adapter), NoSuchItem);
    EXPECT_EQ(SelectItem(session, &collection, 32, &adapter), BadArgument);
    EXPECT_EQ(SelectItem(session, &collection, -1, &adapter), BadArgument);
    EXPECT_EQ(wlan.CountCalls("WlanEnumInterfaces"), 1) << "Item reads the collection as Refresh enumerated it";

    // A is unplugged and C plugged in: Attach notices at once, Item after Refresh.
    ASSERT_EQ(SelectItem(session, &collection, 0, &adapter), Ok);
    ASSERT_EQ(AttachDriver(session, &adapter, &driver), Ok);
    EXPECT_TRUE(driver.bound);
    wlan.interfaces.erase(wlan.interfaces.begin());
    wlan.Add(u"C", 0xC);
    sim::Desktop::Get().Advance(1000);  // the next poll
    EXPECT_EQ(AttachDriver(session, &adapter, &driver), InterfaceGone);
    EXPECT_FALSE(driver.bound);
    // Refresh: A keeps its place, gone, so that no slot's item index comes to name another adapter.
    EXPECT_EQ(RefreshCollection(session, &collection), Ok);
    std::vector<unsigned long> order;
    for (const InterfaceEntry& item : collection.items) order.push_back(item.guid.Data1 | (item.present ? 0 : 0x100));
    EXPECT_EQ(order, (std::vector<unsigned long>{0x10A, 0xB, 0xC}));
    ASSERT_EQ(SelectItem(session, &collection, 0, &adapter), Ok);
    EXPECT_EQ(AttachDriver(session, &adapter, &driver), InterfaceGone) << "without asking the service";
    ASSERT_EQ(SelectItem(session, &collection, 1, &adapter), Ok);
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
    EXPECT_EQ(DescribeInterface(api, nullptr, out, sizeof out), Internal);
    out[0] = 'X';
    EXPECT_EQ(DescribeInterface(api, u"Card", out, 0), BadArgument);
    EXPECT_EQ(out[0], 'X') << "no room: nothing written";
}

TEST_F(WlanTest, AdapterIdIsTheGuidInRegistryForm) {
    char out[kAdapterIdBytes];
    memset(out, 'X', sizeof out);
    FormatInterfaceId(fakewlan::MakeGuid(0x0123ABCD), out);
    EXPECT_STREQ(out, "{0123ABCD-1234-ABCD-8001-00A0C9144B0F}");
}

// ---- the link ----

// Where iphlpapi gives no link speed, the rate (and the kind and PHY) come
// from the connection; the quality always from the signal strength.
TEST_F(WlanTest, LinkValuesFollowTheConnection) {
    struct Row {
        const char* name;
        WLAN_INTERFACE_STATE state;
        DOT11_BSS_TYPE bss;
        DOT11_PHY_TYPE phy;
        LONG rssi;
        ULONG kbit;
        unsigned long networkType, adapterState, quality, rate, typeInUse;
    } rows[] = {
        {"54 Mbps, full signal", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_erp, -50,
         54000, 1, 1, 15, 108, 3},
        {"11 Mbps, half signal", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_hrdsss,
         -75, 11000, 1, 1, 8, 22, 1},
        {"1 Mbps, no signal", wlan_interface_state_connected, dot11_BSS_type_infrastructure, dot11_phy_type_dsss, -100,
         1000, 1, 1, 0, 2, 1},
        {"signal above the scale, rate rounded", wlan_interface_state_connected, dot11_BSS_type_infrastructure,
         dot11_phy_type_ht, -20, 6250, 1, 1, 15, 13, 4},
        {"ad hoc", wlan_interface_state_connected, dot11_BSS_type_independent, dot11_phy_type_ofdm, -65, 24000, 2, 1,
         11, 48, 2},
        {"ad hoc formed, no peer", wlan_interface_state_ad_hoc_network_formed, dot11_BSS_type_independent,
         dot11_phy_type_ofdm, -65, 24000, 1, 0, 0, 0, kUntouched},
        {"disconnected", wlan_interface_state_disconnected, dot11_BSS_type_infrastructure, dot11_phy_type_erp, -55,
         54000, 1, 0, 0, 0, kUntouched},
        {"associating", wlan_interface_state_associating, dot11_BSS_type_infrastructure, dot11_phy_type_erp, -55, 54000,
         1, 0, 0, 0, kUntouched},
    };
    wlan.missingCalls = {"GetIfEntry2"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Reopen();  // a connection of its own
        sim::Desktop::Get().Advance(1000);
        Interface& card = Card();
        card.state = row.state;
        card.bssType = row.bss;
        card.phyType = row.phy;
        card.rssi = row.rssi;
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

// The program's tick asks attach, radio, type, state, quality, rate and
// frames: they share one reading of the link, which costs the interface
// state and, while connected, the signal strength; with the radio state and
// the statistics four service calls at most, whether or not Windows has
// the link speed and allows the connection reading.
TEST_F(WlanTest, APollCostsAtMostFourServiceCalls) {
    for (bool linkSpeed : {true, false})
        for (WLAN_INTERFACE_STATE state : {wlan_interface_state_connected, wlan_interface_state_disconnected})
            for (bool consent : {true, false}) {
                SCOPED_TRACE(std::to_string(state) + (consent ? " with consent" : " without consent") +
                             (linkSpeed ? "" : ", no link speed"));
                wlan.missingCalls = linkSpeed ? std::set<std::string>() : std::set<std::string>{"GetIfEntry2"};
                Reopen();
                Card().state = state;
                Card().locationConsent = consent;
                for (int second = 0; second < 302; ++second) {
                    wlan.calls.clear();
                    EXPECT_EQ(Poll().attach, Ok);
                    const int opening = wlan.CountCalls("WlanOpenHandle") + wlan.CountCalls("WlanRegisterNotification");
                    EXPECT_LE(wlan.ServiceCalls() - opening - wlan.GatedCalls(), 4) << "second " << second;
                    EXPECT_LE(wlan.GatedCalls(), linkSpeed ? 0 : 1) << "second " << second;
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
        {"on", {{0, kOn, kOn}}, true, 3, Ok},
        {"off in software", {{0, kOff, kOn}}, true, 2, Ok},
        {"switch off", {{0, kOn, kOff}}, true, 1, Ok},
        {"both off", {{0, kOff, kOff}}, true, 0, Ok},
        {"one of two PHYs on", {{0, kOn, kOn}, {1, kOff, kOn}}, true, 3, Ok},
        {"no PHY can transmit, one switch on", {{0, kOn, kOff}, {1, kOff, kOn}}, true, 2, Ok},
        {"unknown counts as on", {{0, kUnknown, kUnknown}}, true, 3, Ok},
        {"no PHY listed", {}, true, kRadioAssumedOn, SystemFailed},
        {"no radio query (XP)", {{0, kOff, kOff}}, false, kRadioAssumedOn, SystemFailed},
        {"a block shorter than its PHY count", {{0, kOff, kOn}, {1, kOn, kOn}}, true, 2, Ok, 4 + 12},
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
        {"off, two PHYs", {{0, kOn, kOn}, {1, kOn, kOn}}, {}, true, 0, Ok, {kOff, kOff}, 2},
        {"on, one already on", {{0, kOn, kOn}, {1, kOff, kOn}}, {}, true, 1, Ok, {kOn, kOn}, 1},
        {"on when on", {{0, kOn, kOn}}, {}, true, 1, Ok, {kOn}, 0},
        {"second PHY refuses: the first is put back",
         {{0, kOn, kOn}, {1, kOn, kOn}},
         {1},
         true,
         0,
         SystemFailed,
         {kOn, kOn},
         3},
        {"switch or rights refuse", {{0, kOff, kOff}}, {0}, true, 1, SystemFailed, {kOff}, 1},
        {"no radio control (XP)", {{0, kOn, kOn}}, {}, false, 0, SystemFailed, {kOn}, 0},
        {"neither 0 nor 1", {{0, kOn, kOn}}, {}, true, 2, BadArgument, {kOn}, 0},
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
        {"attach", "WlanQueryInterface", 0, [this](unsigned long*) { return CheckInterface(session, CardGuid()); },
         InterfaceGone, kUntouched},
        {"radio switch: the query", "WlanQueryInterface", 0,
         [this](unsigned long*) { return SetSoftwareRadio(session, CardGuid(), 0); }, SystemFailed, kUntouched},
        {"radio switch: the set", "WlanSetInterface", 0,
         [this](unsigned long*) { return SetSoftwareRadio(session, CardGuid(), 0); }, SystemFailed, kUntouched},
        {"enumeration", "WlanEnumInterfaces", 0,
         [this](unsigned long* out) {
             std::vector<InterfaceEntry> items(1);
             long result = EnumerateInterfaces(session, &items);
             if (items.empty()) *out = 0;
             return result;
         },
         SystemFailed, 0},
        {"open, version 2 (then 1)", "WlanOpenHandle", 0,
         [this](unsigned long* out) { return ReadDriverVersion(session, out); }, Ok, kDriverVersionXp},
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
        EXPECT_EQ(Card().phys[0].dot11SoftwareRadioState, kOn) << "a failure changes nothing";
    }
}

// ---- the applet's interface (TavroNet.h) ----

// What the status page shows on each Windows: with consent everything the
// connection, the BSS list and the queries give; on XP no signal strength
// or channel; without consent only the signal and the state.
TEST_F(WlanTest, LinkShowsWhatTheSystemAllows) {
    const unsigned long full = TAVRONET_KNOWN_SSID | TAVRONET_KNOWN_BSSID | TAVRONET_KNOWN_CHANNEL |
                               TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_TX_RATE |
                               TAVRONET_KNOWN_RX_RATE | TAVRONET_KNOWN_PHY | TAVRONET_KNOWN_SECURITY;
    const unsigned long xp = full & ~(TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_CHANNEL | TAVRONET_KNOWN_PHY);
    struct Row {
        const char* name;
        std::function<void(Interface&)> set;
        unsigned long state, known, channel, frequency, denied;
        long rssi;
    } rows[] = {
        {"with consent", [](Interface& c) { c.signalQuality = 101; }, TAVRONET_STATE_CONNECTED, full, 36, 5180, 0, -60},
        {"no BSS list: the channel query", [this](Interface&) { wlan.missingCalls = {"WlanGetNetworkBssList"}; },
         TAVRONET_STATE_CONNECTED, full, 6, 0, 0, -60},
        {"XP",
         [this](Interface& c) {
             wlan.newestVersion = 1;
             wlan.missingCalls = {"WlanGetNetworkBssList"};
             c.channel = 0;
             c.rssiQuery = false;
             c.radioQuery = false;
             c.phyType = dot11_phy_type_unknown;
         },
         TAVRONET_STATE_CONNECTED, xp, 0, 0, 0, 0},
        {"without consent",
         [](Interface& c) {
             c.locationConsent = false;
             c.rssi = -55;
         },
         TAVRONET_STATE_CONNECTED, TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_RSSI, 0, 0, 1, -55},
        {"not connected", [](Interface& c) { c.state = wlan_interface_state_disconnected; },
         TAVRONET_STATE_NOT_CONNECTED, 0, 0, 0, 0, 0},
        {"radio off",
         [](Interface& c) {
             c.phys = {{0, kOff, kOn}};
             c.state = wlan_interface_state_disconnected;
         },
         TAVRONET_STATE_RADIO_OFF, 0, 0, 0, 0, 0},
        {"switch off",
         [](Interface& c) {
             c.phys = {{0, kOn, kOff}};
             c.state = wlan_interface_state_disconnected;
         },
         TAVRONET_STATE_SWITCH_OFF, 0, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        session.Release();
        wlan.Reset();
        session.Acquire();
        Card().AddNetwork("HomeNet", 80, -60, 5180000);
        memcpy(Card().bsses[0].dot11Bssid, Card().bssid, 6);
        row.set(Card());
        unsigned long result;
        const TAVRONET_LINK link = Link(&result);
        ASSERT_EQ(result, 0u);
        EXPECT_EQ(link.state, row.state);
        EXPECT_EQ(link.known, row.known);
        EXPECT_EQ(std::vector<unsigned long>({link.channel, link.frequencyMHz, link.locationDenied}),
                  std::vector<unsigned long>({row.channel, row.frequency, row.denied}));
        EXPECT_EQ(link.rssiDbm, row.rssi);
        EXPECT_EQ(link.autoConfig, unsigned(TAVRONET_AUTOCONFIG_ON));
        if (!(row.known & TAVRONET_KNOWN_SSID)) continue;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(link.ssid), link.ssidLength), "HomeNet");
        EXPECT_EQ(std::vector<unsigned long>({link.signalPercent, link.txRateKbps, link.rxRateKbps, link.authentication,
                                              link.cipher, link.bssid[5]}),
                  std::vector<unsigned long>(
                      {row.rssi ? 80u : 100u, 54000, 48000, TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, 0x5E}))
            << "the signal from the signal strength (-60 dBm), on XP from the connection, 101 counted as 100";
        EXPECT_STREQ(link.profileName, "HomeNet");
    }
}

// known: 0x19D name, channel, signal, RSSI, PHY and security; 0x189 without the BSS list's channel and RSSI.
TEST_F(WlanTest, NetworksInRangeMergeTheirAccessPoints) {
    struct Row {
        const char* name;
        std::function<void(Interface&)> set;
        unsigned long capacity, count, accessPoints, known, flags, phy, channel;
        long rssi;
    } rows[] = {
        {"none", [](Interface&) {}, 256, 0},
        {"100 networks",
         [](Interface& c) {
             for (int i = 0; i < 100; ++i) c.AddNetwork("Net" + std::to_string(i), 50, -70, 2437000);
         },
         256, 100, 1, 0x19D, 0, TAVRONET_PHY_AC, 6, -70},
        {"more than fit",
         [](Interface& c) {
             for (int i = 0; i < 100; ++i) c.AddNetwork("Net" + std::to_string(i), 50, -70, 2437000);
         },
         10, 10, 1, 0x19D, 0, TAVRONET_PHY_AC, 6, -70},
        {"three access points, saved and connected, listed twice",
         [](Interface& c) {
             c.AddNetwork("HomeNet", 90, -50, 5180000, 3, 0x3, u"HomeNet");
             c.networks.push_back(c.networks[0]);
             c.networks[1].dwFlags = 0;
             c.networks[1].wlanSignalQuality = 95;
         },
         256, 1, 3, 0x19D, TAVRONET_NETWORK_CONNECTED | TAVRONET_NETWORK_HAS_PROFILE, TAVRONET_PHY_AC, 36, -50},
        {"a hidden network of no known PHY",
         [](Interface& c) {
             c.AddNetwork("", 60, -70, 2437000);
             c.networks[0].dot11PhyTypes[0] = dot11_phy_type_unknown;
             c.bsses[0].dot11BssPhyType = dot11_phy_type_unknown;
         },
         256, 1, 1, TAVRONET_KNOWN_SIGNAL | TAVRONET_KNOWN_SECURITY | TAVRONET_KNOWN_RSSI | TAVRONET_KNOWN_CHANNEL, 0,
         0, 6, -70},
        {"the BSS list refused",
         [this](Interface& c) {
             wlan.FailNext("WlanGetNetworkBssList", ERROR_ACCESS_DENIED);
             c.AddNetwork("Cafe", 60, -70, 2412000, 2);
             c.networks[0].dot11PhyTypes[1] = static_cast<DOT11_PHY_TYPE>(10);
         },
         256, 1, 2, 0x189, 0, TAVRONET_PHY_N, 0, 0},
        // XP has no BSS list, and its list counts one access point for any network: it cannot tell.
        {"XP",
         [this](Interface& c) {
             wlan.newestVersion = 1;
             wlan.missingCalls = {"WlanGetNetworkBssList"};
             c.AddNetwork("Cafe", 60, -70, 2412000, 2);
         },
         256, 1, 0, 0x189, 0, TAVRONET_PHY_N, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        session.Release();
        wlan.Reset();
        session.Acquire();
        row.set(Card());
        unsigned long result;
        const std::vector<TAVRONET_NETWORK> list = Networks(&result, row.capacity);
        ASSERT_EQ(result, 0u);
        ASSERT_EQ(list.size(), row.count);
        if (list.empty()) continue;
        const TAVRONET_NETWORK& n = list.back();
        EXPECT_EQ(n.size, sizeof n);
        EXPECT_EQ(std::vector<unsigned long>({n.accessPoints, n.known, n.flags, n.phy, n.channel}),
                  std::vector<unsigned long>({row.accessPoints, row.known, row.flags, row.phy, row.channel}));
        EXPECT_EQ(n.rssiDbm, row.rssi);
        EXPECT_EQ(n.signalPercent, row.count == 1 && row.flags ? 95u : list.size() == 1 ? 60u : 50u);
        EXPECT_STREQ(n.profileName, row.flags ? "HomeNet" : "");
    }
}

// WlanScan returns at once; the service reports the scan complete or failed
// (with its reason) later, on its own thread. A failed scan's reason is what
// TavroNetGetScanState answers once it is done, until the next scan.
TEST_F(WlanTest, AScanEndsWhenTheServiceSaysOrAfterFourSeconds) {
    const unsigned long P = TAVRONET_SCAN_PENDING, D = TAVRONET_SCAN_DONE, kNotAvailable = 0x0002800B;
    struct Row {
        const char* name;
        std::function<void(Interface&)> set;
        unsigned long result;
        // TavroNetGetScanState's answer and state at once, two seconds and four seconds after the scan.
        std::vector<unsigned long> seen;
    } rows[] = {
        {"reported complete after 1.5 s", [](Interface&) {}, 0, {0, P, 0, D, 0, D}},
        {"reported failed after 1.5 s",
         [](Interface& c) { c.scanFailure = kNotAvailable; },
         0,
         {0, P, kNotAvailable, D, kNotAvailable, D}},
        {"reported failed without its reason",
         [this](Interface& c) {
             c.scanMs = 10000;
             wlan.Notify(c.guid, wlan_notification_acm_scan_fail);
         },
         0,
         {0x00010001, D, 0x00010001, D, 0x00010001, D}},
        {"XP: the service reports no scan", [this](Interface&) { wlan.newestVersion = 1; }, 0, {0, P, 0, P, 0, D}},
        {"an event of another source is no end",
         [this](Interface& c) {
             c.scanMs = 10000;
             wlan.Notify(c.guid, wlan_notification_acm_scan_complete, 0, 0x10);
         },
         0,
         {0, P, 0, P, 0, D}},
        {"no notifications",
         [this](Interface&) { wlan.missingCalls = {"WlanRegisterNotification"}; },
         0,
         {0, P, 0, P, 0, D}},
        {"radio off",
         [this](Interface&) { wlan.FailNext("WlanScan", ERROR_NOT_READY); },
         ERROR_NOT_READY,
         {0, D, 0, D, 0, D}},
        {"no scan call",
         [this](Interface&) { wlan.missingCalls = {"WlanScan"}; },
         ERROR_NOT_SUPPORTED,
         {0, D, 0, D, 0, D}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        session.Release();
        wlan.Reset();
        row.set(Card());
        session.Acquire();
        EXPECT_EQ(NetScan(session, Id().c_str()), row.result);
        std::vector<unsigned long> seen;
        for (DWORD wait : {1, 1999, 2001}) {
            Later(wait);
            unsigned long state = kUntouched;
            seen.push_back(NetGetScanState(session, Id().c_str(), &state));
            seen.push_back(state);
        }
        EXPECT_EQ(seen, row.seen);
    }
    // The next scan forgets the last one's failure.
    FreshService();
    Card().scanFailure = kNotAvailable;
    unsigned long state = kUntouched;
    EXPECT_EQ(NetScan(session, Id().c_str()), 0u);
    Later(2000);
    EXPECT_EQ(NetGetScanState(session, Id().c_str(), &state), kNotAvailable);
    EXPECT_EQ(NetScan(session, Id().c_str()), 0u);
    EXPECT_EQ(NetGetScanState(session, Id().c_str(), &state), 0u);
    EXPECT_EQ(state, P);
}

TEST_F(WlanTest, ConnectReachesASavedOrOpenNetwork) {
    struct Row {
        const char* name;
        const char* ssid;
        const char* profile;
        unsigned long auth, cipher, result;
        const char* call;
        DWORD version = 2;
    } rows[] = {
        {"by its saved network", "HomeNet", "HomeNet", TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, 0,
         "WlanConnect(profile HomeNet)"},
        {"open, by its name", "Cafe", "", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, 0, "WlanConnect(open Cafe)"},
        {"secured without a saved network", "Office", "", TAVRONET_AUTH_WPA2, TAVRONET_CIPHER_CCMP, ERROR_NOT_FOUND,
         ""},
        {"WEP with open authentication is not open", "Office", "", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP,
         ERROR_NOT_FOUND, ""},
        {"a saved network that is gone", "Old", "Old", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, ERROR_NOT_FOUND, ""},
        {"open on XP", "Cafe", "", TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_NONE, ERROR_NOT_SUPPORTED, "", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        session.Release();
        wlan.Reset();
        wlan.newestVersion = row.version;
        session.Acquire();
        Card().profiles = {{u"HomeNet", 0, u""}};
        Card().state = wlan_interface_state_disconnected;
        TAVRONET_NETWORK network = {sizeof network};
        network.ssidLength = static_cast<unsigned long>(strlen(row.ssid));
        memcpy(network.ssid, row.ssid, network.ssidLength);
        strcpy(network.profileName, row.profile);
        network.authentication = row.auth;
        network.cipher = row.cipher;
        EXPECT_EQ(NetConnect(session, Id().c_str(), &network), row.result);
        Later(Card().connectMs);
        EXPECT_EQ(wlan.CountCalls("WlanConnect"), *row.call ? 1 : 0);
        if (*row.call) {
            EXPECT_EQ(wlan.calls.back(), row.call);
        }
        EXPECT_EQ(Card().state, *row.call ? wlan_interface_state_connected : wlan_interface_state_disconnected);
    }
    EXPECT_EQ(NetDisconnect(session, Id().c_str()), 0u);
    Later(1000);
    EXPECT_EQ(Card().state, wlan_interface_state_disconnected);
}

// Windows' reasons come back unchanged, so the applet can show them.
TEST_F(WlanTest, SavedNetworksAreMovedAndRemovedAsWindowsAllows) {
    Card().profiles = {{u"Office", 1, u""}, {u"HomeNet", 2, u""}, {u"Cafe", 0, u""}};
    wlan.FailNext("WlanGetProfile", ERROR_ACCESS_DENIED);  // a text refused: the name and flags still show
    TAVRONET_PROFILE first = {sizeof first};
    unsigned long count = 0;
    ASSERT_EQ(NetGetProfiles(session, Id().c_str(), &first, 1, &count), 0u);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(first.flags, unsigned(TAVRONET_PROFILE_GROUP_POLICY));
    struct Row {
        bool remove;
        const char* name;
        unsigned long position, result;
        std::vector<std::string> after;
    } rows[] = {
        {false, "Cafe", 1, 0, {"Office", "Cafe", "HomeNet"}},
        {false, "Office", 2, ERROR_ACCESS_DENIED, {"Office", "Cafe", "HomeNet"}},
        {false, "Cafe", 3, ERROR_INVALID_PARAMETER, {"Office", "Cafe", "HomeNet"}},
        {false, "Nowhere", 0, ERROR_NOT_FOUND, {"Office", "Cafe", "HomeNet"}},
        {true, "Office", 0, ERROR_ACCESS_DENIED, {"Office", "Cafe", "HomeNet"}},
        {true, "HomeNet", 0, 0, {"Office", "Cafe"}},
        {true, "HomeNet", 0, ERROR_NOT_FOUND, {"Office", "Cafe"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.remove ? " removed" : " moved"));
        EXPECT_EQ(row.remove ? NetDeleteProfile(session, Id().c_str(), row.name)
                             : NetMoveProfile(session, Id().c_str(), row.name, row.position),
                  row.result);
        EXPECT_EQ(ProfileNames(), row.after);
    }
    // The longest name Windows allows, 255 characters, is passed on whole.
    Card().profiles.push_back({std::u16string(255, u'L'), 0, u""});
    EXPECT_EQ(NetDeleteProfile(session, Id().c_str(), std::string(255, 'L').c_str()), 0u);
    EXPECT_EQ(ProfileNames(), (std::vector<std::string>{"Office", "Cafe"}));
}

TEST_F(WlanTest, ProfileSecurityIsReadFromTheProfileText) {
    const std::u16string head =
        u"<?xml version=\"1.0\"?><WLANProfile "
        u"xmlns=\"http://x\"><name>P</name><SSIDConfig><SSID><hex>486F6D6509</hex><name>Home</name></SSID></"
        u"SSIDConfig>";
    struct Row {
        const char* name;
        std::u16string body;
        std::vector<unsigned long> expected;  // auth, cipher, key index, key bits, 802.1X, EAP, kind, flags
    } rows[] = {
        {"WPA2-PSK",
         u"<connectionType>ESS</connectionType><MSM><security><authEncryption><authentication>\r\n\t WPA2PSK "
         u"\t\r\n</authentication><encryption>\tAES "
         u"</encryption><useOneX>false</useOneX></authEncryption><sharedKey><keyType>passPhrase</"
         u"keyType><protected>true</protected><keyMaterial>01000000D08C9DDF</keyMaterial></sharedKey>",
         {TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_CCMP, 0, 0, 0, 0, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"WEP, second key, unprotected 104 bits, manual",
         u"<connectionMode>manual</connectionMode><authentication>open</authentication><encryption>WEP</"
         u"encryption><keyIndex>1</keyIndex><protected>false</protected><keyMaterial>0123456789ABCDEF0123456789</"
         u"keyMaterial>",
         {TAVRONET_AUTH_OPEN, TAVRONET_CIPHER_WEP, 2, 104, 0, 0, 1, 0}},
        {"WEP, 40 bits in 10 hex digits",
         u"<encryption>WEP</encryption><keyMaterial>0123456789</keyMaterial>",
         {0, TAVRONET_CIPHER_WEP, 1, 40, 0, 0, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"WEP, a key of another length",
         u"<encryption>WEP</encryption><keyMaterial>01234567</keyMaterial>",
         {0, TAVRONET_CIPHER_WEP, 1, 0, 0, 0, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"WEP, no key",
         u"<encryption>WEP</encryption>",
         {0, TAVRONET_CIPHER_WEP, 1, 0, 0, 0, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"shared WEP, protected key",
         u"<authentication>shared</authentication><encryption>wep</encryption><protected>true</"
         u"protected><keyMaterial>ABCDE</keyMaterial>",
         {TAVRONET_AUTH_SHARED, TAVRONET_CIPHER_WEP, 1, 0, 0, 0, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"WPA2-Enterprise, PEAP",
         u"<authentication>WPA2</authentication><encryption>AES</encryption><useOneX>true</"
         u"useOneX><OneX><EAPConfig><EapHostConfig><EapMethod><eapCommon:Type "
         u"xmlns:eapCommon=\"x\">25</eapCommon:Type></EapMethod></EapHostConfig></EAPConfig></OneX>",
         {TAVRONET_AUTH_WPA2, TAVRONET_CIPHER_CCMP, 0, 0, 1, 25, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"WPA3-SAE, GCMP, ad hoc",
         u"<connectionType>IBSS</connectionType><authentication>WPA3SAE</authentication><encryption>GCMP256</"
         u"encryption>",
         {TAVRONET_AUTH_WPA3_SAE, TAVRONET_CIPHER_GCMP, 0, 0, 0, 0, 2, TAVRONET_PROFILE_AUTO_CONNECT}},
        {"unknown words",
         u"<authentication>FUTURE</authentication><encryption/>",
         {TAVRONET_AUTH_UNKNOWN, TAVRONET_CIPHER_UNKNOWN, 0, 0, 0, 0, 1, TAVRONET_PROFILE_AUTO_CONNECT}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TAVRONET_PROFILE p = {};
        ReadProfileText((head + row.body + u"</WLANProfile>").c_str(), &p);
        EXPECT_EQ(std::vector<unsigned long>(
                      {p.authentication, p.cipher, p.wepKeyIndex, p.wepKeyBits, p.oneX, p.eapType, p.bssType, p.flags}),
                  row.expected);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.ssid), p.ssidLength), "Home\t");
    }
    // Through the service: the list's name and flags, the text's security.
    Card().profiles = {{u"HomeNet", 0, head + rows[6].body /* PEAP */ + u"</WLANProfile>"}};
    TAVRONET_PROFILE p = {sizeof p};
    unsigned long count;
    ASSERT_EQ(NetGetProfiles(session, Id().c_str(), &p, 1, &count), 0u);
    EXPECT_EQ(std::vector<unsigned long>({p.authentication, p.eapType, p.ssidLength}),
              std::vector<unsigned long>({TAVRONET_AUTH_WPA2, 25, 5}));
    EXPECT_EQ(wlan.BlocksOutstanding(), 0);
    // An empty element holds nothing: the name stands for an empty hex.
    TAVRONET_PROFILE empty = {};
    ReadProfileText(std::u16string(u"<SSIDConfig><SSID><hex/><name>Cafe</name></SSID></SSIDConfig>").c_str(), &empty);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(empty.ssid), empty.ssidLength), "Cafe");
    // A name longer than a network name can be (a profile written by hand) is cut at 32 bytes.
    for (const std::u16string& ssid :
         {u"<hex>" + std::u16string(68, u'A') + u"</hex>", u"<name>" + std::u16string(34, u'B') + u"</name>"}) {
        TAVRONET_PROFILE longer = {};
        ReadProfileText((u"<SSIDConfig><SSID>" + ssid + u"</SSID></SSIDConfig>").c_str(), &longer);
        EXPECT_EQ(longer.ssidLength, 32u);
        EXPECT_EQ(longer.ssid[31], ssid[1] == u'h' ? 0xAA : 'B');
    }
    // A text that ends inside an element's name is read to its end, and no further.
    TAVRONET_PROFILE cut = {};
    ReadProfileText(std::u16string(u"<authentication>WPA2PSK</authentication><encry").c_str(), &cut);
    EXPECT_EQ(std::vector<unsigned long>({cut.authentication, cut.cipher}),
              std::vector<unsigned long>({TAVRONET_AUTH_WPA2_PSK, TAVRONET_CIPHER_UNKNOWN}));
}

// The graph's readings: one for each poll, the last ten minutes, oldest first.
TEST_F(WlanTest, HistoryKeepsTheLastTenMinutesOfPolls) {
    Card().rssi = -65;  // 70 %
    for (int second = 0; second < 700; ++second) Poll();
    static TAVRONET_HISTORY history;
    history.size = sizeof history;
    ASSERT_EQ(NetGetHistory(session, Id().c_str(), &history), 0u);
    EXPECT_EQ(history.count, unsigned(TAVRONET_HISTORY_SAMPLES));
    EXPECT_EQ(history.now - history.samples[0].tick, 599000u);
    EXPECT_EQ(history.now, history.samples[599].tick);
    EXPECT_EQ(history.samples[599].linked, 1);
    EXPECT_EQ(history.samples[599].signalPercent, 70);
    TAVRONET_LIBRARY library = {sizeof library};
    EXPECT_EQ(NetGetLibrary(session, nullptr, &library), 0u);
    EXPECT_EQ(std::vector<unsigned long>({library.kind, library.wlanApiVersion}),
              std::vector<unsigned long>({TAVRONET_KIND_WLAN, 2}));
    // A record of its size field alone is filled that far; a shorter one is refused.
    TAVRONET_LINK tiny = {sizeof tiny.size, 99};
    EXPECT_EQ(NetGetLink(session, Id().c_str(), &tiny), 0u);
    EXPECT_EQ(tiny.known, 99u);
    tiny.size = 3;
    EXPECT_EQ(NetGetLink(session, Id().c_str(), &tiny), unsigned(ERROR_INVALID_PARAMETER));
    for (const char* other :
         {"{00000000-1234-ABCD-8001-00A0C9144B0F}", "{00000001-1234-ABCD-8001-00A0C9144B0}", "", "not an id"})
        EXPECT_EQ(NetGetHistory(session, other, &history), unsigned(ERROR_NOT_FOUND)) << other;
    session.Release();
    wlan.newestVersion = 0;  // no service: no version agreed
    session.Acquire();
    EXPECT_EQ(NetGetLibrary(session, nullptr, &library), 0u);
    EXPECT_EQ(library.wlanApiVersion, 0u);
}

// ---- the rules ----

TEST_F(WlanTest, ScalesAndNames) {
    EXPECT_EQ(
        std::vector<long>({Ok, NoSuchItem, NotBound, InterfaceGone, BadArgument, Internal, SystemFailed, NotConnected}),
        std::vector<long>({0, 1, 2, 3, 5, 6, 7, 8}))
        << "the results TavroApi.h publishes";
    const std::pair<LONG, ULONG> rssis[] = {{-120, 0}, {-100, 0},  {-99, 2},  {-75, 50},
                                            {-55, 90}, {-50, 100}, {-20, 100}};
    for (const auto& r : rssis) EXPECT_EQ(PercentFromRssi(r.first), r.second) << r.first;
    for (DWORD gone : {6, 1702, 1717, 1722, 1726, 1727, 1753}) EXPECT_TRUE(HandleGone(gone)) << gone;
    EXPECT_EQ(std::vector<DWORD>({kReopenMs, kScanMostMs, kConnectionReadingMs, TAVRONET_HISTORY_SAMPLES}),
              std::vector<DWORD>({3000, 4000, 300000, 600}))
        << "the times the READMEs promise";
    for (DWORD other : {0, 5, 7, 1701, 1723, 1752, 1754}) EXPECT_FALSE(HandleGone(other)) << other;
    const ULONG signals[][2] = {{0, 0}, {3, 0}, {4, 1}, {50, 8}, {93, 14}, {97, 15}, {100, 15}, {1000, 15}};
    for (const auto& s : signals) EXPECT_EQ(ScaleSignalQuality(s[0]), s[1]) << s[0];
    const ULONG rates[][2] = {{0, 0}, {249, 0}, {250, 1}, {1000, 2}, {5500, 11}, {54000, 108}, {0xFFFFFFFF, 8589935}};
    for (const auto& r : rates) EXPECT_EQ(RateUnits(r[0]), r[1]) << r[0];
    // iphlpapi's link speed in bit/s to kbit/s; "unknown" (all ones) is none, too much is the most.
    const std::pair<ULONGLONG, ULONG> speeds[] = {{0, 0},
                                                  {999, 0},
                                                  {1000, 1},
                                                  {54000000, 54000},
                                                  {866700000, 866700},
                                                  {~0ull, 0},
                                                  {0x10000000000000ull, 0xFFFFFFFF}};
    for (const auto& s : speeds) EXPECT_EQ(KbitFromLinkSpeed(s.first), s.second) << s.first;
    const std::pair<DOT11_PHY_TYPE, unsigned long> phys[] = {
        {dot11_phy_type_fhss, 0}, {dot11_phy_type_dsss, 1}, {dot11_phy_type_hrdsss, 1}, {dot11_phy_type_ofdm, 2},
        {dot11_phy_type_erp, 3},  {dot11_phy_type_ht, 4},   {dot11_phy_type_unknown, 4}};
    for (const auto& p : phys) EXPECT_EQ(NdisNetworkType(p.first), p.second) << p.first;
    const ULONG channels[][2] = {{2412000, 1}, {2472000, 13}, {2484000, 14},  {5180000, 36}, {5825000, 165},
                                 {5935000, 2}, {5955000, 1},  {7115000, 233}, {2400000, 0},  {5930000, 0},
                                 {5149000, 0}, {7116000, 0},  {0, 0}};
    for (const auto& c : channels) EXPECT_EQ(ChannelFromKhz(c[0]), c[1]) << c[0];
    const unsigned long auths[] = {0,
                                   TAVRONET_AUTH_OPEN,
                                   TAVRONET_AUTH_SHARED,
                                   TAVRONET_AUTH_WPA,
                                   TAVRONET_AUTH_WPA_PSK,
                                   TAVRONET_AUTH_WPA_PSK,
                                   TAVRONET_AUTH_WPA2,
                                   TAVRONET_AUTH_WPA2_PSK,
                                   TAVRONET_AUTH_WPA3,
                                   TAVRONET_AUTH_WPA3_SAE,
                                   TAVRONET_AUTH_OWE,
                                   TAVRONET_AUTH_WPA3,
                                   0};
    for (int a = 0; a < 13; ++a) EXPECT_EQ(AuthFromDot11(a), auths[a]) << a;
    const std::pair<int, unsigned long> ciphers[] = {{0, TAVRONET_CIPHER_NONE},   {1, TAVRONET_CIPHER_WEP},
                                                     {5, TAVRONET_CIPHER_WEP},    {0x101, TAVRONET_CIPHER_WEP},
                                                     {2, TAVRONET_CIPHER_TKIP},   {4, TAVRONET_CIPHER_CCMP},
                                                     {0xA, TAVRONET_CIPHER_CCMP}, {8, TAVRONET_CIPHER_GCMP},
                                                     {9, TAVRONET_CIPHER_GCMP},   {3, 0}};
    for (const auto& c : ciphers) EXPECT_EQ(CipherFromDot11(c.first), c.second) << c.first;
    const unsigned long phyNames[] = {0,
                                      TAVRONET_PHY_B,
                                      TAVRONET_PHY_B,
                                      0,
                                      TAVRONET_PHY_A,
                                      TAVRONET_PHY_B,
                                      TAVRONET_PHY_G,
                                      TAVRONET_PHY_N,
                                      TAVRONET_PHY_AC,
                                      0,
                                      TAVRONET_PHY_AX,
                                      TAVRONET_PHY_BE,
                                      0};
    for (int p = 0; p < 13; ++p) EXPECT_EQ(PhyFromDot11(static_cast<DOT11_PHY_TYPE>(p)), phyNames[p]) << p;
    GUID guid = {};
    for (const char* id : {"{0123ABCD-1234-ABCD-8001-00A0C9144B0F}", "{0123abcd-1234-abcd-8001-00a0c9144b0f}"}) {
        ASSERT_TRUE(ParseInterfaceId(id, &guid)) << id;
        const GUID expected = fakewlan::MakeGuid(0x0123ABCD);
        EXPECT_EQ(memcmp(&guid, &expected, sizeof guid), 0) << id;
    }
    for (const char* bad : {"0123ABCD-1234-ABCD-8001-00A0C9144B0F", "{0123ABCD-1234-ABCD-8001-00A0C9144B0F}x",
                            "{0123ABCD-1234-ABCD-8001-00A0C9144B0G}", "{0123ABCD_1234-ABCD-8001-00A0C9144B0F}",
                            "{0123ABCD-1234-ABCD-8001-00A0C9144B0F"})
        EXPECT_FALSE(ParseInterfaceId(bad, &guid)) << bad;
}

}  // namespace
