// The store files of the data folder, and the load and save of one store.
//
// Data folder: the install folder as GetInstallFolder gives it, followed by "/Data"
// (appended unchanged; an empty install folder gives "/Data").
//
//   QbIDStorage.cfg        the identity store
//   QbPASStorage.cfg       the passcard store
//   QbIDStorageImport.cfg  the copy of a file being imported into the identity store
//
// A store is a store archive (StoreArchive.h) in the file cipher's enciphered form.
// It is deciphered while it is read and enciphered while it is written, through a
// CEncipheredFile: the plaintext lives in memory only. No plaintext copy of a store
// (a "twin" file such as IDStore.dat) is ever written, so none can be left behind.
// A store is replaced only whole (SafeReplace) and is created with mode 0600.
//
// File type: "identity" in any letter case selects the identity store; any other
// text, the empty one included, the passcard store.
//
// Thread: the caller's; files are open only during a call.
#pragma once

#include <string>
#include <string_view>

#include "EntryMap.h"

namespace store {

std::string DataFolder();
bool IsIdentityType(std::string_view fileType);
std::string StorePathFor(std::string_view fileType);
std::string ImportStorePath();

// Loads a store: merges its entries into entries (see ReadStoreArchive). When the
// store cannot be opened (it does not exist yet, say) nothing happens and false is
// returned. Throws CArchiveException for a malformed store (the entries read before
// the fault stay merged) and CFileException when reading fails.
bool LoadStore(const std::string& store, EntryMap& entries);

// Saves entries as the store, replacing it whole. Throws CryptException
// "Error opening Destination file!\n" when the store is read-only (it is then not
// replaced, as an enciphering over it would fail) or its folder takes no new file;
// CFileException or CArchiveException when writing fails. On any failure the old
// store stays as it was.
void SaveStore(const std::string& store, const EntryMap& entries);

// Plain (not enciphered) store archives, for tools, tests and imports.
// Writes entries into path (created or truncated; 0600 when new). Throws
// CFileException (open, write) or CArchiveException.
void WriteArchiveFile(const std::string& path, const EntryMap& entries);
// Reads the archive at path and merges it into entries. Throws CFileException when
// the file cannot be opened or read, CArchiveException for a malformed archive.
void MergeArchiveFile(const std::string& path, EntryMap& entries);

}  // namespace store
