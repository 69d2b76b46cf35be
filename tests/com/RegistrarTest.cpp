// The registrar: what a registration script writes and what its unregistration leaves.
#include <gtest/gtest.h>

#include "RegistryDump.h"
#include "TestEnvironment.h"
#include "com/Registrar.h"

namespace {

using com::RegKeyDesc;
using com::RegMark;

class RegistrarTest : public qbtest::TempEnvironment {
  protected:
    // HKCR: App.Thing = "Thing" { CLSID = "{id}" }; NoRemove CLSID { ForceRemove {id} =
    // "Thing" { ForceRemove Programmable; Server = %MODULE% [Model = "Apartment"] } }
    static com::RegScript Script() {
        RegKeyDesc server{RegMark::None, "Server", "%MODULE%", {{"Model", "Apartment"}}, {}};
        RegKeyDesc programmable{RegMark::ForceRemove, "Programmable", std::nullopt, {}, {}};
        RegKeyDesc thing{RegMark::ForceRemove, "{id}", "Thing", {}, {programmable, server}};
        return com::RegScript{
            HKEY_CLASSES_ROOT,
            {{RegMark::None, "App.Thing", "Thing", {}, {{RegMark::None, "CLSID", "{id}", {}, {}}}},
             {RegMark::NoRemove, "CLSID", std::nullopt, {}, {thing}}}};
    }
    static com::Registrar Registrar() {
        com::Registrar r;
        r.AddReplacement("MODULE", "/opt/100% sure/Thing.so");
        return r;
    }
};

TEST_F(RegistrarTest, WritesEveryKeyAndValueWithReplacements) {
    ASSERT_EQ(Registrar().Register(Script()), S_OK);
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, ""),
              "App.Thing\n"
              "App.Thing @=Thing\n"
              "App.Thing\\CLSID\n"
              "App.Thing\\CLSID @={id}\n"
              "CLSID\n"
              "CLSID\\{id}\n"
              "CLSID\\{id} @=Thing\n"
              "CLSID\\{id}\\Programmable\n"
              "CLSID\\{id}\\Server\n"
              "CLSID\\{id}\\Server @=/opt/100% sure/Thing.so\n"
              "CLSID\\{id}\\Server Model=Apartment\n");
}

TEST_F(RegistrarTest, ForceRemoveRewritesTheSubtreeFromScratch) {
    ASSERT_EQ(Registrar().Register(Script()), S_OK);
    const std::string once = qbtest::DumpKey(HKEY_CLASSES_ROOT, "");
    // Something else puts its own things under the class key and beside it.
    SetString("SOFTWARE\\Classes\\CLSID\\{id}\\Server", "Stale", "x");
    SetString("SOFTWARE\\Classes\\CLSID\\{id}\\Extra", "", "x");
    SetString("SOFTWARE\\Classes\\App.Thing", "Kept", "y");
    ASSERT_EQ(Registrar().Register(Script()), S_OK);
    const std::string twice = qbtest::DumpKey(HKEY_CLASSES_ROOT, "");
    EXPECT_EQ(twice.find("Extra"), std::string::npos) << twice;
    EXPECT_EQ(twice.find("Stale"), std::string::npos) << twice;
    EXPECT_NE(twice.find("App.Thing Kept=y"), std::string::npos)
        << "a key without ForceRemove is only opened and written";
    std::string withoutKept = twice;
    withoutKept.erase(withoutKept.find("App.Thing Kept=y\n"),
                      std::string("App.Thing Kept=y\n").size());
    EXPECT_EQ(withoutKept, once);
}

TEST_F(RegistrarTest, UnregisterRemovesWhatTheScriptNamesAndKeepsNoRemove) {
    SetString("SOFTWARE\\Classes\\CLSID\\{other}", "", "Other");
    ASSERT_EQ(Registrar().Register(Script()), S_OK);
    ASSERT_EQ(Registrar().Unregister(Script()), S_OK);
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, ""),
              "CLSID\n"
              "CLSID\\{other}\n"
              "CLSID\\{other} @=Other\n");
    EXPECT_EQ(Registrar().Unregister(Script()), S_OK) << "nothing left to remove is no error";
}

TEST_F(RegistrarTest, UnregisterKeepsAKeyThatStillHoldsSomethingElse) {
    ASSERT_EQ(Registrar().Register(Script()), S_OK);
    SetString("SOFTWARE\\Classes\\App.Thing\\Shell", "", "someone else's");
    ASSERT_EQ(Registrar().Unregister(Script()), S_OK);
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, "App.Thing"),
              "App.Thing\n"
              "App.Thing @=Thing\n"
              "App.Thing\\Shell\n"
              "App.Thing\\Shell @=someone else's\n");
}

TEST_F(RegistrarTest, UnknownReplacementWritesNothing) {
    com::Registrar bare;  // no MODULE
    EXPECT_EQ(bare.Register(Script()), E_INVALIDARG);
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, ""), "");
    com::RegScript percent{HKEY_CLASSES_ROOT, {{RegMark::None, "P", "100%% %MODULE%", {}, {}}}};
    ASSERT_EQ(Registrar().Register(percent), S_OK);
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, "P"), "P\nP @=100% /opt/100% sure/Thing.so\n");
}

}  // namespace
