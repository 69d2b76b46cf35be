// One dialog attached by QtWindowSite as a top-level window: its registration by
// caption (sysqt::WidgetWindow), its system menu and its key and paint hooks.
//
// Ownership: a child of the dialog's widget; QtWindowSite::DetachWindow deletes it
// earlier. Thread: the GUI thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "Menu.h"
#include "system/qt/WidgetWindow.h"
#include "ui/qt/PainterDeviceContext.h"

// The paint context of an attached window: the GDI-style calls of a painter, and
// the painter itself for icons.
class WindowPaintContext : public ui::qt::PainterDeviceContext {
  public:
    explicit WindowPaintContext(QPainter& p) : PainterDeviceContext(p), painter(p) {}
    QPainter& painter;
};

class QtMainWindow : public QObject {
    Q_OBJECT

  public:
    QtMainWindow(QWidget* widget, const std::string& caption, WindowProc proc,
                 WindowAbilities abilities);
    ~QtMainWindow() override;

    HWND Handle() const { return window_->Handle(); }
    QWidget* Widget() const { return widget_; }
    MENU& SystemMenu() { return menu_; }

    // Default processing of a message the window procedure passed on.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The context of the paint now under way, made on first request; null outside a
    // paint of the window.
    HDC PaintContext();

    // Shows the system menu at the window's top left corner and sends the chosen
    // entry's command.
    void ShowSystemMenu();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A message of our own goes straight to the window procedure (as a send from
    // the window's thread does), also when the caption could not be registered.
    LRESULT Call(UINT message, WPARAM wParam, LPARAM lParam);
    bool Paint();

    WindowProc proc_;
    QPointer<QWidget> widget_;
    sysqt::WidgetWindow* window_;
    MENU menu_;
    WindowAbilities abilities_;
    bool painting_ = false;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<WindowPaintContext> dc_;
};
