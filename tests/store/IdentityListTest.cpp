#include <sys/stat.h>

#include <gtest/gtest.h>

#include "Crypto.h"
#include "QBIdentityList.h"
#include "StoreFiles.h"
#include "StoreFixture.h"
#include "files/FileSystem.h"

namespace {

using storetest::Entry;

std::vector<Entry> Contents(const CQBIdentityList& list) {
    return storetest::Enumerate(list.Entries());
}

std::vector<std::pair<std::string, std::string>> Pending(const CQBIdentityList& list) {
    std::vector<std::pair<std::string, std::string>> out;
    if (const CMapStringToString* p = list.PendingFields()) {
        POSITION pos = p->GetStartPosition();
        std::string k;
        std::string v;
        while (p->GetNextAssoc(pos, k, v)) {
            out.emplace_back(k, v);
        }
    }
    return out;
}

class IdentityListTest : public storetest::StoreTest {};

TEST_F(IdentityListTest, AddValueCollectsPendingFields) {
    CQBIdentityList list;
    EXPECT_EQ(list.PendingFields(), nullptr);
    list.AddValue("City", "Paris");
    list.AddValue("City", "Lyon");
    list.AddValue("city", "Nice");
    EXPECT_EQ(Pending(list), (std::vector<std::pair<std::string, std::string>>{{"City", "Lyon"},
                                                                               {"city", "Nice"}}));
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_TRUE(DataFiles().empty()) << "no file is touched";
}

TEST_F(IdentityListTest, WriteToFileOnAFreshInstallationCreatesThePrivateStore) {
    CQBIdentityList list;
    list.ReadFromFile("identity");
    EXPECT_EQ(list.GetCount(), 0u);
    list.AddValue("City", "Paris");
    list.WriteToFile("Home", "Identity");
    list.WriteToFile("Work", "identity");  // nothing pending: no field map
    list.AddValue("A", "1");
    list.WriteToFile("home", "IDENTITY");  // another entry than Home
    EXPECT_TRUE(ui_.transcript().empty()) << ui_.Lines()[0];
    EXPECT_EQ(list.PendingFields(), nullptr);
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"});
    struct stat st {};
    ASSERT_EQ(::stat(DataPath("QbIDStorage.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const std::vector<Entry> expected = {
        {"Work", false, {}}, {"Home", true, {{"City", "Paris"}}}, {"home", true, {{"A", "1"}}}};
    EXPECT_EQ(Contents(list), expected);
    CQBIdentityList other;
    other.ReadFromFile("iDeNtItY");
    EXPECT_EQ(Contents(other), expected);
    CMapStringToString* fields = nullptr;
    ASSERT_TRUE(other.Lookup("Work", fields));
    EXPECT_EQ(fields, nullptr) << "an entry without field map";
}

TEST_F(IdentityListTest, TheFileTypeChoosesTheStore) {
    struct Case {
        const char* type;
        const char* file;
    } cases[] = {
        {"identity", "QbIDStorage.cfg"},  {"IDENTITY", "QbIDStorage.cfg"},
        {"Identity", "QbIDStorage.cfg"},  {"Passcards", "QbPASStorage.cfg"},
        {"passcard", "QbPASStorage.cfg"}, {"identities", "QbPASStorage.cfg"},
        {"", "QbPASStorage.cfg"},
    };
    for (const Case& c : cases) {
        const std::string name = std::string("entry-") + c.type;
        CQBIdentityList list;
        list.WriteToFile(name, c.type);
        bool found = false;
        for (const Entry& e : ReadStoreFile(c.file)) {
            found = found || e.name == name;
        }
        EXPECT_TRUE(found) << c.type;
    }
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"QbIDStorage.cfg", "QbPASStorage.cfg"}));
}

TEST_F(IdentityListTest, WriteToFileMergesTheStoreAndReplacesTheEntryWhole) {
    PutStore("QbIDStorage.cfg", {{"Home", true, {{"City", "Paris"}, {"Zip", "75001"}}},
                                 {"Work", true, {{"City", "Lyon"}}}});
    CQBIdentityList list;
    list.AddValue("Phone", "123");
    list.WriteToFile("Home", "identity");
    EXPECT_EQ(ReadStoreFile("QbIDStorage.cfg"),
              (std::vector<Entry>{{"Work", true, {{"City", "Lyon"}}},
                                  {"Home", true, {{"Phone", "123"}}}}));
    list.WriteToFile("Work", "identity");
    EXPECT_EQ(ReadStoreFile("QbIDStorage.cfg"),
              (std::vector<Entry>{{"Work", false, {}}, {"Home", true, {{"Phone", "123"}}}}))
        << "nothing pending: the entry loses its fields";
}

