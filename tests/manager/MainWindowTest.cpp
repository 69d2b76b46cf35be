// The main window under the scripted backend with the headless site: the orderly
// close, Escape, the reload message, the system menu and its commands, the icon.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "HeadlessSite.h"
#include "MainWindowDriver.h"
#include "ManagerFixture.h"
#include "ProgramResources.h"
#include "QuenbyDlg.h"
#include "system/Window.h"
#include "ui/MessageBox.h"
#include "ui/ScriptedBackend.h"

namespace {

using Lines = std::vector<std::string>;

class MainWindowTest : public qbtest::ManagerFixture {
  protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        AfxEnableControlContainer();
    }

    // Runs the window with the queued actions; returns DoModal's result.
    int RunWindow() {
        CQuenbyDlg dlg;
        result_ = dlg.DoModal();
        return result_;
    }
    void Queue(std::function<void()> action) {
        driver.Queue([action = std::move(action)](ui::ScriptedDialog&) { action(); });
    }
    void Queue(MainWindowDriver::Action action) { driver.Queue(std::move(action)); }
    void Complete() {
        Queue([this] { site.browser().Complete(); });
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(site.window(), message, wParam, lParam);
    }
    std::size_t Count(const Lines& lines, const std::string& line) const {
        return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
    }
    std::size_t Navigations(const std::string& suffix) {
        std::size_t n = 0;
        for (const std::string& url : site.browser().navigations()) {
            n += url.ends_with(suffix) ? 1 : 0;
        }
        return n;
    }
    bool Forced() const { return Count(site.log(), "Main window forced to end") != 0; }

    ui::ScriptedBackend scripted;
    HeadlessSite site;
    MainWindowDriver driver{scripted, site};
    ui::ScopedBackend backendScope{driver};
    ScopedWindowSite siteScope{site};
    int result_ = 0;
};

TEST_F(MainWindowTest, SystemMenuGainsExactlyTheSeparatorAndAboutBelowTheStandardEntries) {
    MENU menu;
    Queue([&] { menu = site.menu(); });
    RunWindow();
    MENU expected = StandardSystemMenu();
    expected.items.push_back(MenuItem{MF_SEPARATOR, 0, {}});
    expected.items.push_back(MenuItem{MF_STRING, IDM_ABOUTBOX, "&About Quenby..."});
    EXPECT_EQ(menu.items, expected.items);
}

TEST_F(MainWindowTest, CloseWhileTheFramesetStillLoadsEndsAtItsFirstDocument) {
    Queue([] {});
    driver.Queue([](ui::ScriptedDialog& w) { w.UserClose(); });
    Queue([this] {
        site.browser().Complete();  // the frameset's first frame
    });
    EXPECT_EQ(RunWindow(), IDCANCEL);
    EXPECT_FALSE(Forced());
    EXPECT_EQ(site.browser().Pending(), 1u) << "the blank page had not even loaded";
}

TEST_F(MainWindowTest, EscapeEndsOnlyAPendingClose) {
    Complete();
    driver.Queue([](ui::ScriptedDialog& w) { w.UserEscape(); });
    driver.Queue([](ui::ScriptedDialog& w) { w.UserEscape(); });
    driver.Queue([](ui::ScriptedDialog& w) {
        EXPECT_FALSE(w.ended()) << "Escape alone never closes the window";
        w.UserClose();
        w.UserEscape();
        EXPECT_TRUE(w.ended()) << "Escape after a close request ends it at once";
    });
    EXPECT_EQ(RunWindow(), IDCANCEL);
    EXPECT_FALSE(Forced());
    EXPECT_EQ(site.browser().Pending(), 1u);
}

TEST_F(MainWindowTest, CloseCommandsGoThroughTheBlankPage) {
    // Close in the system menu (SC_CLOSE) and WM_CLOSE from outside alike.
    for (const UINT command : {WM_SYSCOMMAND, WM_CLOSE}) {
        Complete();
        Queue([this, command] {
            const std::size_t blanks = Navigations("/146");
            Send(command, command == WM_SYSCOMMAND ? SC_CLOSE : 0);
            EXPECT_EQ(Navigations("/146"), blanks + 1);
        });
        Complete();
        EXPECT_EQ(RunWindow(), IDCANCEL) << command;
        EXPECT_FALSE(Forced());
    }
}

TEST_F(MainWindowTest, ReloadMessageReloadsTheFramesetAndRaisesTheWindow) {
    Complete();
    Queue([this] {
        EXPECT_EQ(Send(WM_RELOADPAGES, 7, 9), 0);
        sys::DispatchWindowMessages();  // the raise request is queued
    });
    Complete();
    RunWindow();
    EXPECT_EQ(Navigations("/Resources/frameset.htm"), 2u);
    const Lines& log = site.log();
    const auto raise = std::find(log.begin(), log.end(), "Raise");
    ASSERT_NE(raise, log.end());
    EXPECT_EQ(Count(log, "Raise"), 1u);
}

