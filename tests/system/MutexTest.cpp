#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "ChildProcess.h"
#include "TestEnvironment.h"
#include "system/LastError.h"
#include "system/Mutex.h"
#include "system/RuntimeFolder.h"

namespace {

class MutexTest : public qbtest::TempEnvironment {
  protected:
    static std::unique_ptr<qbtest::ChildProcess> Holder(const std::string& name) {
        return std::make_unique<qbtest::ChildProcess>(qbtest::Tool("qbsystem_helper"),
                                                      std::vector<std::string>{"mutex", name});
    }
};

TEST_F(MutexTest, SecondHolderInThisProcessSeesAlreadyExistsUntilAllAreClosed) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    HANDLE other = CreateMutexA(nullptr, FALSE, "ANOTHER_NAME");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "names are separate";

    EXPECT_TRUE(CloseHandle(first));
    HANDLE third = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "second still holds it";
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(third));
    HANDLE fresh = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "all closed: a new mutex";
    CloseHandle(fresh);
    CloseHandle(other);
}

TEST_F(MutexTest, AnotherProcessHoldingItMeansAlreadyExistsAndItsCrashLeavesNothingBehind) {
    auto holder = Holder("QUENBY_MAIN_GUI");
    ASSERT_EQ(holder->ReadLine(), "created");

    HANDLE mine = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(mine);

    holder->Kill();  // a crash: no clean-up runs, the lock file stays
    const std::string lockFile = sys::RuntimeFolder() + "/mutex-QUENBY_MAIN_GUI.lock";
    struct stat st {};
    ASSERT_EQ(::stat(lockFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    mine = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS))
        << "a stale lock file must not make us believe another copy runs";
    auto late = Holder("QUENBY_MAIN_GUI");
    EXPECT_EQ(late->ReadLine(), "exists");
    CloseHandle(mine);
}

TEST_F(MutexTest, OfManyCopiesStartedTogetherExactlyOneCreatesTheMutex) {
    std::vector<std::unique_ptr<qbtest::ChildProcess>> copies;
    for (int i = 0; i < 8; ++i) {
        copies.push_back(Holder("RACE"));
    }
    int created = 0;
    int exists = 0;
    for (auto& copy : copies) {
        const auto line = copy->ReadLine();
        created += line == "created";
        exists += line == "exists";
    }
    EXPECT_EQ(created, 1);
    EXPECT_EQ(exists, 7);
}

TEST_F(MutexTest, NamesMapToSafeFileNames) {
    struct Case {
        std::string name;
        std::string file;
    } cases[] = {
        {"QUENBY_MAIN_GUI", "mutex-QUENBY_MAIN_GUI.lock"},
        {"Local\\QUENBY_MAIN_GUI", "mutex-QUENBY_MAIN_GUI.lock"},
        {"Global\\QUENBY_MAIN_GUI", "mutex-QUENBY_MAIN_GUI.lock"},
        {"a/b c", "mutex-a%2Fb%20c.lock"},
        {"../x", "mutex-..%2Fx.lock"},
        {"\xC3\xA4", "mutex-%C3%A4.lock"},
        {std::string(244, 'x'), "mutex-" + std::string(244, 'x') + ".lock"},
        {std::string(245, 'x'), ""},
        {std::string(100, '/'), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sys::MutexFileName(c.name), c.file) << c.name;
    }
}

TEST_F(MutexTest, UnnamedTooLongAndBadHandles) {
    HANDLE a = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE b = CreateMutexA(nullptr, FALSE, "");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS))
        << "unnamed mutexes are always new";

    EXPECT_EQ(CreateMutexA(nullptr, FALSE, std::string(300, 'n').c_str()), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);

    EXPECT_TRUE(CloseHandle(a));
    EXPECT_FALSE(CloseHandle(a)) << "closed twice";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(nullptr));
    int notAHandle = 0;
    EXPECT_FALSE(CloseHandle(&notAHandle));
    EXPECT_TRUE(CloseHandle(b));
}

TEST_F(MutexTest, UnusableRuntimeFolderFailsTheCreation) {
    // A runtime folder planted by someone else (here: a symbolic link) is refused.
    const std::string base = Path("planted");
    std::filesystem::create_directories(Path("elsewhere"));
    std::filesystem::create_directories(base);
    std::filesystem::create_directory_symlink(Path("elsewhere"), base + "/quenby");
    ::setenv("XDG_RUNTIME_DIR", base.c_str(), 1);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
