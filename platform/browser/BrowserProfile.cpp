#include "browser/BrowserProfile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineProfile>

#include "browser/ResourceSchemeHandler.h"

namespace browser {

QWebEngineProfile* Profile() {
    static QPointer<QWebEngineProfile> profile;
    if (profile == nullptr) {
        profile = new QWebEngineProfile(QCoreApplication::instance());
        profile->installUrlSchemeHandler("res", new ResourceSchemeHandler(profile));
    }
    return profile;
}

}  // namespace browser
