#include "StoreObject.h"

#include "ScriptText.h"

void FieldCursor::Start(const std::string& entry, const CMapStringToString& fields) {
    entry_ = entry;
    returned_ = 0;
    pos_ = fields.GetStartPosition();
}

bool FieldCursor::Continues(const std::string& entry, const CMapStringToString& fields) {
    if (pos_ == nullptr || entry != entry_) {
        return false;
    }
    std::string_view key, value;
    POSITION probe = pos_;
    if (fields.GetNextAssoc(probe, key, value)) {
        return true;
    }
    // The entry's field map was replaced since the cursor started: go on after as
    // many fields in the new one.
    pos_ = fields.GetStartPosition();
    for (std::size_t i = 0; i < returned_ && pos_ != nullptr; ++i) {
        fields.GetNextAssoc(pos_, key, value);
    }
    return pos_ != nullptr;
}

bool FieldCursor::Next(const CMapStringToString& fields, std::string& key, std::string& value) {
    if (pos_ == nullptr || !fields.GetNextAssoc(pos_, key, value)) {
        pos_ = nullptr;
        return false;
    }
    ++returned_;
    return true;
}

HRESULT StoreObject::CountEntries(LONG* pVal) const {
    if (pVal == nullptr)
        return E_POINTER;
    *pVal = static_cast<LONG>(m_list.GetCount());
    return S_OK;
}

bool StoreObject::NamesEnded() {
    if (m_namePos == nullptr) {
        return true;
    }
    POSITION probe = m_namePos;
    std::string name;
    CMapStringToString* fields = nullptr;
    if (!m_list.GetNextAssoc(probe, name, fields)) {
        m_namePos = nullptr;  // the list changed under it
        return true;
    }
    return false;
}

std::string StoreObject::TakeName() {
    std::string name;
    CMapStringToString* fields = nullptr;
    if (NamesEnded() || !m_list.GetNextAssoc(m_namePos, name, fields)) {
        return std::string();
    }
    return name;
}

void StoreObject::StepField(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* count,
                            FieldCursor& cursor) {
    const std::string entry = ArgText(bsKey);
    CMapStringToString* fields = nullptr;
    if (entry.empty() || !m_list.Lookup(entry, fields) || fields == nullptr) {
        *count = 0;
        return;
    }
    if (*count == 1 || !cursor.Continues(entry, *fields)) {
        cursor.Start(entry, *fields);
    }
    std::string key;
    std::string value;
    if (!cursor.Next(*fields, key, value)) {
        key = entry;  // no field at all: the entry's own name, an empty value
    }
    BSTR newKey = NewBstrFromText(key);
    BSTR newValue = nullptr;
    try {
        newValue = NewBstrFromText(value);
    } catch (...) {
        SysFreeString(newKey);
        throw;
    }
    ReplaceBstr(bsKeyName, newKey);
    ReplaceBstr(bsvalue, newValue);
    *count = static_cast<LONG>(fields->GetCount());
}
