// Qt helpers for tests that need an application object and its event loop.
// Header-only, so that qbtestsupport itself links no Qt.
//
// Thread: the test's main thread.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace qbtest {

// The process's QApplication, made on first use with the offscreen platform (unless
// QT_QPA_PLATFORM says otherwise); prepare runs first, before it exists. It lives
// until the process ends.
inline QApplication& QtApp(const std::function<void()>& prepare = {}) {
    static QApplication* app = [&prepare] {
        static int argc = 1;
        static char name[] = "quenby-test";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (prepare) {
            prepare();
        }
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Runs the event loop until done() holds; false when it still does not after a
// generous 30 s (a hang shows as a failure, not as a stuck test).
template <typename Done>
bool RunEventsUntil(Done done) {
    QTimer tick;  // wakes the loop now and then to look at done()
    tick.start(10);
    for (int i = 0; i < 3000 && !done(); ++i) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

// Where a test saves a screenshot for a person to look at: <build>/screenshots/name.
inline std::string ScreenshotPath(const std::string& name) {
    const char* bin = std::getenv("QUENBY_TEST_BIN");
    const std::filesystem::path folder =
        std::filesystem::path(bin != nullptr ? bin : ".").parent_path() / "screenshots";
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

}  // namespace qbtest
