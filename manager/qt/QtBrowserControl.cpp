#include "QtBrowserControl.h"

#include <QVBoxLayout>

QtBrowserControl::QtBrowserControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void QtBrowserControl::Create() {
    if (browser_ != nullptr) {
        return;
    }
    browser_ = new browser::WebBrowser(this);
    layout()->addWidget(browser_);
    setFocusProxy(browser_);
}

void QtBrowserControl::Navigate(const std::string& url) {
    if (browser_ != nullptr) {
        browser_->Navigate(url);
    }
}

void QtBrowserControl::SetDocumentCompleteHandler(DocumentCompleteHandler handler) {
    if (browser_ == nullptr) {
        return;
    }
    if (!handler) {
        browser_->SetDocumentCompleteHandler({});
        return;
    }
    browser_->SetDocumentCompleteHandler(
        [handler = std::move(handler)](const browser::DocumentCompleteEvent& event) {
            handler(event.url, event.topLevel);
        });
}
