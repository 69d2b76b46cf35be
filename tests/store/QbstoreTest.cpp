#include <gtest/gtest.h>

#include "StoreFixture.h"

namespace {

using storetest::Hex;
using storetest::ToHex;

class QbstoreTest : public qbtest::TempEnvironment {
  protected:
    int Qbstore(const std::string& args, std::string* out = nullptr) {
        return qbtest::Run(qbtest::Tool("qbstore") + " " + args, out);
    }
    std::string Json(const std::string& name, const std::string& text) {
        qbtest::WriteFile(Path(name), text);
        return Path(name);
    }
};

const std::string kHeader =
    "FF FF 00 00 12 00 43 4D 61 70 53 74 72 69 6E 67 54 6F 53 74 72 69 6E 67";

TEST_F(QbstoreTest, BuildsTheWorkedExamplesByteForByte) {
    struct Case {
        std::string json;
        std::string hex;
    } cases[] = {
        {R"({"entries":[{"name":"Home","fields":[["City","Paris"]]}]})",
         "01 00 04 48 6F 6D 65 " + kHeader + " 01 00 04 43 69 74 79 05 50 61 72 69 73"},
        {R"({"entries":[{"name":"Home","fields":[["City","Paris"],["Zip","75001"]]},
            {"name":"Office","fields":[["City","Lyon"]]},{"name":"Work","fields":null}]})",
         "03 00 04 57 6F 72 6B 00 00 06 4F 66 66 69 63 65 " + kHeader +
             " 01 00 04 43 69 74 79 04 4C 79 6F 6E 04 48 6F 6D 65 01 80 02 00 04 43 69 74 79 05 50 "
             "61 "
             "72 69 73 03 5A 69 70 05 37 35 30 30 31"},
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_EQ(Qbstore("build --plain " + Json("in.json", c.json) + " " + Path("out.dat"), &out),
                  0)
            << out;
        EXPECT_EQ(ToHex(qbtest::ReadFile(Path("out.dat"))), ToHex(Hex(c.hex)));
    }
}

TEST_F(QbstoreTest, DumpShowsWhatBuildWroteAndBuildsBackTheSameBytes) {
    const std::string json =
        R"({"entries":[{"name":"Home","fields":[["City","Paris"]]},{"name":"Work","fields":null},)"
        R"({"name":"A","fields":[]},{"name":"Caf\u00e9 \"q\"","fields":[["Line\n2","tab\there"]]}]})";
    std::string out;
    ASSERT_EQ(Qbstore("build " + Json("in.json", json) + " " + Path("store.cfg"), &out), 0) << out;
    ASSERT_EQ(Qbstore("dump " + Path("store.cfg"), &out), 0) << out;
    EXPECT_EQ(
        out,
        R"({"entries":[{"name":"Work","fields":null},{"name":"Café \"q\"","fields":[["Line\n2","tab\there"]]},)"
        R"({"name":"Home","fields":[["City","Paris"]]},{"name":"A","fields":[]}]})"
        "\n");
    // Dumping reverses the order within a bucket and building reverses it again.
    ASSERT_EQ(Qbstore("build " + Json("again.json", out) + " " + Path("again.cfg"), &out), 0)
        << out;
    EXPECT_EQ(qbtest::ReadFile(Path("again.cfg")), qbtest::ReadFile(Path("store.cfg")));
    ASSERT_NE(qbtest::ReadFile(Path("store.cfg")).substr(0, 2), std::string("\x04\x00", 2))
        << "enciphered without --plain";
}

