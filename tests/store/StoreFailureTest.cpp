// Saves and loads that fail part-way: the store is replaced whole or not at all, and
// no temporary file outlives the operation and no plaintext reaches the disk.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "Crypto.h"
#include "QBIdentityList.h"
#include "StoreFiles.h"
#include "StoreFixture.h"
#include "files/ArchiveException.h"
#include "files/File.h"

namespace {

using storetest::Entry;

constexpr char kWriteError[] =
    "MessageBox \"QBStorage\" 0x0 \"Error occured while writing to file in WriteToFile() of "
    "CQBIdentityList\" -> OK";

class StoreFailureTest : public storetest::StoreTest {
  protected:
    void TearDown() override {
        files::SetWriteFaultHookForTesting({});
        StoreTest::TearDown();
    }
    // A store big enough (about 170 KB) that its save takes several writes.
    std::vector<Entry> BigStore() {
        std::vector<Entry> entries;
        for (int i = 0; i < 400; ++i) {
            entries.push_back({"Identity " + std::to_string(i),
                               true,
                               {{"Name", std::string(400, 'a' + i % 26)}, {"City", "Paris"}}});
        }
        return entries;
    }
};

TEST_F(StoreFailureTest, AMalformedStoreKeepsWhatWasReadAndIsNeverOverwritten) {
    // Two entries, the second cut inside its name.
    qbtest::WriteFile(Path("bad.plain"), storetest::Hex("02 00 01 41 00 00 04 48 6F"));
    CCrypto().ConvertFile(Path("bad.plain"), DataPath("QbIDStorage.cfg"));
    const std::string before = qbtest::ReadFile(DataPath("QbIDStorage.cfg"));
    CQBIdentityList list;
    try {
        list.ReadFromFile("identity");
        ADD_FAILURE() << "no format error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_offset, 6u);
    }
    EXPECT_EQ(storetest::Enumerate(list.Entries()), (std::vector<Entry>{{"A", false, {}}}));
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"})
        << "nothing left beside the store";

    list.AddValue("k", "v");
    list.WriteToFile("B", "identity");
    EXPECT_EQ(ui_.Lines(), std::vector<std::string>{kWriteError});
    EXPECT_EQ(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), before);
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"});
}

// Every write of WriteToFile in turn fails as on a full disk.
TEST_F(StoreFailureTest, AFailingWriteAtAnyPointKeepsTheOldStoreWhole) {
    PutStore("QbIDStorage.cfg", BigStore());
    const std::string old = qbtest::ReadFile(DataPath("QbIDStorage.cfg"));
    int writes = 0;
    files::SetWriteFaultHookForTesting([&](const std::string&) {
        ++writes;
        return false;
    });
    {
        CQBIdentityList list;
        list.AddValue("Phone", "555");
        list.WriteToFile("Added", "identity");
    }
    files::SetWriteFaultHookForTesting({});
    ASSERT_NE(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), old);
    ASSERT_GE(writes, 3) << "the new store is written in several blocks";

    for (int failAt = 1; failAt <= writes; ++failAt) {
        qbtest::WriteFile(DataPath("QbIDStorage.cfg"), old);
        ui_.ClearTranscript();
        int seen = 0;
        files::SetWriteFaultHookForTesting([&](const std::string&) { return ++seen == failAt; });
        CQBIdentityList list;
        list.AddValue("Phone", "555");
        list.WriteToFile("Added", "identity");
        files::SetWriteFaultHookForTesting({});

        EXPECT_EQ(ui_.Lines(), std::vector<std::string>{kWriteError}) << "write " << failAt;
        EXPECT_EQ(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), old) << "write " << failAt;
        EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"}) << "write " << failAt;
    }
}

// The process dies (SIGXFSZ) in the middle of writing: the old store survives, and
// nothing on the disk holds the plaintext.
TEST_F(StoreFailureTest, AProcessKilledWhileSavingLeavesTheOldStore) {
    PutStore("QbIDStorage.cfg", BigStore());
    const std::string old = qbtest::ReadFile(DataPath("QbIDStorage.cfg"));
    for (const rlim_t limit : {rlim_t{4096}, rlim_t{old.size() + 8}}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            struct rlimit rl {};
            ::getrlimit(RLIMIT_FSIZE, &rl);
            rl.rlim_cur = limit;
            ::setrlimit(RLIMIT_FSIZE, &rl);
            CQBIdentityList list;
            list.AddValue("Bio", std::string(5000, 'x'));  // the new store outgrows the limit
            list.WriteToFile("Added", "identity");
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "limit " << limit;
        EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
        EXPECT_EQ(qbtest::ReadFile(DataPath("QbIDStorage.cfg")), old) << "limit " << limit;
        CQBIdentityList list;
        list.ReadFromFile("identity");
        EXPECT_EQ(list.GetCount(), 400u);
        for (const std::string& f : DataFiles()) {
            // A dead process may leave its unfinished, enciphered, private new store.
            EXPECT_TRUE(f == "QbIDStorage.cfg" || f.rfind("QbIDStorage.cfg.new-", 0) == 0) << f;
            EXPECT_EQ(qbtest::ReadFile(DataPath(f)).find("Identity"), std::string::npos) << f;
            struct stat st {};
            ASSERT_EQ(::stat(DataPath(f).c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u) << f;
        }
    }
}

TEST_F(StoreFailureTest, SavesThatCannotPlaceTheirFilesReport) {
    struct Case {
        const char* what;
        void (*arrange)(const std::filesystem::path& data);
        std::vector<std::string> files;  // left in the data folder
    } cases[] = {
        {"no data folder",
         [](const std::filesystem::path& d) { std::filesystem::remove_all(d); },
         {}},
        {"the store is a folder",
         [](const std::filesystem::path& d) {
             std::filesystem::create_directories(d / "QbIDStorage.cfg" / "inner");
         },
         {"QbIDStorage.cfg"}},
    };
    for (const Case& c : cases) {
        const auto data = root() / "install" / "Data";
        std::filesystem::remove_all(data);
        std::filesystem::create_directories(data);
        c.arrange(data);
        ui_.ClearTranscript();
        CQBIdentityList list;
        list.ReadFromFile("identity");  // nothing to load: no error
        list.AddValue("k", "v");
        list.WriteToFile("Home", "identity");
        EXPECT_EQ(ui_.Lines(), std::vector<std::string>{kWriteError}) << c.what;
        if (std::filesystem::exists(data)) {
            EXPECT_EQ(DataFiles(), c.files) << c.what;
        }
    }
}

TEST_F(StoreFailureTest, StoresUnderAPathThroughVssverSccWork) {
    // The file cipher skips any path through "vssver.scc"; stores do not pass through
    // it, so such an installation saves and loads like any other.
    const auto odd = root() / "vssver.scc.old" / "Data";
    std::filesystem::create_directories(odd);
    SetString("SOFTWARE\\Quenby\\AppPath", "Path", (root() / "vssver.scc.old").string());
    CQBIdentityList list;
    list.AddValue("k", "v");
    list.WriteToFile("Home", "identity");
    EXPECT_TRUE(ui_.transcript().empty());
    CQBIdentityList again;
    again.ReadFromFile("identity");
    EXPECT_EQ(storetest::Enumerate(again.Entries()),
              (std::vector<Entry>{{"Home", true, {{"k", "v"}}}}));
}

}  // namespace
