// Test helper for the Qt backend: plays the user while a modal dialog runs.
//
// Steps are queued before the code under test opens its dialog; each step waits
// until its condition holds (for example "dialog 145 is the active modal window"),
// then acts with real key and mouse events (QTest). The robot polls from a timer,
// which fires inside every modal loop. A step that waits longer than the safety
// limit fails the test and ends every open dialog and box, so a broken test ends
// instead of hanging.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "ui/qt/QtDialog.h"

namespace qbtest {

class QtUiRobot {
  public:
    QtUiRobot();
    ~QtUiRobot();

    // When the active modal window is the dialog of `templateId`, shown and active.
    void OnDialog(int templateId, std::function<void(ui::qt::QtDialog&)> act);
    // When the active modal window is a message box.
    void OnMessageBox(std::function<void(QMessageBox&)> act);
    // When the active modal window is of type T.
    template <typename T>
    void OnModal(std::function<void(T&)> act) {
        Then([] { return ActiveModal<T>() != nullptr; }, [act] { act(*ActiveModal<T>()); });
    }
    void Then(std::function<bool()> ready, std::function<void()> act);

    bool Done() const { return steps_.empty(); }

    template <typename T>
    static T* ActiveModal();

  private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void Poll();
    void Abandon();

    std::deque<Step> steps_;
    QTimer timer_;
    int waited_ = 0;
};

// Key and mouse input where the user would put it: on the focused widget.
void TypeText(const QString& text);
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Click(QWidget* widget);

// Saves `window` as <build>/tests/ui/screenshots/<name>.png, inside a plain window
// frame with its caption, as a desktop would show it. Returns the path.
std::string SaveScreenshot(QWidget& window, const std::string& name);

}  // namespace qbtest

template <typename T>
T* qbtest::QtUiRobot::ActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* typed = dynamic_cast<T*>(modal);
    if (typed == nullptr || !modal->isVisible()) {
        return nullptr;
    }
    if (!modal->isActiveWindow()) {
        // The offscreen platform does not give the focus back to a window when the box
        // above it closes; a window manager would. Ask, and look again at the next poll.
        modal->activateWindow();
        return nullptr;
    }
    return typed;
}
