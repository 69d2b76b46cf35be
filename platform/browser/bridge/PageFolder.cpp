#include "browser/bridge/PageFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "browser/BrowserUrls.h"

namespace browser {
namespace {

bool Inside(const QString& path, const QString& folder) {
    return path.size() > folder.size() && path.startsWith(folder);
}

}  // namespace

PageFolder::PageFolder(const std::string& folder) {
    const QString path = ToQString(folder);
    if (path.startsWith(u'/')) {
        path_ = QDir::cleanPath(path);
        if (!path_.endsWith(u'/')) {
            path_ += u'/';
        }
        if (path_ == QLatin1String("/")) {
            path_.clear();  // the root would admit every file of the machine
        }
    }
}

bool PageFolder::Contains(const QString& url) const {
    if (path_.isEmpty()) {
        return false;
    }
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("file") || !parsed.host().isEmpty()) {
        return false;
    }
    const QString local = parsed.toLocalFile();
    if (!local.startsWith(u'/') || local.contains(QChar(u'\0'))) {
        return false;
    }
    const QString cleaned = QDir::cleanPath(local);
    if (!Inside(cleaned, path_)) {
        return false;
    }
    // Links: the file itself and the folder as they really are on disk.
    const QString real = QFileInfo(cleaned).canonicalFilePath();
    QString realFolder = QFileInfo(path_).canonicalFilePath();
    if (real.isEmpty() || realFolder.isEmpty()) {
        return false;
    }
    if (!realFolder.endsWith(u'/')) {
        realFolder += u'/';
    }
    return Inside(real, realFolder) && QFileInfo(real).isFile();
}

}  // namespace browser
