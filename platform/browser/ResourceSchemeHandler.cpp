#include "browser/ResourceSchemeHandler.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>

#include "browser/BrowserUrls.h"

namespace browser {
namespace {

ResourceProvider& Provider() {
    static ResourceProvider provider;
    return provider;
}

}  // namespace

void SetResourceProvider(ResourceProvider provider) {
    Provider() = std::move(provider);
}

void ResourceSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    if (job->requestMethod() != QByteArrayLiteral("GET")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    std::string modulePath;
    int id = 0;
    if (!ParseResourceUrl(job->requestUrl(), modulePath, id)) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    const std::optional<std::string> bytes =
        Provider() ? Provider()(modulePath, id) : std::optional<std::string>();
    if (!bytes) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* body = new QBuffer(job);  // the job owns the reply's device
    body->setData(bytes->data(), static_cast<qsizetype>(bytes->size()));
    body->open(QIODevice::ReadOnly);
    job->reply(QByteArrayLiteral("text/html"), body);
}

}  // namespace browser
