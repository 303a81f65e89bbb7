// The registry routines on the simulated registry: where they read and write,
// the size rules, key paths, and that every key they open is closed again.
#include "ProgramRun.h"

#include "adapter/Registry.h"

#include <cstring>

namespace {

const char kKey[] = "Software\\Quorvane\\Test";

class RegistryTest : public DesktopTest {
protected:
    // Every routine leaves the open-key count where it found it.
    void TearDown() override { EXPECT_EQ(desk.OpenRegistryKeys(), keysBefore); }
    HKEY Open(const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
        ++keysBefore;
        return key;
    }
    std::string Stored(const char* path, const char* name) {
        sim::RegistryValue value;
        return desk.FindRegistryValue(HKEY_CURRENT_USER, path, name, &value) ? value.data : "<none>";
    }
    int keysBefore = 0;
};

TEST_F(RegistryTest, AbsentOrEmptySubKeyUsesTheGivenKeyAndLeavesItOpen) {
    HKEY key = Open(kKey);
    desk.SetRegistryDword(HKEY_CURRENT_USER, kKey, "Number", 0x8001);
    for (const char* subKey : {static_cast<const char*>(nullptr), ""}) {
        DWORD number = 0;
        EXPECT_TRUE(ReadRegistryDword(key, subKey, "Number", &number));
        EXPECT_EQ(number, 0x8001u);
        EXPECT_TRUE(WriteRegistryString(key, subKey, "Text", "value"));
        char text[REGISTRY_TEXT_SIZE];
        EXPECT_TRUE(ReadRegistryString(key, subKey, "Text", text));
        EXPECT_STREQ(text, "value");
    }
    EXPECT_EQ(CreateRegistryKeyPath(key, ""), key);
    EXPECT_EQ(CreateRegistryKeyPath(key, nullptr), key);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);  // still open: it was never closed
    --keysBefore;
}

TEST_F(RegistryTest, StringsUpTo259BytesAreReadAndTerminated) {
    char buffer[REGISTRY_TEXT_SIZE];
    desk.SetRegistryValue(HKEY_CURRENT_USER, kKey, "Full", {REG_SZ, std::string(259, 'a')});
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kKey, "Full", buffer));
    EXPECT_EQ(std::string(buffer), std::string(259, 'a'));
    desk.SetRegistryValue(HKEY_CURRENT_USER, kKey, "Over", {REG_SZ, std::string(260, 'a')});
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, kKey, "Over", buffer));
    // The type is not looked at.
    desk.SetRegistryDword(HKEY_CURRENT_USER, kKey, "Number", 0x00434241);
    EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kKey, "Number", buffer));
    EXPECT_STREQ(buffer, "ABC");
}

TEST_F(RegistryTest, DwordReadTakesAtMostFourBytes) {
    DWORD number = 7;
    desk.SetRegistryString(HKEY_CURRENT_USER, kKey, "Long", "12345");
    EXPECT_FALSE(ReadRegistryDword(HKEY_CURRENT_USER, kKey, "Long", &number));
    desk.SetRegistryString(HKEY_CURRENT_USER, kKey, "Short", "123");
    EXPECT_TRUE(ReadRegistryDword(HKEY_CURRENT_USER, kKey, "Short", &number));
    EXPECT_EQ(number, 0x00333231u);
    EXPECT_FALSE(ReadRegistryDword(HKEY_CURRENT_USER, kKey, "Missing", &number));
    EXPECT_FALSE(ReadRegistryDword(HKEY_CURRENT_USER, "Software\\Missing", "Short", &number));
}

TEST_F(RegistryTest, WrittenStringsKeepTheirTerminatorAndMakeTheSubKey) {
    EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, kKey, "Empty", ""));
    EXPECT_EQ(Stored(kKey, "Empty"), std::string(1, '\0'));
    EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, kKey, "Path", "\"C:\\A B\\Z.EXE\" /START"));
    EXPECT_EQ(Stored(kKey, "Path"), std::string("\"C:\\A B\\Z.EXE\" /START") + '\0');
    EXPECT_EQ(desk.CountCalls("RegCreateKeyExA"), 2);
    EXPECT_EQ(CallsWith("RegCreateKeyExA(", "0xF003F"), 2);
}

TEST_F(RegistryTest, KeyPathLeavesOnlyItsLastKeyOpen) {
    HKEY last = CreateRegistryKeyPath(HKEY_CURRENT_USER, "One\\Two\\Three\\Four\\Five");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(desk.OpenRegistryKeys(), 1);
    EXPECT_TRUE(WriteRegistryString(last, nullptr, "Here", "5"));
    EXPECT_EQ(Stored("One\\Two\\Three\\Four\\Five", "Here"), std::string("5") + '\0');
    RegCloseKey(last);
    EXPECT_EQ(CallsWith("RegCloseKey(", "0x80000001"), 0);  // the root is never closed
}

TEST_F(RegistryTest, KeyPathSplitsOnlyAtBackslashesThatAreCharacters) {
    desk.SetLeadBytes({0x81});
    std::string name;
    const char path[] = "A\x81\\B\\C";
    EXPECT_EQ(NextKeyName(path, name), path + 5);
    EXPECT_EQ(name, "A\x81\\B");
    EXPECT_EQ(*NextKeyName(path + 5, name), '\0');
    EXPECT_EQ(name, "C");
    EXPECT_EQ(*NextKeyName("A\x81\\", name), '\0');  // the last character is the double-byte one
    EXPECT_EQ(name, "A\x81\\");
    EXPECT_EQ(*NextKeyName("A\x81", name), '\0');  // a lead byte at the end stands alone
    EXPECT_EQ(name, "A\x81");
    HKEY last = CreateRegistryKeyPath(HKEY_CURRENT_USER, path);
    EXPECT_TRUE(desk.RegistryKeyExists(HKEY_CURRENT_USER, path));
    RegCloseKey(last);
}

TEST_F(RegistryTest, FailuresCloseWhatWasOpened) {
    desk.FailCall("RegCreateKeyExA", 1, 2);
    EXPECT_EQ(CreateRegistryKeyPath(HKEY_CURRENT_USER, "One\\Two\\Three\\Four"), nullptr);
    EXPECT_TRUE(desk.RegistryKeyExists(HKEY_CURRENT_USER, "One\\Two"));
    EXPECT_EQ(CreateRegistryKeyPath(HKEY_CURRENT_USER, std::string(REGISTRY_TEXT_SIZE, 'k').c_str()), nullptr);

    desk.SetRegistryString(HKEY_CURRENT_USER, kKey, "Text", "value");
    char text[REGISTRY_TEXT_SIZE];
    DWORD number;
    for (const char* call : {"RegOpenKeyExA", "RegQueryValueExA"}) {
        desk.FailCall(call);
        EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, kKey, "Text", text)) << call;
        desk.FailCall(call);
        EXPECT_FALSE(ReadRegistryDword(HKEY_CURRENT_USER, kKey, "Text", &number)) << call;
    }
    for (const char* call : {"RegCreateKeyExA", "RegSetValueExA"}) {
        desk.FailCall(call);
        EXPECT_FALSE(WriteRegistryString(HKEY_CURRENT_USER, kKey, "Text", "new")) << call;
    }
    EXPECT_EQ(Stored(kKey, "Text"), std::string("value") + '\0');
}

}  // namespace
