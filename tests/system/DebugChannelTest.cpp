#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "TestEnvironment.h"
#include "system/DebugChannel.h"
#include "system/LastError.h"

namespace {

class DebugChannelTest : public qbtest::TempEnvironment {
  protected:
    // Starts qbdebugview and waits until its socket is there.
    static std::unique_ptr<qbtest::ChildProcess> StartViewer(std::vector<std::string> args = {}) {
        auto viewer = std::make_unique<qbtest::ChildProcess>(qbtest::Tool("qbdebugview"), args);
        for (int i = 0; i < 2000 && !std::filesystem::exists(sys::DebugChannelPath()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(std::filesystem::exists(sys::DebugChannelPath()));
        return viewer;
    }
};

TEST_F(DebugChannelTest, EachTextArrivesUnchangedAsOneDatagramInOrder) {
    auto listener = sys::DebugListener::Open();
    ASSERT_NE(listener, nullptr);
    const std::vector<std::string> texts = {
        "Before try",
        "After \tif (PDlg.DoModal() == IDCANCEL) return FALSE",
        "",
        "two\nlines",
        "caf\xC3\xA9 \xE2\x82\xAC",
        std::string(60000, 'x'),
    };
    for (const std::string& text : texts) {
        OutputDebugStringA(text.c_str());
    }
    for (const std::string& text : texts) {
        EXPECT_EQ(listener->Receive(5000), text);
    }
    EXPECT_EQ(listener->Receive(0), std::nullopt) << "nothing added: no line ends, no extras";
}

TEST_F(DebugChannelTest, TextsWithNobodyListeningAreDroppedAndLeaveTheErrorStateAlone) {
    SetLastError(1234);
    errno = EDOM;
    OutputDebugStringA("nobody hears this");
    OutputDebugStringA(nullptr);
    EXPECT_EQ(GetLastError(), 1234u);
    EXPECT_EQ(errno, EDOM);

    auto listener = sys::DebugListener::Open();
    ASSERT_NE(listener, nullptr);
    OutputDebugStringA("heard");
    EXPECT_EQ(listener->Receive(5000), "heard") << "the earlier text was dropped, not queued";
}

TEST_F(DebugChannelTest, TextsLongerThanADatagramArriveInPieces) {
    auto listener = sys::DebugListener::Open();
    ASSERT_NE(listener, nullptr);
    std::string text(64 * 1024 * 2 + 10, 'a');
    text[70000] = 'b';
    OutputDebugStringA(text.c_str());
    std::string joined;
    while (auto piece = listener->Receive(1000)) {
        EXPECT_LE(piece->size(), 64u * 1024u);
        joined += *piece;
    }
    EXPECT_EQ(joined, text);
}

TEST_F(DebugChannelTest, QbdebugviewPrintsEachTextOnItsOwnLineAsItComes) {
    auto viewer = StartViewer();
    qbtest::ChildProcess writer(qbtest::Tool("qbsystem_helper"),
                                {"debug", "Before try", "In try", "Before \tcrypto.ConvertFile"});
    EXPECT_EQ(writer.Wait(), 0);
    EXPECT_EQ(viewer->ReadLine(), "Before try");
    EXPECT_EQ(viewer->ReadLine(), "In try");
    EXPECT_EQ(viewer->ReadLine(), "Before \tcrypto.ConvertFile") << "flushed at once, tab kept";

    std::string out;
    EXPECT_EQ(qbtest::Run(qbtest::Tool("qbdebugview"), &out), 1) << "one listener at a time";
    EXPECT_NE(out.find("another listener runs"), std::string::npos) << out;

    viewer->Kill();  // a crash leaves its socket file behind
    ASSERT_TRUE(std::filesystem::exists(sys::DebugChannelPath()));
    auto next = sys::DebugListener::Open();
    ASSERT_NE(next, nullptr) << "the stale socket is taken over";
    OutputDebugStringA("after the crash");
    EXPECT_EQ(next->Receive(5000), "after the crash");
    next.reset();
    EXPECT_FALSE(std::filesystem::exists(sys::DebugChannelPath()))
        << "a listener removes its socket";
}

TEST_F(DebugChannelTest, QbdebugviewEndsAfterCountTextsAndCleansUp) {
    auto viewer = StartViewer({"--count", "2"});
    OutputDebugStringA("one");
    OutputDebugStringA("two");
    EXPECT_EQ(viewer->ReadAll(), "one\ntwo\n");
    EXPECT_EQ(viewer->Wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(sys::DebugChannelPath()));
}

}  // namespace
