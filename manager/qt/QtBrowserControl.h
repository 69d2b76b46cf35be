// The browser control of the main window on Qt WebEngine: browser::WebBrowser seen
// through CBrowserControl.
//
// Ownership: a child of the WebBrowser widget, so it goes with the widget; it does
// not own the widget. Thread: the UI thread.
#pragma once

#include <QObject>
#include <QPointer>

#include "BrowserControl.h"
#include "browser/WebBrowser.h"

class QtBrowserControl : public QObject, public CBrowserControl {
  public:
    explicit QtBrowserControl(browser::WebBrowser* widget);

    void Navigate(const std::string& url) override;
    void SetDocumentCompleteHandler(DocumentCompleteHandler handler) override;

    browser::WebBrowser* Widget() const { return widget_; }

  private:
    QPointer<browser::WebBrowser> widget_;
};
