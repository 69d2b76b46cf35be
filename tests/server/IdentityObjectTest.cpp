// The IDentity and Passcards objects through the loaded module, called by name as a
// script calls them: their lists, the two enumerations, the file-type rule, the string
// rules and what a failing load does to a call.
#include <gtest/gtest.h>

#include "InstalledServer.h"
#include "text/CodePage.h"

namespace {

using qbtest::Call;
using qbtest::DescribeStore;
using qbtest::Get;
using qbtest::I4;
using qbtest::Ref;
using qbtest::Text;
using qbtest::Utf8;

class IdentityObjectTest : public qbtest::InstalledServerTest {
  protected:
    // IIDentity.GetKeyValue and IPasscards.GetKeyValue: the name comes back through
    // their first ([out]) argument.
    std::string NextName(IDispatch* object, const char16_t* fileType) {
        com::Variant name;
        const qbtest::CallResult r = Call(object, u"GetKeyValue", {Ref(name), Text(fileType)});
        EXPECT_EQ(r.hr, S_OK) << r.error;
        EXPECT_EQ(name.vt, VT_BSTR);
        EXPECT_NE(name.bstrVal, nullptr) << "results are never null strings";
        return Utf8(name);
    }
    // One step of GetKeyInfo: "key=value/count"; strings the member did not write show
    // as "untouched".
    std::string Field(IDispatch* object, const char16_t* entry, LONG count) {
        com::Variant key, value, n;
        key.vt = value.vt = VT_BSTR;
        key.bstrVal = SysAllocString(u"untouched");
        value.bstrVal = SysAllocString(u"untouched");
        n.vt = VT_I4;
        n.lVal = count;
        const qbtest::CallResult r =
            Call(object, u"GetKeyInfo", {Text(entry), Ref(key), Ref(value), Ref(n)});
        EXPECT_EQ(r.hr, S_OK) << r.error;
        return Utf8(key) + "=" + Utf8(value) + "/" + std::to_string(n.lVal);
    }
    LONG Count(IDispatch* object) {
        const qbtest::CallResult r = Get(object, u"Count");
        EXPECT_EQ(r.hr, S_OK) << r.error;
        return r.number;
    }
    void Save(IDispatch* object, const char16_t* name, const char16_t* fileType,
              const std::vector<std::pair<const char16_t*, const char16_t*>>& fields) {
        for (const auto& [key, value] : fields) {
            EXPECT_EQ(Call(object, u"SetKeyValue", {Text(key), Text(value)}).hr, S_OK);
        }
        EXPECT_EQ(Call(object, u"WriteToFile", {Text(name), Text(fileType)}).hr, S_OK);
    }
};

TEST_F(IdentityObjectTest, NamesComeInEnumerationOrderAndStartOverAfterTheLast) {
    qbtest::WriteStore(IdentityStore(),
                       {{"Home", true, {}}, {"Office", true, {}}, {"Work", false, {}}});
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    EXPECT_EQ(Count(identity.get()), 0) << "nothing is loaded before the first name";
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i) {
        names.push_back(NextName(identity.get(), u"identity"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Work", "Office", "Home", "Work"}));
    EXPECT_EQ(Count(identity.get()), 3);
}

TEST_F(IdentityObjectTest, AnEmptyListLoadsTheStoreAgainOnEveryCall) {
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    EXPECT_EQ(NextName(identity.get(), u"identity"), "");
    EXPECT_EQ(NextName(identity.get(), u"identity"), "");
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    EXPECT_EQ(NextName(identity.get(), u"identity"), "Home");
    EXPECT_EQ(Count(identity.get()), 1);
    // A later object of the same process finds its own list empty and loads it too.
    com::ComPtr<IDispatch> second = Create(u"QBStorage.IDentity");
    EXPECT_EQ(NextName(second.get(), u"identity"), "Home");
}

TEST_F(IdentityObjectTest, FieldsComeOneAtATimeAndStartOverAfterTheLast) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"Zip", "3000"}, {"City", "Bern"}}},
                                         {"Bare", false, {}},
                                         {"Empty", true, {}}});
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    NextName(identity.get(), u"identity");
    const struct {
        const char16_t* entry;
        LONG count;
        const char* expected;
    } steps[] = {
        {u"Home", 1, "City=Bern/2"},
        {u"Home", 2, "Zip=3000/2"},
        {u"Home", 2, "City=Bern/2"},        // after the last field, the first again
        {u"Home", 7, "Zip=3000/2"},         // any count but 1 goes on
        {u"Home", 1, "City=Bern/2"},        // 1 starts over
        {u"", 1, "untouched=untouched/0"},  // no name
        {u"Nobody", 1, "untouched=untouched/0"},
        {u"home", 1, "untouched=untouched/0"},  // names compare by case
        {u"Bare", 1, "untouched=untouched/0"},  // an entry without field map
        {u"Empty", 1, "Empty=/0"},              // a field map without fields
    };
    for (const auto& s : steps) {
        EXPECT_EQ(Field(identity.get(), s.entry, s.count), s.expected)
            << text::ToNarrow(s.entry, text::CodePage::Utf8) << " " << s.count;
    }
}

