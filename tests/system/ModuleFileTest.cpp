#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "TestEnvironment.h"
#include "system/LastError.h"
#include "system/ModuleFile.h"
#include "system/UserName.h"

namespace {

std::string Program() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

TEST(ModuleFileTest, NamesTheProgramOrALoadedModule) {
    char path[260];
    const std::string program = Program();
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof(path)), program.size());
    EXPECT_EQ(path, program);

    void* library = ::dlopen("libqbplatform.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(library), path, sizeof(path));
    ASSERT_GT(n, 0u);
    const std::string libraryPath(path, n);
    EXPECT_EQ(libraryPath.front(), '/');
    EXPECT_EQ(libraryPath.substr(libraryPath.size() - 17), "/libqbplatform.so");
    ::dlclose(library);

    void* self = ::dlopen(nullptr, RTLD_NOW);
    EXPECT_EQ(GetModuleFileNameA(static_cast<HMODULE>(self), path, sizeof(path)), program.size());
    EXPECT_EQ(path, program);
}

TEST(ModuleFileTest, SmallBuffersAndUnknownHandles) {
    const std::string program = Program();
    char small[8];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), sizeof(small));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), program.substr(0, 7)) << "cut and terminated";

    int notAModule = 0;
    char path[260];
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&notAModule), path, sizeof(path)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(UserNameTest, GivesTheLoginNameWithWindowsSizeRules) {
    char name[256];
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetUserNameA(name, &size));
    EXPECT_EQ(size, std::strlen(name) + 1) << "the size counts the terminator";
    if (const passwd* entry = ::getpwuid(::geteuid())) {
        EXPECT_STREQ(name, entry->pw_name);
    } else {
        EXPECT_GT(std::strlen(name), 0u);
    }

    DWORD tooSmall = 1;
    char one[1];
    EXPECT_FALSE(GetUserNameA(one, &tooSmall));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(tooSmall, size) << "the size needed is reported";
    EXPECT_FALSE(GetUserNameA(name, nullptr));
}

}  // namespace
