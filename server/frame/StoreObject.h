// What the IDentity and Passcards objects share: each owns one CQBIdentityList and a
// name enumeration position over it, and both step through names and fields the same
// way.
//
// Name enumeration: one name per call in the list's order, starting over after the
// last one. A position made stale by a change of the list (a load that brought new
// names, a removal) counts as ended, so the next call starts again at the first name.
//
// Field enumeration: one field of one entry per call, with a position shared by all
// objects of a class (FieldCursor, one per class for the whole process). A count of 1
// on entry, an ended position or a position on another entry starts at the entry's
// first field. A position on an earlier copy of the same entry's field map (a load
// replaced it) goes on after as many fields as it had returned.
//
// Thread: the object's apartment; nothing is locked (the cursors are process-wide
// plain state, as the objects are apartment-threaded).
#pragma once

#include <cstddef>
#include <string>

#include "QBIdentityList.h"
#include "com/Bstr.h"
#include "com/HResult.h"

class FieldCursor {
  public:
    // Starts on the first field of entry's field map.
    void Start(const std::string& entry, const CMapStringToString& fields);
    // True when the cursor walks entry and has not ended; re-finds its place on a new
    // copy of the field map.
    bool Continues(const std::string& entry, const CMapStringToString& fields);
    // The field at the cursor, then advances (ends after the last field). False, and
    // key and value untouched, when the cursor has ended.
    bool Next(const CMapStringToString& fields, std::string& key, std::string& value);

  private:
    std::string entry_;
    std::size_t returned_ = 0;
    POSITION pos_;
};

class StoreObject {
  protected:
    StoreObject() = default;
    ~StoreObject() = default;

    // The number of entries in the list (entries without field map included); loads
    // nothing.
    HRESULT CountEntries(LONG* pVal) const;
    // True when the name position has ended (or become stale, which then ends it).
    bool NamesEnded();
    void RestartNames() { m_namePos = m_list.GetStartPosition(); }
    // The name at the position, advancing it; empty when the position has ended.
    std::string TakeName();

    // One step of the field enumeration of entry bsKey: writes the field into
    // *bsKeyName and *bsvalue and the entry's number of fields into *count. An empty or
    // unknown name, or an entry without field map, gives *count = 0 and writes no
    // string. A field map without fields gives bsKey itself, an empty value, count 0.
    void StepField(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* count, FieldCursor& cursor);

    CQBIdentityList m_list;
    POSITION m_namePos;
};
