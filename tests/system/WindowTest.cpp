#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "TestEnvironment.h"
#include "system/LastError.h"
#include "system/RuntimeFolder.h"
#include "system/UnixSocket.h"
#include "system/Window.h"
#include "system/WindowProtocol.h"

namespace {

constexpr const char* kCaption = "Welcome to Quenby";

class WindowTest : public qbtest::TempEnvironment {
  protected:
    // A window served by another process; waits until it is registered.
    static std::unique_ptr<qbtest::ChildProcess> StartWindow(const std::string& mode,
                                                             const std::string& caption) {
        auto child = std::make_unique<qbtest::ChildProcess>(
            qbtest::Tool("qbsystem_helper"), std::vector<std::string>{mode, caption});
        EXPECT_EQ(child->ReadLine(), "ready");
        return child;
    }

    static std::string FileOf(pid_t pid, const char* extension) {
        return sys::RuntimeFolder() + "/" + sys::detail::WindowFileStem(pid, 1) + extension;
    }

    static bool Readable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 0) == 1;
    }
};

TEST_F(WindowTest, AnotherProcessWindowIsFoundByCaptionAndTakesSentPostedAndRaiseRequests) {
    auto peer = StartWindow("window", kCaption);
    const HWND window = FindWindowA(nullptr, "welcome to QUENBY");
    ASSERT_EQ(window, sys::detail::MakeWindowHandle(peer->Pid(), 1))
        << "captions compare ignoring case";
    EXPECT_EQ(FindWindowA(nullptr, "Welcome to Quenby!"), nullptr);
    EXPECT_EQ(FindWindowA("#32770", kCaption), nullptr) << "there are no window classes";
    EXPECT_EQ(FindWindowA(nullptr, nullptr), window) << "no caption: any window";
    EXPECT_TRUE(IsWindow(window));
    char text[64];
    EXPECT_EQ(GetWindowTextA(window, text, sizeof(text)), 17);
    EXPECT_STREQ(text, kCaption);
    EXPECT_EQ(GetWindowTextA(window, text, 8), 7);
    EXPECT_STREQ(text, "Welcome");

    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0),
              static_cast<LRESULT>(WM_SYSCOMMAND + SC_RESTORE));
    EXPECT_EQ(peer->ReadLine(), "message 274 61728 0");
    EXPECT_EQ(SendMessageA(window, WM_USER, 5, -10), static_cast<LRESULT>(WM_USER + 5 - 10));
    EXPECT_EQ(peer->ReadLine(), "message 1024 5 -10");

    for (UINT i = 1; i <= 3; ++i) {
        EXPECT_TRUE(PostMessageA(window, WM_USER + i, i, 0));
    }
    EXPECT_TRUE(SetForegroundWindow(window));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(peer->ReadLine(),
                  "message " + std::to_string(WM_USER + i) + " " + std::to_string(i) + " 0")
            << "posts run in the order sent";
    }
    EXPECT_EQ(peer->ReadLine(), "raise");

    // The window closes on WM_CLOSE and unregisters; its handle is dead from then on.
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), static_cast<LRESULT>(WM_CLOSE));
    EXPECT_EQ(peer->ReadLine(), "message 16 0 0");
    EXPECT_EQ(peer->Wait(), 0);
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    EXPECT_FALSE(IsWindow(window));
    SetLastError(0);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_FALSE(std::filesystem::exists(FileOf(peer->Pid(), ".sock")));
    EXPECT_FALSE(std::filesystem::exists(FileOf(peer->Pid(), ".caption")));
}

TEST_F(WindowTest, WindowOfACrashedProcessIsNotFoundAndItsFilesAreRemoved) {
    auto crashed = StartWindow("window", kCaption);
    const pid_t pid = crashed->Pid();
    crashed->Kill();
    ASSERT_TRUE(std::filesystem::exists(FileOf(pid, ".caption")));
    ASSERT_TRUE(std::filesystem::exists(FileOf(pid, ".sock")));

    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    EXPECT_FALSE(std::filesystem::exists(FileOf(pid, ".caption")));
    EXPECT_FALSE(std::filesystem::exists(FileOf(pid, ".sock")));
    EXPECT_FALSE(IsWindow(sys::detail::MakeWindowHandle(pid, 1)));

    auto next = StartWindow("window", kCaption);
    EXPECT_EQ(FindWindowA(nullptr, kCaption), sys::detail::MakeWindowHandle(next->Pid(), 1));
}

TEST_F(WindowTest, HungWindowIsFoundButNeverHangsTheSender) {
    auto hung = StartWindow("hung", kCaption);
    const HWND window = FindWindowA(nullptr, kCaption);
    ASSERT_NE(window, nullptr) << "a busy window is still there";

    DWORD_PTR result = 99;
    SetLastError(0);
    EXPECT_EQ(
        SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 300, &result),
        0);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_EQ(result, 0u);

    std::string out;
    EXPECT_EQ(
        qbtest::Run(qbtest::Tool("qbsend") + " --timeout 300 '" + kCaption + "' 0x0505", &out), 2);
    EXPECT_NE(out.find("did not take the message"), std::string::npos) << out;
}

