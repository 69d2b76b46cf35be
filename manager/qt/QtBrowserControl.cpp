#include "QtBrowserControl.h"

QtBrowserControl::QtBrowserControl(browser::WebBrowser* widget)
    : QObject(widget), widget_(widget) {}

void QtBrowserControl::Navigate(const std::string& url) {
    if (widget_ != nullptr) {
        widget_->Navigate(url);
    }
}

void QtBrowserControl::SetDocumentCompleteHandler(DocumentCompleteHandler handler) {
    if (widget_ == nullptr) {
        return;
    }
    if (!handler) {
        widget_->SetDocumentCompleteHandler({});
        return;
    }
    widget_->SetDocumentCompleteHandler(
        [handler = std::move(handler)](const browser::DocumentCompleteEvent& event) {
            handler(event.url, event.topLevel);
        });
}
