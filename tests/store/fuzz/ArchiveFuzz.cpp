// Fuzz target: the store archive reader and the merge into a collection.
//
// Each input is read as a store archive and merged into a collection that already
// holds two entries. Whatever was merged must write out and read back to the same
// entries, and the heap may grow by no more than a fixed multiple of the input: no
// length or count from the input may decide an allocation on its own.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "EntryMap.h"
#include "StoreFiles.h"
#include "files/ArchiveException.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define QUENBY_HEAP_BYTES() __sanitizer_get_current_allocated_bytes()
#endif
#endif
#ifndef QUENBY_HEAP_BYTES
#define QUENBY_HEAP_BYTES() \
    std::size_t {           \
        0                   \
    }  // no allocator statistics without ASan
#endif

namespace {

// Heap bytes allowed per input byte (an entry of 3 bytes becomes a node, index slots
// and, with 2 more bytes, a field map object) plus a fixed allowance.
constexpr std::size_t kBytesPerInputByte = 128;
constexpr std::size_t kFixedAllowance = 256 * 1024;

class MemoryFile {
  public:
    MemoryFile() : fd_(::memfd_create("fuzz", MFD_CLOEXEC)) {
        if (fd_ < 0) {
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    void Put(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(fd_, 0) != 0 ||
            (size > 0 && ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
    }
    const std::string& Path() const { return path_; }

  private:
    int fd_;
    std::string path_;
};

using Flat =
    std::vector<std::tuple<std::string, bool, std::vector<std::pair<std::string, std::string>>>>;

Flat Flatten(const EntryMap& entries) {
    Flat flat;
    POSITION pos = entries.GetStartPosition();
    std::string_view name;
    const FieldMapPtr* fields = nullptr;
    while (entries.GetNextAssoc(pos, name, fields)) {
        std::vector<std::pair<std::string, std::string>> kv;
        if (*fields) {
            POSITION fp = (*fields)->GetStartPosition();
            std::string k;
            std::string v;
            while ((*fields)->GetNextAssoc(fp, k, v)) {
                kv.emplace_back(k, v);
            }
            std::sort(kv.begin(), kv.end());
        }
        flat.emplace_back(std::string(name), *fields != nullptr, std::move(kv));
    }
    std::sort(flat.begin(), flat.end());
    return flat;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile input;
    static MemoryFile output;
    input.Put(data, size);

    const std::size_t before = QUENBY_HEAP_BYTES();
    EntryMap entries;
    auto home = std::make_unique<CMapStringToString>();
    home->SetAt("City", "Paris");
    entries.SetAt("Home", std::move(home));
    entries.SetAt("Work", nullptr);
    try {
        store::MergeArchiveFile(input.Path(), entries);
    } catch (const CArchiveException&) {
        // Malformed: what was read before the fault stays merged and is checked below.
    }
    const std::size_t grown = QUENBY_HEAP_BYTES() - before;
    if (grown > kBytesPerInputByte * size + kFixedAllowance) {
        std::abort();
    }

    store::WriteArchiveFile(output.Path(), entries);
    EntryMap again;
    store::MergeArchiveFile(output.Path(), again);
    if (Flatten(again) != Flatten(entries)) {
        std::abort();
    }
    return 0;
}
