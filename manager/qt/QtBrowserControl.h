// Control 1002 of the main window on Qt WebEngine: the template makes this widget,
// and the browser::WebBrowser inside it is made when the dialog binds the control
// (DDX_Control, in OnInitDialog). By then the window site has given the dialog its
// final window type; a WebEngine view made earlier would not survive that change.
// The pages of the installation's Resources folder (install folder + "/Resources/",
// read when the WebBrowser is made) get the object bridge to the server's objects.
//
// Ownership: a widget of the dialog; it owns its WebBrowser.
// Thread: the UI thread.
#pragma once

#include <QWidget>

#include "BrowserControl.h"
#include "browser/WebBrowser.h"

class QtBrowserControl : public QWidget, public CBrowserControl {
    Q_OBJECT

  public:
    explicit QtBrowserControl(QWidget* parent);

    // Makes the WebBrowser, with the object bridge on, if it does not exist yet.
    void Create();
    browser::WebBrowser* Browser() const { return browser_; }

    void Navigate(const std::string& url) override;
    void SetDocumentCompleteHandler(DocumentCompleteHandler handler) override;

  private:
    browser::WebBrowser* browser_ = nullptr;
};
