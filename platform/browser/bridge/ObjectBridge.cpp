#include "browser/bridge/ObjectBridge.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "com/Runtime.h"

namespace browser {
namespace {

constexpr HRESULT kRefused = E_ACCESSDENIED;

// A second reference to an object, for the length of one call: the page may release
// the object (or leave) while the call runs a nested message loop.
com::ComPtr<IDispatch> Hold(IDispatch* object) {
    com::ComPtr<IDispatch> held;
    object->AddRef();
    *held.Receive() = object;
    return held;
}

}  // namespace

ObjectBridge::ObjectBridge(const QString& token, PageFolder folder, QObject* parent)
    : QObject(parent), token_(token), documents_(std::move(folder)) {
    ownsApartment_ = SUCCEEDED(CoInitialize(nullptr));
}

ObjectBridge::~ObjectBridge() {
    *alive_ = false;
    documents_.ReleaseAll();
    if (ownsApartment_) {
        CoUninitialize();
    }
}

void ObjectBridge::SetFolder(PageFolder folder) {
    documents_.SetFolder(std::move(folder));
}

void ObjectBridge::TopDocumentCompleted(const QString& documentId) {
    documents_.TopIs(documentId);
}

void ObjectBridge::post(const QString& token, const QString& message) {
    if (!*alive_ || token != token_) {
        return;
    }
    if (queue_.size() >= kMaxQueued) {
        const ParsedRequest parsed = ParseRequest(message);
        Refuse(parsed.document, parsed.id, QStringLiteral("Too many calls are waiting."));
        return;
    }
    queue_.push_back(message);
    if (busy_) {
        return;  // served when the call in progress returns
    }
    busy_ = true;
    const std::shared_ptr<bool> alive = alive_;
    while (!queue_.empty()) {
        const QString next = std::move(queue_.front());
        queue_.pop_front();
        Serve(next);
        if (!*alive) {
            return;  // destroyed by something the call did
        }
    }
    busy_ = false;
}

void ObjectBridge::Serve(const QString& message) {
    const ParsedRequest parsed = ParseRequest(message);
    if (!parsed.request) {
        Refuse(parsed.document, parsed.id,
               QLatin1String("The bridge refused a malformed request: ") + parsed.problem + u'.');
        return;
    }
    const BridgeRequest& request = *parsed.request;
    switch (request.op) {
        case RequestOp::Attach:
            if (request.top) {
                documents_.AttachTop(request.document, request.url);
            } else {
                documents_.AttachFrame(request.document, request.url);
            }
            return;
        case RequestOp::Detach:
            documents_.Detach(request.document);
            return;
        case RequestOp::Create:
            Create(request);
            return;
        case RequestOp::Invoke:
            Invoke(request);
            return;
        case RequestOp::Release:
            documents_.Release(request.document, request.handle);
            return;
    }
}

void ObjectBridge::Create(const BridgeRequest& request) {
    if (!documents_.MayUseObjects(request.document)) {
        Refuse(request.document, request.id,
               QStringLiteral("This page may not use the server's objects."));
        return;
    }
    if (documents_.Find(request.document, request.handle) != nullptr) {
        Refuse(request.document, request.id,
               QStringLiteral("The page already has an object with this handle."));
        return;
    }
    const std::shared_ptr<bool> alive = alive_;
    CallOutcome outcome;
    PageDocuments::Entry entry;
    bool invisible = false;
    outcome.ok = CreateForPage(request, &entry.object, &invisible, &entry.failure);
    if (!*alive) {
        return;
    }
    outcome.error = entry.failure;
    outcome.present = outcome.ok;
    outcome.value = QJsonObject{{QLatin1String("invisible"), invisible}};
    // A failed creation is kept too: calls on the handle then say why it failed.
    const QString problem = documents_.Add(request.document, request.handle, std::move(entry));
    if (!problem.isEmpty()) {
        Refuse(request.document, request.id, problem);
        return;
    }
    Answer(request.document, request.id, outcome);
}

void ObjectBridge::Invoke(const BridgeRequest& request) {
    if (!documents_.MayUseObjects(request.document)) {
        Refuse(request.document, request.id,
               QStringLiteral("This page may not use the server's objects."));
        return;
    }
    const PageDocuments::Entry* entry = documents_.Find(request.document, request.handle);
    if (entry == nullptr) {
        Refuse(request.document, request.id,
               QStringLiteral("The object does not exist (it was released or never created)."));
        return;
    }
    if (!entry->object) {
        Answer(request.document, request.id, CallOutcome{false, {}, false, entry->failure, {}});
        return;
    }
    const com::ComPtr<IDispatch> object = Hold(entry->object.get());
    const std::shared_ptr<bool> alive = alive_;
    const CallOutcome outcome =
        CallForPage(object.get(), request.member, request.access, request.args);
    if (!*alive) {
        return;
    }
    Answer(request.document, request.id, outcome);
}

void ObjectBridge::Answer(const QString& document, qint64 id, const CallOutcome& outcome) {
    if (id == 0) {
        return;
    }
    QJsonObject message{{QLatin1String("doc"), document},
                        {QLatin1String("req"), static_cast<double>(id)},
                        {QLatin1String("ok"), outcome.ok}};
    if (outcome.ok) {
        if (outcome.present) {
            message.insert(QLatin1String("value"), outcome.value);
        }
        if (!outcome.references.isEmpty()) {
            message.insert(QLatin1String("refs"), outcome.references);
        }
    } else {
        QJsonObject error{{QLatin1String("message"), outcome.error.message},
                          {QLatin1String("number"), outcome.error.number}};
        if (!outcome.error.source.isEmpty()) {
            error.insert(QLatin1String("source"), outcome.error.source);
        }
        message.insert(QLatin1String("error"), error);
    }
    emit reply(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void ObjectBridge::Refuse(const QString& document, qint64 id, const QString& message) {
    if (document.isEmpty()) {
        return;
    }
    CallOutcome outcome;
    outcome.error = BridgeError{message, static_cast<qint32>(kRefused), QString()};
    Answer(document, id, outcome);
}

}  // namespace browser
