// The Qt glue: window messages from other processes run inside Qt's event loop, in
// the outer loop and inside modal dialogs, and the default processing acts on the
// widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "ChildProcess.h"
#include "QtTestApp.h"
#include "TestEnvironment.h"
#include "system/qt/MessagePump.h"
#include "system/qt/WidgetWindow.h"

namespace {

constexpr const char* kCaption = "Welcome to Quenby";

class QtWindowTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        // Qt wants a private session folder, as a real session has.
        std::filesystem::permissions(Path("run"), std::filesystem::perms::owner_all);
        qbtest::QtApp();
    }

    // Starts qbsend with the given arguments; it waits for our answer meanwhile.
    static std::unique_ptr<qbtest::ChildProcess> Qbsend(const std::vector<std::string>& args) {
        return std::make_unique<qbtest::ChildProcess>(qbtest::Tool("qbsend"), args);
    }
};

TEST_F(QtWindowTest, AMessageFromAnotherProcessRunsWhileAModalDialogIsOpen) {
    QWidget main;
    main.show();
    QDialog dialog(&main);
    std::vector<UINT> seen;
    sysqt::WidgetWindow* window = nullptr;
    window = new sysqt::WidgetWindow(&main, kCaption, [&](HWND, UINT message, WPARAM w, LPARAM l) {
        seen.push_back(message);
        if (message == WM_USER + 5) {
            dialog.done(7);
            return LRESULT{99};
        }
        return window->DefaultProc(message, w, l);
    });
    ASSERT_TRUE(window->IsValid());
    EXPECT_EQ(FindWindowA(nullptr, kCaption), window->Handle());

    auto sender = Qbsend({kCaption, "0x405"});
    EXPECT_EQ(dialog.exec(), 7) << "the message reached us inside exec() and ended it";
    EXPECT_EQ(sender->ReadAll(), "99\n");
    EXPECT_EQ(sender->Wait(), 0);
    EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 5});
}

TEST_F(QtWindowTest, DefaultProcessingRestoresRaisesAndCloses) {
    QWidget main;
    QWidget other;
    main.show();
    other.show();
    std::vector<UINT> seen;
    sysqt::WidgetWindow* window = nullptr;
    window = new sysqt::WidgetWindow(&main, kCaption, [&](HWND, UINT message, WPARAM w, LPARAM l) {
        seen.push_back(message);
        return window->DefaultProc(message, w, l);
    });

    main.showMinimized();
    ASSERT_TRUE(main.isMinimized());
    auto restore = Qbsend({kCaption, "0x112", "0xF120"});
    ASSERT_TRUE(qbtest::RunEventsUntil([&] { return !seen.empty(); }));
    EXPECT_EQ(restore->Wait(), 0);
    EXPECT_FALSE(main.isMinimized()) << "SC_RESTORE shows the window normally again";
    EXPECT_TRUE(main.isVisible());

    other.activateWindow();
    ASSERT_TRUE(qbtest::RunEventsUntil([&] { return QApplication::activeWindow() == &other; }));
    EXPECT_TRUE(SetForegroundWindow(window->Handle()));
    EXPECT_TRUE(qbtest::RunEventsUntil([&] { return QApplication::activeWindow() == &main; }))
        << "SetForegroundWindow brings the window to the front";

    auto close = Qbsend({kCaption, "0x112", "0xF060"});
    ASSERT_TRUE(qbtest::RunEventsUntil([&] { return !main.isVisible(); }));
    EXPECT_EQ(close->Wait(), 0);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_SYSCOMMAND, WM_SYSCOMMAND, WM_CLOSE}))
        << "SC_CLOSE goes through WM_CLOSE, which the procedure sees first";
}

TEST_F(QtWindowTest, TheCaptionGoesAwayWithTheWidget) {
    auto main = std::make_unique<QWidget>();
    auto* window = new sysqt::WidgetWindow(main.get(), kCaption,
                                           [](HWND, UINT, WPARAM, LPARAM) { return LRESULT{0}; });
    const HWND handle = window->Handle();
    EXPECT_EQ(FindWindowA(nullptr, kCaption), handle);
    main.reset();
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(sysqt::StartMessagePump()) << "the pump stays for later windows";
}

}  // namespace
