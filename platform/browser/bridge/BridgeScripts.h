// The scripts of the object bridge, injected into every document of a page at its
// creation, before the page's own scripts:
//   - js/page.js in the page's own world: ActiveXObject, <object classid> elements and
//     promises for members (only in documents of the pages folder);
//   - js/agent.js in the isolated world: the agent of each document and, in the top
//     window, the hub that talks to the ObjectBridge over the web channel.
// The agent needs the page's channel client (ChannelClient.h), which WebBrowser
// installs first.
//
// Thread: UI thread.
#pragma once

#include <QString>

#include "browser/bridge/PageFolder.h"

class QWebEnginePage;

namespace browser {

// Installs the scripts on page, replacing those of an earlier call. token: the secret
// the ObjectBridge expects; documents created from now on get them.
void InstallBridgeScripts(QWebEnginePage* page, const QString& token, const PageFolder& folder);

// A script source with each "%NAME%" replaced by the JSON string literal of its value,
// in one pass (a value that contains "%OTHER%" stays as it is). Exposed for tests.
QString FillScript(const QString& source, const QList<std::pair<QString, QString>>& values);

}  // namespace browser
