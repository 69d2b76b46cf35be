// The IdentityCtr members through the loaded module, in the calling orders a page uses
// them in, and the members that show dialogs, message boxes or reach the environment.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "InstalledServer.h"
#include "QBStorage.h"
#include "text/CodePage.h"
#include "ui/MessageBox.h"

namespace {

using qbtest::Call;
using qbtest::CallResult;
using qbtest::DescribeStore;
using qbtest::Get;
using qbtest::I4;
using qbtest::Text;
using Lines = std::vector<std::string>;

constexpr const char* kAppPathKey = "SOFTWARE\\Quenby\\AppPath";

class ControlMembersTest : public qbtest::InstalledControlTest {
  protected:
    // A call that must succeed; its result.
    CallResult Ok(const char16_t* name, std::vector<VARIANT> args = {}) {
        const CallResult r = Call(control_.get(), name, std::move(args));
        EXPECT_EQ(r.hr, S_OK) << r.error;
        return r;
    }
    CallResult Property(const char16_t* name) {
        const CallResult r = Get(control_.get(), name);
        EXPECT_EQ(r.hr, S_OK) << r.error;
        return r;
    }
    // The control's state as a page reads it after GetKeyInfo.
    std::string State() {
        return Property(u"KeyName").text + "=" + Ok(u"GetValue").text + "/" +
               std::to_string(Ok(u"GetMapCount").number);
    }
};

TEST_F(ControlMembersTest, ListTheIdentities) {
    qbtest::WriteStore(IdentityStore(),
                       {{"Home", true, {}}, {"Office", true, {}}, {"Work", false, {}}});
    EXPECT_EQ(Property(u"Count").number, 0) << "a new control has loaded nothing";
    const CallResult first = Property(u"KeyValue");
    EXPECT_EQ(first.vt, VT_BSTR);
    EXPECT_EQ(first.text, "Work");
    const LONG n = Property(u"Count").number;
    ASSERT_EQ(n, 3);
    Lines names{first.text};
    for (LONG i = 1; i < n; ++i) {
        names.push_back(Property(u"KeyValue").text);
    }
    EXPECT_EQ(names, (Lines{"Work", "Office", "Home"}));
    EXPECT_EQ(Property(u"KeyValue").text, "Work") << "reading on starts again";
    // GetKeyValue lists identities whatever file type it is given.
    EXPECT_EQ(Ok(u"GetKeyValue", {Text(u"Passcards")}).text, "Office");
}

TEST_F(ControlMembersTest, ListTheFieldsOfOneIdentity) {
    qbtest::WriteStore(IdentityStore(),
                       {{"Home", true, {{"Zip", "3000"}, {"City", "Bern"}, {"Street", "Gasse 1"}}},
                        {"Bare", false, {}}});
    Property(u"KeyValue");
    const CallResult n = Ok(u"GetKeyInfo", {Text(u"Home"), I4(1)});
    EXPECT_EQ(n.vt, VT_I4);
    ASSERT_EQ(n.number, 3);
    Lines fields{State()};
    for (LONG k = 1; k < n.number; ++k) {
        EXPECT_EQ(Ok(u"GetKeyInfo", {Text(u"Home"), I4(k + 1)}).number, 3);
        fields.push_back(State());
    }
    EXPECT_EQ(fields, (Lines{"Street=Gasse 1/3", "City=Bern/3", "Zip=3000/3"}));
    EXPECT_EQ(Ok(u"GetKeyInfo", {Text(u"Home"), I4(7)}).number, 3);
    EXPECT_EQ(State(), "Street=Gasse 1/3") << "after the last field the first comes again";
    Ok(u"GetKeyInfo", {Text(u"Home"), I4(2)});
    Ok(u"GetKeyInfo", {Text(u"Home"), I4(1)});
    EXPECT_EQ(State(), "Street=Gasse 1/3") << "1 starts over";
    // Nothing to step through: 0, and the state stays.
    for (const char16_t* name : {u"", u"Nobody", u"Bare"}) {
        EXPECT_EQ(Ok(u"GetKeyInfo", {Text(name), I4(1)}).number, 0);
        EXPECT_EQ(State(), "Street=Gasse 1/3");
    }
}

TEST_F(ControlMembersTest, CreateOrReplaceAnIdentity) {
    ui_.QueueType(201, "  Home ");
    ui_.QueueClick(IDOK);
    const CallResult name = Ok(u"SetProfile");
    ASSERT_EQ(name.vt, VT_BSTR);
    EXPECT_EQ(name.text, "  Home ") << "the name comes back exactly as typed";
    const std::u16string wide = u"  Home ";
    Ok(u"SetKeyValue", {Text(u"City"), Text(u"Bern")});
    Ok(u"SetKeyValue", {Text(u"Zip"), Text(u"3000")});
    Ok(u"SetKeyValue", {Text(u"Zip"), Text(u"3011")});
    Ok(u"WriteToFile", {Text(wide.c_str()), Text(u"identity")});
    EXPECT_EQ(DescribeStore(IdentityStore()), "  Home {City=Bern,Zip=3011}");
    EXPECT_EQ(Property(u"Count").number, 1) << "the save reads the store back";
    // Saving the name again replaces its fields as a whole.
    Ok(u"SetKeyValue", {Text(u"Street"), Text(u"Gasse 1")});
    Ok(u"WriteToFile", {Text(wide.c_str()), Text(u"IDENTITY")});
    EXPECT_EQ(DescribeStore(IdentityStore()), "  Home {Street=Gasse 1}");
    // Any other file type, the empty one included, is the passcard store.
    Ok(u"SetKeyValue", {Text(u"PIN"), Text(u"1234")});
    Ok(u"WriteToFile", {Text(u"Bank"), Text(u"")});
    EXPECT_EQ(DescribeStore(PasscardStore()), "  Home {Street=Gasse 1} Bank{PIN=1234}")
        << "a save writes the whole list into the store it chose";
    EXPECT_EQ(DataFolderFiles(), (Lines{"QbIDStorage.cfg", "QbPASStorage.cfg"}));
}

TEST_F(ControlMembersTest, DeleteAnIdentity) {
    qbtest::WriteStore(IdentityStore(),
                       {{"Home", true, {{"City", "Bern"}}}, {"Work", true, {{"City", "Zug"}}}});
    Property(u"KeyValue");
    Ok(u"DeleteIdentity", {Text(u"Home")});
    EXPECT_EQ(DescribeStore(IdentityStore()), "Work{City=Zug}");
    EXPECT_EQ(Property(u"Count").number, 1);
    EXPECT_EQ(Property(u"KeyValue").text, "Work");
}

TEST_F(ControlMembersTest, StartUpHandOverGivesTheIdentityOnce) {
    SetString(kAppPathKey, "Identity", "Work");
    EXPECT_EQ(Ok(u"IdentityToBeSelected").text, "Work");
    bool found = true;
    ReadRaw(kAppPathKey, "Identity", &found);
    EXPECT_FALSE(found) << "the value is taken";
    const CallResult second = Ok(u"IdentityToBeSelected");
    EXPECT_EQ(second.vt, VT_BSTR);
    EXPECT_EQ(second.text, "");
    EXPECT_EQ(Property(u"AppPath").text, InstallFolder()) << "the rest of the key stays";
}

TEST_F(ControlMembersTest, WithoutTheSettingsKeyPathsAreEmpty) {
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathKey), ERROR_SUCCESS);
    EXPECT_EQ(Property(u"AppPath").text, "");
    EXPECT_EQ(Ok(u"IdentityToBeSelected").text, "");
    EXPECT_TRUE(ui_.transcript().empty()) << "no message";
}

