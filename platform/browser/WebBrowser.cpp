#include "browser/WebBrowser.h"

#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "browser/BrowserProfile.h"
#include "browser/BrowserUrls.h"
#include "browser/ChannelClient.h"
#include "browser/DocumentCompleteReporter.h"
#include "browser/bridge/BridgeScripts.h"
#include "browser/bridge/ObjectBridge.h"

namespace browser {

WebBrowser::WebBrowser(QWidget* parent) : QWidget(parent) {
    view_ = new QWebEngineView(this);
    page_ = new QWebEnginePage(Profile(), this);
    new DocumentCompleteReporter(page_, [this](const QString& url, bool topLevel,
                                               const QString& id) { Report(url, topLevel, id); });
    view_->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_);
    setFocusProxy(view_);
}

WebBrowser::~WebBrowser() {
    // The pages' objects go first, while everything they might reach still exists.
    delete bridge_;
    bridge_ = nullptr;
    // The view lets go of the page, then the page goes; both before the profile.
    delete view_;
    delete page_;
}

void WebBrowser::Navigate(const std::string& url) {
    page_->load(QUrl(ToQString(url), QUrl::TolerantMode));
}

void WebBrowser::SetDocumentCompleteHandler(
    std::function<void(const DocumentCompleteEvent&)> handler) {
    handler_ = std::move(handler);
}

std::string WebBrowser::LocationUrl() const {
    return FromQString(page_->url().toString(QUrl::FullyEncoded));
}

void WebBrowser::EnableObjectBridge(const std::string& allowedFolder) {
    const PageFolder folder(allowedFolder);
    if (bridge_ == nullptr) {
        bridgeToken_ = RandomToken();
        bridge_ = new ObjectBridge(bridgeToken_, folder, page_);
        page_->webChannel()->registerObject(QLatin1String(ObjectBridge::kChannelName), bridge_);
    } else {
        bridge_->SetFolder(folder);
    }
    InstallBridgeScripts(page_, bridgeToken_, folder);
}

QWebChannel* WebBrowser::Channel() const {
    return page_->webChannel();
}

void WebBrowser::Report(const QString& url, bool topLevel, const QString& documentId) {
    if (topLevel && bridge_ != nullptr) {
        // The objects of the documents this one replaced go before anyone hears of it.
        bridge_->TopDocumentCompleted(documentId);
    }
    DocumentCompleteEvent event;
    // An error page stands in for the document that failed; name that one.
    event.url = FromQString(url.startsWith(QLatin1String("chrome-error:")) && topLevel
                                ? page_->url().toString(QUrl::FullyEncoded)
                                : url);
    event.topLevel = topLevel;
    if (handler_) {
        auto handler = handler_;  // the handler may replace itself or end the dialog
        handler(event);
    }
}

}  // namespace browser
