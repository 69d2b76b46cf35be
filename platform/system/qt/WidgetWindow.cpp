#include "system/qt/WidgetWindow.h"

#include "system/qt/MessagePump.h"

namespace sysqt {

WidgetWindow::WidgetWindow(QWidget* widget, const std::string& caption, WindowProc proc)
    : QObject(widget), widget_(widget) {
    QPointer<WidgetWindow> self(this);
    handle_ = CreateTopLevelWindow(
        caption.c_str(),
        [self, proc = std::move(proc)](HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) -> LRESULT {
            return self != nullptr && self->widget_ != nullptr
                       ? proc(window, message, wParam, lParam)
                       : 0;
        },
        [self] {
            if (self != nullptr) {
                self->Raise();
            }
        });
    if (handle_ != nullptr) {
        StartMessagePump();
    }
}

WidgetWindow::~WidgetWindow() {
    if (handle_ != nullptr) {
        DestroyWindow(handle_);
    }
}

LRESULT WidgetWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (widget_ == nullptr) {
        return 0;
    }
    if (message == WM_CLOSE) {
        widget_->close();
        return 0;
    }
    if (message != WM_SYSCOMMAND) {
        return 0;
    }
    switch (wParam & 0xFFF0) {
        case SC_RESTORE:
            widget_->setWindowState(widget_->windowState() &
                                    ~(Qt::WindowMinimized | Qt::WindowMaximized));
            widget_->show();
            Raise();
            break;
        case SC_MINIMIZE:
            widget_->showMinimized();
            break;
        case SC_MAXIMIZE:
            widget_->showMaximized();
            break;
        case SC_CLOSE:
            SendMessageA(handle_, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
    return 0;
}

void WidgetWindow::Raise() {
    if (widget_ == nullptr) {
        return;
    }
    widget_->raise();
    widget_->activateWindow();
}

}  // namespace sysqt
