#include "system/qt/MessagePump.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <exception>
#include <iostream>

#include "system/Window.h"

namespace sysqt {
namespace {

QPointer<QSocketNotifier> g_notifier;

void DispatchWaiting() {
    // Qt cannot carry an exception through its event loop; a failing window
    // procedure is reported and the loop goes on with the next message.
    try {
        sys::DispatchWindowMessages();
    } catch (const std::exception& e) {
        std::cerr << "window message failed: " << e.what() << std::endl;
    } catch (...) {
        std::cerr << "window message failed" << std::endl;
    }
}

}  // namespace

bool StartMessagePump() {
    if (g_notifier != nullptr) {
        return true;
    }
    const int fd = sys::WindowMessageDescriptor();
    if (fd < 0 || QCoreApplication::instance() == nullptr) {
        return false;
    }
    g_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(g_notifier.data(), &QSocketNotifier::activated, g_notifier.data(),
                     [] { DispatchWaiting(); });
    // Messages that arrived before the pump started are run at the first turn.
    QMetaObject::invokeMethod(
        g_notifier.data(), [] { DispatchWaiting(); }, Qt::QueuedConnection);
    return true;
}

}  // namespace sysqt
