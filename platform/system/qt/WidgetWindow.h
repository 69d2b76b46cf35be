// A Qt top-level widget registered as a window that other processes find by its
// caption (FindWindowA) and send messages to (SendMessageA, PostMessageA,
// SetForegroundWindow). Messages run in Qt's event loop through the message pump.
//
// The window procedure handles what it wants and hands everything else to
// DefaultProc, which does what Windows does by default for a top-level window.
//
// Ownership: the object is a child of the widget and unregisters the caption when it
// is destroyed (with the widget, at the latest). The widget must outlive nothing of
// ours: messages that arrive after it is gone are refused.
// Thread: UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>

#include "system/Window.h"

namespace sysqt {

class WidgetWindow : public QObject {
    Q_OBJECT

  public:
    // Registers caption for widget and starts the message pump. proc may call
    // DefaultProc. IsValid() is false when the registration failed.
    WidgetWindow(QWidget* widget, const std::string& caption, WindowProc proc);
    ~WidgetWindow() override;

    HWND Handle() const { return handle_; }
    bool IsValid() const { return handle_ != nullptr; }

    // Default processing: WM_SYSCOMMAND SC_RESTORE shows the widget normally and
    // brings it to the front; SC_MINIMIZE and SC_MAXIMIZE do what they say; SC_CLOSE
    // sends WM_CLOSE to the window procedure; WM_CLOSE closes the widget. Every other
    // message is answered with 0.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Brings the widget to the front (what SetForegroundWindow asks for).
    void Raise();

  private:
    QPointer<QWidget> widget_;
    HWND handle_ = nullptr;
};

}  // namespace sysqt
