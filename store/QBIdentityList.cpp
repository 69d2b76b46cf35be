// The in-memory operations of CQBIdentityList. The file operations are in
// QBIdentityListFiles.cpp.
#include "QBIdentityList.h"

#include <exception>

#include "ui/MessageBox.h"

void CQBIdentityList::AddValue(const std::string& key, const std::string& value) {
    try {
        if (!m_pPending) {
            m_pPending = std::make_unique<CMapStringToString>();
        }
        m_pPending->SetAt(key, value);
    } catch (const std::exception&) {
        // Running out of memory leaves the fields added before in place.
        AfxMessageBox("Error while adding values in AddValue() of CQBIdentityList", MB_OK);
    }
}

void CQBIdentityList::RemoveElements() {
    m_entries.RemoveAll();
}

void CQBIdentityList::Attach(const std::string& name) {
    m_entries.SetAt(name, std::move(m_pPending));
    m_pPending.reset();
}

bool CQBIdentityList::Lookup(const std::string& name, CMapStringToString*& fields) const {
    const FieldMapPtr* found = m_entries.Find(name);
    if (found == nullptr) {
        return false;
    }
    fields = found->get();
    return true;
}

bool CQBIdentityList::RemoveKey(const std::string& name) {
    return m_entries.RemoveKey(name);
}

bool CQBIdentityList::GetNextAssoc(POSITION& pos, std::string& name,
                                   CMapStringToString*& fields) const {
    std::string_view key;
    const FieldMapPtr* value = nullptr;
    if (!m_entries.GetNextAssoc(pos, key, value)) {
        return false;
    }
    name.assign(key);
    fields = value->get();
    return true;
}
