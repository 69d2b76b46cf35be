// Reports every completed document of a page, the top document and each frame, as
// the WebBrowser control's DocumentComplete event. Internal to qbbrowser.
//
// How: two scripts run in every document of the page, in an isolated script world
// the page's own scripts cannot reach:
// - in a frame, the window's `load` event posts {key: token, url, top: false} to the
//   top window;
// - in the top window, a capture listener registered before any page script takes
//   those messages (and stops them, so the page never sees them), and the `load`
//   event posts the top document's own report the same way, behind the frames'
//   reports. Each report then goes to the C++ side over Qt WebChannel (its transport
//   exists only in the top window, hence the relay), through the page's shared channel
//   client (ChannelClient.h), with the id of the top document it belongs to.
// A frame finishes before its parent, so the order is the frames first, the top
// document last, as the control reports them. The token is random per page: a page
// script that posts a look-alike message cannot fake an event.
//
// Thread: UI thread.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWebEnginePage;

namespace browser {

class DocumentCompleteReporter : public QObject {
    Q_OBJECT

  public:
    // documentId: the top document the report belongs to (see ChannelClient.h).
    using Sink = std::function<void(const QString& url, bool topLevel, const QString& documentId)>;

    // Installs the scripts and the WebChannel object on page; reports go to sink.
    DocumentCompleteReporter(QWebEnginePage* page, Sink sink);

    // The name under which the reporter is registered on the page's web channel.
    static constexpr const char* kChannelName = "quenbyDocuments";

  public slots:
    // Called by the top window's script.
    void documentComplete(const QString& token, const QString& url, bool topLevel,
                          const QString& documentId);

  private:
    QString token_;
    Sink sink_;
};

}  // namespace browser