TEST_F(WindowTest, QbsendReportsWhetherAWindowTookTheMessage) {
    auto peer = StartWindow("window", kCaption);
    const std::string qbsend = qbtest::Tool("qbsend");
    struct Case {
        std::string args;
        int status;
        std::string output;   // start of what qbsend prints
        std::string message;  // what the window saw ("" for nothing)
    } cases[] = {
        {"'Welcome to Quenby' 0x0505", 0, "1285\n", "message 1285 0 0"},
        {"'Welcome to Quenby' 274 0xF120 0", 0, "62002\n", "message 274 61728 0"},
        {"--post 'Welcome to Quenby' 1285 1 -1", 0, "", "message 1285 1 -1"},
        {"-- 'Welcome to Quenby' 0X10 0 0x8000000000000000", 0, "-9223372036854775792\n",
         "message 16 0 -9223372036854775808"},
        {"'No Such Window' 0x0505", 1, "qbsend: no window captioned \"No Such Window\"", ""},
        {"'Welcome to Quenby'", 2, "qbsend: wrong number of arguments", ""},
        {"'Welcome to Quenby' 1 2 3 4", 2, "qbsend: wrong number of arguments", ""},
        {"'Welcome to Quenby' 0x", 2, "qbsend: MSG must be", ""},
        {"'Welcome to Quenby' 12abc", 2, "qbsend: MSG must be", ""},
        {"'Welcome to Quenby' 0x100000000", 2, "qbsend: MSG must be", ""},
        {"'Welcome to Quenby' -1", 2, "qbsend: MSG must be", ""},
        {"'Welcome to Quenby' 1 -1", 2, "qbsend: WPARAM must be", ""},
        {"'Welcome to Quenby' 1 2 0x1FFFFFFFFFFFFFFFF", 2, "qbsend: LPARAM must be", ""},
        {"--bogus 'Welcome to Quenby' 1", 2, "qbsend: unknown option", ""},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(qbtest::Run(qbsend + " " + c.args, &out), c.status) << c.args << "\n" << out;
        EXPECT_EQ(out.substr(0, c.output.size()), c.output) << c.args;
        if (!c.message.empty()) {
            EXPECT_EQ(peer->ReadLine(), c.message) << c.args;
        }
    }
    // WM_CLOSE (the fourth case) closed the window: nothing more may have reached it.
    EXPECT_EQ(peer->ReadAll(), "");
    EXPECT_EQ(peer->Wait(), 0);
}

TEST_F(WindowTest, ForgedOrBrokenRequestsAreDroppedAndTheWindowGoesOn) {
    auto peer = StartWindow("window", kCaption);
    const std::string path = FileOf(peer->Pid(), ".sock");
    const auto deadline = sys::detail::Clock::now() + std::chrono::seconds(5);
    {
        auto silent = sys::detail::ConnectTo(path, SOCK_SEQPACKET, deadline);
        ASSERT_TRUE(silent);  // connects and says nothing
        auto garbage = sys::detail::ConnectTo(path, SOCK_SEQPACKET, deadline);
        ASSERT_TRUE(garbage);
        const char junk[] = "QBWM but not a request at all";
        ASSERT_GT(::send(garbage.get(), junk, sizeof(junk), MSG_NOSIGNAL), 0);
        auto wrongWindow = sys::detail::ConnectTo(path, SOCK_SEQPACKET, deadline);
        sys::detail::Request request;
        request.kind = sys::detail::RequestKind::Post;
        request.window = 7;  // not the window behind this socket
        request.message = WM_CLOSE;
        const auto bytes = sys::detail::EncodeRequest(request);
        ASSERT_GT(::send(wrongWindow.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), 0);
    }
    const HWND window = FindWindowA(nullptr, kCaption);
    EXPECT_EQ(SendMessageA(window, WM_USER, 1, 2), static_cast<LRESULT>(WM_USER + 3));
    EXPECT_EQ(peer->ReadLine(), "message 1024 1 2") << "nothing else reached the procedure";
}

