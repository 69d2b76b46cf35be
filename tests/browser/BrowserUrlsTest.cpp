#include <gtest/gtest.h>

#include <QUrl>

#include "browser/BrowserProcess.h"
#include "browser/BrowserUrls.h"

namespace {

TEST(BrowserUrlsTest, PagesUrlEscapesOnlyBlanksAndTurnsBackSlashes) {
    struct Case {
        const char* folder;
        const char* url;
    } cases[] = {
        {"/opt/quenby", "file:////opt/quenby/Resources/frameset.htm"},
        {"/home/ann/My Apps/Quenby", "file:////home/ann/My%20Apps/Quenby/Resources/frameset.htm"},
        {"/opt/quenby/", "file:////opt/quenby//Resources/frameset.htm"},
        {"", "file:////Resources/frameset.htm"},
        {"C:\\Program Files\\Store", "file:///C:/Program%20Files/Store/Resources/frameset.htm"},
        {"/opt/100%/a#b", "file:////opt/100%/a#b/Resources/frameset.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(browser::PagesUrl(c.folder), c.url) << c.folder;
    }
}

TEST(BrowserUrlsTest, ResourceUrlsRoundTrip) {
    EXPECT_EQ(browser::ResourceUrl("/opt/my app/Quenby", 146), "res:///opt/my app/Quenby/146");
    struct Case {
        const char* url;
        bool valid;
        const char* module;
        int id;
    } cases[] = {
        {"res:///opt/my app/Quenby/146", true, "/opt/my app/Quenby", 146},
        {"res:///opt/my%20app/Quenby/146", true, "/opt/my app/Quenby", 146},
        {"res:///usr/bin/Quenby/0", true, "/usr/bin/Quenby", 0},
        {"res:///usr/bin/Quenby/blank.htm", false, "", 0},
        {"res:///usr/bin/Quenby/", false, "", 0},
        {"res:///usr/bin/Quenby/-1", false, "", 0},
        {"res:///146", false, "", 0},
        {"file:///usr/bin/Quenby/146", false, "", 0},
    };
    for (const Case& c : cases) {
        std::string module;
        int id = -5;
        EXPECT_EQ(browser::ParseResourceUrl(QUrl(QString::fromUtf8(c.url)), module, id), c.valid)
            << c.url;
        if (c.valid) {
            EXPECT_EQ(module, c.module) << c.url;
            EXPECT_EQ(id, c.id) << c.url;
        }
    }
}

TEST(BrowserUrlsTest, DevToolsPortMustBeAPortNumber) {
    struct Case {
        const char* value;
        std::optional<int> port;
    } cases[] = {
        {"9222", 9222},          {"1", 1},
        {"65535", 65535},        {"0", std::nullopt},
        {"65536", std::nullopt}, {"", std::nullopt},
        {"92a", std::nullopt},   {" 9222", std::nullopt},
        {"-1", std::nullopt},    {nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(browser::DevToolsPortFrom(c.value), c.port) << (c.value ? c.value : "null");
    }
}

}  // namespace
