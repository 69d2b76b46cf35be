// CQBIdentityList: the entries of one collection (identities, or passcards) in memory,
// plus the pending field map in which fields collect until WriteToFile attaches them
// to a name. The same class serves both collections; every file operation takes a
// file type that picks the store (see StoreFiles.h).
//
// Ownership: the list owns every field map of its entries and the pending field map.
// Replacing an entry's field map (a load, WriteToFile) or removing the entry
// (RemoveKey, WriteToUndelFile, RemoveElements) destroys the old field map; pointers
// from Lookup and GetNextAssoc are valid only until then. Callers never delete them.
//
// Enumeration: entries and fields come in the order of StringMap (17 buckets by the
// x33 hash, newest first in a bucket). A position ENDS (GetNextAssoc returns false)
// once an entry has been added to or removed from the list after the position was
// made (a load that brings new names, a removal, RemoveElements); replacing the field
// map of an existing entry does not disturb it. Callers restart ended positions.
//
// Failures: AddValue and WriteToFile report their own failures with AfxMessageBox
// (caption: the current module's title) and return normally. ReadFromFile,
// ReadFromImportFile, SaveToIdentityFile and WriteToUndelFile catch nothing: a load
// throws CArchiveException (malformed store; what was read before the fault stays
// merged) or CFileException; a save also throws CryptException "Error opening
// Destination file!\n" when the store is read-only or the data folder takes no file.
// The plaintext of a store never touches the disk (there are no plaintext twins), and
// a store is only ever replaced whole (see StoreFiles.h).
//
// Thread: the thread of the object that owns the list; no locking.
#pragma once

#include <memory>
#include <string>

#include "EntryMap.h"
#include "MapStringToString.h"

class CQBIdentityList {
  public:
    CQBIdentityList() = default;
    ~CQBIdentityList() = default;
    CQBIdentityList(const CQBIdentityList&) = delete;
    CQBIdentityList& operator=(const CQBIdentityList&) = delete;

    // Sets key to value in the pending field map (made on first use). Touches no file.
    void AddValue(const std::string& key, const std::string& value);

    // Merges the store of the file type into the list: names already present keep
    // their place and get the stored field map; others are added; none is removed.
    // A store that does not exist yet loads nothing.
    void ReadFromFile(const std::string& fileType);
    // The same for the import copy QbIDStorageImport.cfg (the file type is not used
    // to choose the file; callers pass "identity").
    void ReadFromImportFile(const std::string& fileType);
    // Merges the store, attaches the pending field map under name (none: the entry has
    // no field map; its former fields are gone either way), rewrites the store, and
    // merges it again so that the entry holds the copy read back.
    void WriteToFile(const std::string& name, const std::string& fileType);
    // Rewrites the identity store from the list as it is; loads nothing and keeps
    // the pending field map.
    void SaveToIdentityFile();
    // Merges the store, removes the entry name (if there), discards the pending field
    // map and rewrites the store. Nothing is loaded afterwards.
    void WriteToUndelFile(const std::string& name, const std::string& fileType);
    // Removes every entry and destroys its field map; the pending field map stays.
    void RemoveElements();

    // Export and import of the identity store through file dialogs (QBIdentityListTransfer.cpp).
    // Export copies QbIDStorage.cfg, unchanged, to a file the user names
    // "QbIDStorage.cfg"; the list is not touched. Import takes such a file: with no
    // identity store it becomes the store unchanged (the list is not touched);
    // otherwise the store is merged into the list, the pending field map is discarded,
    // the file is merged in (its version of a name wins) and the store is rewritten
    // from the list. Both tell the user the outcome in message boxes (caption
    // "Quenby"); a cancelled dialog ends them quietly. A malformed or unreadable file
    // or store throws as a load does, before the store changes.
    void Export();
    void Import();

    // Map operations.
    // True when name is an entry; fields is its field map or nullptr (none).
    bool Lookup(const std::string& name, CMapStringToString*& fields) const;
    // Removes the entry and destroys its field map; false when there is no such entry.
    bool RemoveKey(const std::string& name);
    std::size_t GetCount() const { return m_entries.GetCount(); }
    POSITION GetStartPosition() const { return m_entries.GetStartPosition(); }
    // Gives the name and field map (or nullptr) at pos and advances it; false (and pos
    // ended) when pos has ended or is stale.
    bool GetNextAssoc(POSITION& pos, std::string& name, CMapStringToString*& fields) const;

    // The fields collected by AddValue and not yet attached; nullptr when none.
    const CMapStringToString* PendingFields() const { return m_pPending.get(); }
    // The entries themselves, for readers and writers of store archives.
    const EntryMap& Entries() const { return m_entries; }

  private:
    // The entry name gets the pending field map (or none); the pending slot empties.
    void Attach(const std::string& name);
    // The merging branch of Import: path is the chosen file, storePath the store.
    void MergeImport(const std::string& path, const std::string& storePath);

    EntryMap m_entries;
    std::unique_ptr<CMapStringToString> m_pPending;
};
