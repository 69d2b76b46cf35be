// POSITION: where an enumeration of a StringMap stands.
//
// A position is at a key (the next one to be returned) or ended; an ended position
// compares equal to nullptr, so `while (pos != nullptr)` loops read as with the
// Windows maps. A position belongs to the map that made it and to that map's set of
// keys at the time: see StringMap::GetNextAssoc for what happens after a change.
// Positions are plain values: copy them freely; they own nothing.
#pragma once

#include <cstddef>
#include <cstdint>

class POSITION {
  public:
    POSITION() = default;
    POSITION(std::nullptr_t) {}  // NOLINT: the ended position, as NULL is

    explicit operator bool() const { return node_ >= 0; }
    friend bool operator==(const POSITION& pos, std::nullptr_t) { return pos.node_ < 0; }

  private:
    template <class Value>
    friend class StringMap;

    POSITION(std::uint64_t map, std::uint64_t stamp, std::int32_t node)
        : map_(map), stamp_(stamp), node_(node) {}

    std::uint64_t map_ = 0;
    std::uint64_t stamp_ = 0;
    std::int32_t node_ = -1;
};
