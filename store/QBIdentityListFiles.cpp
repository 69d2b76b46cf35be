// The file operations of CQBIdentityList: loads and saves of the stores.
#include "Crypto.h"
#include "QBIdentityList.h"
#include "StoreFiles.h"
#include "files/FileSystem.h"
#include "ui/MessageBox.h"

void CQBIdentityList::ReadFromFile(const std::string& fileType) {
    store::LoadStore(store::PairFor(fileType), m_entries);
}

void CQBIdentityList::ReadFromImportFile(const std::string& /*fileType*/) {
    store::LoadStore(store::ImportPair(), m_entries);
}

void CQBIdentityList::WriteToFile(const std::string& name, const std::string& fileType) {
    try {
        const store::StorePair pair = store::PairFor(fileType);
        store::LoadStore(pair, m_entries);
        Attach(name);
        // A store marked read-only by hand is made writable again before it is replaced.
        store::SaveStore(pair, m_entries, [&pair] {
            SetFileAttributesA(pair.store.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        });
        store::LoadStore(pair, m_entries);
    } catch (...) {
        AfxMessageBox("Error occured while writing to file in WriteToFile() of CQBIdentityList",
                      MB_OK);
    }
}

void CQBIdentityList::SaveToIdentityFile() {
    store::SaveStore(store::PairFor("identity"), m_entries);
}

void CQBIdentityList::WriteToUndelFile(const std::string& name, const std::string& fileType) {
    const store::StorePair pair = store::PairFor(fileType);
    store::LoadStore(pair, m_entries);
    m_entries.RemoveKey(name);
    store::SaveStore(pair, m_entries, [this] { m_pPending.reset(); });
}
