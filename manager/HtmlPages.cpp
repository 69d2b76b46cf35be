// The pages of the user interface: enciphered in the install folder's Resources
// folder, deciphered beside it for the length of a run.
//
//   row  enciphered  deciphered
//    1   mn.tfl      main.htm
//    2   tp.tfl      top.htm
//    3   dn.tfl      down.htm
//    4   fs.tfl      frameset.htm   (the page the main window loads)
#include <sys/stat.h>

#include <array>
#include <string>

#include "Crypto.h"
#include "InstallFolder.h"
#include "QuenbyApp.h"
#include "files/FileSystem.h"
#include "system/DebugChannel.h"

namespace {

struct Page {
    const char* source;
    const char* target;
};
constexpr std::array<Page, 4> kPages{{
    {"mn.tfl", "main.htm"},
    {"tp.tfl", "top.htm"},
    {"dn.tfl", "down.htm"},
    {"fs.tfl", "frameset.htm"},
}};

// The fixed piece between the install folder and a page's name.
constexpr const char* kPageFolder = "/Resources/";

// A page left by an earlier run may have been made with looser rights; it is made
// private before the deciphered text goes into it (a new one is made 0600).
void KeepPrivate(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        (info.st_mode & 07777) != (S_IRUSR | S_IWUSR)) {
        ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
    }
}

}  // namespace

void CQuenbyApp::DeCryptHTMLPages() {
    std::string folder;
    GetInstallFolder(folder);
    OutputDebugStringA("In DeCryptHTMLPages");
    CCrypto crypto;
    for (const Page& page : kPages) {
        const std::string source = folder + kPageFolder + page.source;
        const std::string target = folder + kPageFolder + page.target;
        OutputDebugStringA("Before \tcrypto.ConvertFile");
        KeepPrivate(target);
        crypto.ConvertFile(source, target);
        OutputDebugStringA("After \tcrypto.ConvertFile");
    }
}

void CQuenbyApp::DeleteHTMLPages() {
    std::string folder;
    GetInstallFolder(folder);
    for (const Page& page : kPages) {
        DeleteFileA((folder + kPageFolder + page.target).c_str());
    }
}
