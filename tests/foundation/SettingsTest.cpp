// Built into both the program's and the server module's foundation: the record must
// come out the same from either.
#include <gtest/gtest.h>

#include <cstring>

#include "Crypto.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "ui/ScriptedBackend.h"

namespace {

constexpr const char* kKey = "SOFTWARE\\Quenby";
const std::string kReadError = "Error in reading from the registry!";

std::string Enciphered(const std::string& plain) {
    std::string s = plain;
    CCrypto().ConvertBuffer(reinterpret_cast<unsigned char*>(s.data()), static_cast<short>(s.size()));
    return s;
}

class SettingsTest : public qbtest::TempEnvironment {
protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        CreateKey(kKey);
    }
    std::string Record() { return ReadRaw(kKey, "AppValue"); }
    DWORD SetChar() {
        const std::string raw = ReadRaw(kKey, "SetChar");
        DWORD v = 0xFFFFFFFF;
        if (raw.size() == 4) {
            std::memcpy(&v, raw.data(), 4);
        }
        return v;
    }
    ui::ScriptedBackend backend;
    ui::ScopedBackend scope{backend};
};

TEST_F(SettingsTest, RecordIsEncipheredPasswordFlagAndZero) {
    ASSERT_TRUE(SavePassword("abc", false));
    EXPECT_EQ(Record(), Enciphered("abc") + std::string("=\0", 2));
    EXPECT_EQ(SetChar(), 0u);
    ASSERT_TRUE(SavePassword("abc", true));
    EXPECT_EQ(Record(), Enciphered("abc") + std::string("?\0", 2));
    EXPECT_TRUE(backend.transcript().empty());
}

TEST_F(SettingsTest, ZeroBytesGetTheFirstFreeSubstitute) {
    struct Case {
        std::string password;
        char substitute;
    } cases[] = {
        {"Q", '+'},             // 'Q' ^ key[0] == 0
        {"QW", '+'},            // two zeros, one substitute
        {"Q|", '-'},            // '|' ^ 'W' == '+', so '+' is taken
        {"xQWN", '+'},          // no byte equals its key letter: SetChar 0
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SavePassword(c.password, true)) << c.password;
        std::string expected = Enciphered(c.password);
        const bool hadZero = expected.find('\0') != std::string::npos;
        for (char& ch : expected) {
            if (ch == '\0') {
                ch = c.substitute;
            }
        }
        EXPECT_EQ(Record(), expected + std::string("?\0", 2)) << c.password;
        EXPECT_EQ(SetChar(), hadZero ? static_cast<DWORD>(c.substitute) : 0u) << c.password;
        EXPECT_TRUE(CheckPassword(c.password)) << c.password;
    }
}

TEST_F(SettingsTest, NoSubstituteLeftRefusesBeforeOpeningTheKey) {
    const std::string candidates = "+-_|~S=q38A";
    std::string password;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        password.push_back(static_cast<char>(candidates[i] ^ CCrypto::kKey[i]));
    }
    password.push_back(CCrypto::kKey[candidates.size()]);  // enciphers to zero
    SetString(kKey, "AppValue", "before");
    EXPECT_FALSE(SavePassword(password, true));
    EXPECT_EQ(backend.MessageTexts(), std::vector<std::string>{"Please try some other password!"});
    EXPECT_EQ(Record(), std::string("before\0", 7));
}

TEST_F(SettingsTest, LengthLimitsOfTheRecord) {
    const std::string longest(kMaxPasswordLength, 'p');
    ASSERT_TRUE(SavePassword(longest, false));
    EXPECT_EQ(Record().size(), 260u);
    EXPECT_TRUE(CheckPassword(longest));
    EXPECT_FALSE(SavePassword(longest + "p", false));
    ASSERT_EQ(backend.transcript().size(), 1u);
    EXPECT_EQ(backend.transcript()[0].caption, "Quenby");
    EXPECT_EQ(backend.transcript()[0].flags, 0x30u);
    EXPECT_EQ(Record().size(), 260u) << "nothing written";
}

