// Export and import of the identity store: CQBIdentityList::Export and Import.
//
// The exchanged file is the enciphered identity store itself and must be named
// "QbIDStorage.cfg" wherever the user keeps it. Export copies the store out unchanged.
// Import makes the chosen file the store when there is none, and otherwise merges it:
// the union of the list, the store and the file, the file's version of an identity
// winning. The merge happens in memory; the store is replaced once, whole, and only
// after the chosen file has been read without fault, so a broken file changes nothing
// on disk. No plaintext and no temporary file is left in the data folder.
#include <filesystem>
#include <string>
#include <system_error>

#include "QBIdentityList.h"
#include "StoreCopy.h"
#include "StoreFiles.h"
#include "files/FileSystem.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

namespace {

constexpr const char* kIdentityFileName = "QbIDStorage.cfg";
constexpr const char* kFilter = "Database Files (*.cfg)|*.CFG||";
constexpr DWORD kExportFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD kImportFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

constexpr const char* kWrongName = "Please Save the Identity file as QbIDStorage.cfg";
constexpr const char* kExported = "Identity databse Exported Successfully";
constexpr const char* kNothingToImport =
    "The selected location does not contains the file to be imported";
constexpr const char* kImported = "Identity databse Imported Successfully";
constexpr const char* kNothingToExport = "There is no Identity database to export yet.";
constexpr const char* kExportOntoStore =
    "The Identity database cannot be exported onto itself. Please choose another location.";

void Tell(const char* text) {
    MessageBoxA(nullptr, text, store::kMessageCaption, MB_OK);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// One save dialog for the identity file; false when it is not closed with OK.
bool AskForFile(DWORD flags, std::string& path) {
    CFileDialog dialog(FALSE, nullptr, kIdentityFileName, flags, kFilter);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    path = dialog.GetPathName();
    return true;
}

// Until the chosen name is exactly QbIDStorage.cfg (letter case included), says so and
// asks again. False when the user cancels instead: the operation then ends quietly.
bool InsistOnIdentityFileName(DWORD flags, std::string& path) {
    while (ui::FileNameOf(path) != kIdentityFileName) {
        Tell(kWrongName);
        if (!AskForFile(flags, path)) {
            return false;
        }
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

void CQBIdentityList::Export() {
    std::string path;
    if (!AskForFile(kExportFlags, path) || !InsistOnIdentityFileName(kExportFlags, path)) {
        return;
    }
    const std::string storePath = store::StorePathFor("identity");
    if (!IsFile(storePath)) {
        Tell(kNothingToExport);
        return;
    }
    // Copying the store onto itself would destroy it.
    if (SameFile(path, storePath)) {
        Tell(kExportOntoStore);
        return;
    }
    if (store::CopyStoreFile(storePath, path)) {
        Tell(kExported);
    }
}

void CQBIdentityList::Import() {
    std::string path;
    if (!AskForFile(kImportFlags, path)) {
        return;
    }
    if (!IsFile(path)) {
        Tell(kNothingToImport);
        return;
    }
    if (!InsistOnIdentityFileName(kImportFlags, path)) {
        return;
    }
    // A path chosen again inside the loop is checked as the first one was.
    if (!IsFile(path)) {
        Tell(kNothingToImport);
        return;
    }
    const std::string storePath = store::StorePathFor("identity");
    if (!IsFile(storePath)) {
        // No store yet: the chosen file becomes the store, unchanged; the list waits
        // for its next load.
        if (store::CopyStoreFile(path, storePath)) {
            Tell(kImported);
        }
        return;
    }
    MergeImport(path, storePath);
    Tell(kImported);
}

void CQBIdentityList::MergeImport(const std::string& path, const std::string& storePath) {
    // Read the chosen file once on its own first: a malformed or unreadable file throws
    // here, before the list or the store changes.
    EntryMap probe;
    if (!store::LoadStore(path, probe)) {
        throw CFileException(CFileException::fileNotFound, 0, path);
    }
    store::LoadStore(storePath, m_entries);
    m_pPending.reset();
    // In the file's own order, so that the store comes out as a merge of the file into
    // the list always does.
    if (!store::LoadStore(path, m_entries)) {
        throw CFileException(CFileException::fileNotFound, 0, path);
    }
    SetFileAttributesA(storePath.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    store::SaveStore(storePath, m_entries);
}
