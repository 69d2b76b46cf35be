// The two kinds of URL the main window navigates to.
//
// Thread: any.
#pragma once

#include <string>

class QString;
class QUrl;

namespace browser {

// 8-bit text in the process's code page to and from Qt's strings.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

// The URL of the deciphered pages: "file:///" + the install folder with every ' '
// replaced by "%20" and every '\' by '/', then "/Resources" and "/frameset.htm".
// Nothing else is escaped or changed: "/opt/my app" gives
// "file:////opt/my%20app/Resources/frameset.htm" (the doubled slash is harmless), an
// empty folder "file:////Resources/frameset.htm".
std::string PagesUrl(const std::string& installFolder);

// "res://<module path>/<id>", the module path unchanged (blanks and all).
std::string ResourceUrl(const std::string& modulePath, int id);

// The module path and resource id of a res: URL (the last path segment is the id, a
// decimal number; everything before it the percent-decoded module path). False for
// anything else.
bool ParseResourceUrl(const QUrl& url, std::string& modulePath, int& id);

}  // namespace browser
