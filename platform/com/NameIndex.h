// Case-insensitive lookup of member and parameter names, as dispatch needs it on
// every call from a script: no allocation per lookup.
//
// Names compare by UTF-16 unit after upper-casing ('a' equals 'A', 'ä' equals 'Ä').
// Thread: immutable after construction; lookups from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace com {

class NameIndex {
  public:
    NameIndex() = default;
    // names are UTF-8. The position of a name in the list is what Find returns; if two
    // names are equal ignoring case, the first wins.
    explicit NameIndex(const std::vector<std::string>& names);

    // The position of name, or -1.
    int Find(std::u16string_view name) const;

  private:
    struct Slot {
        std::uint32_t hash = 0;
        int index = -1;
    };
    std::vector<std::u16string> folded_;  // by position
    std::vector<Slot> slots_;             // open addressing, size a power of two
};

}  // namespace com
