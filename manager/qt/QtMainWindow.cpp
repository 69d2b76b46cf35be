#include "QtMainWindow.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QShortcut>
#include <QWindow>

#include "WindowSite.h"
#include "ui/Resources.h"
#include "ui/qt/QtIcons.h"
#include "ui/qt/QtText.h"

QtMainWindow::QtMainWindow(QWidget* widget, const std::string& caption, WindowProc proc,
                           WindowAbilities abilities)
    : QObject(widget),
      proc_(proc),
      widget_(widget),
      window_(new sysqt::WidgetWindow(widget, caption, std::move(proc))),
      menu_(StandardSystemMenu()),
      abilities_(abilities) {
    widget->installEventFilter(this);
    // The window manager may keep Alt+Space for its own menu; where it does not, the
    // key opens ours, wherever the focus is in the window.
    auto* keyMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), widget);
    keyMenu->setContext(Qt::WindowShortcut);
    connect(keyMenu, &QShortcut::activated, this, [this] { Call(WM_SYSCOMMAND, SC_KEYMENU, ' '); });
}

QtMainWindow::~QtMainWindow() {
    if (widget_ != nullptr) {
        widget_->removeEventFilter(this);
    }
    delete window_;  // unregisters the caption
}

LRESULT QtMainWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (widget_ == nullptr) {
        return 0;
    }
    if (message == WM_SETICON) {
        if (const auto* icon = reinterpret_cast<const ui::IconResource*>(lParam)) {
            widget_->setWindowIcon(ui::qt::ToQIcon(*icon));
        }
        return 0;
    }
    if (message == WM_SYSCOMMAND) {
        switch (wParam & 0xFFF0) {
            case SC_KEYMENU:
                ShowSystemMenu();
                return 0;
            case SC_MOVE:
                if (QWindow* handle = widget_->windowHandle()) {
                    handle->startSystemMove();
                }
                return 0;
            default:
                break;
        }
    }
    return window_->DefaultProc(message, wParam, lParam);
}

void QtMainWindow::ShowSystemMenu() {
    if (widget_ == nullptr) {
        return;
    }
    WindowAbilities now = abilities_;
    now.minimized = widget_->isMinimized();
    QMenu menu(widget_);
    for (const MenuItem& item : menu_.items) {
        if (item.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(ui::qt::ToQString(item.text));
        action->setData(QVariant::fromValue(static_cast<qulonglong>(item.id)));
        action->setEnabled(IsMenuItemEnabled(item, now));
    }
    QAction* chosen = menu.exec(widget_->mapToGlobal(QPoint(0, 0)));
    if (chosen != nullptr) {
        Call(WM_SYSCOMMAND, static_cast<WPARAM>(chosen->data().toULongLong()), 0);
    }
}

LRESULT QtMainWindow::Call(UINT message, WPARAM wParam, LPARAM lParam) {
    return proc_(Handle(), message, wParam, lParam);
}

HDC QtMainWindow::PaintContext() {
    if (!painting_ || widget_ == nullptr) {
        return nullptr;
    }
    if (painter_ == nullptr) {
        painter_ = std::make_unique<QPainter>(widget_.data());
        dc_ = std::make_unique<WindowPaintContext>(*painter_);
    }
    return dc_.get();
}

bool QtMainWindow::Paint() {
    painting_ = true;
    Call(WM_PAINT, 0, 0);
    painting_ = false;
    const bool painted = painter_ != nullptr;
    dc_.reset();
    painter_.reset();
    return painted;  // the window procedure painted; nothing else is drawn over it
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            // Reaches the window only when the page did not use it.
            const int key = static_cast<QKeyEvent*>(event)->key();
            return key == Qt::Key_Return || key == Qt::Key_Enter;
        }
        case QEvent::Paint:
            return Paint();
        default:
            return false;
    }
}
