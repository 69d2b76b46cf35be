#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestEnvironment.h"
#include "system/LastError.h"
#include "system/RuntimeFolder.h"

namespace {

class RuntimeFolderTest : public qbtest::TempEnvironment {
  protected:
    static unsigned ModeOf(const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 01000;
    }
};

TEST_F(RuntimeFolderTest, IsAPrivateFolderUnderXdgRuntimeDir) {
    const std::string base = Path("deep/not/yet/there");
    ::setenv("XDG_RUNTIME_DIR", (base + "//").c_str(), 1);
    EXPECT_EQ(sys::RuntimeFolder(), base + "/quenby");
    EXPECT_EQ(ModeOf(base + "/quenby"), 0700u);
    EXPECT_EQ(ModeOf(base), 0700u) << "a missing session folder is made private";

    ::chmod((base + "/quenby").c_str(), 0755);
    EXPECT_EQ(sys::RuntimeFolder(), base + "/quenby");
    EXPECT_EQ(ModeOf(base + "/quenby"), 0700u) << "loose rights are tightened";
}

TEST_F(RuntimeFolderTest, WithoutXdgRuntimeDirItLivesInAPrivateTmpFolder) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string base = "/tmp/quenby-" + std::to_string(::geteuid());
    EXPECT_EQ(sys::RuntimeFolder(), base + "/quenby");
    EXPECT_EQ(ModeOf(base), 0700u);
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(sys::RuntimeFolder(), base + "/quenby") << "empty counts as unset";
}

TEST_F(RuntimeFolderTest, RefusesFoldersThatAreNotOurs) {
    struct Case {
        const char* what;
        // False when this case cannot be set up here (giving a folder away needs root).
        bool (*plant)(const std::string& folder, const std::string& elsewhere);
    } cases[] = {
        {"a symbolic link",
         [](const std::string& folder, const std::string& elsewhere) {
             std::filesystem::create_directory_symlink(elsewhere, folder);
             return true;
         }},
        {"a plain file",
         [](const std::string& folder, const std::string&) {
             qbtest::WriteFile(folder, "x");
             return true;
         }},
        {"another user's folder",
         [](const std::string& folder, const std::string&) {
             std::filesystem::create_directory(folder);
             return ::chown(folder.c_str(), 65534, 65534) == 0;
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string base = Path("session" + std::to_string(n++));
        std::filesystem::create_directories(base);
        std::filesystem::create_directories(Path("elsewhere"));
        if (!c.plant(base + "/quenby", Path("elsewhere"))) {
            continue;
        }
        ::setenv("XDG_RUNTIME_DIR", base.c_str(), 1);
        SetLastError(0);
        EXPECT_EQ(sys::RuntimeFolder(), "") << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << c.what;
    }
}

}  // namespace