TEST_F(ControlMembersTest, ControlStateKeepsWhatWasSet) {
    // Before anything is set: empty texts and a count of 0.
    EXPECT_EQ(Property(u"KeyName").vt, VT_BSTR);
    EXPECT_EQ(State(), "=/0");
    Ok(u"SetCount", {I4(5)});
    const CallResult count = Ok(u"GetMapCount");
    EXPECT_EQ(count.vt, VT_I4);
    EXPECT_EQ(count.number, 5);
    Ok(u"SetKeyName", {Text(u"City")});
    Ok(u"SetValue", {Text(u"Bern")});
    EXPECT_EQ(State(), "City=Bern/5");
    Ok(u"SetKeyName", {Text(nullptr)});
    EXPECT_EQ(Property(u"KeyName").vt, VT_BSTR);
    EXPECT_EQ(State(), "=Bern/5");
    // The control keeps its texts as they came, characters after a zero included.
    VARIANT withZero;
    VariantInit(&withZero);
    withZero.vt = VT_BSTR;
    withZero.bstrVal = SysAllocStringLen(u"a\0b", 3);
    Ok(u"SetValue", {withZero});
    EXPECT_EQ(Ok(u"GetValue").text, std::string("a\0b", 3));
}

TEST_F(ControlMembersTest, MessagesShowTheirTextAndTellWhichButtonWasPressed) {
    const struct {
        const char16_t* member;
        int type;
        int answer;
        LONG result;
        const char* shown;  // nullptr: no box
    } cases[] = {
        {u"ShowErrorMsg", eOK, IDOK, 1, "MessageBox \"Quenby\" 0x2040 \"Saved\" -> OK"},
        {u"ShowErrorMsg", eYESNO, IDYES, 1, "MessageBox \"Quenby\" 0x2044 \"Saved\" -> Yes"},
        {u"ShowErrorMsg", eYESNO, IDNO, 0, "MessageBox \"Quenby\" 0x2044 \"Saved\" -> No"},
        {u"ShowErrorMsg", 0, IDOK, 0, nullptr},
        {u"ShowErrorMsg", 3, IDOK, 0, nullptr},
        {u"ShowInformationMsg", eOK, IDOK, 1, "MessageBox \"Quenby\" 0x2040 \"Saved\" -> OK"},
        {u"ShowInformationMsg", eYESNO, IDYES, 1, "MessageBox \"Quenby\" 0x2044 \"Saved\" -> Yes"},
        {u"ShowInformationMsg", eYESNO, IDNO, 0, "MessageBox \"Quenby\" 0x2044 \"Saved\" -> No"},
        {u"ShowInformationMsg", -1, IDOK, 0, nullptr},
    };
    for (const auto& c : cases) {
        ui_.ClearTranscript();
        if (c.shown != nullptr) {
            ui_.QueueMessageBoxAnswer(c.answer);
        }
        const CallResult r = Ok(c.member, {Text(u"Saved"), I4(c.type)});
        EXPECT_EQ(r.number, c.result) << c.type;
        EXPECT_EQ(ui_.Lines(), c.shown != nullptr ? Lines{c.shown} : Lines{}) << c.type;
    }
    EXPECT_EQ(ui_.PendingAnswers(), 0u);
}

