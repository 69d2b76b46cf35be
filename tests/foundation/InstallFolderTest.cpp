#include <gtest/gtest.h>

#include "InstallFolder.h"
#include "TestEnvironment.h"
#include "ui/ScriptedBackend.h"

namespace {

class InstallFolderTest : public qbtest::TempEnvironment {};

TEST_F(InstallFolderTest, ReturnsTheStoredTextExactlyAndAfresh) {
    ui::ScriptedBackend backend;
    ui::ScopedBackend scope(backend);
    std::string folder;
    GetInstallFolder(folder);
    EXPECT_EQ(folder, "") << "no key: empty, silently";
    for (const std::string& stored : {std::string("/opt/Quenby/"), std::string(" /with blanks "), std::string(300, 'p')}) {
        SetString("SOFTWARE\\Quenby\\AppPath", "Path", stored);
        folder.clear();
        GetInstallFolder(folder);
        EXPECT_EQ(folder, stored);
    }
    CreateKey("SOFTWARE\\Quenby\\Other");
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quenby\\AppPath", 0, KEY_ALL_ACCESS, &key);
    RegDeleteValueA(key, "Path");
    RegCloseKey(key);
    folder = "unchanged?";
    GetInstallFolder(folder);
    EXPECT_EQ(folder, "") << "missing value reads as empty";
    EXPECT_TRUE(backend.transcript().empty());
}

}  // namespace
