// The applet window's rules as tables: the call's entries, the tab each
// keyword opens, the keys that switch tabs and the system settings of a page.
#include "SheetRules.h"

#include <gtest/gtest.h>

TEST(AppletSheetRules, EntriesOfTheCallAreReadAsFarAsTheCountGoes) {
    const char* entries[] = {"match", "{ID}", "ABOUT"};
    const char* nulls[] = {nullptr, nullptr, nullptr};
    const unsigned long reserved = 7;
    const struct {
        int count;
        const char* const* entries;
        const unsigned long* reserved;
        const char* line;
    } rows[] = {
        {3, entries, &reserved, "match|{ID}|ABOUT|7"},
        {1, entries, nullptr, "match|||0"},
        {2, entries, &reserved, "match|{ID}||7"},
        {0, entries, &reserved, "|||7"},
        {3, nulls, nullptr, "|||0"},
        {3, nullptr, nullptr, "|||0"},
    };
    for (const auto& r : rows) {
        const AppletRequest q = ReadRequest(r.count, r.entries, r.reserved);
        EXPECT_EQ(q.matchText + "|" + q.adapterId + "|" + q.page + "|" + std::to_string(q.reserved), r.line);
    }
}

TEST(AppletSheetRules, KeywordsOpenTheirTabsAndKeysSwitchThem) {
    const struct {
        const char* keyword;
        int tab;
        const char* standsFor;
    } rows[] = {
        {"STATUS", 0, "STATUS"}, {"TEST", 1, "TEST"},    {"CONFIGURE", 2, "CONFIGURE"}, {"SECURITY", 3, "SECURITY"},
        {"WEP", 3, "WEP"},       {"ABOUT", 4, "ABOUT"},  {"INSTALL", 5, "INSTALL"},     {"", 0, "STATUS"},
        {"status", 0, "STATUS"}, {"BOGUS", 0, "STATUS"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(FirstTab(r.keyword), r.tab) << r.keyword;
        EXPECT_STREQ(TabKeyword(FirstTab(r.keyword), r.keyword), r.standsFor) << r.keyword;
    }
    EXPECT_STREQ(TabKeyword(3, "SECURITY"), "SECURITY");
    const int kTab = 0x09, kPageUp = 0x21, kPageDown = 0x22, kLeft = 0x25;
    const struct {
        int shown, key;
        bool control, shift;
        int tab;
    } keys[] = {
        {0, kTab, true, false, 1},        {5, kTab, true, false, 0},      {0, kTab, true, true, 5},
        {3, kTab, true, true, 2},         {2, kPageDown, true, false, 3}, {5, kPageDown, true, false, 0},
        {2, kPageUp, true, false, 1},     {0, kPageUp, true, false, 5},   {2, kPageDown, true, true, 3},
        {2, kPageDown, false, false, -1}, {2, kTab, false, false, -1},    {2, kLeft, true, false, -1},
    };
    for (const auto& k : keys)
        EXPECT_EQ(TabAfterKey(k.shown, k.key, k.control, k.shift), k.tab) << k.shown << " " << k.key;
}

// The button says what it opens; the command stays out of what a user reads.
TEST(AppletSheetRules, SystemSettingsFollowWindowsAndThePage) {
    const unsigned long win98 = 0xC0000A04, nt4 = 0x05650004, xp = 0x0A280105, vista = 0x17700006, ten = 0x4A61000A;
    const struct {
        const char* keyword;
        unsigned long version;
        const char* button;
        const char* command;
    } rows[] = {
        {"STATUS", win98, "&Open Network Settings", "control.exe netcpl.cpl"},
        {"STATUS", nt4, "&Open Network Connections", "control.exe ncpa.cpl"},
        {"TEST", xp, "&Open Network Connections", "control.exe ncpa.cpl"},
        {"STATUS", vista, "&Open Network and Sharing Center", "control.exe /name Microsoft.NetworkAndSharingCenter"},
        {"TEST", ten, "&Open Network and Sharing Center", "control.exe /name Microsoft.NetworkAndSharingCenter"},
        {"CONFIGURE", ten, "&Open Network Connections", "control.exe ncpa.cpl"},
        {"ABOUT", vista, "&Open Network Connections", "control.exe ncpa.cpl"},
        {"WEP", ten, "&Open Network Connections", "control.exe ncpa.cpl"},
    };
    for (const auto& r : rows) {
        const SystemSettings s = SystemSettingsFor(r.keyword, r.version);
        EXPECT_STREQ(s.button, r.button) << r.keyword << " " << r.version;
        EXPECT_STREQ(s.command, r.command) << r.keyword << " " << r.version;
        EXPECT_EQ(std::string(s.line).find("control"), std::string::npos) << s.line;
    }
}
