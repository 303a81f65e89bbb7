// The fixture of the WLAN library's host tests: a fresh fake WLAN service
// and simulated desktop for each test, a session of the library on them,
// and the tray program's one-second tick as the program makes it.
#ifndef TESTS_WLAN_WLANTEST_H
#define TESTS_WLAN_WLANTEST_H

#include "FakeWlan.h"
#include "WlanMapping.h"
#include "WlanNet.h"
#include "sim/Desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrowlan;
using fakewlan::Interface;

const unsigned long kUntouched = 0xEEEEEEEE;
const DOT11_RADIO_STATE kOn = dot11_radio_state_on, kOff = dot11_radio_state_off, kUnknown = dot11_radio_state_unknown;

// Text in UTF-16 as TavroNet.h carries it.
inline std::u16string Units(const TAVRONET_WCHAR* text) {
    std::u16string out;
    for (; *text; ++text) out += static_cast<char16_t>(*text);
    return out;
}
template <size_t N>
void SetUnits(TAVRONET_WCHAR (&field)[N], const std::u16string& text) {
    size_t i = 0;
    for (; i + 1 < N && i < text.size(); ++i) field[i] = text[i];
    field[i] = 0;
}

// What the tray program keeps of one of its four slots, and sees of it.
struct TraySlot {
    AdapterBinding adapter;
    DriverBinding driver;
    bool present = false;
    int itemIndex = -1;
    std::string description;
    unsigned long radio = 0, type = 0, state = 0, quality = 0, rate = 0, frames = 0;
};

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
        EXPECT_EQ(wlan.callsFromCallback, 0) << "WLAN calls from the service's thread";
    }
    // A fresh session on the service as it is now (its memory of every interface gone).
    void Reopen() {
        session.Release();
        session.Acquire();
    }
    // A fresh session on a fresh service, for the next row of a table.
    void FreshService() {
        session.Release();
        wlan.Reset();
        session.Acquire();
    }
    Interface& Card() { return wlan.interfaces.empty() ? wlan.Add(u"Wireless LAN Card", 1) : wlan.interfaces[0]; }
    GUID CardGuid() { return Card().guid; }
    // Time passes, and the service reports what became due meanwhile, on its own thread.
    void Later(DWORD ms) {
        sim::Desktop::Get().Advance(ms);
        wlan.Deliver();
    }
    // One tick of the program, a second after the last: attach, then the queries in its order.
    struct Reading {
        long attach, linkResult;
        unsigned long radio, type, state, quality, rate, frames;
    };
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
    // The tray program's tick a second after the last, through the
    // library's methods in the program's order: every 120 ticks Refresh,
    // then each slot attached to the first usable item after the last
    // slot's (the description read when its item index changes), then each
    // slot present polled (radio, and with a radio the network type, state,
    // quality and rate, received frames).
    void TrayTick() {
        Later(1000);
        if (refreshTicks > 120) {
            RefreshCollection(session, &collection);
            refreshTicks = 0;
        }
        ++refreshTicks;
        for (int slot = 0, first = 0; slot < 4; first = tray[slot++].itemIndex + 1)
            if (!AttachSlot(tray[slot], first)) break;
        for (TraySlot& s : tray) PollSlot(s);
    }
    // The description of each slot with an adapter, in slot order.
    std::vector<std::string> TrayDescriptions() const {
        std::vector<std::string> shown;
        for (const TraySlot& s : tray)
            if (s.present) shown.push_back(s.description);
        return shown;
    }

    // The card's identifier, as the applet passes it to TavroNet.h.
    std::string Id() {
        char id[kAdapterIdBytes];
        FormatInterfaceId(CardGuid(), id);
        return id;
    }
    TAVRONET_LINK Link(unsigned long* result) {
        TAVRONET_LINK link = {sizeof link};
        *result = NetGetLink(session, Id().c_str(), &link);
        return link;
    }
    std::vector<TAVRONET_NETWORK> Networks(unsigned long* result, unsigned long capacity = 256) {
        std::vector<TAVRONET_NETWORK> list(capacity + 1);
        list[0].size = sizeof list[0];
        unsigned long count = 0;
        *result = NetGetNetworks(session, Id().c_str(), list.data(), capacity, &count);
        EXPECT_EQ(list[capacity].size, 0u) << "written past the capacity";
        list.resize(count < capacity ? count : capacity);
        return list;
    }
    std::vector<TAVRONET_PROFILE> Profiles() {
        std::vector<TAVRONET_PROFILE> profiles(8);
        profiles[0].size = sizeof profiles[0];
        unsigned long count = 0;
        EXPECT_EQ(NetGetProfiles(session, Id().c_str(), profiles.data(), 8, &count), 0u);
        profiles.resize(count < 8 ? count : 8);
        return profiles;
    }
    std::vector<std::string> ProfileNames() {
        std::vector<std::string> names;
        for (const TAVRONET_PROFILE& p : Profiles()) names.push_back(p.name);
        return names;
    }
    TAVRONET_CONNECT_STATUS Status() {
        TAVRONET_CONNECT_STATUS status = {sizeof status};
        EXPECT_EQ(NetGetConnectStatus(session, Id().c_str(), &status), 0u);
        return status;
    }

    fakewlan::Service& wlan;
    WlanEntryPoints api = {};
    WlanSession session{&api, fakewlan::Service::Load, fakewlan::Service::Unload};
    Collection collection;
    TraySlot tray[4];
    int refreshTicks = 0;

private:
    bool AttachSlot(TraySlot& s, int first) {
        s.present = false;
        for (int item = first; item <= kLastItem; ++item) {
            if (SelectItem(session, &collection, item, &s.adapter) != Ok) break;
            if (AttachDriver(session, &s.adapter, &s.driver) != Ok) continue;
            s.present = true;
            if (item != s.itemIndex) {
                char description[kDescriptionBytes] = {};
                DescribeInterface(session.Api(), s.adapter.entry.description, description, sizeof description);
                s.description = description;
            }
            s.itemIndex = item;
            break;
        }
        return s.present;
    }
    void PollSlot(TraySlot& s) {
        if (!s.present) return;
        const GUID& guid = s.driver.guid;
        s.rate = s.state = 0;
        ReadRadioState(session, guid, &s.radio);
        if (!s.radio) return;
        s.type = 3;
        ReadNetworkType(session, guid, &s.type);
        if (s.type == 3) return;
        s.state = 4;
        ReadAdapterState(session, guid, &s.state);
        s.quality = 0;
        if (s.state == 1 && s.type == 1) {
            ReadLinkQuality(session, guid, &s.quality);
            ReadDot11Rate(session, guid, &s.rate);
        }
        ReadRxFrames(session, guid, &s.frames);
    }
};

#endif
