#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "registry/Registry.h"

namespace {

class QbregTest : public qbtest::TempEnvironment {
protected:
    int Qbreg(const std::string& args, std::string* out = nullptr) {
        registry::ResetHive();  // the tool writes the hive from another process
        return qbtest::Run(qbtest::Tool("qbreg") + " " + args + " </dev/null", out);
    }
};

TEST_F(QbregTest, AddQueryExportDeleteRoundTrip) {
    std::string out;
    ASSERT_EQ(Qbreg(R"('HKLM\SOFTWARE\Quenby\AppPath' /v Path /t REG_SZ /d '/opt/my app' /f)", &out), 1)
        << "a command comes first";
    ASSERT_EQ(Qbreg(R"(add 'HKLM\SOFTWARE\Quenby\AppPath' /v Path /t REG_SZ /d '/opt/my app' /f)", &out), 0) << out;
    ASSERT_EQ(Qbreg(R"(add 'HKLM\SOFTWARE\Quenby' /v FIRSTRUN /t REG_DWORD /d 0x10 /f)", &out), 0) << out;
    EXPECT_EQ(ReadRaw("SOFTWARE\\Quenby\\AppPath", "Path"), std::string("/opt/my app\0", 12));
    EXPECT_EQ(ReadRaw("SOFTWARE\\Quenby", "FIRSTRUN"), std::string("\x10\0\0\0", 4));

    ASSERT_EQ(Qbreg(R"(query 'HKLM\SOFTWARE\Quenby' /s)", &out), 0) << out;
    EXPECT_NE(out.find("FIRSTRUN    REG_DWORD    0x10"), std::string::npos) << out;
    EXPECT_NE(out.find("Path    REG_SZ    /opt/my app"), std::string::npos) << out;
    ASSERT_EQ(Qbreg(R"(query 'hklm\software\quenby\apppath' /v PATH)", &out), 0) << out;

    ASSERT_EQ(Qbreg(R"(export HKLM\\SOFTWARE\\Quenby )" + Path("out.txt"), &out), 0) << out;
    const std::string exported = qbtest::ReadFile(Path("out.txt"));
    EXPECT_NE(exported.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quenby\\AppPath]\n\"Path\"=\"/opt/my app\""),
              std::string::npos)
        << exported;
    EXPECT_NE(exported.find("\"FIRSTRUN\"=dword:00000010"), std::string::npos) << exported;

    EXPECT_EQ(Qbreg(R"(delete 'HKLM\SOFTWARE\Quenby' /v FIRSTRUN)", &out), 1)
        << "without /f and without a yes on stdin nothing is deleted";
    ASSERT_EQ(Qbreg(R"(delete 'HKLM\SOFTWARE\Quenby' /v FIRSTRUN /f)", &out), 0) << out;
    ASSERT_EQ(Qbreg(R"(delete 'HKLM\SOFTWARE\Quenby' /f)", &out), 0) << out;
    EXPECT_EQ(Qbreg(R"(query 'HKLM\SOFTWARE\Quenby')", &out), 1);
    EXPECT_NE(out.find("not found"), std::string::npos) << out;
}

TEST_F(QbregTest, RefusesBadInputWithAMessage) {
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        {R"(query 'HKCU\Software')", "must start with HKLM or HKCR"},
        {R"(add HKLM\\X /v n /t REG_DWORD /d twelve /f)", "is not a REG_DWORD value"},
        {R"(add HKLM\\X /v n /t REG_BINARY /d 00 /f)", "unsupported type"},
        {R"(frob HKLM)", "unknown command"},
        {R"(delete HKLM /f)", "root key cannot be deleted"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(Qbreg(c.args, &out), 1) << c.args;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.args << "\n" << out;
    }
}

TEST_F(QbregTest, SaysWhatIsWrongWithACorruptHive) {
    qbtest::WriteFile(Path("registry.db"), std::string(2048, 'x'));
    std::string out;
    EXPECT_EQ(Qbreg(R"(query HKLM)", &out), 1);
    EXPECT_NE(out.find("is not a registry hive"), std::string::npos) << out;
}

}  // namespace