TEST_F(QbstoreTest, BytesThatAreNotTextSurviveAsEscapes) {
    // "\xFF\xC3" is not UTF-8; "\xEF\xBF\xBD" is a real U+FFFD.
    qbtest::WriteFile(Path("odd.dat"), std::string("\x01\x00\x06\xFF\xC3\xEF\xBF\xBD"
                                                   "A\x00\x00",
                                                   11));
    std::string out;
    ASSERT_EQ(Qbstore("dump --plain " + Path("odd.dat"), &out), 0) << out;
    EXPECT_EQ(out,
              "{\"entries\":[{\"name\":\"\\udcff\\udcc3\xEF\xBF\xBD"
              "A\",\"fields\":null}]}\n");
    ASSERT_EQ(Qbstore("build --plain " + Json("odd.json", out) + " " + Path("back.dat"), &out), 0)
        << out;
    EXPECT_EQ(qbtest::ReadFile(Path("back.dat")), qbtest::ReadFile(Path("odd.dat")));
    ASSERT_EQ(Qbstore("dump --plain --codepage 1252 " + Path("odd.dat"), &out), 0) << out;
    EXPECT_EQ(out, "{\"entries\":[{\"name\":\"ÿÃï¿½A\",\"fields\":null}]}\n");
}

TEST_F(QbstoreTest, VerifyNamesTheFaultAndItsOffset) {
    struct Case {
        std::string hex;
        int status;
        std::string message;
    } cases[] = {
        {"02 00 01 41 00 00 01 42 00 00", 0, "well-formed store of 2 entries"},
        {"00 00", 0, "well-formed store of 0 entries"},
        {"", 1, "format error at byte 0: the file is empty"},
        {"02 00 01 41 00 00 04 48 6F", 1, "format error at byte 6: a string of 4 bytes runs past"},
        {"01 00 01 41 01 80", 1, "format error at byte 4: tag 32769 refers to no class"},
        {"01 00 01 41 00 00 00", 1, "format error at byte 6: data follows the last entry"},
        {"01 00 01 41 FF FF 00 00 12 00 43 4D 61 70 53 74 72 69 6E 67 54 6F 53 74 72 69 6E 68", 1,
         "format error at byte 8: the class is not CMapStringToString"},
    };
    for (const Case& c : cases) {
        qbtest::WriteFile(Path("v.dat"), Hex(c.hex));
        std::string out;
        EXPECT_EQ(Qbstore("verify --plain " + Path("v.dat"), &out), c.status) << c.hex << "\n"
                                                                              << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.hex << "\n" << out;
    }
    std::string out;
    EXPECT_EQ(Qbstore("verify " + Path("missing.cfg"), &out), 1);
    EXPECT_NE(out.find("was not found"), std::string::npos) << out;
}

TEST_F(QbstoreTest, RefusesBadInputWithAMessage) {
    struct Case {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"frob x", 2, "usage: qbstore"},
        {"dump", 2, "usage: qbstore"},
        {"build only-one", 2, "usage: qbstore"},
        {"build --plain " + Json("j1", "{\"entries\":[{\"name\":1,\"fields\":null}]}") + " o", 1,
         "a name must be a string, not a number"},
        {"build --plain " + Json("j2", "{\"entries\":[{\"name\":\"a\"}]}") + " o", 1,
         "lacks the member \"fields\""},
        {"build --plain " + Json("j3", "{\"entries\":[{\"name\":\"a\",\"fields\":[[\"k\"]]}]}") +
             " o",
         1, "a field must be an array of a key and a value"},
        {"build --plain " + Json("j4", "{\"entries\":[") + " o", 1,
         "unexpected end of the JSON text"},
        {"build --plain " + Json("j5", "{\"entries\":[{\"name\":\"a\\u0000\",\"fields\":null}]}") +
             " o",
         1, "holds a NUL character"},
        {"build --plain --codepage 1252 " +
             Json("j6", "{\"entries\":[{\"name\":\"\\u4e2d\",\"fields\":null}]}") + " o",
         1, "holds U+4E2D, which code page 1252 cannot hold"},
        {"build --plain " + Json("j7", "{\"entries\":[],\"extra\":1}") + " o", 1,
         "unknown member \"extra\""},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(Qbstore(c.args + " </dev/null", &out), c.status) << c.args << "\n" << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.args << "\n" << out;
    }
    EXPECT_FALSE(std::filesystem::exists(Path("o"))) << "nothing written after an error";
}

}  // namespace
