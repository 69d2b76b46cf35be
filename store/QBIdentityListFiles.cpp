// The file operations of CQBIdentityList: loads and saves of the stores.
#include "QBIdentityList.h"
#include "StoreFiles.h"
#include "files/FileSystem.h"
#include "ui/MessageBox.h"

void CQBIdentityList::ReadFromFile(const std::string& fileType) {
    store::LoadStore(store::StorePathFor(fileType), m_entries);
}

void CQBIdentityList::ReadFromImportFile(const std::string& /*fileType*/) {
    store::LoadStore(store::ImportStorePath(), m_entries);
}

void CQBIdentityList::WriteToFile(const std::string& name, const std::string& fileType) {
    try {
        const std::string path = store::StorePathFor(fileType);
        store::LoadStore(path, m_entries);
        Attach(name);
        // A store marked read-only by hand is made writable again before it is replaced.
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        store::SaveStore(path, m_entries);
        store::LoadStore(path, m_entries);
    } catch (...) {
        AfxMessageBox("Error occured while writing to file in WriteToFile() of CQBIdentityList",
                      MB_OK);
    }
}

void CQBIdentityList::SaveToIdentityFile() {
    store::SaveStore(store::StorePathFor("identity"), m_entries);
}

void CQBIdentityList::WriteToUndelFile(const std::string& name, const std::string& fileType) {
    const std::string path = store::StorePathFor(fileType);
    store::LoadStore(path, m_entries);
    m_entries.RemoveKey(name);
    m_pPending.reset();
    store::SaveStore(path, m_entries);
}
