// Serves res://<module path>/<id> URLs: the HTML resources of a module (the blank
// page of the main window is HTML resource 146 of the program).
//
// The resources themselves belong to whoever holds the module's resource table; the
// handler asks a provider for the bytes. Every resource is served as text/html.
//
// Thread: UI thread; the provider is called there.
#pragma once

#include <QWebEngineUrlSchemeHandler>
#include <functional>
#include <optional>
#include <string>

namespace browser {

// The bytes of HTML resource `id` of the module at `modulePath` (as it appears in the
// URL, e.g. what GetModuleFileNameA gave), or nullopt when there is no such resource.
using ResourceProvider =
    std::function<std::optional<std::string>(const std::string& modulePath, int id)>;

// Sets the provider for every browser of the process (replacing the last one; an
// empty function serves nothing).
void SetResourceProvider(ResourceProvider provider);

class ResourceSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT

  public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

}  // namespace browser
