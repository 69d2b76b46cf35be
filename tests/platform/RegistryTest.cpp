#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "TestEnvironment.h"
#include "registry/Registry.h"

namespace {

class RegistryTest : public qbtest::TempEnvironment {
protected:
    HKEY Create(const char* path) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, &disposition),
                  ERROR_SUCCESS);
        return key;
    }
    static LSTATUS Open(const char* path, REGSAM access, HKEY* key) {
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, key);
    }
};

TEST_F(RegistryTest, StoresExactBytesAndSizesOfBothTypes) {
    HKEY key = Create("SOFTWARE\\Quenby");
    // A REG_SZ keeps the size its writer gave, also without a terminating zero.
    const char record[] = {'\x01', '+', '?', '\0'};
    ASSERT_EQ(RegSetValueExA(key, "AppValue", 0, REG_SZ, reinterpret_cast<const BYTE*>(record), 4),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "NoZero", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab"), 2),
              ERROR_SUCCESS);
    const DWORD dw = 0x2B;
    ASSERT_EQ(RegSetValueExA(key, "SetChar", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);

    bool found = false;
    DWORD type = 0;
    EXPECT_EQ(ReadRaw("software\\QUENBY", "appvalue", &found, &type), std::string(record, 4));
    EXPECT_TRUE(found);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(ReadRaw("SOFTWARE\\Quenby", "NoZero"), "ab");
    EXPECT_EQ(ReadRaw("SOFTWARE\\Quenby", "SetChar", &found, &type), std::string("\x2B\0\0\0", 4));
    EXPECT_EQ(type, REG_DWORD);
}

TEST_F(RegistryTest, QueryReportsMissingValuesAndSmallBuffers) {
    HKEY key = Create("SOFTWARE\\Quenby");
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("/opt/q"), 7);
    char buffer[4] = {'x', 'x', 'x', 'x'};
    DWORD size = sizeof(buffer);
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(buffer[0], 'x') << "buffer untouched";
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, "PATH"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, NamesIgnoreCaseByCharacterAndKeepFirstSpelling) {
    RegCloseKey(Create("SOFTWARE\\\xC3\x84pfel"));  // Äpfel
    HKEY key = nullptr;
    ASSERT_EQ(Open("software\\\xC3\xA4PFEL", KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    HKEY software = nullptr;
    ASSERT_EQ(Open("SOFTWARE", KEY_READ, &software), ERROR_SUCCESS);
    char name[64];
    DWORD cch = sizeof(name);
    // Classes (made with the hive) sorts before Äpfel.
    ASSERT_EQ(RegEnumKeyExA(software, 1, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name, cch), "\xC3\x84pfel");
    cch = sizeof(name);
    EXPECT_EQ(RegEnumKeyExA(software, 2, name, &cch, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(software);
}

TEST_F(RegistryTest, ClassesRootIsSoftwareClasses) {
    HKEY clsid = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{X}", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &clsid, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(clsid);
    HKEY viaLocalMachine = nullptr;
    EXPECT_EQ(Open("SOFTWARE\\Classes\\CLSID\\{x}", KEY_READ, &viaLocalMachine), ERROR_SUCCESS);
    RegCloseKey(viaLocalMachine);
}

TEST_F(RegistryTest, DeleteKeyAndTree) {
    RegCloseKey(Create("SOFTWARE\\A\\B\\C"));
    HKEY b = nullptr;
    ASSERT_EQ(Open("SOFTWARE\\A\\B", KEY_ALL_ACCESS, &b), ERROR_SUCCESS);
    RegSetValueExA(b, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B"), ERROR_ACCESS_DENIED)
        << "a key with subkeys is not deleted by RegDeleteKeyA";
    EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A"), ERROR_SUCCESS);
    HKEY gone = nullptr;
    EXPECT_EQ(Open("SOFTWARE\\A", KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(b, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    RegCloseKey(b);
    // Without a subkey name the tree below the handle goes, the key itself stays.
    HKEY x = Create("SOFTWARE\\X\\Y");
    RegCloseKey(x);
    ASSERT_EQ(Open("SOFTWARE\\X", KEY_ALL_ACCESS, &x), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(x, nullptr), ERROR_SUCCESS);
    RegCloseKey(x);
    EXPECT_EQ(Open("SOFTWARE\\X", KEY_READ, &x), ERROR_SUCCESS);
    RegCloseKey(x);
    EXPECT_EQ(Open("SOFTWARE\\X\\Y", KEY_READ, &x), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, AccessRightsOfHandlesAreEnforced) {
    RegCloseKey(Create("SOFTWARE\\Quenby"));
    HKEY readOnly = nullptr;
    ASSERT_EQ(Open("SOFTWARE\\Quenby", KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(readOnly, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1),
              ERROR_ACCESS_DENIED);
    RegCloseKey(readOnly);
    EXPECT_EQ(RegCloseKey(readOnly), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, ReadOnlyHiveRefusesWriteOpensOnly) {
    RegCloseKey(Create("SOFTWARE\\Quenby"));
    registry::ResetHive();
    ASSERT_EQ(::chmod(Path("registry.db").c_str(), 0400), 0);
    HKEY key = nullptr;
    EXPECT_EQ(Open("SOFTWARE\\Quenby", 0x2001F, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open("SOFTWARE\\Quenby", KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, BrokenHivesFailLikeMissingKeys) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"garbage", std::string(4096, '\x5A')},
        {"truncated sqlite header", std::string("SQLite format 3\0", 16) + std::string(100, '\x01')},
    };
    for (const Case& c : cases) {
        registry::ResetHive();
        qbtest::WriteFile(Path("registry.db"), c.bytes);
        HKEY key = nullptr;
        EXPECT_EQ(Open("SOFTWARE\\Quenby", KEY_READ, &key), ERROR_FILE_NOT_FOUND) << c.what;
        EXPECT_FALSE(registry::HiveProblem().empty()) << c.what;
    }
    // An SQLite database of something else is not a hive either.
    registry::ResetHive();
    std::filesystem::remove(Path("registry.db"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Path("registry.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    HKEY key = nullptr;
    EXPECT_EQ(Open("SOFTWARE", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(registry::HiveProblem().find("not a registry hive"), std::string::npos);
}

TEST_F(RegistryTest, HiveIsPrivateToTheUser) {
    RegCloseKey(Create("SOFTWARE"));
    struct stat st {};
    ASSERT_EQ(::stat(Path("registry.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    RegCloseKey(Create("SOFTWARE\\Race"));
    registry::ResetHive();  // no connection may cross fork()
    constexpr int kWrites = 150;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                HKEY key = nullptr;
                if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Race", 0, KEY_ALL_ACCESS, &key) != 0) {
                    ++failures;
                    continue;
                }
                const std::string name = std::to_string(c) + "-" + std::to_string(i);
                const DWORD v = static_cast<DWORD>(i);
                failures += RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                                           reinterpret_cast<const BYTE*>(&v), 4) != 0;
                RegCloseKey(key);
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    HKEY key = nullptr;
    ASSERT_EQ(Open("SOFTWARE\\Race", KEY_READ, &key), ERROR_SUCCESS);
    DWORD count = 0;
    char name[32];
    for (;; ++count) {
        DWORD cch = sizeof(name);
        if (RegEnumValueA(key, count, name, &cch, nullptr, nullptr, nullptr, nullptr) != 0) {
            break;
        }
    }
    RegCloseKey(key);
    EXPECT_EQ(count, 2u * kWrites);
}

}  // namespace
