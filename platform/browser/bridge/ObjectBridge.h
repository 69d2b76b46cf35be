// The C++ end of the object bridge: page scripts create the server's objects and call
// their members through it.
//
// The page scripts (BridgeScripts.h) send each request as one JSON message (see
// BridgeRequest.h) with the page's secret token to post(); the bridge answers requests
// that carry a request number through the reply signal:
//   {"doc": <id>, "req": <n>, "ok": true, "value": <result, absent for undefined>}
//     (for a create request the value is {"invisible": <the class is invisible at run
//     time>})
//   {"doc": <id>, "req": <n>, "ok": false,
//    "error": {"message": <text>, "number": <HRESULT>, "source": <text, optional>}}
// Messages with another token are ignored; malformed messages are refused (with a
// reply when they name a document and a request number validly).
//
// Requests are served one at a time, in the order they arrive. A member that runs a
// nested message loop (a dialog, a message box) may let further requests arrive; they
// wait until it returns, as a script engine would be blocked in the call. The bridge
// may be destroyed during such a call: it then stops at once.
//
// Which documents may use objects, and when objects are released: PageDocuments.h.
// The bridge keeps the object runtime initialised on its thread while it lives, and
// releases every object it holds when it is destroyed.
//
// Ownership: a QObject (its parent owns it). Thread: the UI thread only; the objects
// live on it (apartment model).
#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <memory>

#include "browser/bridge/PageDocuments.h"

namespace browser {

class ObjectBridge : public QObject {
    Q_OBJECT

  public:
    // The name under which the bridge is registered on the page's web channel.
    static constexpr const char* kChannelName = "quenbyObjects";
    // Requests waiting beyond this many are refused.
    static constexpr std::size_t kMaxQueued = 4096;

    ObjectBridge(const QString& token, PageFolder folder, QObject* parent = nullptr);
    ~ObjectBridge() override;

    void SetFolder(PageFolder folder);
    // The load of top document `documentId` completed: the objects of every other
    // document that is not one of its frames go.
    void TopDocumentCompleted(const QString& documentId);

    // Live objects held for the page (tests).
    std::size_t ObjectCount() const { return documents_.ObjectCount(); }
    // Requests that arrived while another one was being served and wait (tests).
    std::size_t QueuedCount() const { return queue_.size(); }

  public slots:
    void post(const QString& token, const QString& message);

  signals:
    void reply(const QString& message);

  private:
    void Serve(const QString& message);
    void Create(const BridgeRequest& request);
    void Invoke(const BridgeRequest& request);
    void Answer(const QString& document, qint64 id, const CallOutcome& outcome);
    void Refuse(const QString& document, qint64 id, const QString& message);

    QString token_;
    PageDocuments documents_;
    std::deque<QString> queue_;
    bool busy_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool ownsApartment_ = false;
};

}  // namespace browser