TEST_F(SettingsTest, EmptyPasswordIsSetAndAcceptsAnyEntry) {
    EXPECT_FALSE(IsPasswordSet());
    ASSERT_TRUE(SavePassword("", true));
    EXPECT_EQ(Record(), std::string("?\0", 2));
    EXPECT_EQ(SetChar(), 0u);
    EXPECT_TRUE(IsPasswordSet());
    EXPECT_TRUE(CheckPassword(""));
    EXPECT_TRUE(CheckPassword("anything"));
}

TEST_F(SettingsTest, CheckPasswordIgnoresCaseOnly) {
    ASSERT_TRUE(SavePassword("Secret\xC3\xA4", true));  // Secretä
    EXPECT_TRUE(CheckPassword("sECRET\xC3\x84"));
    EXPECT_FALSE(CheckPassword("Secret"));
    EXPECT_FALSE(CheckPassword("Secret\xC3\xA4x"));
    EXPECT_TRUE(backend.transcript().empty()) << "a wrong password shows nothing here";
}

TEST_F(SettingsTest, CheckPasswordRejectsRecordsItCannotTrust) {
    ASSERT_TRUE(SavePassword("Q", true));  // stored with '+' as substitute
    SetDword(kKey, "SetChar", 0x3F);       // '?' is no substitute of ours
    EXPECT_FALSE(CheckPassword("Q"));
    SetString(kKey, "AppValue", std::string(300, 'x'));  // longer than the buffer
    SetDword(kKey, "SetChar", 0);
    EXPECT_FALSE(CheckPassword(std::string(299, 'x')));
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key);
    RegDeleteValueA(key, "SetChar");
    RegCloseKey(key);
    SetString(kKey, "AppValue", "x?");
    EXPECT_FALSE(CheckPassword("")) << "SetChar missing";
    EXPECT_TRUE(backend.transcript().empty());
}

TEST_F(SettingsTest, PromptFlagIsTheLastCharacter) {
    struct Case {
        const char* record;  // nullptr: value missing
        bool prompt;
    } cases[] = {{nullptr, true}, {"", true}, {"xy?", true}, {"xy=", false}, {"xy!", true}};
    for (const Case& c : cases) {
        if (c.record != nullptr) {
            SetString(kKey, "AppValue", c.record);
        }
        EXPECT_EQ(GetPromptFlag(), c.prompt) << (c.record ? c.record : "(missing)");
    }
}

TEST_F(SettingsTest, MissingKeyShowsTheRegistryMessages) {
    HKEY root = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, &root);
    RegDeleteTreeA(root, "Quenby");
    RegCloseKey(root);
    EXPECT_FALSE(IsPasswordSet());
    EXPECT_TRUE(GetPromptFlag());
    EXPECT_FALSE(CheckPassword("x"));
    EXPECT_FALSE(SavePassword("x", true));
    EXPECT_EQ(backend.MessageTexts(),
              (std::vector<std::string>{kReadError, kReadError, kReadError,
                                        "Error in writing to the registry!"}));
    for (const ui::UiEvent& e : backend.transcript()) {
        EXPECT_EQ(e.caption, "Quenby");
        EXPECT_EQ(e.flags, 0x30u);
    }
}

#if QUENBY_MANAGER_FLAVOUR
TEST_F(SettingsTest, SetPromptFlagChangesOnlyTheLastCharacter) {
    SetPromptFlag(false);
    EXPECT_EQ(Record(), "") << "no record: nothing written";
    ASSERT_TRUE(SavePassword("Q|abc", true));
    const std::string before = Record();
    SetPromptFlag(false);
    std::string expected = before;
    expected[expected.size() - 2] = '=';
    EXPECT_EQ(Record(), expected);
    EXPECT_TRUE(CheckPassword("q|ABC"));
    EXPECT_FALSE(GetPromptFlag());
}

TEST_F(SettingsTest, FirstRunIsTrueOnceWhateverTheMarkersType) {
    EXPECT_FALSE(IsFirstRun());
    SetString(kKey, "FIRSTRUN", "any");
    EXPECT_TRUE(IsFirstRun());
    EXPECT_FALSE(IsFirstRun());
    SetDword(kKey, "FIRSTRUN", 1);
    EXPECT_TRUE(IsFirstRun());
    EXPECT_FALSE(IsFirstRun());
    EXPECT_TRUE(backend.transcript().empty());
}
#endif

}  // namespace
