#include "browser/BrowserUrls.h"

#include <QUrl>
#include <charconv>

#include "text/CodePage.h"

namespace browser {

QString ToQString(const std::string& text) {
    return QString::fromStdU16String(text::ToWide(text));
}

std::string FromQString(const QString& text) {
    return text::ToNarrow(text.toStdU16String());
}

std::string PagesUrl(const std::string& installFolder) {
    std::string url = "file:///" + installFolder;
    std::string escaped;
    escaped.reserve(url.size() + 16);
    for (const char c : url) {
        if (c == ' ') {
            escaped += "%20";
        } else if (c == '\\') {
            escaped += '/';
        } else {
            escaped += c;
        }
    }
    return escaped + "/Resources" + "/frameset.htm";
}

std::string ResourceUrl(const std::string& modulePath, int id) {
    return "res://" + modulePath + "/" + std::to_string(id);
}

bool ParseResourceUrl(const QUrl& url, std::string& modulePath, int& id) {
    if (!url.isValid() || url.scheme() != QLatin1String("res")) {
        return false;
    }
    // "res:///opt/app/Quenby/146" has an empty host; a module path without a leading
    // slash reaches us as host + path.
    const QString full = url.host(QUrl::FullyDecoded) + url.path(QUrl::FullyDecoded);
    const qsizetype slash = full.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0) {
        return false;
    }
    const std::string digits = full.mid(slash + 1).toStdString();  // ASCII when valid
    const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || last != digits.data() + digits.size() || digits.empty() || id < 0) {
        return false;
    }
    modulePath = FromQString(full.left(slash));
    return true;
}

}  // namespace browser
