// Names as a person on a Western Windows meets them: saved networks whose
// ANSI names collide ("日本" and "中国" are both "??"), network names sent
// as UTF-8 or in some code page, with control bytes in them.
#include "WlanTest.h"

#include <string.h>

namespace {

std::string Repeated(const std::string& text, int times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

// The saved networks' names in full, in Windows' order.
std::vector<std::u16string> Saved(const Interface& card) {
    std::vector<std::u16string> names;
    for (const Interface::Profile& p : card.profiles) names.push_back(p.name);
    return names;
}

// A change reaches exactly the saved network named, or none: by its name in
// full always; by its ANSI text only where that is its whole name and no
// other's ("Ａ", fullwidth, has the look-alike "A" but is not "A").
TEST_F(WlanTest, AChangeReachesExactlyTheSavedNetworkNamed) {
    const std::vector<std::u16string> all = {u"日本", u"中国", u"Ａ", u"A", u"Café"};
    struct Row {
        const char* name;
        bool remove, wide;
        std::u16string wideName;
        const char* ansiName;
        unsigned long position, result;
        std::vector<std::u16string> after;
    } rows[] = {
        {"?? removed: two lost their names to it", true, false, u"", "??", 0, ERROR_NO_UNICODE_TRANSLATION, all},
        {"?? moved", false, false, u"", "??", 0, ERROR_NO_UNICODE_TRANSLATION, all},
        {"the second ?? removed by its name", true, true, u"中国", "", 0, 0, {u"日本", u"Ａ", u"A", u"Café"}},
        {"the first ?? moved last by its name",
         false,
         true,
         u"日本",
         "",
         4,
         0,
         {u"中国", u"Ａ", u"A", u"Café", u"日本"}},
        {"A is A, not its look-alike", true, false, u"", "A", 0, 0, {u"日本", u"中国", u"Ａ", u"Café"}},
        {"? is only the look-alike's lost name", true, false, u"", "?", 0, ERROR_NO_UNICODE_TRANSLATION, all},
        {"??? is no saved network's name", true, false, u"", "???", 0, ERROR_NOT_FOUND, all},
        {"Café in the code page", true, false, u"", "Caf\xE9", 0, 0, {u"日本", u"中国", u"Ａ", u"A"}},
        {"a name in full that is not there", true, true, u"日", "", 0, ERROR_NOT_FOUND, all},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Card().profiles.clear();
        for (const std::u16string& name : all) Card().profiles.push_back({name, 0, u""});
        TAVRONET_WCHAR wide[TAVRONET_NAME_CHARS];
        SetUnits(wide, row.wideName);
        const std::string id = Id();
        const unsigned long result = row.remove
                                         ? (row.wide ? NetDeleteProfileW(session, id.c_str(), wide)
                                                     : NetDeleteProfile(session, id.c_str(), row.ansiName))
                                         : (row.wide ? NetMoveProfileW(session, id.c_str(), wide, row.position)
                                                     : NetMoveProfile(session, id.c_str(), row.ansiName, row.position));
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(Saved(Card()), row.after);
    }
    // The list hands out both forms: the lossy ANSI one and the whole name.
    const std::vector<TAVRONET_PROFILE> listed = Profiles();
    ASSERT_EQ(listed.size(), all.size());
    for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(Units(listed[i].nameW), all[i]);
    EXPECT_EQ(std::vector<std::string>({listed[0].name, listed[1].name, listed[2].name, listed[4].name}),
              (std::vector<std::string>{"??", "??", "?", "Caf\xE9"}));
}

// Connect takes the saved network by its name in full where the caller's
// record reaches profileNameW; an older, shorter record by its ANSI text.
TEST_F(WlanTest, ConnectTakesTheSavedNetworkByItsNameInFull) {
    struct Row {
        const char* name;
        unsigned long size;
        std::u16string wide;
        const char* ansi;
        unsigned long result;
        std::u16string connected;
    } rows[] = {
        {"the second ?? by its name", sizeof(TAVRONET_NETWORK), u"中国", "??", 0, u"中国"},
        {"an older record: ?? is refused", offsetof(TAVRONET_NETWORK, notConnectableReason), u"中国", "??",
         ERROR_NO_UNICODE_TRANSLATION, u"HomeNet"},
        {"a record that reaches only part of the name", offsetof(TAVRONET_NETWORK, profileNameW) + 8, u"中国", "??",
         ERROR_NO_UNICODE_TRANSLATION, u"HomeNet"},
        {"no name in full: the ANSI one", sizeof(TAVRONET_NETWORK), u"", "Caf\xE9", 0, u"Café"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Reopen();
        Card().profiles = {{u"日本", 0, u"", "Nihon"}, {u"中国", 0, u"", "Zhongguo"}, {u"Café", 0, u"", "Cafe"}};
        Card().profileName = u"HomeNet";
        TAVRONET_NETWORK network = {};
        SetUnits(network.profileNameW, row.wide);
        strcpy(network.profileName, row.ansi);
        network.size = row.size;
        EXPECT_EQ(NetConnect(session, Id().c_str(), &network), row.result);
        Later(Card().connectMs);
        EXPECT_EQ(Card().profileName, row.connected);
    }
}

// What the applet shows of a network's name: Windows' own decoding.
TEST_F(WlanTest, NetworkNamesAreDecodedAsWindowsShowsThem) {
    struct Row {
        const char* name;
        std::string bytes;
        std::u16string shown;
    } rows[] = {
        {"ASCII", "HomeNet", u"HomeNet"},
        {"UTF-8", "Caf\xC3\xA9", u"Café"},
        {"UTF-8 past the BMP", "\xF0\x9F\x98\x80!", u"\U0001F600!"},
        {"the code page", "Caf\xE9", u"Café"},
        {"the code page's own 0x80 to 0x9F", "\x80\x99", u"€™"},
        {"an overlong form is not UTF-8", "\xC0\xAF", u"À¯"},
        {"a surrogate is not UTF-8", "\xED\xA0\x80", u"í\u00A0€"},
        {"past U+10FFFF is not UTF-8", "\xF4\x90\x80\x80", u"ô\u0090€€"},
        {"a sequence cut short", "Caf\xC3", u"CafÃ"},
        {"control bytes made visible", std::string("A\tB\0C\x7F", 6), u"A\u2409B\u2400C\u2421"},
        {"in the code page too", std::string("\xE9\x01", 2), u"é\u2401"},
        {"32 bytes of UTF-8", Repeated("\xC3\xA9", 16), std::u16string(16, u'é')},
        {"hidden", "", u""},
    };
    api = wlan.Table();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TAVRONET_WCHAR shown[TAVRONET_SSID_CHARS];
        DecodeSsid(api, reinterpret_cast<const unsigned char*>(row.bytes.data()),
                   static_cast<unsigned long>(row.bytes.size()), shown, TAVRONET_SSID_CHARS);
        EXPECT_EQ(Units(shown), row.shown);
    }
}

// Every record that names a network carries the name in full beside its raw
// bytes, which stay what a connect uses.
TEST_F(WlanTest, EveryRecordCarriesTheNameInFull) {
    Card().ssid = "Caf\xC3\xA9";
    Card().profileName = u"中国";
    Card().profiles = {{u"中国", 0, u"<SSIDConfig><SSID><hex>436166C3A9</hex></SSID></SSIDConfig>", "Caf\xC3\xA9"}};
    Card().AddNetwork("Caf\xC3\xA9", 80, -60, 2412000, 1, 0x3, u"中国");
    Card().AddNetwork("Caf\xE9", 70, -65, 2437000, 1, 0, u"", 1, 0);
    unsigned long result;
    const TAVRONET_LINK link = Link(&result);
    ASSERT_EQ(result, 0u);
    const std::vector<TAVRONET_NETWORK> networks = Networks(&result);
    ASSERT_EQ(networks.size(), 2u);
    const std::vector<TAVRONET_PROFILE> profiles = Profiles();
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_EQ(std::vector<std::u16string>({Units(link.ssidW), Units(link.profileNameW), Units(networks[0].ssidW),
                                           Units(networks[0].profileNameW), Units(networks[1].ssidW),
                                           Units(networks[1].profileNameW), Units(profiles[0].ssidW)}),
              (std::vector<std::u16string>{u"Café", u"中国", u"Café", u"中国", u"Café", u"", u"Café"}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(networks[1].ssid), networks[1].ssidLength), "Caf\xE9");
    EXPECT_STREQ(link.profileName, "??");
    ASSERT_EQ(NetConnect(session, Id().c_str(), &networks[1]), 0u);
    EXPECT_EQ(wlan.calls.back(), "WlanConnect(open Caf\xE9)") << "the raw bytes";
    Later(Card().connectMs);
    EXPECT_EQ(Units(Status().ssidW), u"Café");
}

// With UTF-8 as the ANSI code page every name converts whole; Windows then
// takes neither flags nor the used-default flag. A name cut to fit is not whole.
TEST_F(WlanTest, AnAnsiNameIsWholeOnlyWithoutLoss) {
    struct Row {
        const char* name;
        UINT codePage;
        std::u16string wide;
        bool whole;
        std::string ansi;
    } rows[] = {
        {"Western, fits", 1252, u"Café", true, "Caf\xE9"},
        {"Western, lacks it", 1252, u"日本", false, "??"},
        {"Western, a look-alike", 1252, u"Ａ", false, "?"},
        {"UTF-8", CP_UTF8, u"日本", true, "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"cut to fit", 1252, std::u16string(255, u'e'), false, std::string(15, 'e')},
        {"the conversion fails", 1252, u"Cafe", false, ""},
    };
    api = wlan.Table();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Desktop::Get().SetCodePage(row.codePage);
        WCHAR wide[kNameUnits] = {};
        memcpy(wide, row.wide.data(), row.wide.size() * sizeof(WCHAR));
        char ansi[16];
        if (row.ansi.empty()) wlan.FailNext("WideCharToMultiByte", ERROR_INVALID_PARAMETER);
        EXPECT_EQ(AnsiName(api, wide, ansi, sizeof ansi), row.whole);
        EXPECT_EQ(std::string(ansi), row.ansi);
    }
}

}  // namespace
