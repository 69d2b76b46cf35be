// The one folder whose pages may use the server's objects: the installation's
// Resources folder, where the program puts its deciphered pages.
//
// A page belongs to the folder when its URL is a file: URL without a host whose path,
// with "." and ".." segments and doubled slashes resolved, lies inside the folder, and
// the file it names exists and, with symbolic links resolved, still lies inside the
// folder (with its links resolved). Anything else (web pages, files elsewhere, data:,
// about:, res:) does not belong to it.
//
// Thread: any; the object is immutable.
#pragma once

#include <QString>
#include <string>

namespace browser {

class PageFolder {
  public:
    PageFolder() = default;  // a folder no page belongs to
    // folder: an absolute path in the process's code page ("", "/" or a relative path
    // admits no page).
    explicit PageFolder(const std::string& folder);

    bool Contains(const QString& url) const;

    // The folder as a clean absolute path ending in '/', or "" when it admits nothing.
    // Page scripts compare their own decoded path against it.
    const QString& Path() const { return path_; }

  private:
    QString path_;
};

}  // namespace browser
