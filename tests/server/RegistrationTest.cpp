// Registration of QBStorage.so with qbregsvr: exactly the keys of its classes, type
// library and interfaces; registering twice; unregistering.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "RegistryDump.h"
#include "ServerFixture.h"

namespace {

class RegistrationTest : public qbtest::ServerTest {
  protected:
    // What `qbreg export HKCR` prints now.
    std::string ExportClassesRoot() {
        std::string out;
        EXPECT_EQ(
            qbtest::Run(qbtest::Tool("qbreg") + " export HKCR '" + Path("hkcr.reg") + "'", &out), 0)
            << out;
        registry::ResetHive();
        return qbtest::ReadFile(Path("hkcr.reg"));
    }
    static std::string Expected() {
        std::string text = qbtest::ReadFile(QB_TEST_DATA "/registered.reg");
        const std::string module = ModulePath();
        const std::string folder = module.substr(0, module.rfind('/'));
        for (auto [from, to] : {std::pair{std::string("%MODULE%"), module},
                                std::pair{std::string("%FOLDER%"), folder}}) {
            for (std::size_t at = text.find(from); at != std::string::npos;
                 at = text.find(from, at)) {
                text.replace(at, from.size(), to);
                at += to.size();
            }
        }
        return text;
    }
};

TEST_F(RegistrationTest, WritesExactlyTheClassesTypeLibraryAndInterfaces) {
    const std::string expected = Expected();
    ASSERT_NE(expected.find("[HKEY_CLASSES_ROOT\\QBStorage.IdentityCtr.1]"), std::string::npos);
    EXPECT_EQ(ExportClassesRoot(), expected);
}

TEST_F(RegistrationTest, RegisteringTwiceRewritesEachClassKeyFromScratch) {
    const std::string clsidKey = "SOFTWARE\\Classes\\CLSID\\{7B42F47F-7322-4021-92FE-BAA20DE7FBAA}";
    SetString(clsidKey + "\\InprocServer32", "Stale", "left by someone");
    SetString(clsidKey + "\\Implemented Categories", "", "x");
    SetString(clsidKey + "\\MiscStatus\\2", "", "7");
    std::string out;
    ASSERT_EQ(RegSvr("", &out), 0) << out;
    EXPECT_NE(out.find("DllRegisterServer in \"" + ModulePath() + "\" succeeded."),
              std::string::npos)
        << out;
    EXPECT_EQ(ExportClassesRoot(), Expected());
}

TEST_F(RegistrationTest, UnregisteringKeepsTheClsidKeyAndWhatOthersRegistered) {
    SetString("SOFTWARE\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}", "",
              "Other Class");
    SetString("SOFTWARE\\Classes\\Other.Class", "", "Other Class");
    std::string out;
    ASSERT_EQ(RegSvr("/u", &out), 0) << out;
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, ""),
              "CLSID\n"
              "CLSID\\{00000000-1111-2222-3333-444444444444}\n"
              "CLSID\\{00000000-1111-2222-3333-444444444444} @=Other Class\n"
              "Interface\n"
              "Other.Class\n"
              "Other.Class @=Other Class\n"
              "TypeLib\n");
    // The type library is gone, which a second unregistration reports.
    EXPECT_EQ(RegSvr("/u", &out), 5);
    EXPECT_NE(out.find("0x8002801C"), std::string::npos) << out;
}

TEST_F(RegistrationTest, ToolReportsWhatWentWrong) {
    struct Case {
        std::string args;
        int status;
        const char* says;
    } cases[] = {
        {"", 1, "usage: qbregsvr"},
        {"/x '" + ModulePath() + "'", 1, "unknown switch '/x'"},
        {"'" + ModulePath() + "' second.so", 1, "unexpected argument 'second.so'"},
        {"'" + Path("nothing.so") + "'", 3, "failed to load"},
        {"'" + qbtest::Tool("libqbplatform.so") + "'", 4,
         "entry point DllRegisterServer was not found"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(qbtest::Run(qbtest::Tool("qbregsvr") + " " + c.args, &out), c.status) << c.args;
        EXPECT_NE(out.find(c.says), std::string::npos) << c.args << "\n" << out;
    }
    // A hive that cannot be written: the registration's first failing step is reported.
    registry::ResetHive();
    ASSERT_EQ(::chmod(Path("registry.db").c_str(), 0400), 0);
    std::string out;
    EXPECT_EQ(RegSvr("", &out), 5) << out;
    EXPECT_NE(out.find("DllRegisterServer"), std::string::npos) << out;
    EXPECT_NE(out.find("Return code was: 0x80070005"), std::string::npos) << out;
    ::chmod(Path("registry.db").c_str(), 0600);
}

}  // namespace
