// Fixture and helpers of the store tests: an installation in the temp folder (registry
// value Path and a Data folder), the scripted UI backend, and the server's module
// state so that AfxMessageBox carries the caption "QBStorage".
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EntryMap.h"
#include "TestEnvironment.h"
#include "ui/ModuleState.h"
#include "ui/ScriptedBackend.h"

namespace storetest {

// Bytes from hex text; spaces and commas are ignored ("01 00, 04 48").
std::string Hex(const std::string& hex);
// Hex text of bytes, for failure messages.
std::string ToHex(const std::string& bytes);

// name -> fields (nullopt-like: hasFields false for an entry without field map).
struct Entry {
    std::string name;
    bool hasFields = true;
    std::vector<std::pair<std::string, std::string>> fields;
};
// Entries (and fields) as the map enumerates them.
std::vector<Entry> Enumerate(const EntryMap& entries);
// Inserts entries and their fields in the order given.
void Fill(EntryMap& map, const std::vector<Entry>& entries);
bool operator==(const Entry& a, const Entry& b);
std::ostream& operator<<(std::ostream& os, const Entry& e);

// The archive bytes of entries, through CArchive over a real file.
std::string WriteBytes(const EntryMap& entries, const std::string& path);

class StoreTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string DataPath(const std::string& name) const { return Path("install/Data/" + name); }
    // File names in the data folder, sorted.
    std::vector<std::string> DataFiles() const;
    // Writes an enciphered store with these entries (identity or passcard store file).
    void PutStore(const std::string& file, const std::vector<Entry>& entries);
    // Deciphers and reads a store file into a fresh map.
    std::vector<Entry> ReadStoreFile(const std::string& file);

    ui::ScriptedBackend ui_;
    std::unique_ptr<ui::ScopedBackend> scopedUi_;
    std::unique_ptr<ui::ModuleStateGuard> module_;
};

inline const ui::Module& ServerModule() {
    static const ui::Module module{"QBStorage", nullptr};
    return module;
}

}  // namespace storetest
