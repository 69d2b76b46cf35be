// Scripts run by qbscript against the real module, in a temporary installation: each
// prints exactly its .out file, ends with its exit status, says what it must on stderr
// and leaves the stores as given.
#include <gtest/gtest.h>

#include <filesystem>

#include "InstalledServer.h"

namespace {

using storetest::Entry;

struct ScriptCase {
    const char* name;      // the test's name
    std::string script;    // a script file
    std::string expected;  // the file holding what it prints on stdout
    std::vector<std::string> args;
    std::vector<Entry> identities;  // the stores before the run (none when empty)
    std::vector<Entry> passcards;
    const char* handOver;  // the registry value Identity, or nullptr
    int status;
    const char* identitiesAfter;
    const char* passcardsAfter;
    std::vector<std::string> stderrHolds;
};

std::string Script(const char* name) {
    return std::string(QB_SCRIPTS) + "/" + name;
}

const std::vector<Entry> kIdentities = {
    {"Home", true, {{"Zip", "3000"}, {"City", "Bern"}, {"Street", "Gasse 1"}}},
    {"Office", true, {}},
    {"Work", true, {{"City", "Zug"}}},
};
constexpr const char* kIdentitiesText =
    "Work{City=Zug} Office{} Home{Street=Gasse 1,City=Bern,Zip=3000}";

const ScriptCase kCases[] = {
    {"ListTheIdentities",
     Script("list_identities.js"),
     Script("list_identities.out"),
     {},
     kIdentities,
     {},
     nullptr,
     0,
     kIdentitiesText,
     "(no file)",
     {}},
    {"ListTheFieldsOfOneIdentity",
     Script("list_fields.js"),
     Script("list_fields.out"),
     {"Home", "Nobody", "Work"},
     kIdentities,
     {},
     nullptr,
     0,
     kIdentitiesText,
     "(no file)",
     {}},
    {"CreateOrReplaceAnIdentity",
     Script("create_or_replace.js"),
     Script("create_or_replace.out"),
     {"Home", "City=Basel", "Zip=4000"},
     {kIdentities[0], kIdentities[2]},
     {},
     nullptr,
     0,
     "Work{City=Zug} Home{City=Basel,Zip=4000}",
     "(no file)",
     {"[IDentity] dialog 201 not shown (no user interface); cancelled"}},
    {"DeleteAnIdentity",
     Script("delete_identity.js"),
     Script("delete_identity.out"),
     {"Office", "Nobody"},
     kIdentities,
     {},
     nullptr,
     0,
     "Work{City=Zug} Home{Street=Gasse 1,City=Bern,Zip=3000}",
     "(no file)",
     {}},
    {"StartUpHandOver",
     Script("startup_handover.js"),
     Script("startup_handover.out"),
     {},
     {},
     {},
     "Work",
     0,
     "(no file)",
     "(no file)",
     {}},
    {"Passcards",
     Script("passcards.js"),
     Script("passcards.out"),
     {},
     kIdentities,
     {},
     nullptr,
     0,
     kIdentitiesText,
     "Bank{PIN=9999}",
     {}},
    {"AddIdentitiesFromACsvFile",
     std::string(QB_EXAMPLES) + "/add_identities.js",
     Script("add_identities.out"),
     {Script("identities.csv")},
     {kIdentities[0], {"Office", false, {}}},
     {},
     nullptr,
     0,
     "Work{City=Zug} Gym{Note=say \"hi\"} Office Home{Street=Gasse 1, 2. Stock,City=Bern}",
     "(no file)",
     {}},
    {"Failures",
     Script("failures.js"),
     Script("failures.out"),
     {},
     {},
     {},
     nullptr,
     1,
     "(broken)",
     "(no file)",
     {"[Save As] file dialog for \"QbIDStorage.cfg\" not shown (no user interface); cancelled",
      "failures.js:20: Object doesn't support this property or method: Count"}},
};

void PrintTo(const ScriptCase& c, std::ostream* os) {
    *os << c.name;
}

class ScriptTest : public qbtest::InstalledServerTest,
                   public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptTest, PrintsWhatItShouldAndLeavesTheStoresAsItShould) {
    const ScriptCase& c = GetParam();
    const bool broken = std::string(c.identitiesAfter) == "(broken)";
    if (broken) {
        qbtest::WriteFile(IdentityStore(), "not a store");
    } else if (!c.identities.empty()) {
        qbtest::WriteStore(IdentityStore(), c.identities);
    }
    if (!c.passcards.empty()) {
        qbtest::WriteStore(PasscardStore(), c.passcards);
    }
    if (c.handOver != nullptr) {
        SetString("SOFTWARE\\Quenby\\AppPath", "Identity", c.handOver);
    }
    std::string command = qbtest::Tool("qbscript") + " --headless '" + c.script + "'";
    for (const std::string& arg : c.args) {
        command += " '" + arg + "'";
    }
    const std::string errors = Path("stderr.txt");
    std::string out;
    registry::ResetHive();  // the script's process writes the hive too
    const int status = qbtest::Run("(" + command + " 2>'" + errors + "')", &out);
    registry::ResetHive();
    const std::string err = qbtest::ReadFile(errors);
    EXPECT_EQ(status, c.status) << err;
    EXPECT_EQ(out, qbtest::ReadFile(c.expected)) << err;
    for (const std::string& line : c.stderrHolds) {
        EXPECT_NE(err.find(line), std::string::npos) << "stderr lacks: " << line << "\n" << err;
    }
    if (!broken) {
        EXPECT_EQ(qbtest::DescribeStore(IdentityStore()), c.identitiesAfter);
    }
    EXPECT_EQ(qbtest::DescribeStore(PasscardStore()), c.passcardsAfter);
    for (const std::string& file : DataFolderFiles()) {
        EXPECT_TRUE(file == "QbIDStorage.cfg" || file == "QbPASStorage.cfg")
            << "left in the data folder: " << file;
    }
}

INSTANTIATE_TEST_SUITE_P(CallingOrders, ScriptTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ScriptCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
