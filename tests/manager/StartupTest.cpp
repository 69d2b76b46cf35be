// The start-up sequence under the scripted backend, with the headless window site:
// the four exits with their exact trace logs, pages and single-instance mutex, the
// password gate's cases, and what a crashed copy leaves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "ChildProcess.h"
#include "Crypto.h"
#include "HeadlessSite.h"
#include "MainWindowDriver.h"
#include "ManagerFixture.h"
#include "PasswordDlg.h"
#include "ProgramResources.h"
#include "QuenbyApp.h"
#include "QuenbyDlg.h"
#include "Settings.h"
#include "system/ModuleFile.h"
#include "ui/MessageBox.h"
#include "ui/ModuleState.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kCaption = "Welcome to Quenby";
const std::string kGateEntered = "After \tif (PDlg.DoModal() == IDCANCEL) return FALSE";
const std::string kGateSet = "After PDlg.DoModal()";
const std::string kAfterWindow = "After dlg.DoModal()";
const std::string kCatchAll =
    "MessageBox \"Quenby\" 0x30 \"Unhandled exception in CQuenbyApp::InitInstance()\" -> OK";

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class StartupTest : public qbtest::ManagerFixture {
  protected:
    // Runs InitInstance; the mutex handle an early exit leaves open is closed
    // afterwards (the process would end there), after noting whether it was open.
    BOOL RunProgram() {
        CQuenbyApp app;
        const BOOL result = app.InitInstance();
        mutexLeftOpen_ = app.m_hMutex != nullptr;
        if (app.m_hMutex != nullptr) {
            heldAfterRun_ = qbtest::MutexHeld();
            CloseHandle(app.m_hMutex);
        }
        return result;
    }

    MainWindowDriver::Action Complete() {
        return [this](ui::ScriptedDialog&) { site.browser().Complete(); };
    }
    static MainWindowDriver::Action Escape() {
        return [](ui::ScriptedDialog& window) { window.UserEscape(); };
    }
    static MainWindowDriver::Action CloseBox() {
        return [](ui::ScriptedDialog& window) { window.UserClose(); };
    }
    // The frameset loads, then the user closes the window and the blank page loads.
    void QueueOrdinaryRun() {
        driver.Queue(Complete());
        driver.Queue(CloseBox());
        driver.Queue(Complete());
    }

    bool MainWindowShown() const {
        const Lines& log = site.log();
        return std::find(log.begin(), log.end(), "Main window shown") != log.end();
    }
    void ExpectNoPages() {
        for (const auto& page : qbtest::FixturePages()) {
            EXPECT_FALSE(PageExists(page.plain)) << page.plain;
        }
    }
    void ExpectEncipheredPagesUnchanged() {
        for (const auto& page : qbtest::FixturePages()) {
            std::string plain = qbtest::ReadFile(Page(page.cipher));
            CCrypto().ConvertBuffer(reinterpret_cast<unsigned char*>(plain.data()),
                                    static_cast<short>(plain.size()));
            EXPECT_EQ(plain, page.html) << page.cipher;
        }
    }
    std::string FileUrl(const std::string& path) const {
        std::string url = "file:///";
        for (const char c : path) {
            url += c == ' ' ? std::string("%20") : std::string(1, c);
        }
        return url;
    }

    ui::ScriptedBackend scripted;
    HeadlessSite site;
    MainWindowDriver driver{scripted, site};
    ui::ScopedBackend backendScope{driver};
    ScopedWindowSite siteScope{site};
    bool mutexLeftOpen_ = false;
    bool heldAfterRun_ = false;
};

