#include "QtWindowSite.h"

#include <QPainter>

#include "ProgramResources.h"
#include "QtBrowserControl.h"
#include "QtMainWindow.h"
#include "ui/Dialog.h"
#include "ui/Resources.h"
#include "ui/qt/QtIcons.h"

namespace {

constexpr int kIconSize = 32;

// The top-level widget of a running dialog, found through any of its controls.
QWidget* DialogWidget(CDialog& dialog, const ui::DialogTemplate& dialogTemplate) {
    for (const ui::ControlTemplate& control : dialogTemplate.controls) {
        if (control.id == IDC_STATIC) {
            continue;
        }
        if (auto* widget = static_cast<QWidget*>(dialog.GetDlgItem(control.id).NativeHandle())) {
            return widget->window();
        }
    }
    return nullptr;
}

}  // namespace

QtWindowSite::QtWindowSite(ui::qt::QtBackend& backend) : backend_(backend) {}

QtWindowSite::~QtWindowSite() {
    for (const auto& [handle, window] : windows_) {
        delete window;
    }
}

void QtWindowSite::EnableControlContainer() {
    backend_.RegisterControlClass(kBrowserControlClass,
                                  [](QWidget* parent, const ui::ControlTemplate&) -> QWidget* {
                                      return new QtBrowserControl(parent);
                                  });
}

CBrowserControl* QtWindowSite::BrowserOf(CDialog& dialog, int id) {
    auto* control = qobject_cast<QtBrowserControl*>(
        static_cast<QWidget*>(dialog.GetDlgItem(id).NativeHandle()));
    if (control == nullptr) {
        return nullptr;
    }
    control->Create();
    return control;
}

HWND QtWindowSite::AttachWindow(CDialog& dialog, const std::string& caption, WindowProc proc) {
    const ui::DialogTemplate* dialogTemplate =
        ui::FindDialogTemplate(static_cast<int>(dialog.GetTemplateId()));
    QWidget* widget = dialogTemplate != nullptr ? DialogWidget(dialog, *dialogTemplate) : nullptr;
    if (widget == nullptr) {
        return nullptr;
    }
    if ((dialogTemplate->exStyle & WS_EX_APPWINDOW) != 0 && !widget->isVisible()) {
        // A window of its own with a taskbar entry, not a dialog of some other window.
        widget->setWindowFlags((widget->windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
    }
    WindowAbilities abilities;
    abilities.minimizeBox = (dialogTemplate->style & WS_MINIMIZEBOX) != 0;
    auto* window = new QtMainWindow(widget, caption, std::move(proc), abilities);
    if (window->Handle() == nullptr) {
        delete window;
        return nullptr;
    }
    windows_[window->Handle()] = window;
    QObject::connect(window, &QObject::destroyed,
                     [this, handle = window->Handle()] { windows_.erase(handle); });
    return window->Handle();
}

void QtWindowSite::DetachWindow(HWND window) {
    if (QtMainWindow* found = Find(window)) {
        delete found;  // its destroyed() signal takes it off the list
    }
}

QtMainWindow* QtWindowSite::Find(HWND window) const {
    const auto found = windows_.find(window);
    return found != windows_.end() ? found->second : nullptr;
}

LRESULT QtWindowSite::DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QtMainWindow* found = Find(window);
    return found != nullptr ? found->DefaultProc(message, wParam, lParam) : 0;
}

HMENU QtWindowSite::GetSystemMenu(HWND window) {
    QtMainWindow* found = Find(window);
    return found != nullptr ? &found->SystemMenu() : nullptr;
}

BOOL QtWindowSite::IsIconic(HWND window) {
    QtMainWindow* found = Find(window);
    return found != nullptr && found->Widget() != nullptr && found->Widget()->isMinimized();
}

BOOL QtWindowSite::GetClientRect(HWND window, RECT* rect) {
    QtMainWindow* found = Find(window);
    if (found == nullptr || found->Widget() == nullptr) {
        return FALSE;
    }
    *rect = RECT{0, 0, found->Widget()->width(), found->Widget()->height()};
    return TRUE;
}

int QtWindowSite::GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? kIconSize : 0;
}

HDC QtWindowSite::BeginPaint(HWND window) {
    QtMainWindow* found = Find(window);
    return found != nullptr ? found->PaintContext() : nullptr;
}

void QtWindowSite::EndPaint(HWND, HDC) {}

BOOL QtWindowSite::DrawIcon(HDC dc, int x, int y, HICON icon) {
    auto* context = dynamic_cast<WindowPaintContext*>(dc);
    if (context == nullptr) {
        return FALSE;
    }
    const QPixmap pixmap = ui::qt::IconPixmap(*icon, kIconSize);
    if (pixmap.isNull()) {
        return FALSE;
    }
    context->painter.drawPixmap(x, y, pixmap);
    return TRUE;
}
