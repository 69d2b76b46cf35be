// The documents of one browser page that use the object bridge, and the objects each
// of them created. Internal to the bridge.
//
// Rules:
// - A page has one top document at a time. When another top document appears (it
//   attaches, or its load completes), every object of the previous top document and of
//   all its frames is released: those documents are gone.
// - A frame may use objects only while the top document may: a page outside the
//   folder cannot reach the server by framing one inside it.
// - A document that goes (detaches) takes its objects with it; when the top document
//   goes, everything goes.
// - Objects are numbered by the page (handles); a handle is unique within its document
//   and means nothing in any other. A document holds at most kMaxObjects objects (live
//   or failed); a page at most kMaxDocuments documents.
//
// Releasing may run code of the objects' module, which may in turn reach the bridge
// again; the tables are consistent whenever an object is released.
// Thread: the UI thread (the objects' apartment).
#pragma once

#include <QString>
#include <cstddef>
#include <map>

#include "browser/bridge/BridgeCall.h"
#include "browser/bridge/PageFolder.h"

namespace browser {

class PageDocuments {
  public:
    static constexpr std::size_t kMaxObjects = 1024;
    static constexpr std::size_t kMaxDocuments = 64;

    // One object of a document: live, or the reason its creation failed (calls on it
    // are refused with that reason).
    struct Entry {
        com::ComPtr<IDispatch> object;
        BridgeError failure;
    };

    explicit PageDocuments(PageFolder folder) : folder_(std::move(folder)) {}
    ~PageDocuments() { ReleaseAll(); }
    PageDocuments(const PageDocuments&) = delete;
    PageDocuments& operator=(const PageDocuments&) = delete;

    // Documents attached from now on are checked against folder.
    void SetFolder(PageFolder folder) { folder_ = std::move(folder); }

    void AttachTop(const QString& document, const QString& url);
    // Ignored when the page already holds kMaxDocuments documents or the id is the
    // top document's.
    void AttachFrame(const QString& document, const QString& url);
    // The top document is now `document` (its load completed).
    void TopIs(const QString& document);
    void Detach(const QString& document);
    void ReleaseAll();

    // True when the document is attached and may use objects.
    bool MayUseObjects(const QString& document) const;

    // Stores an object (or a failed creation) under a handle the document does not use
    // yet. "" on success, else why not.
    QString Add(const QString& document, int handle, Entry entry);
    // The entry of a handle, or null. Valid until the tables next change.
    const Entry* Find(const QString& document, int handle) const;
    void Release(const QString& document, int handle);

    std::size_t ObjectCount() const;

  private:
    struct Document {
        QString url;
        bool allowed = false;
        std::map<int, Entry> objects;
    };

    PageFolder folder_;
    QString top_;
    std::map<QString, Document> documents_;
};

}  // namespace browser