TEST_F(StartupTest, ExitC_PagesExistOnlyWhileTheWindowRunsAndTheLogIsComplete) {
    bool checkedDuringRun = false;
    driver.Queue([&](ui::ScriptedDialog&) {
        for (const auto& page : qbtest::FixturePages()) {
            EXPECT_EQ(qbtest::ReadFile(Page(page.plain)), page.html) << page.plain;
            struct stat info {};
            ASSERT_EQ(::stat(Page(page.plain).c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0600u) << page.plain;
        }
        EXPECT_TRUE(qbtest::MutexHeld());
        EXPECT_EQ(FindWindowA(nullptr, kCaption), site.window());
        EXPECT_EQ(TakeTrace(), qbtest::TraceUpToMainWindow({})) << "no gate: no dialog, no line";
        checkedDuringRun = true;
    });
    driver.Queue(Complete());
    driver.Queue(Escape());  // does nothing in the open window
    driver.Queue(CloseBox());
    driver.Queue(Complete());

    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_TRUE(checkedDuringRun);
    EXPECT_EQ(TakeTrace(), Lines{kAfterWindow});
    ExpectNoPages();
    ExpectEncipheredPagesUnchanged();
    EXPECT_FALSE(mutexLeftOpen_) << "the clean-up closed the mutex";
    EXPECT_FALSE(qbtest::MutexHeld());
    EXPECT_FALSE(qbtest::ComLeftInitialised());
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);

    const std::string pages = FileUrl(InstallFolder()) + "/Resources/";
    char exe[260];
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, sizeof(exe)), 0u);
    EXPECT_EQ(site.log(), (Lines{
                              "Attach Welcome to Quenby",
                              "SetIcon big 139",
                              "SetIcon small 139",
                              "Navigate " + pages + "frameset.htm",
                              "Main window shown",
                              "DocumentComplete " + pages + "top.htm frame",
                              "DocumentComplete " + pages + "down.htm frame",
                              "DocumentComplete " + pages + "frameset.htm top",
                              "Navigate res://" + std::string(exe) + "/146",
                              "DocumentComplete res://" + std::string(exe) + "/146 top",
                              "Main window ended 2",
                              "Detach",
                          }));
    EXPECT_EQ(scripted.Lines(), (Lines{"User presses Escape", "User closes the dialog"}))
        << "no dialog and no message box";
}

TEST_F(StartupTest, ExitA_AnotherCopyIsRestoredAndNothingElseHappens) {
    qbtest::ChildProcess holder(qbtest::Tool("qbsystem_helper"), {"mutex", "QUENBY_MAIN_GUI"});
    ASSERT_EQ(holder.ReadLine(), "created");
    qbtest::ChildProcess window(qbtest::Tool("qbsystem_helper"), {"window", kCaption});
    ASSERT_EQ(window.ReadLine(), "ready");

    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(window.ReadLine(), "raise");
    EXPECT_EQ(window.ReadLine(), "message 274 61728 0") << "WM_SYSCOMMAND SC_RESTORE";
    EXPECT_TRUE(mutexLeftOpen_) << "the handle stays open until the process ends";
    EXPECT_EQ(TakeTrace(), Lines{});
    EXPECT_FALSE(qbtest::ComLeftInitialised());
    EXPECT_TRUE(site.log().empty());
    EXPECT_TRUE(scripted.Lines().empty());
    ExpectNoPages();
}

TEST_F(StartupTest, ExitA_AnotherCopyWithoutWindowYetEndsSilently) {
    qbtest::ChildProcess holder(qbtest::Tool("qbsystem_helper"), {"mutex", "QUENBY_MAIN_GUI"});
    ASSERT_EQ(holder.ReadLine(), "created");
    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), Lines{});
    EXPECT_TRUE(scripted.Lines().empty());
    ExpectNoPages();
}

TEST_F(StartupTest, ExitA_WhenTheMutexCannotBeCreated) {
    // A runtime folder that cannot be made: the mutex cannot exist.
    qbtest::WriteFile(Path("not-a-folder"), "");
    ::setenv("XDG_RUNTIME_DIR", Path("not-a-folder").c_str(), 1);
    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_FALSE(mutexLeftOpen_);
    EXPECT_TRUE(site.log().empty());
    EXPECT_TRUE(scripted.Lines().empty());
    ExpectNoPages();
}

TEST_F(StartupTest, ExitB_CancelledPasswordEndsBeforeAnyPage) {
    ASSERT_TRUE(SavePassword("Right", true));
    scripted.QueueEscape();
    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), (Lines{"Before try", "In try"}));
    EXPECT_EQ(scripted.Lines(),
              (Lines{"Dialog 142 \"Quenby - Password\" shown", "Check 1008 checked", "Focus 1006",
                     "User presses Escape", "Dialog 142 ended -> Cancel"}));
    ExpectNoPages();
    EXPECT_FALSE(MainWindowShown());
    EXPECT_TRUE(mutexLeftOpen_);
    EXPECT_TRUE(heldAfterRun_) << "the mutex still marks a running copy";
    EXPECT_TRUE(qbtest::ComLeftInitialised()) << "no clean-up on this exit";
}

