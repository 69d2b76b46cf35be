// A dialog template as a QDialog: the Qt backend's live dialog window.
//
// The dialog has the template's client size, fixed, and each control the template's
// place, converted from dialog units with the metrics of the dialog's font (see
// DialogMetrics.h). Labels carry their & mnemonic to the next tab stop after them,
// password edits are masked, the template's default button is the default, the tab
// order is the template's order. Escape sends IDCANCEL, the close box WM_CLOSE, and
// Enter presses the focused push button, else the default button (nothing when it
// is disabled), else sends IDOK, as on the platform the templates come from.
//
// Lifetime: Run() attaches the dialog to its client, runs the client's
// initialisation, then QDialog::exec until the client ends it, and detaches again.
// The object can also be built without running it (tests measure the layout).
// Thread: the GUI thread; a QApplication must exist.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/qt/DialogMetrics.h"

namespace ui::qt {

// Creates the widget of a custom control class (such as the browser) in `parent`.
using ControlFactory = std::function<QWidget*(QWidget* parent, const ControlTemplate& control)>;
using ControlFactories = std::map<std::string, ControlFactory>;

class QtDialog : public QDialog, public DialogWindow {
  public:
    QtDialog(const DialogTemplate& dialogTemplate, DialogClient& client,
             const ControlFactories& factories = {});
    ~QtDialog() override;

    int Run();

    // DialogWindow
    bool HasItem(int id) const override { return Control(id) != nullptr; }
    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    bool IsItemEnabled(int id) const override;
    void EnableItem(int id, bool enable) override;
    void SetSel(int id, int start, int end) override;
    void SetFocus(int id) override;
    int GetFocus() const override;
    void End(int result) override;
    void* NativeItem(int id) const override { return Control(id); }

    // The widget of control `id` (null for IDC_STATIC or an unknown id); the widgets
    // of all controls, in template order.
    QWidget* Control(int id) const;
    const std::vector<QWidget*>& Widgets() const { return widgets_; }
    const DialogTemplate& dialogTemplate() const { return template_; }
    const DialogUnits& units() const { return units_; }
    bool ended() const { return ended_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;
    void accept() override;

  private:
    QWidget* MakeControl(const ControlTemplate& control, const ControlFactories& factories);
    void ConnectNotifications(QWidget* widget, const ControlTemplate& control);
    void SetLabelText(std::size_t index, const std::string& text);
    QWidget* BuddyAfter(std::size_t index) const;
    int IdOf(const QWidget* widget) const;
    int FirstTabStop() const;

    const DialogTemplate& template_;
    DialogClient& client_;
    DialogUnits units_;
    std::vector<QWidget*> widgets_;  // parallel to template_.controls
    bool building_ = true;
    bool running_ = false;
    bool ended_ = false;
    int result_ = 0;
    int pendingFocus_ = 0;
};

}  // namespace ui::qt