TEST_F(ControlMembersTest, SetProfileCancelledGivesNoName) {
    ui_.QueueClick(IDCANCEL);
    const CallResult r = Ok(u"SetProfile");
    EXPECT_EQ(r.vt, VT_EMPTY);
    EXPECT_EQ(ui_.Lines().front(), "Dialog 201 \"IDentity\" shown");
    EXPECT_EQ(ui_.Lines().back(), "Dialog 201 ended -> Cancel");
    EXPECT_EQ(DescribeStore(IdentityStore()), "(no file)");
}

TEST_F(ControlMembersTest, ChangePasswordSetsAFirstPasswordOrChangesTheStoredOne) {
    SetString("SOFTWARE\\Quenby", "SetChar", "");
    Ok(u"ChangePassword");
    EXPECT_EQ(ui_.Lines().front(), "Dialog 145 \"Quenby - Set Password\" shown");
    ui_.ClearTranscript();
    SetString("SOFTWARE\\Quenby", "AppValue", "x?");
    Ok(u"ChangePassword");
    EXPECT_EQ(ui_.Lines().front(), "Dialog 204 \"Quenby - Change Password\" shown");
}

TEST_F(ControlMembersTest, ShowAboutDlgShowsTheServersAboutBox) {
    Ok(u"ShowAboutDlg");
    EXPECT_EQ(ui_.Lines().front(), "Dialog 100 \"About Quenby\" shown");
    EXPECT_EQ(ui_.Lines().back(), "Dialog 100 ended -> Cancel");
}