TEST_F(IdentityObjectTest, TheFieldPositionIsSharedByTheObjectsOfOneClass) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"Zip", "3000"}, {"City", "Bern"}}}});
    qbtest::WriteStore(PasscardStore(), {{"Bank", true, {{"PIN", "1234"}, {"User", "ann"}}}});
    com::ComPtr<IDispatch> first = Create(u"QBStorage.IDentity");
    com::ComPtr<IDispatch> second = Create(u"QBStorage.IDentity");
    com::ComPtr<IDispatch> cards = Create(u"QBStorage.Passcards");
    NextName(first.get(), u"identity");
    NextName(second.get(), u"identity");
    EXPECT_EQ(Field(first.get(), u"Home", 1), "City=Bern/2");
    EXPECT_EQ(Field(cards.get(), u"Bank", 1), "PIN=1234/2") << "Passcards has its own position";
    EXPECT_EQ(Field(second.get(), u"Home", 2), "Zip=3000/2") << "one position for all IDentity";
    EXPECT_EQ(Field(cards.get(), u"Bank", 2), "User=ann/2");
}

TEST_F(IdentityObjectTest, TurningToAnotherEntryWithoutRestartingStartsAtItsFirstField) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"Zip", "3000"}, {"City", "Bern"}}},
                                         {"Work", true, {{"Zip", "8000"}, {"City", "Zug"}}}});
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    NextName(identity.get(), u"identity");
    EXPECT_EQ(Field(identity.get(), u"Home", 1), "City=Bern/2");
    EXPECT_EQ(Field(identity.get(), u"Work", 2), "City=Zug/2");
    EXPECT_EQ(Field(identity.get(), u"Work", 2), "Zip=8000/2");
}

TEST_F(IdentityObjectTest, PasscardsReadTheirStoreOnEveryCall) {
    com::ComPtr<IDispatch> cards = Create(u"QBStorage.Passcards");
    EXPECT_EQ(NextName(cards.get(), u"Passcards"), "");
    qbtest::WriteStore(PasscardStore(),
                       {{"Bank", true, {{"PIN", "1234"}, {"User", "ann"}, {"Site", "b.ch"}}}});
    EXPECT_EQ(NextName(cards.get(), u"Passcards"), "Bank");
    EXPECT_EQ(Count(cards.get()), 1);
    // Each step reloads the store, which gives the entry a new field map: the walk
    // still goes through every field once.
    std::vector<std::string> walk;
    for (LONG count : {1, 3, 3, 3}) {
        walk.push_back(Field(cards.get(), u"Bank", count));
    }
    EXPECT_EQ(walk,
              (std::vector<std::string>{"PIN=1234/3", "Site=b.ch/3", "User=ann/3", "PIN=1234/3"}));
    // A field of a passcard saved by another object shows up at the next call.
    com::ComPtr<IDispatch> other = Create(u"QBStorage.Passcards");
    Save(other.get(), u"Mail", u"Passcards", {{u"User", u"bo"}});
    EXPECT_EQ(Field(cards.get(), u"Mail", 1), "User=bo/1");
}

