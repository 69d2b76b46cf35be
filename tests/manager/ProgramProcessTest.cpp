// The program itself, build/bin/Quenby, offscreen in a temporary install folder and
// hive: its full trace log, its pages, a second copy that only restores the first,
// the reload message from qbsend, the close request from another process, and a
// crashed copy that leaves nothing that stops the next start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "ChildProcess.h"
#include "ManagerFixture.h"
#include "system/Window.h"

namespace {

using Lines = std::vector<std::string>;
constexpr const char* kCaption = "Welcome to Quenby";

class ProgramProcessTest : public qbtest::ManagerFixture {
  protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    std::unique_ptr<qbtest::ChildProcess> StartProgram() {
        return std::make_unique<qbtest::ChildProcess>(qbtest::Tool("Quenby"),
                                                      std::vector<std::string>{});
    }

    // The trace lines written until `count` have come (at most 60 s: a hang fails).
    Lines TraceOf(std::size_t count) {
        Lines lines;
        for (int i = 0; i < 600 && lines.size() < count; ++i) {
            const Lines more = TakeTrace();
            lines.insert(lines.end(), more.begin(), more.end());
            if (lines.size() < count) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        return lines;
    }

    static HWND WaitForWindow() {
        for (int i = 0; i < 600; ++i) {
            if (HWND window = FindWindowA(nullptr, kCaption)) {
                return window;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return nullptr;
    }

    void ExpectPages(bool present) {
        for (const auto& page : qbtest::FixturePages()) {
            EXPECT_EQ(PageExists(page.plain), present) << page.plain;
            struct stat info {};
            if (present && ::stat(Page(page.plain).c_str(), &info) == 0) {
                EXPECT_EQ(info.st_mode & 0777, 0600u) << page.plain;
            }
        }
    }
};

TEST_F(ProgramProcessTest, RunsReloadsRestoresAndClosesOnRequest) {
    auto program = StartProgram();
    const Lines upToWindow = qbtest::TraceUpToMainWindow({});
    EXPECT_EQ(TraceOf(upToWindow.size()), upToWindow);
    const HWND window = WaitForWindow();
    ASSERT_NE(window, nullptr);
    ExpectPages(true);

    // A second copy restores the first and ends, writing nothing.
    auto second = StartProgram();
    EXPECT_EQ(second->Wait(), 0);
    EXPECT_EQ(TakeTrace(), Lines{});
    EXPECT_TRUE(IsWindow(window));
    ExpectPages(true);

    std::string out;
    EXPECT_EQ(qbtest::Run("'" + qbtest::Tool("qbsend") + "' '" + kCaption + "' 0x0505", &out), 0);
    EXPECT_EQ(out, "0\n");

    // Close in the system menu, sent from here: the program ends by itself.
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(program->Wait(), 0);
    EXPECT_EQ(TakeTrace(), Lines{"After dlg.DoModal()"});
    ExpectPages(false);
    EXPECT_FALSE(qbtest::MutexHeld());
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
}

TEST_F(ProgramProcessTest, ACrashedCopyLeavesNothingThatStopsTheNextStart) {
    auto crashed = StartProgram();
    const Lines upToWindow = qbtest::TraceUpToMainWindow({});
    EXPECT_EQ(TraceOf(upToWindow.size()), upToWindow);
    ASSERT_NE(WaitForWindow(), nullptr);
    crashed->Kill();
    ExpectPages(true);  // what a crash leaves

    auto next = StartProgram();
    EXPECT_EQ(TraceOf(upToWindow.size()), upToWindow) << "not taken for a running copy";
    const HWND window = WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(next->Wait(), 0);
    EXPECT_EQ(TakeTrace(), Lines{"After dlg.DoModal()"});
    ExpectPages(false);
}

TEST_F(ProgramProcessTest, StopSignalsEndTheRunThroughItsCleanUp) {
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        auto program = StartProgram();
        const Lines upToWindow = qbtest::TraceUpToMainWindow({});
        EXPECT_EQ(TraceOf(upToWindow.size()), upToWindow) << number;
        ASSERT_NE(WaitForWindow(), nullptr);
        ::kill(program->Pid(), number);
        EXPECT_EQ(program->Wait(), 0) << number;
        EXPECT_EQ(TakeTrace(), Lines{"After dlg.DoModal()"}) << number;
        ExpectPages(false);
    }
}

}  // namespace