TEST_F(MainWindowTest, ReloadFromAnotherProcessWhileClosingEndsAtTheNextDocument) {
    Complete();
    driver.Queue([](ui::ScriptedDialog& w) { w.UserClose(); });
    Queue([this] {
        qbtest::ChildProcess qbsend(qbtest::Tool("qbsend"), {"Welcome to Quenby", "0x0505"});
        for (int i = 0; i < 2000 && Navigations("/Resources/frameset.htm") < 2; ++i) {
            sys::DispatchWindowMessages();
            ::usleep(1000);
        }
        EXPECT_EQ(qbsend.ReadAll(), "0\n");
        EXPECT_EQ(qbsend.Wait(), 0);
    });
    Queue([this] {
        // The blank page was asked for first and completes first: that ends it.
        site.browser().Complete();
    });
    EXPECT_EQ(RunWindow(), IDCANCEL);
    EXPECT_FALSE(Forced());
    EXPECT_EQ(Navigations("/Resources/frameset.htm"), 2u);
}

TEST_F(MainWindowTest, SystemCommands0x10To0x1FOpenTheAboutBox) {
    Complete();
    for (UINT id = 0x10; id <= 0x1F; ++id) {
        scripted.QueueClick(IDOK);
        Queue([this, id] { Send(WM_SYSCOMMAND, id); });
    }
    RunWindow();
    const Lines lines = scripted.Lines();
    EXPECT_EQ(Count(lines, "Dialog 100 \"About Quenby\" shown"), 16u);
    EXPECT_EQ(Count(lines, "Dialog 100 ended -> OK"), 16u);
}

TEST_F(MainWindowTest, RestoreAndMinimiseGoToTheDefaultProcessing) {
    Complete();
    Queue([this] {
        Send(WM_SYSCOMMAND, SC_MINIMIZE);
        Send(WM_SYSCOMMAND, SC_RESTORE);
    });
    RunWindow();
    const Lines& log = site.log();
    const Lines expected = {"Default WM_SYSCOMMAND 0xF020", "Minimize",
                            "Default WM_SYSCOMMAND 0xF120", "Restore"};
    EXPECT_NE(std::search(log.begin(), log.end(), expected.begin(), expected.end()), log.end());
}

TEST_F(MainWindowTest, MinimisedWindowPaintsItsIconCentred) {
    Complete();
    Queue([this] {
        Send(WM_PAINT);  // open: default painting
        Send(WM_SYSCOMMAND, SC_MINIMIZE);
        site.SetClientSize(160, 101);
        Send(WM_PAINT);
        EXPECT_EQ(Send(WM_QUERYDRAGICON),
                  reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_QUENBY)));
    });
    RunWindow();
    const Lines& log = site.log();
    const Lines expected = {
        "Default WM_PAINT",          "Default WM_SYSCOMMAND 0xF020", "Minimize", "BeginPaint",
        "Default WM_ICONERASEBKGND", "DrawIcon 64 35 139",           "EndPaint"};
    EXPECT_NE(std::search(log.begin(), log.end(), expected.begin(), expected.end()), log.end())
        << ::testing::PrintToString(log);
}

TEST(CenteredIconOrigin, TruncatesTowardsZero) {
    struct Case {
        int width, height, x, y;
    };
    for (const Case c : {Case{754, 474, 361, 221}, Case{33, 33, 1, 1}, Case{32, 32, 0, 0},
                         Case{31, 20, 0, -5}, Case{0, 0, -15, -15}}) {
        const IconOrigin origin = CenteredIconOrigin(c.width, c.height, 32, 32);
        EXPECT_EQ(origin.x, c.x) << c.width;
        EXPECT_EQ(origin.y, c.y) << c.height;
    }
}

// Which entries of the main window's system menu can be chosen: a fixed-size window
// with a minimise box, open or minimised.
TEST(SystemMenu, EntriesFollowTheWindowsAbilitiesAndState) {
    MENU menu = StandardSystemMenu();
    AppendMenuA(&menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(&menu, MF_STRING, IDM_ABOUTBOX, "&About Quenby...");
    EXPECT_FALSE(AppendMenuA(&menu, MF_STRING, 1, nullptr)) << "a string item needs its text";
    EXPECT_FALSE(AppendMenuA(nullptr, MF_SEPARATOR, 0, nullptr));

    struct Case {
        bool minimized;
        std::vector<UINT_PTR> enabled;
    };
    for (const Case& c : {Case{false, {SC_MOVE, SC_MINIMIZE, SC_CLOSE, IDM_ABOUTBOX}},
                          Case{true, {SC_RESTORE, SC_CLOSE, IDM_ABOUTBOX}}}) {
        WindowAbilities window;
        window.minimizeBox = true;
        window.minimized = c.minimized;
        std::vector<UINT_PTR> enabled;
        for (const MenuItem& item : menu.items) {
            if (!item.IsSeparator() && IsMenuItemEnabled(item, window)) {
                enabled.push_back(item.id);
            }
        }
        EXPECT_EQ(enabled, c.enabled) << "minimised: " << c.minimized;
    }
}

}  // namespace