TEST_F(ControlMembersTest, GetUserNameIsTheAccountOfTheProcess) {
    const passwd* account = ::getpwuid(::geteuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(Ok(u"GetUserName").text, account->pw_name);
}

// A program that records its arguments into $QB_RECORD.
constexpr const char* kRecorder =
    "#!/bin/sh\n"
    "{ for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$QB_RECORD.part\"\n"
    "mv \"$QB_RECORD.part\" \"$QB_RECORD\"\n";

TEST_F(ControlMembersTest, HelpAndPasswordGeneratorOpenTheirFilesInTheInstallFolder) {
    std::filesystem::create_directories(Path("app/Bin"));
    std::filesystem::create_directories(Path("app/Help"));
    std::filesystem::create_directories(Path("tools"));
    for (const char* program : {"app/Bin/PassMint.exe", "tools/xdg-open"}) {
        qbtest::WriteFile(Path(program), kRecorder);
        ::chmod(Path(program).c_str(), 0755);
    }
    qbtest::WriteFile(Path("app/Help/Help.chm"), "help");
    const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    ::setenv("PATH", (Path("tools") + ":" + savedPath).c_str(), 1);
    ::setenv("QB_RECORD", Path("record.txt").c_str(), 1);
    auto recorded = [this] {
        const std::string path = Path("record.txt");
        for (int i = 0; i < 2000 && !std::filesystem::exists(path); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::string text = qbtest::ReadFile(path);
        std::filesystem::remove(path);
        return text;
    };
    Ok(u"ShowPasswordGeneratorDlg");
    EXPECT_EQ(recorded(), Path("app/Bin/PassMint.exe") + "\n");
    Ok(u"ShowHelp");
    EXPECT_EQ(recorded(), Path("tools/xdg-open") + "\n" + Path("app/Help/Help.chm") + "\n");
    ::setenv("PATH", savedPath.c_str(), 1);
    // Nothing there to open: nothing is reported.
    std::filesystem::remove(Path("app/Bin/PassMint.exe"));
    Ok(u"ShowPasswordGeneratorDlg");
    EXPECT_TRUE(ui_.transcript().empty());
}

class ControlWithoutIdentityTest : public qbtest::InstalledServerTest {};

TEST_F(ControlWithoutIdentityTest, StoreMembersFailWhileTheControlStaysUsable) {
    SetString("SOFTWARE\\Classes\\CLSID\\{2A706EC0-52A6-46E8-AE90-221009C59DFD}\\InprocServer32",
              "", Path("gone/QBStorage.so"));
    com::ComPtr<IDispatch> control = Create(u"QBStorage.IdentityCtr");
    ASSERT_TRUE(control);
    const struct {
        const char16_t* name;
        bool property;
        std::vector<VARIANT> args;
    } handedOn[] = {
        {u"Count", true, {}},
        {u"KeyValue", true, {}},
        {u"GetKeyValue", false, {Text(u"identity")}},
        {u"SetKeyValue", false, {Text(u"City"), Text(u"Bern")}},
        {u"WriteToFile", false, {Text(u"Home"), Text(u"identity")}},
        {u"RemoveElements", false, {}},
        {u"DeleteIdentity", false, {Text(u"Home")}},
        {u"ValidatePassword", false, {}},
        {u"Export", false, {}},
        {u"Import", false, {}},
    };
    for (const auto& c : handedOn) {
        const CallResult r =
            c.property ? Get(control.get(), c.name) : Call(control.get(), c.name, c.args);
        EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(r.error, text::ToNarrow(c.name, text::CodePage::Utf8) +
                               ": The control has no IDentity object: the class "
                               "QBStorage.IDentity could not be created.");
    }
    // GetKeyInfo catches the failure and says so itself.
    const CallResult info = Call(control.get(), u"GetKeyInfo", {Text(u"Home"), I4(1)});
    EXPECT_EQ(info.hr, S_OK);
    EXPECT_EQ(ui_.Lines(),
              Lines{"MessageBox \"Quenby\" 0x40 \"CIdentityCtr::GetKeyInfo( BSTR bsKey, long "
                    "lCount )\" -> OK"});
    // The rest of the control works.
    EXPECT_EQ(Call(control.get(), u"SetCount", {I4(4)}).hr, S_OK);
    EXPECT_EQ(Call(control.get(), u"GetMapCount").number, 4);
    EXPECT_EQ(Get(control.get(), u"AppPath").text, InstallFolder());
}

}  // namespace