TEST_F(IdentityObjectTest, TheFileTypeAloneChoosesTheStore) {
    const struct {
        const char16_t* fileType;
        bool identityStore;
    } cases[] = {
        {u"identity", true},  {u"IDENTITY", true},    {u"Identity", true}, {u"Passcards", false},
        {u"passcard", false}, {u"identities", false}, {u"", false},        {nullptr, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "Entry" + std::to_string(n++);
        const std::u16string wide = text::ToWide(name, text::CodePage::Utf8);
        for (const char16_t* progId : {u"QBStorage.IDentity", u"QBStorage.Passcards"}) {
            com::ComPtr<IDispatch> object = Create(progId);
            Save(object.get(), wide.c_str(), c.fileType, {{u"Key", u"Value"}});
        }
        const std::string inStore =
            DescribeStore(c.identityStore ? IdentityStore() : PasscardStore());
        const std::string other =
            DescribeStore(c.identityStore ? PasscardStore() : IdentityStore());
        EXPECT_NE(inStore.find(name + "{Key=Value}"), std::string::npos) << name << ": " << inStore;
        EXPECT_EQ(other.find(name), std::string::npos) << name << ": " << other;
    }
}

TEST_F(IdentityObjectTest, RemoveElementsForgetsTheListButNotTheStoreOrThePendingFields) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    const std::string before = qbtest::ReadFile(IdentityStore());
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    NextName(identity.get(), u"identity");
    EXPECT_EQ(Call(identity.get(), u"SetKeyValue", {Text(u"City"), Text(u"Zug")}).hr, S_OK);
    EXPECT_EQ(Call(identity.get(), u"RemoveElements").hr, S_OK);
    EXPECT_EQ(Count(identity.get()), 0);
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), before);
    // The next save brings the stored entries back and attaches the pending field.
    EXPECT_EQ(Call(identity.get(), u"WriteToFile", {Text(u"Work"), Text(u"identity")}).hr, S_OK);
    EXPECT_EQ(DescribeStore(IdentityStore()), "Work{City=Zug} Home{City=Bern}");
    EXPECT_EQ(Count(identity.get()), 2);
}

TEST_F(IdentityObjectTest, DeleteIdentityRewritesTheStoreOnlyForAListedEntryWithFields) {
    const struct {
        const char16_t* name;
        const char* after;
    } cases[] = {
        {u"Home", "Work{City=Zug} Bare"},
        {u"Nobody", "Work{City=Zug} Bare Home{City=Bern}"},
        {u"Bare", "Work{City=Zug} Bare Home{City=Bern}"},  // no field map: nothing happens
        {u"home", "Work{City=Zug} Bare Home{City=Bern}"},
    };
    for (const auto& c : cases) {
        qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}},
                                             {"Bare", false, {}},
                                             {"Work", true, {{"City", "Zug"}}}});
        com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
        NextName(identity.get(), u"identity");
        EXPECT_EQ(Call(identity.get(), u"DeleteIdentity", {Text(c.name)}).hr, S_OK);
        EXPECT_EQ(DescribeStore(IdentityStore()), c.after)
            << text::ToNarrow(c.name, text::CodePage::Utf8);
    }
}

TEST_F(IdentityObjectTest, DeleteIdentityKeepsWhatOthersSavedSinceTheListWasLoaded) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    com::ComPtr<IDispatch> lister = Create(u"QBStorage.IDentity");
    EXPECT_EQ(NextName(lister.get(), u"identity"), "Home");
    com::ComPtr<IDispatch> writer = Create(u"QBStorage.IDentity");
    Save(writer.get(), u"Work", u"identity", {{u"City", u"Zug"}});
    EXPECT_EQ(Call(lister.get(), u"DeleteIdentity", {Text(u"Home")}).hr, S_OK);
    EXPECT_EQ(DescribeStore(IdentityStore()), "Work{City=Zug}");
}

