#include "StoreFixture.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "Crypto.h"
#include "StoreArchive.h"
#include "StoreFiles.h"
#include "files/Archive.h"
#include "files/File.h"

namespace storetest {

std::string Hex(const std::string& hex) {
    std::string out;
    std::string digits;
    for (const char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            digits += c;
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    }
    return out;
}

std::string ToHex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!out.empty()) {
            out += ' ';
        }
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::vector<Entry> Enumerate(const EntryMap& entries) {
    std::vector<Entry> out;
    POSITION pos = entries.GetStartPosition();
    std::string_view name;
    const FieldMapPtr* fields = nullptr;
    while (entries.GetNextAssoc(pos, name, fields)) {
        Entry e{std::string(name), *fields != nullptr, {}};
        if (*fields) {
            POSITION fp = (*fields)->GetStartPosition();
            std::string k;
            std::string v;
            while ((*fields)->GetNextAssoc(fp, k, v)) {
                e.fields.emplace_back(k, v);
            }
        }
        out.push_back(std::move(e));
    }
    return out;
}

void Fill(EntryMap& map, const std::vector<Entry>& entries) {
    for (const Entry& e : entries) {
        FieldMapPtr fields;
        if (e.hasFields) {
            fields = std::make_unique<CMapStringToString>();
            for (const auto& [k, v] : e.fields) {
                fields->SetAt(k, v);
            }
        }
        map.SetAt(e.name, std::move(fields));
    }
}

bool operator==(const Entry& a, const Entry& b) {
    return a.name == b.name && a.hasFields == b.hasFields && a.fields == b.fields;
}

std::ostream& operator<<(std::ostream& os, const Entry& e) {
    os << '{' << e.name;
    if (!e.hasFields) {
        return os << " (no fields)}";
    }
    for (const auto& [k, v] : e.fields) {
        os << ' ' << k << '=' << v;
    }
    return os << '}';
}

std::string WriteBytes(const EntryMap& entries, const std::string& path) {
    store::WriteArchiveFile(path, entries);
    return qbtest::ReadFile(path);
}

void StoreTest::SetUp() {
    TempEnvironment::SetUp();
    std::filesystem::create_directories(root() / "install" / "Data");
    SetString("SOFTWARE\\Quenby\\AppPath", "Path", Path("install"));
    scopedUi_ = std::make_unique<ui::ScopedBackend>(ui_);
    module_ = std::make_unique<ui::ModuleStateGuard>(ServerModule());
}

void StoreTest::TearDown() {
    module_.reset();
    scopedUi_.reset();
    TempEnvironment::TearDown();
}

std::vector<std::string> StoreTest::DataFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root() / "install" / "Data")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void StoreTest::PutStore(const std::string& file, const std::vector<Entry>& entries) {
    EntryMap map;
    Fill(map, entries);
    const std::string plain = Path("put.plain");
    store::WriteArchiveFile(plain, map);
    CCrypto().ConvertFile(plain, DataPath(file));
    std::filesystem::remove(plain);
}

std::vector<Entry> StoreTest::ReadStoreFile(const std::string& file) {
    const std::string plain = Path("read.plain");
    CCrypto().ConvertFile(DataPath(file), plain);
    EntryMap map;
    store::MergeArchiveFile(plain, map);
    std::filesystem::remove(plain);
    return Enumerate(map);
}

}  // namespace storetest
