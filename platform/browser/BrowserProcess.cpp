#include "browser/BrowserProcess.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QWebEngineUrlScheme>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace browser {

std::optional<int> DevToolsPortFrom(const char* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    const char* end = value + std::strlen(value);
    int port = 0;
    const auto [last, error] = std::from_chars(value, end, port);
    if (error != std::errc() || last != end || last == value || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

void PrepareBrowserProcess() {
    // res://<module path>/<id>: the path is not a host, so the scheme has path syntax.
    // It is local: only the program and local pages may load it, never a web page.
    QWebEngineUrlScheme scheme("res");
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    if (::geteuid() == 0 && std::getenv("QTWEBENGINE_DISABLE_SANDBOX") == nullptr) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }

    const char* port = std::getenv("QUENBY_DEVTOOLS_PORT");
    if (port != nullptr && *port != '\0') {
        if (const auto number = DevToolsPortFrom(port)) {
            const std::string address = "127.0.0.1:" + std::to_string(*number);
            ::setenv("QTWEBENGINE_REMOTE_DEBUGGING", address.c_str(), 1);
        } else {
            std::cerr << "QUENBY_DEVTOOLS_PORT=" << port
                      << " is not a port number (1 to 65535); DevTools stay off" << std::endl;
        }
    }
}

}  // namespace browser
