#include "browser/DocumentCompleteReporter.h"

#include "browser/ChannelClient.h"

#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace browser {
namespace {

constexpr auto kWorld = QWebEngineScript::ApplicationWorld;

// Runs in every frame that is not the top window: reports the frame's load upwards.
const char* const kFrameScript = R"JS(
(function () {
    if (window === window.top) return;
    window.addEventListener('load', function () {
        window.top.postMessage({quenbyDocumentComplete: '%TOKEN%', url: location.href,
                                top: false}, '*');
    });
})();
)JS";

// Runs in the top window after the channel client: collects the reports and sends them
// on, each with the id of the top document it belongs to.
const char* const kTopScript = R"JS(
(function () {
    if (window !== window.top) return;
    var token = '%TOKEN%', sink = null, waiting = [];
    var documentId = quenbyChannel.documentId;
    function send(report) {
        if (sink) sink.documentComplete(token, report.url, report.top, documentId);
        else waiting.push(report);
    }
    quenbyChannel(function (channel) {
        sink = channel.objects['%NAME%'];
        waiting.forEach(send);
        waiting = [];
    });
    window.addEventListener('message', function (event) {
        var data = event.data;
        if (data && typeof data === 'object' && data.quenbyDocumentComplete === token) {
            event.stopImmediatePropagation();
            send({url: String(data.url), top: data.top === true});
        }
    }, true);
    window.addEventListener('load', function () {
        window.postMessage({quenbyDocumentComplete: token, url: location.href, top: true}, '*');
    });
})();
)JS";

QWebEngineScript MakeScript(const QString& name, const QString& source, bool subFrames) {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(kWorld);
    script.setRunsOnSubFrames(subFrames);
    return script;
}

}  // namespace

DocumentCompleteReporter::DocumentCompleteReporter(QWebEnginePage* page, Sink sink)
    : QObject(page), token_(RandomToken()), sink_(std::move(sink)) {
    auto fill = [this](const char* text) {
        return QString::fromLatin1(text)
            .replace(QLatin1String("%TOKEN%"), token_)
            .replace(QLatin1String("%NAME%"), QLatin1String(kChannelName));
    };
    page->scripts().insert(MakeScript(QStringLiteral("quenby-document-complete-top"),
                                      ChannelClientScript() + fill(kTopScript), false));
    page->scripts().insert(
        MakeScript(QStringLiteral("quenby-document-complete-frame"), fill(kFrameScript), true));
    auto* channel = page->webChannel() != nullptr ? page->webChannel() : new QWebChannel(page);
    channel->registerObject(QLatin1String(kChannelName), this);
    page->setWebChannel(channel, kWorld);
}

void DocumentCompleteReporter::documentComplete(const QString& token, const QString& url,
                                                bool topLevel, const QString& documentId) {
    if (token == token_ && sink_) {
        sink_(url, topLevel, documentId);
    }
}

}  // namespace browser