TEST_F(IdentityListTest, LoadsMergeWithoutRemovingAndKeepPlaces) {
    PutStore("QbIDStorage.cfg", {{"Home", true, {{"City", "Paris"}}}});
    CQBIdentityList list;
    list.ReadFromFile("identity");
    list.AddValue("x", "y");
    list.WriteToFile("A", "identity");  // Home, A share bucket 14: A is newer
    ASSERT_EQ(Contents(list),
              (std::vector<Entry>{{"A", true, {{"x", "y"}}}, {"Home", true, {{"City", "Paris"}}}}));
    // Another object changes Home and drops A from the store.
    PutStore("QbIDStorage.cfg", {{"Home", true, {{"City", "Nice"}}}, {"Work", false, {}}});
    list.ReadFromFile("identity");
    EXPECT_EQ(Contents(list), (std::vector<Entry>{{"Work", false, {}},
                                                  {"A", true, {{"x", "y"}}},
                                                  {"Home", true, {{"City", "Nice"}}}}));
}

TEST_F(IdentityListTest, RemoveElementsKeepsPendingAndWriteBringsTheStoreBack) {
    PutStore("QbIDStorage.cfg", {{"Home", false, {}}, {"Work", false, {}}});
    CQBIdentityList list;
    list.ReadFromFile("identity");
    list.AddValue("k", "v");
    list.RemoveElements();
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_TRUE(list.GetStartPosition() == nullptr);
    EXPECT_EQ(Pending(list).size(), 1u);
    list.WriteToFile("New", "identity");
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(ReadStoreFile("QbIDStorage.cfg").size(), 3u);
}

TEST_F(IdentityListTest, WriteToUndelFileRemovesAndDiscardsPending) {
    const std::vector<Entry> stored = {{"Home", true, {{"City", "Paris"}}}, {"Work", false, {}}};
    PutStore("QbIDStorage.cfg", stored);
    const std::string before = qbtest::ReadFile(DataPath("QbIDStorage.cfg"));
    CQBIdentityList list;
    list.AddValue("k", "v");
    list.WriteToUndelFile("Nobody", "identity");
    EXPECT_EQ(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), before) << "same content";
    EXPECT_EQ(list.PendingFields(), nullptr);
    list.WriteToUndelFile("Home", "Identity");
    EXPECT_EQ(ReadStoreFile("QbIDStorage.cfg"), (std::vector<Entry>{{"Work", false, {}}}));
    EXPECT_EQ(Contents(list), (std::vector<Entry>{{"Work", false, {}}}));
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"});
}

TEST_F(IdentityListTest, SaveToIdentityFileWritesTheListAsItIs) {
    PutStore("QbIDStorage.cfg", {{"Stored", false, {}}});
    CQBIdentityList list;
    list.AddValue("k", "v");
    list.RemoveKey("absent");
    list.SaveToIdentityFile();
    EXPECT_EQ(ReadStoreFile("QbIDStorage.cfg"), std::vector<Entry>{}) << "nothing loaded first";
    EXPECT_EQ(Pending(list).size(), 1u) << "pending kept";
    EXPECT_EQ(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), "QW") << "00 00, enciphered";
}

TEST_F(IdentityListTest, ReadOnlyStoresAreResetOnlyByWriteToFile) {
    PutStore("QbIDStorage.cfg", {{"Home", false, {}}});
    const std::string before = qbtest::ReadFile(DataPath("QbIDStorage.cfg"));
    ASSERT_TRUE(SetFileAttributesA(DataPath("QbIDStorage.cfg").c_str(), FILE_ATTRIBUTE_READONLY));
    CQBIdentityList list;
    list.ReadFromFile("identity");
    for (auto save : {+[](CQBIdentityList& l) { l.SaveToIdentityFile(); },
                      +[](CQBIdentityList& l) { l.WriteToUndelFile("Home", "identity"); }}) {
        try {
            save(list);
            ADD_FAILURE() << "a read-only store was replaced";
        } catch (const CryptException& e) {
            EXPECT_EQ(e.m_strMessage, "Error opening Destination file!\n");
        }
        EXPECT_EQ(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), before);
        EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"});
    }
    list.WriteToFile("Work", "identity");
    EXPECT_TRUE(ui_.transcript().empty());
    EXPECT_EQ(GetFileAttributesA(DataPath("QbIDStorage.cfg").c_str()), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(ReadStoreFile("QbIDStorage.cfg"),
              (std::vector<Entry>{{"Work", false, {}}, {"Home", false, {}}}))
        << "the store kept Home through the failed removal, and the load brought it back";
}

TEST_F(IdentityListTest, EnumerationPositionsEndWhenALoadAddsNames) {
    PutStore("QbIDStorage.cfg", {{"Home", false, {}}, {"Work", false, {}}});
    CQBIdentityList list;
    list.ReadFromFile("identity");
    POSITION pos = list.GetStartPosition();
    std::string name;
    CMapStringToString* fields = nullptr;
    ASSERT_TRUE(list.GetNextAssoc(pos, name, fields));
    list.ReadFromFile("identity");  // same names: only field maps replaced
    EXPECT_TRUE(list.GetNextAssoc(pos, name, fields));
    PutStore("QbIDStorage.cfg", {{"A", false, {}}});
    POSITION again = list.GetStartPosition();
    list.ReadFromFile("identity");  // a new name
    EXPECT_FALSE(list.GetNextAssoc(again, name, fields));
    EXPECT_TRUE(again == nullptr);
}

}  // namespace