TEST_F(WindowTest, WindowOfThisProcessRunsSendsAtOncePostsWhenDispatched) {
    std::vector<std::string> seen;
    int raised = 0;
    const HWND window = CreateTopLevelWindow(
        kCaption,
        [&seen](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
            seen.push_back(std::to_string(message) + ":" + std::to_string(wParam));
            return static_cast<LRESULT>(wParam * 2);
        },
        [&raised] { ++raised; });
    ASSERT_NE(window, nullptr);
    const int fd = sys::WindowMessageDescriptor();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(FindWindowA(nullptr, kCaption), window);
    EXPECT_EQ(::access((sys::RuntimeFolder() + "/" +
                        sys::detail::WindowFileStem(::getpid(), sys::detail::WindowIdOf(window)) +
                        ".caption")
                           .c_str(),
                       F_OK),
              0);

    EXPECT_EQ(SendMessageA(window, WM_USER, 21, 0), 42) << "own thread: a direct call";
    EXPECT_EQ(seen, std::vector<std::string>{"1024:21"});
    EXPECT_FALSE(Readable(fd));

    EXPECT_TRUE(PostMessageA(window, WM_USER, 1, 0));
    EXPECT_TRUE(PostMessageA(window, WM_USER, 2, 0));
    EXPECT_TRUE(SetForegroundWindow(window));
    EXPECT_EQ(seen.size(), 1u) << "posts wait for the dispatch";
    EXPECT_TRUE(Readable(fd));
    EXPECT_EQ(sys::DispatchWindowMessages(1), 1);
    EXPECT_TRUE(Readable(fd)) << "more are waiting";
    EXPECT_EQ(sys::DispatchWindowMessages(), 2);
    EXPECT_FALSE(Readable(fd));
    EXPECT_EQ(seen, (std::vector<std::string>{"1024:21", "1024:1", "1024:2"}));
    EXPECT_EQ(raised, 1);

    // Another thread's send waits until the window's thread dispatches it.
    std::atomic<LRESULT> fromThread{-1};
    std::thread sender([&] { fromThread = SendMessageA(window, WM_USER, 50, 0); });
    while (fromThread == -1) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) {
            sys::DispatchWindowMessages();
        }
    }
    sender.join();
    EXPECT_EQ(fromThread, 100);

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
}

TEST_F(WindowTest, AProcedureThatRunsAModalLoopStillGetsTheNextMessages) {
    std::vector<std::string> order;
    HWND window = nullptr;
    window = CreateTopLevelWindow(kCaption, [&](HWND, UINT, WPARAM wParam, LPARAM) -> LRESULT {
        if (wParam == 1) {
            order.push_back("modal loop begins");
            sys::DispatchWindowMessages();  // what a modal dialog's loop does
            order.push_back("modal loop ends");
        } else {
            order.push_back("message " + std::to_string(wParam));
        }
        return 0;
    });
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER, 2, 0);
    EXPECT_EQ(sys::DispatchWindowMessages(), 1) << "the second ran inside the first";
    EXPECT_EQ(order,
              (std::vector<std::string>{"modal loop begins", "message 2", "modal loop ends"}));
    DestroyWindow(window);
}

TEST(WindowProtocolTest, RequestsAndRepliesRoundTripAndBadBytesAreRefused) {
    using namespace sys::detail;
    Request request{RequestKind::Raise, 3, 0x505, 0xFFFFFFFFFFFFFFFFull, -2};
    const auto bytes = EncodeRequest(request);
    const auto back = DecodeRequest(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kind, RequestKind::Raise);
    EXPECT_EQ(back->window, 3u);
    EXPECT_EQ(back->message, 0x505u);
    EXPECT_EQ(back->wParam, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(back->lParam, -2);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8),
              std::string("QBWM\x01\x00\x03\x00", 8));

    struct Corruption {
        std::size_t offset;
        std::uint8_t value;
    } corruptions[] = {{0, 'X'}, {4, 2}, {6, 0}, {6, 4}};
    for (const Corruption& c : corruptions) {
        auto bad = bytes;
        bad[c.offset] = c.value;
        EXPECT_FALSE(DecodeRequest(bad.data(), bad.size())) << c.offset;
    }
    EXPECT_FALSE(DecodeRequest(bytes.data(), bytes.size() - 1));

    const auto reply = EncodeReply({ReplyKind::Result, -7});
    const auto replyBack = DecodeReply(reply.data(), reply.size());
    ASSERT_TRUE(replyBack);
    EXPECT_EQ(replyBack->result, -7);
    EXPECT_FALSE(DecodeReply(bytes.data(), bytes.size()));
}

TEST(WindowProtocolTest, FileStemsParseBackOnlyWhenWellFormed) {
    std::uint32_t pid = 0;
    DWORD id = 0;
    EXPECT_EQ(sys::detail::WindowFileStem(1234, 5), "window-1234-5");
    EXPECT_TRUE(sys::detail::ParseWindowFileStem("window-1234-5", pid, id));
    EXPECT_EQ(pid, 1234u);
    EXPECT_EQ(id, 5u);
    for (const char* bad :
         {"window-1234", "window--5", "window-1234-", "window-12x-5", "window-0-5", "window-5-0",
          "window-01-5", "window-1-+5", "windows-1-2", "window-1-2-3", "window-99999999999-1"}) {
        EXPECT_FALSE(sys::detail::ParseWindowFileStem(bad, pid, id)) << bad;
    }
}

}  // namespace