TEST_F(IdentityObjectTest, WriteToUndelFileRemovesAnEntryFromTheStoreOfItsType) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}, {"Bank", true, {}}});
    qbtest::WriteStore(PasscardStore(), {{"Bank", true, {{"PIN", "1"}}}, {"Mail", false, {}}});
    com::ComPtr<IDispatch> cards = Create(u"QBStorage.Passcards");
    EXPECT_EQ(Call(cards.get(), u"WriteToUndelFile", {Text(u"Bank"), Text(u"Passcards")}).hr, S_OK);
    EXPECT_EQ(DescribeStore(PasscardStore()), "Mail");
    EXPECT_EQ(DescribeStore(IdentityStore()), "Bank{} Home{City=Bern}");
    EXPECT_EQ(Call(cards.get(), u"WriteToUndelFile", {Text(u"Home"), Text(u"identity")}).hr, S_OK);
    EXPECT_EQ(DescribeStore(IdentityStore()), "Mail Bank{}") << "the list's entries are written";
}

TEST_F(IdentityObjectTest, ValidatePasswordChecksNothing) {
    SetString("SOFTWARE\\Quenby", "AppValue", "x?");
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    const qbtest::CallResult r = Call(identity.get(), u"ValidatePassword");
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(r.number, 0);
    EXPECT_TRUE(ui_.transcript().empty());
}

TEST_F(IdentityObjectTest, StringsAreTextOfTheProcessCodePageUpToTheirFirstZero) {
    struct Case {
        const char* acp;
        std::u16string name;
        std::string stored;
    };
    const Case cases[] = {
        {"65001", u"Stra\u00dfe",
         "Stra\xC3\x9F"
         "e"},
        {"1252", u"Stra\u00dfe",
         "Stra\xDF"
         "e"},
        {"65001", std::u16string(u"Home\0junk", 9), "Home"},
        {"1252", u"\u20AC\u4E2D", "\x80?"},  // the euro sign exists in 1252, the other not
    };
    for (const Case& c : cases) {
        SetString("SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP", c.acp);
        text::ResetActiveCodePage();
        std::remove(IdentityStore().c_str());
        com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
        VARIANT name;
        VariantInit(&name);
        name.vt = VT_BSTR;
        name.bstrVal = SysAllocStringLen(c.name.data(), static_cast<UINT>(c.name.size()));
        EXPECT_EQ(Call(identity.get(), u"SetKeyValue", {Text(u"k"), Text(nullptr)}).hr, S_OK);
        EXPECT_EQ(Call(identity.get(), u"WriteToFile", {name, Text(u"identity")}).hr, S_OK);
        EXPECT_EQ(DescribeStore(IdentityStore()), c.stored + "{k=}") << c.acp;
        // And back out as UTF-16.
        com::ComPtr<IDispatch> reader = Create(u"QBStorage.IDentity");
        EXPECT_EQ(text::ToWide(NextName(reader.get(), u"identity"), text::CodePage::Utf8),
                  text::ToWide(c.stored, c.acp == std::string("1252") ? text::CodePage::Windows1252
                                                                      : text::CodePage::Utf8));
    }
}

TEST_F(IdentityObjectTest, AStoreThatCannotBeReadFailsTheCallAndTheObjectStaysUsable) {
    qbtest::WriteFile(IdentityStore(), "not a store at all");
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    com::Variant name;
    const qbtest::CallResult failed =
        Call(identity.get(), u"GetKeyValue", {Ref(name), Text(u"identity")});
    EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(failed.error.rfind("GetKeyValue: ", 0), 0u) << failed.error;
    EXPECT_GT(failed.error.size(), std::string("GetKeyValue: ").size());
    // WriteToFile reports its own failure and returns normally.
    EXPECT_EQ(Call(identity.get(), u"WriteToFile", {Text(u"Home"), Text(u"identity")}).hr, S_OK);
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{
                  "Error occured while writing to file in WriteToFile() of CQBIdentityList"});
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), "not a store at all");
    // Once the store is sound again, the same object works.
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {}}});
    EXPECT_EQ(NextName(identity.get(), u"identity"), "Home");
}

}  // namespace
