#include "browser/bridge/BridgeScripts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "browser/bridge/ObjectBridge.h"

namespace browser {
namespace {

const char* const kPageScriptName = "quenby-bridge-page";
const char* const kAgentScriptName = "quenby-bridge-agent";

QString Resource(const char* name) {
    QFile file(QLatin1String(":/quenby/bridge/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString JsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));  // without the brackets
}

void Replace(QWebEngineScriptCollection& scripts, const char* name, const QString& source,
             quint32 world) {
    for (const QWebEngineScript& old : scripts.find(QLatin1String(name))) {
        scripts.remove(old);
    }
    QWebEngineScript script;
    script.setName(QLatin1String(name));
    script.setSourceCode(source);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(true);
    scripts.insert(script);
}

}  // namespace

QString FillScript(const QString& source, const QList<std::pair<QString, QString>>& values) {
    static const QRegularExpression kPlaceholder(QStringLiteral("%([A-Z]+)%"));
    QString filled;
    qsizetype done = 0;
    for (auto it = kPlaceholder.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        for (const auto& [name, value] : values) {
            if (match.captured(1) == name) {
                filled += source.mid(done, match.capturedStart() - done) + JsonString(value);
                done = match.capturedEnd();
                break;
            }
        }
    }
    return filled + source.mid(done);
}

void InstallBridgeScripts(QWebEnginePage* page, const QString& token, const PageFolder& folder) {
    const QList<std::pair<QString, QString>> values{
        {QStringLiteral("TOKEN"), token},
        {QStringLiteral("FOLDER"), folder.Path()},
        {QStringLiteral("CHANNEL"), QLatin1String(ObjectBridge::kChannelName)}};
    QWebEngineScriptCollection& scripts = page->scripts();
    Replace(scripts, kPageScriptName, FillScript(Resource("page.js"), values),
            QWebEngineScript::MainWorld);
    Replace(scripts, kAgentScriptName, FillScript(Resource("agent.js"), values),
            QWebEngineScript::ApplicationWorld);
}

}  // namespace browser
