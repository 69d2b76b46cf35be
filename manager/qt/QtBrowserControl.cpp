#include "QtBrowserControl.h"

#include <QVBoxLayout>
#include <string>

#include "InstallFolder.h"

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
    // The deciphered pages in the installation's Resources folder script the server's
    // objects; no other page may. Set before the first page loads.
    std::string installFolder;
    GetInstallFolder(installFolder);
    browser_->EnableObjectBridge(installFolder + "/Resources/");
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