TEST_F(StartupTest, ExitD_MissingThirdPageIsReportedAndWhatWasWrittenIsDeleted) {
    std::filesystem::remove(Page("dn.tfl"));
    qbtest::WriteFile(Page("down.htm"), "left by a crashed run");
    std::vector<bool> atMessage;
    driver.OnMessageBox([&] {
        for (const char* page : {"main.htm", "top.htm", "down.htm", "frameset.htm"}) {
            atMessage.push_back(PageExists(page));
        }
    });

    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(),
              (Lines{"Before try", "In try", "In DeCryptHTMLPages", "Before \tcrypto.ConvertFile",
                     "After \tcrypto.ConvertFile", "Before \tcrypto.ConvertFile",
                     "After \tcrypto.ConvertFile", "Before \tcrypto.ConvertFile"}));
    EXPECT_EQ(scripted.Lines(), Lines{kCatchAll});
    EXPECT_EQ(atMessage, (std::vector<bool>{true, true, true, false}))
        << "the first two pages written, the stale third untouched, no frameset";
    ExpectNoPages();
    EXPECT_FALSE(MainWindowShown());
    EXPECT_FALSE(qbtest::MutexHeld());
    EXPECT_FALSE(mutexLeftOpen_);
    EXPECT_FALSE(qbtest::ComLeftInitialised());
}

TEST_F(StartupTest, ExitD_ExceptionInsideTheMainWindowStillCleansUp) {
    driver.Queue(Complete());
    driver.Queue([](ui::ScriptedDialog&) { throw std::bad_alloc(); });
    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), qbtest::TraceUpToMainWindow({}));
    EXPECT_EQ(scripted.Lines(), Lines{kCatchAll});
    ExpectNoPages();
    EXPECT_FALSE(qbtest::MutexHeld());
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
}

TEST_F(StartupTest, StalePagesOfACrashedRunAreReplacedAndMadePrivate) {
    qbtest::WriteFile(Page("frameset.htm"), "stale");
    ::chmod(Page("frameset.htm").c_str(), 0644);
    driver.Queue([&](ui::ScriptedDialog&) {
        EXPECT_EQ(qbtest::ReadFile(Page("frameset.htm")), qbtest::FixturePages()[3].html);
        struct stat info {};
        ASSERT_EQ(::stat(Page("frameset.htm").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    });
    QueueOrdinaryRun();
    EXPECT_EQ(RunProgram(), FALSE);
    ExpectNoPages();
}

TEST_F(StartupTest, WhatACrashedCopyLeftBehindDoesNotCountAsARunningCopy) {
    {
        qbtest::ChildProcess holder(qbtest::Tool("qbsystem_helper"), {"mutex", "QUENBY_MAIN_GUI"});
        ASSERT_EQ(holder.ReadLine(), "created");
        qbtest::ChildProcess window(qbtest::Tool("qbsystem_helper"), {"window", kCaption});
        ASSERT_EQ(window.ReadLine(), "ready");
        holder.Kill();
        window.Kill();
    }
    QueueOrdinaryRun();
    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), Concat(qbtest::TraceUpToMainWindow({}), {kAfterWindow}));
}

// ---- the password gate ----

struct GateCase {
    const char* name;
    bool firstRun;
    std::optional<std::string> stored;
    std::function<void(ui::ScriptedBackend&)> user;
    int dialog;  // template shown, 0 for none
    Lines gateTrace;
    bool mainWindow;
    // Passwords CheckPassword accepts / refuses afterwards.
    std::optional<std::string> accepted;
    std::optional<std::string> refused;
    bool passwordSetAfter;
};

void PrintTo(const GateCase& c, std::ostream* out) {
    *out << c.name;
}

void TypeTwiceAndOk(ui::ScriptedBackend& user, const std::string& first,
                    const std::string& second) {
    user.QueueType(IDC_PASSWORD, first);
    user.QueueType(IDC_RETYPE_PASSWORD, second);
    user.QueueClick(IDOK);
}

