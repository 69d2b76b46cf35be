#include "TestEnvironment.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "registry/Registry.h"
#include "text/CodePage.h"

namespace qbtest {

void TempEnvironment::SetUp() {
    std::string templ = (std::filesystem::temp_directory_path() / "quenby-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    root_ = templ;
    ::setenv("QUENBY_REGISTRY", Path("registry.db").c_str(), 1);
    std::filesystem::create_directories(root_ / "run");
    std::filesystem::permissions(root_ / "run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    ::setenv("XDG_RUNTIME_DIR", Path("run").c_str(), 1);
    registry::ResetHive();
    text::ResetActiveCodePage();
}

void TempEnvironment::TearDown() {
    registry::ResetHive();
    std::error_code ec;
    // Tests may leave read-only files behind; make everything removable first.
    for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ec)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(root_, ec);
}

void TempEnvironment::CreateKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void TempEnvironment::SetString(const std::string& key, const std::string& name,
                                const std::string& value) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(h, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

void TempEnvironment::SetDword(const std::string& key, const std::string& name, DWORD value) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof(value)),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

std::string TempEnvironment::ReadRaw(const std::string& key, const std::string& name, bool* found,
                                     DWORD* type) {
    if (found != nullptr) {
        *found = false;
    }
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
        return {};
    }
    DWORD size = 0;
    std::string data;
    if (RegQueryValueExA(h, name.c_str(), nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(h, name.c_str(), nullptr, type, reinterpret_cast<BYTE*>(data.data()),
                         &size);
        if (found != nullptr) {
            *found = true;
        }
    }
    RegCloseKey(h);
    return data;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int Run(const std::string& command, std::string* out) {
    std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return -1;
    }
    std::array<char, 4096> buf{};
    std::string text;
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        text.append(buf.data(), n);
    }
    const int status = ::pclose(p);
    if (out != nullptr) {
        *out = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Tool(const std::string& name) {
    const char* bin = std::getenv("QUENBY_TEST_BIN");
    return std::string(bin != nullptr ? bin : ".") + "/" + name;
}

}  // namespace qbtest
