// Which page URLs belong to the pages folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "BridgeFixture.h"
#include "TestEnvironment.h"
#include "browser/bridge/PageFolder.h"

namespace {

class PageFolderTest : public qbtest::TempEnvironment {};

TEST_F(PageFolderTest, OnlyExistingFilesInsideTheFolderBelongToIt) {
    namespace fs = std::filesystem;
    const std::string install = Path("My Apps/Quenby");
    fs::create_directories(install + "/Resources/sub");
    fs::create_directories(Path("Elsewhere"));
    qbtest::WriteFile(install + "/Resources/main.htm", "main");
    qbtest::WriteFile(install + "/Resources/sub/deep.htm", "deep");
    qbtest::WriteFile(install + "/secret.htm", "not a page");
    qbtest::WriteFile(Path("Elsewhere/page.htm"), "elsewhere");
    fs::create_symlink(Path("Elsewhere/page.htm"), install + "/Resources/link.htm");
    fs::create_symlink(install, Path("Alias"));

    const browser::PageFolder folder(install + "/Resources/");
    ASSERT_EQ(folder.Path().toStdString(), install + "/Resources/");
    const std::string at = "file://" + install;
    auto escaped = [](std::string url) {
        for (std::size_t p; (p = url.find(' ')) != std::string::npos;) {
            url.replace(p, 1, "%20");
        }
        return url;
    };
    struct Case {
        std::string url;
        bool belongs;
    };
    const Case cases[] = {
        {escaped(at + "/Resources/main.htm"), true},
        {escaped(at + "/Resources/main.htm?x=1#top"), true},
        {escaped(at + "/Resources/sub/deep.htm"), true},
        {escaped("file:///" + install + "//Resources/main.htm"), true},  // doubled slashes
        {escaped(at + "/Resources/sub/../main.htm"), true},
        {escaped(at + "/Resources/../secret.htm"), false},
        {escaped(at + "/Resources/%2E%2E/secret.htm"), false},
        {escaped(at + "/Resources/missing.htm"), false},
        {escaped(at + "/Resources/"), false},          // the folder itself
        {escaped(at + "/Resources/sub"), false},       // a folder
        {escaped(at + "/Resources/link.htm"), false},  // a link out of the folder
        {escaped(at + "/ResourcesX/main.htm"), false},
        {escaped("file://" + Path("Elsewhere/page.htm")), false},
        {escaped("file://localhost" + install + "/Resources/main.htm"), false},
        {"http://example.com/Resources/main.htm", false},
        {"res:///opt/app/Quenby/146", false},
        {"about:blank", false},
        {"data:text/html,<p>x</p>", false},
        {"", false},
        {"not a url at all", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(folder.Contains(QString::fromStdString(c.url)), c.belongs) << c.url;
    }
    // The folder named through a link admits its pages by that name too.
    const browser::PageFolder alias(Path("Alias") + "/Resources");
    EXPECT_TRUE(
        alias.Contains(QString::fromStdString("file://" + Path("Alias") + "/Resources/main.htm")));
}

TEST_F(PageFolderTest, FoldersThatCannotBeMeantAdmitNothing) {
    qbtest::WriteFile(Path("page.htm"), "x");
    const std::string url = "file://" + Path("page.htm");
    for (const std::string& folder :
         {std::string(), std::string("/"), std::string("relative/"), std::string("//")}) {
        const browser::PageFolder pages(folder);
        EXPECT_TRUE(pages.Path().isEmpty()) << folder;
        EXPECT_FALSE(pages.Contains(QString::fromStdString(url))) << folder;
    }
}

}  // namespace
