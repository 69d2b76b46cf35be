// The browser control: a widget that shows web pages with Qt WebEngine, with the two
// things the main window uses of it: Navigate(url), and a DocumentComplete event
// for every completed document, the top document and each of its frames (frames
// first, the top document last).
//
// URLs are 8-bit text in the process's code page. file: URLs as PagesUrl builds them
// and res://<module path>/<id> (served by the process's resource provider, see
// ResourceSchemeHandler.h) are what the program uses; anything WebEngine loads works.
// A document that fails to load is replaced by an error page, whose completion is
// reported with the URL that failed.
//
// The process must have called PrepareBrowserProcess() before creating its
// QApplication. All controls share one off-the-record profile: nothing is written to
// disk.
//
// Ownership: a QWidget; its parent owns it. It owns its page and view.
// Thread: UI thread only.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QWebChannel;
class QWebEnginePage;
class QWebEngineView;

namespace browser {

class ObjectBridge;

struct DocumentCompleteEvent {
    std::string url;        // the document's URL
    bool topLevel = false;  // the top document (false: a frame)
};

class WebBrowser : public QWidget {
    Q_OBJECT

  public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // Starts loading url and returns at once; the outcome is not reported here.
    void Navigate(const std::string& url);

    // Called for every completed document. Replaces the previous handler.
    void SetDocumentCompleteHandler(std::function<void(const DocumentCompleteEvent&)> handler);

    // The URL of the top document shown now (or being loaded).
    std::string LocationUrl() const;

    // Lets the pages inside allowedFolder (an absolute path in the process's code page:
    // the installation's Resources folder, install folder + "/Resources/") create and
    // script the server's objects: ActiveXObject, <object classid="clsid:...">, members
    // answering with promises (bridge/ObjectBridge.h, bridge/js/page.js). Documents
    // elsewhere get nothing. Documents created from now on get the bridge; a later call
    // changes the folder for documents attached after it. Objects a document created
    // are released when it goes (a new top document, a frame navigated away, this
    // control destroyed). The objects live on this thread; the bridge keeps the object
    // runtime initialised on it while the control lives.
    void EnableObjectBridge(const std::string& allowedFolder);
    // The bridge, or null before EnableObjectBridge.
    ObjectBridge* Bridge() const { return bridge_; }

    QWebEngineView* View() const { return view_; }
    QWebEnginePage* Page() const { return page_; }
    // The page's web channel. Objects registered here are reachable from scripts in
    // the isolated ApplicationWorld of the top window, not from the pages' own
    // scripts; the names "quenbyDocuments" and "quenbyObjects" are taken.
    QWebChannel* Channel() const;

  private:
    void Report(const QString& url, bool topLevel, const QString& documentId);

    QWebEngineView* view_ = nullptr;
    QWebEnginePage* page_ = nullptr;
    ObjectBridge* bridge_ = nullptr;
    QString bridgeToken_;
    std::function<void(const DocumentCompleteEvent&)> handler_;
};

}  // namespace browser
