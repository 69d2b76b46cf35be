// qbscript FILE.js [ARGS]: runs a script that creates the server's objects through the
// registry and calls them, as the manager's pages do (see ScriptHost.h for what a
// script finds). For people who script bulk work, and for tests.
//
// With a display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM set), the objects'
// dialogs and message boxes are shown with Qt. Without one, or with --headless, every
// message box takes its default button and every dialog is cancelled, each noted on
// stderr, so a script never waits for a user who is not there.
//
// Exit status: that of the script (ScriptHost::Run), or 2 for a wrong command line.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ScriptHost.h"
#include "com/Runtime.h"
#include "ui/Backend.h"
#include "ui/qt/QtBackend.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int Usage() {
    std::fputs(
        "usage: qbscript [--headless] FILE.js [ARGS...]\n"
        "Runs FILE.js; new ActiveXObject(\"QBStorage.Passcards\") creates an object through\n"
        "the registry, WScript.Echo prints a line, WScript.Arguments holds ARGS.\n",
        stderr);
    return 2;
}

int RunScript(const QString& script, const QStringList& arguments) {
    if (FAILED(CoInitialize(nullptr))) {
        std::fputs("qbscript: the object runtime does not start\n", stderr);
        return 1;
    }
    int status = 0;
    {
        ScriptHost host(script, arguments);
        status = host.Run();
    }
    CoUninitialize();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    bool headless = false;
    if (first < argc && std::strcmp(argv[first], "--headless") == 0) {
        headless = true;
        ++first;
    }
    if (first >= argc || argv[first][0] == '-') {
        return Usage();
    }
    // Qt sees only the program's name: the rest belongs to the script.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QStringList arguments;
    for (int i = first + 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const QString script = QString::fromLocal8Bit(argv[first]);
    if (!headless && HasDisplay()) {
        QApplication app(qtArgc, qtArgv);
        ui::qt::QtBackend backend;
        ui::ScopedBackend installed(backend);
        return RunScript(script, arguments);
    }
    QCoreApplication app(qtArgc, qtArgv);
    return RunScript(script, arguments);
}
