#include "StoreFiles.h"

#include <memory>

#include "Crypto.h"
#include "EncipheredFile.h"
#include "InstallFolder.h"
#include "SafeReplace.h"
#include "StoreArchive.h"
#include "files/Archive.h"
#include "files/File.h"
#include "files/FileSystem.h"
#include "text/CaseCompare.h"

namespace store {
namespace {

void WriteArchive(CFile& file, const std::string& path, const EntryMap& entries) {
    CFileException error(CFileException::none, 0, path);
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &error)) {
        throw error;
    }
    CArchive ar(&file, CArchive::store);
    WriteStoreArchive(ar, entries);
    ar.Close();
    file.Close();
}

void ReadArchive(CFile& file, EntryMap& entries) {
    CArchive ar(&file, CArchive::load);
    ReadStoreArchive(ar, entries);
    ar.Close();
    file.Close();
}

}  // namespace

std::string DataFolder() {
    std::string folder;
    GetInstallFolder(folder);
    return folder + "/Data";
}

bool IsIdentityType(std::string_view fileType) {
    return text::EqualsNoCase(fileType, "identity");
}

std::string StorePathFor(std::string_view fileType) {
    return DataFolder() + (IsIdentityType(fileType) ? "/QbIDStorage.cfg" : "/QbPASStorage.cfg");
}

std::string ImportStorePath() {
    return DataFolder() + "/QbIDStorageImport.cfg";
}

bool LoadStore(const std::string& store, EntryMap& entries) {
    CEncipheredFile file;
    if (!file.Open(store, CFile::modeRead)) {
        return false;
    }
    ReadArchive(file, entries);
    return true;
}

void SaveStore(const std::string& store, const EntryMap& entries) {
    const DWORD attributes = GetFileAttributesA(store.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw CryptException("Error opening Destination file!\n");
    }
    std::unique_ptr<SafeReplace> replace;
    try {
        replace = std::make_unique<SafeReplace>(store);
    } catch (const CFileException&) {
        throw CryptException("Error opening Destination file!\n");
    }
    CEncipheredFile file;
    WriteArchive(file, replace->TempPath(), entries);
    replace->Commit();
}

void WriteArchiveFile(const std::string& path, const EntryMap& entries) {
    CFile file;
    WriteArchive(file, path, entries);
}

void MergeArchiveFile(const std::string& path, EntryMap& entries) {
    CFile file;
    CFileException error(CFileException::none, 0, path);
    if (!file.Open(path, CFile::modeRead, &error)) {
        throw error;
    }
    ReadArchive(file, entries);
}

}  // namespace store
