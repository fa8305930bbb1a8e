// The settings store against the real registry of the Wine prefix.
#include "app/app.h"
#include "app/registry_plus.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kKey = "Software\\Korvane";
constexpr REGSAM kView = KEY_WOW64_64KEY;

struct StoredValue {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

StoredValue ReadRaw(const char* name) {
    StoredValue value;
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | kView, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = ::RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(),
                                          &size) == ERROR_SUCCESS;
    }
    ::RegCloseKey(key);
    return value;
}

void WriteRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | kView,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

DWORD AsDword(const StoredValue& v) {
    DWORD d = 0;
    if (v.data.size() == 4)
        std::memcpy(&d, v.data.data(), 4);
    return d;
}

std::string AsString(const StoredValue& v) {
    return std::string(reinterpret_cast<const char*>(v.data.data()), v.data.size());
}

class RegistryTest : public ::testing::Test {
protected:
    ScopedRegistryKeyReset m_reset{kKey};
};

struct Expected {
    const char* name;
    DWORD type;
    std::vector<BYTE> bytes;
};

std::vector<BYTE> Dword(DWORD v) {
    return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
}
std::vector<BYTE> Text(const char* s) {
    std::vector<BYTE> bytes(s, s + std::strlen(s));
    bytes.push_back(0);
    return bytes;
}

