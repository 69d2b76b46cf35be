#include "StoreFiles.h"

#include "Crypto.h"
#include "InstallFolder.h"
#include "SafeReplace.h"
#include "StoreArchive.h"
#include "files/Archive.h"
#include "files/File.h"
#include "files/FileSystem.h"
#include "text/CaseCompare.h"

namespace store {

std::string DataFolder() {
    std::string folder;
    GetInstallFolder(folder);
    return folder + "/Data";
}

bool IsIdentityType(std::string_view fileType) {
    return text::EqualsNoCase(fileType, "identity");
}

StorePair PairFor(std::string_view fileType) {
    const std::string data = DataFolder();
    if (IsIdentityType(fileType)) {
        return {data + "/QbIDStorage.cfg", data + "/IDStore.dat"};
    }
    return {data + "/QbPASStorage.cfg", data + "/PASSStore.dat"};
}

StorePair ImportPair() {
    const std::string data = DataFolder();
    return {data + "/QbIDStorageImport.cfg", data + "/IDStoreImport.dat"};
}

PlaintextTwin::PlaintextTwin(std::string path) : path_(std::move(path)) {
    if (GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        DeleteFileA(path_.c_str());
    }
}

PlaintextTwin::~PlaintextTwin() {
    DeleteFileA(path_.c_str());
}

void WriteArchiveFile(const std::string& path, const EntryMap& entries) {
    CFile file;
    CFileException error(CFileException::none, 0, path);
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &error)) {
        throw error;
    }
    CArchive ar(&file, CArchive::store);
    WriteStoreArchive(ar, entries);
    ar.Close();
    file.Close();
}

void MergeArchiveFile(const std::string& path, EntryMap& entries) {
    CFile file;
    CFileException error(CFileException::none, 0, path);
    if (!file.Open(path, CFile::modeRead, &error)) {
        throw error;
    }
    CArchive ar(&file, CArchive::load);
    ReadStoreArchive(ar, entries);
    ar.Close();
    file.Close();
}

bool LoadStore(const StorePair& pair, EntryMap& entries) {
    {
        CFile probe;
        if (!probe.Open(pair.store, CFile::modeRead)) {
            return false;
        }
    }
    PlaintextTwin twin(pair.twin);
    CCrypto crypto;
    crypto.ConvertFile(pair.store, twin.Path());
    MergeArchiveFile(twin.Path(), entries);
    return true;
}

void SaveStore(const StorePair& pair, const EntryMap& entries,
               const std::function<void()>& beforeEncipher) {
    PlaintextTwin twin(pair.twin);
    WriteArchiveFile(twin.Path(), entries);
    if (beforeEncipher) {
        beforeEncipher();
    }
    EncipherOver(twin.Path(), pair.store);
}

}  // namespace store
