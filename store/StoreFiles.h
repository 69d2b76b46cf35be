// The store files of the data folder and the load and save cycles of one store.
//
// Data folder: the install folder as GetInstallFolder gives it, followed by "/Data"
// (appended unchanged; an empty install folder gives "/Data").
//
//   QbIDStorage.cfg        identity store, enciphered      twin IDStore.dat
//   QbPASStorage.cfg       passcard store, enciphered      twin PASSStore.dat
//   QbIDStorageImport.cfg  copy of an identity import      twin IDStoreImport.dat
//
// A store exists only enciphered. Its plaintext twin exists only while one load or save
// of it runs; every path out of an operation, a failing one included, deletes it.
// Twins are created fresh with mode 0600; stores are replaced only whole (SafeReplace).
//
// File type: "identity" in any letter case selects the identity pair; any other text,
// the empty one included, the passcard pair.
//
// Thread: the caller's; files are touched only during a call.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "EntryMap.h"

namespace store {

struct StorePair {
    std::string store;  // enciphered
    std::string twin;   // plaintext, during one operation only
};

std::string DataFolder();
bool IsIdentityType(std::string_view fileType);
StorePair PairFor(std::string_view fileType);
StorePair ImportPair();

// The plaintext twin of one operation. Making it removes a file left at its path (by
// a crashed run, say), so that the twin is created fresh and private; destroying it
// deletes the file, whether the operation succeeded or threw.
class PlaintextTwin {
  public:
    explicit PlaintextTwin(std::string path);
    ~PlaintextTwin();
    PlaintextTwin(const PlaintextTwin&) = delete;
    PlaintextTwin& operator=(const PlaintextTwin&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// Writes entries as a store archive into path (created or truncated; 0600 when new).
// Throws CFileException (open, write) or CArchiveException.
void WriteArchiveFile(const std::string& path, const EntryMap& entries);
// Reads the store archive at path and merges it into entries (see ReadStoreArchive).
// Throws CFileException when the file cannot be opened or read, CArchiveException
// for a malformed archive.
void MergeArchiveFile(const std::string& path, EntryMap& entries);

// The load cycle. When the store cannot be opened (it does not exist yet) nothing
// happens and false is returned. Otherwise the store is deciphered into the twin, the
// twin is merged into entries and deleted. Throws CryptException, CFileException or
// CArchiveException (entries read before a fault stay merged); the twin is gone
// either way.
bool LoadStore(const StorePair& pair, EntryMap& entries);

// The save cycle: writes entries into the twin, runs beforeEncipher (if given), then
// enciphers the twin over the store through EncipherOver and deletes the twin. Throws
// what EncipherOver, the file and the archive throw; the old store then stays as it
// was and the twin is gone.
void SaveStore(const StorePair& pair, const EntryMap& entries,
               const std::function<void()>& beforeEncipher = {});

}  // namespace store
