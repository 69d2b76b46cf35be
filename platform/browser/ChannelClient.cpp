#include "browser/ChannelClient.h"

#include <QFile>
#include <QRandomGenerator>

namespace browser {
namespace {

const char* const kClientScript = R"JS(
(function () {
    if (window !== window.top || self.quenbyChannel) return;
    var channel = null, waiting = [];
    var bytes = new Uint8Array(16);
    crypto.getRandomValues(bytes);
    function whenReady(callback) {
        if (channel) callback(channel);
        else waiting.push(callback);
    }
    whenReady.documentId = Array.prototype.map.call(bytes, function (b) {
        return (b + 256).toString(16).slice(1);
    }).join('');
    self.quenbyChannel = whenReady;
    new QWebChannel(qt.webChannelTransport, function (ready) {
        channel = ready;
        waiting.splice(0).forEach(function (callback) { callback(ready); });
    });
})();
)JS";

QString WebChannelLibrary() {
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

QString ChannelClientScript() {
    return WebChannelLibrary() + QString::fromLatin1(kClientScript);
}

QString RandomToken() {
    QString token;
    for (int i = 0; i < 4; ++i) {
        token +=
            QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
    }
    return token;
}

}  // namespace browser
