#include "browser/bridge/PageDocuments.h"

#include <utility>

namespace browser {

void PageDocuments::AttachTop(const QString& document, const QString& url) {
    TopIs(document);
    if (documents_.count(document) == 0) {
        documents_[document] = Document{url, folder_.Contains(url), {}};
    }
}

void PageDocuments::AttachFrame(const QString& document, const QString& url) {
    if (document == top_ || documents_.size() >= kMaxDocuments || documents_.count(document) != 0) {
        return;
    }
    const bool topAllowed = MayUseObjects(top_);
    documents_[document] = Document{url, topAllowed && folder_.Contains(url), {}};
}

void PageDocuments::TopIs(const QString& document) {
    if (document != top_) {
        ReleaseAll();
        top_ = document;
    }
}

void PageDocuments::Detach(const QString& document) {
    if (document == top_) {
        ReleaseAll();
        return;
    }
    const auto found = documents_.find(document);
    if (found != documents_.end()) {
        // Out of the table first: releasing may come back here.
        Document gone = std::move(found->second);
        documents_.erase(found);
    }
}

void PageDocuments::ReleaseAll() {
    std::map<QString, Document> gone;
    gone.swap(documents_);
    gone.clear();
}

bool PageDocuments::MayUseObjects(const QString& document) const {
    const auto found = documents_.find(document);
    return found != documents_.end() && found->second.allowed;
}

QString PageDocuments::Add(const QString& document, int handle, Entry entry) {
    const auto found = documents_.find(document);
    if (found == documents_.end() || !found->second.allowed) {
        return QStringLiteral("This page may not use the server's objects.");
    }
    auto& objects = found->second.objects;
    if (objects.count(handle) != 0) {
        return QStringLiteral("The page already has an object with this handle.");
    }
    if (objects.size() >= kMaxObjects) {
        return QStringLiteral("The page holds too many objects.");
    }
    objects.emplace(handle, std::move(entry));
    return {};
}

const PageDocuments::Entry* PageDocuments::Find(const QString& document, int handle) const {
    const auto found = documents_.find(document);
    if (found == documents_.end()) {
        return nullptr;
    }
    const auto object = found->second.objects.find(handle);
    return object == found->second.objects.end() ? nullptr : &object->second;
}

void PageDocuments::Release(const QString& document, int handle) {
    const auto found = documents_.find(document);
    if (found == documents_.end()) {
        return;
    }
    const auto object = found->second.objects.find(handle);
    if (object != found->second.objects.end()) {
        Entry gone = std::move(object->second);
        found->second.objects.erase(object);
    }
}

std::size_t PageDocuments::ObjectCount() const {
    std::size_t count = 0;
    for (const auto& [id, document] : documents_) {
        for (const auto& [handle, entry] : document.objects) {
            count += entry.object ? 1 : 0;
        }
    }
    return count;
}

}  // namespace browser