TEST_F(RegistryTest, FirstReadOfEverySettingWritesItsDefaultWithItsType) {
    CApp app;
    app.ReadSettings();

    const std::vector<Expected> expected = {
        {"isRestart", REG_DWORD, Dword(1)},
        {"lockdown", REG_DWORD, Dword(1)},
        {"fontheight", REG_DWORD, Dword(12)},
        {"fontwidth", REG_DWORD, Dword(0)},
        {"fontescapement", REG_DWORD, Dword(0)},
        {"fontorientation", REG_DWORD, Dword(0)},
        {"fontweight", REG_DWORD, Dword(400)},
        {"fontitalic", REG_BINARY, {0}},
        {"fontunderline", REG_BINARY, {0}},
        {"fontstrikeout", REG_BINARY, {0}},
        {"fontcharset", REG_BINARY, {1}},
        {"fontoutprecision", REG_BINARY, {0}},
        {"fontclipprecision", REG_BINARY, {0}},
        {"fontquality", REG_BINARY, {0}},
        {"fontpitchandfamily", REG_BINARY, {0}},
        {"fontfacename", REG_SZ, Text("MS Sans Serif")},
        {"fontcolor", REG_DWORD, Dword(0xFFFFFF)},
        {"ofback", REG_DWORD, Dword(0x600000)},
        {"ofcolor", REG_DWORD, Dword(0xFFFFFF)},
        {"isBitmap", REG_DWORD, Dword(0)},
        {"backgroundBitmap", REG_SZ, Text("")},
        {"cvetfona", REG_DWORD, Dword(0x600000)},
        {"cveticon", REG_DWORD, Dword(0x600000)},
        {"fullscreen", REG_DWORD, Dword(0)},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const StoredValue stored = ReadRaw(e.name);
        ASSERT_TRUE(stored.exists);
        EXPECT_EQ(stored.type, e.type);
        EXPECT_EQ(stored.data, e.bytes);
    }
    EXPECT_FALSE(ReadRaw("password").exists);

    EXPECT_EQ(app.isRestart, 1);
    EXPECT_EQ(app.m_logFont.lfHeight, 12);
    EXPECT_EQ(app.m_logFont.lfWeight, 400);
    EXPECT_EQ(app.m_logFont.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(app.m_logFont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(app.cvetfona, 0x600000);
    EXPECT_TRUE(app.m_captionFont);
}

TEST_F(RegistryTest, StoredValuesAreReadAndKeptWhateverTheirType) {
    const BYTE charset = 0xCC;
    WriteRaw("fontcharset", REG_BINARY, &charset, 1);
    const DWORD weight = 700;
    WriteRaw("fontweight", REG_BINARY, &weight, 4); // type is not checked, only the size
    WriteRaw("fontfacename", REG_SZ, "Courier New", 12);
    const DWORD colour = 0x123456;
    WriteRaw("cvetfona", REG_DWORD, &colour, 4);

    CApp app;
    app.ReadSettings();
    EXPECT_EQ(app.m_logFont.lfCharSet, 204);
    EXPECT_EQ(app.m_logFont.lfWeight, 700);
    EXPECT_STREQ(app.m_logFont.lfFaceName, "Courier New");
    EXPECT_EQ(app.cvetfona, 0x123456);
    EXPECT_EQ(ReadRaw("fontcharset").data, std::vector<BYTE>{0xCC});
    EXPECT_EQ(ReadRaw("fontweight").type, static_cast<DWORD>(REG_BINARY));
}

TEST_F(RegistryTest, WrongSizedValuesAreReplacedByDefaults) {
    const unsigned long long eight = 700;
    WriteRaw("fontweight", REG_QWORD, &eight, 8);
    const WORD two = 5;
    WriteRaw("isRestart", REG_BINARY, &two, 2);
    const DWORD four = 1;
    WriteRaw("fontitalic", REG_DWORD, &four, 4);

    CApp app;
    app.ReadSettings();
    EXPECT_EQ(app.m_logFont.lfWeight, 400);
    EXPECT_EQ(app.isRestart, 1);
    EXPECT_EQ(app.m_logFont.lfItalic, 0);

    const StoredValue weight = ReadRaw("fontweight");
    EXPECT_EQ(weight.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(AsDword(weight), 400u);
    EXPECT_EQ(ReadRaw("isRestart").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRaw("fontitalic").type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(ReadRaw("fontitalic").data, std::vector<BYTE>{0});
}

TEST_F(RegistryTest, LongStringsAreReadWholeAndNeverReplaced) {
    std::string longPath = "C:\\pictures\\";
    while (longPath.size() < 300)
        longPath += "background-folder\\";
    longPath.resize(299);
    WriteRaw("backgroundBitmap", REG_SZ, longPath.c_str(), static_cast<DWORD>(longPath.size() + 1));
    const std::string longFace(40, 'F');
    WriteRaw("fontfacename", REG_SZ, longFace.c_str(), static_cast<DWORD>(longFace.size() + 1));

    CApp app;
    app.ReadSettings();
    EXPECT_EQ(app.backgroundBitmap, longPath);
    EXPECT_EQ(AsString(ReadRaw("backgroundBitmap")), longPath + '\0');
    EXPECT_EQ(std::string(app.m_logFont.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(AsString(ReadRaw("fontfacename")), longFace + '\0');

    CRegistryPlus store;
    std::string out = "unchanged";
    EXPECT_FALSE(store.TryReadString("no such value", out));
    EXPECT_EQ(out, "unchanged");
    EXPECT_TRUE(store.TryReadString("backgroundBitmap", out));
    EXPECT_EQ(out.size(), 299u);
}

TEST_F(RegistryTest, SecretsAreStoredInRot13AndReadBackExactly) {
    CRegistryPlus store;
    std::string password;
    EXPECT_FALSE(store.ReadSecret("password", password));

    store.WriteSecret("password", "Abc-xyz 123 Mn!");
    EXPECT_EQ(AsString(ReadRaw("password")), std::string("Nop-klm 123 Za!") + '\0');
    EXPECT_EQ(ReadRaw("password").type, static_cast<DWORD>(REG_SZ));
    ASSERT_TRUE(store.ReadSecret("password", password));
    EXPECT_EQ(password, "Abc-xyz 123 Mn!");
    EXPECT_NE(password, "abc-xyz 123 mn!");
}

TEST_F(RegistryTest, AStoreWhoseKeyCannotBeOpenedGivesDefaultsAndWritesNothing) {
    // Stands for an account that may not write HKEY_LOCAL_MACHINE: the key never opens.
    CRegistryPlus store(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0xDEAD0)),
                        "Software\\Korvane");
    ASSERT_FALSE(store.IsOpen());
    int value = -1;
    BYTE byte = 7;
    std::string text;
    store.ReadDword("fontheight", 12, value);
    store.ReadByte("fontcharset", 1, byte);
    store.ReadString("fontfacename", "MS Sans Serif", text);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(byte, 1);
    EXPECT_EQ(text, "MS Sans Serif");
    EXPECT_FALSE(store.ReadSecret("password", text));
    store.WriteSecret("password", "secret");
    EXPECT_FALSE(store.ReadSecret("password", text));
    EXPECT_FALSE(ReadRaw("fontheight").exists);
}

TEST_F(RegistryTest, AKeyThatMayNotBeWrittenIsStillReadAndEveryFailedWriteIsCounted) {
    const DWORD colour = 0x123456;
    WriteRaw("cvetfona", REG_DWORD, &colour, 4);
    WriteRaw("fontfacename", REG_SZ, "Tahoma", 7);
    const auto made = [] {
        ScopedUnwritableSettings refuse; // the store opens its key when it is made
        return std::make_unique<CApp>();
    }();
    CApp& app = *made;
    EXPECT_TRUE(app.m_settings.IsOpen());
    EXPECT_FALSE(app.m_settings.IsWritable());
    app.ReadSettings();
    EXPECT_EQ(app.cvetfona, 0x123456) << "the operator's settings apply on every account";
    EXPECT_STREQ(app.m_logFont.lfFaceName, "Tahoma");
    EXPECT_EQ(app.isRestart, 1) << "a missing value still has its default";
    EXPECT_GT(app.m_settings.TakeFailedWrites(), 0) << "the default could not be written back";
    EXPECT_EQ(app.m_settings.TakeFailedWrites(), 0) << "taking them starts again from zero";

    CRegistryPlus& store = app.m_settings;
    EXPECT_FALSE(store.WriteDword("cvetfona", 1));
    EXPECT_FALSE(store.WriteByte("fontitalic", 1));
    EXPECT_FALSE(store.WriteString("fontfacename", "Arial"));
    EXPECT_FALSE(store.DeleteValue("cvetfona"));
    EXPECT_EQ(store.TakeFailedWrites(), 4);
    EXPECT_EQ(AsDword(ReadRaw("cvetfona")), 0x123456u);
    EXPECT_FALSE(ReadRaw("isRestart").exists);

    CRegistryPlus writable;
    EXPECT_TRUE(writable.IsWritable());
    EXPECT_TRUE(writable.WriteDword("isRestart", 0));
    EXPECT_TRUE(writable.DeleteValue("isRestart"));
    EXPECT_TRUE(writable.DeleteValue("isRestart")) << "a value that is not there is gone";
    EXPECT_EQ(writable.TakeFailedWrites(), 0);
}

} // namespace