const std::vector<GateCase>& GateCases() {
    static const std::vector<GateCase> cases = {
        {"FirstStartSetsPassword",
         true,
         std::nullopt,
         [](ui::ScriptedBackend& u) { TypeTwiceAndOk(u, "Secret", "SECRET"); },
         IDD_SET_PASSWORD,
         {kGateSet},
         true,
         "secret",
         "other",
         true},
        {"FirstStartCancelGoesOnWithoutPassword",
         true,
         std::nullopt,
         [](ui::ScriptedBackend& u) { u.QueueClick(IDCANCEL); },
         IDD_SET_PASSWORD,
         {kGateSet},
         true,
         std::nullopt,
         std::nullopt,
         false},
        {"StoredPasswordIsAskedFor",
         false,
         "Right",
         [](ui::ScriptedBackend& u) {
             u.QueueType(IDC_PASSWORD, "RIGHT");
             u.QueueClick(IDOK);
         },
         IDD_PASSWORD,
         {kGateEntered},
         true,
         "Right",
         "Wrong",
         true},
        {"StoredPasswordCancelledEndsTheProgram",
         false,
         "Right",
         [](ui::ScriptedBackend& u) { u.QueueCloseBox(); },
         IDD_PASSWORD,
         {},
         false,
         "Right",
         std::nullopt,
         true},
        {"NoPasswordNoFirstStartNoDialog",
         false,
         std::nullopt,
         [](ui::ScriptedBackend&) {},
         0,
         {},
         true,
         std::nullopt,
         std::nullopt,
         false},
        {"ReinstalledFirstStartReplacesStoredPassword",
         true,
         "Right",
         [](ui::ScriptedBackend& u) { TypeTwiceAndOk(u, "Newer", "newer"); },
         IDD_SET_PASSWORD,
         {kGateSet},
         true,
         "Newer",
         "Right",
         true},
        {"ReinstalledFirstStartCancelKeepsStoredPassword",
         true,
         "Right",
         [](ui::ScriptedBackend& u) { u.QueueClick(IDCANCEL); },
         IDD_SET_PASSWORD,
         {kGateSet},
         true,
         "Right",
         "Newer",
         true},
    };
    return cases;
}

class PasswordGateTest : public StartupTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(PasswordGateTest, ShowsTheRightDialogAndGoesOnOrEnds) {
    const GateCase& c = GetParam();
    if (c.firstRun) {
        SetDword(kSettingsKey, "FIRSTRUN", 1);
    }
    if (c.stored) {
        ASSERT_TRUE(SavePassword(*c.stored, false));
    }
    c.user(scripted);
    if (c.mainWindow) {
        QueueOrdinaryRun();
    }

    EXPECT_EQ(RunProgram(), FALSE);
    Lines expected = c.mainWindow ? Concat(qbtest::TraceUpToMainWindow(c.gateTrace), {kAfterWindow})
                                  : Lines{"Before try", "In try"};
    EXPECT_EQ(TakeTrace(), expected);
    const Lines lines = scripted.Lines();
    if (c.dialog != 0) {
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front().rfind("Dialog " + std::to_string(c.dialog) + " ", 0), 0u)
            << lines.front();
    } else {
        for (const std::string& line : lines) {
            EXPECT_NE(line.rfind("Dialog ", 0), 0u) << "no dialog expected: " << line;
        }
    }
    EXPECT_EQ(MainWindowShown(), c.mainWindow);
    EXPECT_FALSE(IsFirstRun()) << "the marker is gone after any start";
    EXPECT_EQ(IsPasswordSet(), c.passwordSetAfter);
    if (c.accepted) {
        EXPECT_TRUE(CheckPassword(*c.accepted));
    }
    if (c.refused) {
        EXPECT_FALSE(CheckPassword(*c.refused));
    }
}

INSTANTIATE_TEST_SUITE_P(Gate, PasswordGateTest, ::testing::ValuesIn(GateCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, SecondStartAfterSettingThePasswordAsksForIt) {
    SetDword(kSettingsKey, "FIRSTRUN", 1);
    TypeTwiceAndOk(scripted, "Secret", "Secret");
    QueueOrdinaryRun();
    ASSERT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), Concat(qbtest::TraceUpToMainWindow({kGateSet}), {kAfterWindow}));

    scripted.ClearTranscript();
    scripted.QueueType(IDC_PASSWORD, "secret");
    scripted.QueueClick(IDOK);
    QueueOrdinaryRun();
    ASSERT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), Concat(qbtest::TraceUpToMainWindow({kGateEntered}), {kAfterWindow}));
    EXPECT_EQ(scripted.Lines().front(), "Dialog 142 \"Quenby - Password\" shown");
}

TEST_F(StartupTest, AnEnterPasswordDialogThatCannotBeShownIsARefusal) {
    // The program's resources without template 142: DoModal answers -1.
    ui::ResourceTable table = ProgramResourceTable();
    std::erase_if(table.dialogs, [](const ui::DialogTemplate& t) { return t.id == IDD_PASSWORD; });
    ui::Module module{"Quenby", &table};
    ui::ModuleStateGuard guard(module);
    ASSERT_TRUE(SavePassword("Right", true));

    EXPECT_EQ(RunProgram(), FALSE);
    EXPECT_EQ(TakeTrace(), (Lines{"Before try", "In try"}));
    ExpectNoPages();
    EXPECT_FALSE(MainWindowShown());
}

}  // namespace
