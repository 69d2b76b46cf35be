// StringMap<Value>: a map from 8-bit string keys to values, with the enumeration order
// of the Windows string maps that existing stores and scripts rely on, an index so
// that no lookup walks a bucket, and compact storage so that loading a large store
// costs little memory and few allocations.
//
// Enumeration order: keys fall into 17 buckets by EnumerationHash (see
// EnumerationHash.h); enumeration visits buckets 0 to 16, and within a bucket the
// most recently inserted key first. Replacing a key's value keeps its place; removing
// a key and inserting it again puts it first in its bucket. The table never grows
// more buckets, so the order does not depend on the number of keys.
//
// Lookup: a map with more than a few keys keeps an open-addressing index (linear
// probing, at most half full) beside the buckets, so Find, SetAt and RemoveKey cost
// O(1) on average whatever the number of keys; a small map compares stored hashes.
// Keys compare by exact bytes: case matters, nothing is trimmed, "" is a valid key.
//
// Storage: nodes live in one array and key bytes in one text pool per map (values of
// type store::PooledText share that pool; see CMapStringToString). Space freed by
// removals and replacements is reclaimed by compacting the pool once it is mostly
// garbage.
//
// Enumeration positions (POSITION) and changes: a position belongs to one map and to
// the set of keys the map had when the position was made. Once a key has been added
// to or removed from the map (RemoveAll included), GetNextAssoc on an older position
// returns false and ENDS it: it never crashes, never returns a removed entry, and the
// caller starts again with GetStartPosition if it wants to. Replacing the value of an
// existing key does not disturb positions. A position given to another map than the
// one that made it is ended the same way.
//
// Ownership: the map owns its keys and values. Views and pointers handed out (keys,
// values, Find) stay valid until the next change of the map, not longer.
// Thread: one map, one thread; no locking.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "EnumerationHash.h"
#include "Position.h"

namespace store {

// Text kept in a map's own pool: offset and length there.
struct PooledText {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

namespace detail {
// A process-wide serial number, so that a position can tell the map that made it.
std::uint64_t NextMapId();
}  // namespace detail

}  // namespace store

template <class Value>
class StringMap {
  public:
    StringMap() : id_(store::detail::NextMapId()) { heads_.fill(-1); }
    StringMap(const StringMap&) = delete;
    StringMap& operator=(const StringMap&) = delete;

    std::size_t GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    Value* Find(std::string_view key) {
        const std::int32_t n = FindNode(key);
        return n < 0 ? nullptr : &nodes_[static_cast<std::size_t>(n)].value;
    }
    const Value* Find(std::string_view key) const {
        return const_cast<StringMap*>(this)->Find(key);
    }

    // Sets key to value. A new key goes first in its bucket; an existing key keeps its
    // place and its old value is destroyed. Returns the stored value.
    Value& SetAt(std::string_view key, Value value);
    // Removes key and destroys its value; false when the key is not in the map.
    bool RemoveKey(std::string_view key);
    void RemoveAll();
    // Prepares room for count keys in all and textBytes more bytes of text (no effect
    // on the order).
    void Reserve(std::size_t count, std::size_t textBytes = 0);

    POSITION GetStartPosition() const;
    // Gives the key and value at pos and advances pos (ended after the last key).
    // Returns false and ends pos when pos has ended or is stale (see above).
    bool GetNextAssoc(POSITION& pos, std::string_view& key, Value*& value);
    bool GetNextAssoc(POSITION& pos, std::string_view& key, const Value*& value) const;

  protected:
    static constexpr bool kPooledValues = std::is_same_v<Value, store::PooledText>;

    // Copies text into the pool (text may lie in the pool itself).
    store::PooledText StoreText(std::string_view text);
    std::string_view Text(store::PooledText ref) const {
        return std::string_view(pool_.data() + ref.offset, ref.length);
    }
    bool InPool(std::string_view text) const {
        return !pool_.empty() && text.data() >= pool_.data() &&
               text.data() < pool_.data() + pool_.size();
    }
    // Counts text no longer referenced (reclaimed by a later compaction).
    void DropText(store::PooledText ref) { garbage_ += ref.length; }

  private:
    struct Node {
        Value value{};
        store::PooledText key;
        std::uint32_t order = 0;  // EnumerationHash(key): bucket, and the small maps' lookup
        std::int32_t prev = -1;   // neighbours in the bucket, newest first
        std::int32_t next = -1;   // (next also links free nodes)
        std::uint8_t bucket = 0;
        bool live = false;
    };

    // Up to this many keys a map has no index; a lookup compares stored hashes (the
    // enumeration hash, which a new key needs anyway).
    static constexpr std::size_t kLinearLimit = 16;

    static std::uint32_t IndexHash(std::string_view key) {
        return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
    }
    std::int32_t FindLinear(std::string_view key, std::uint32_t order) const;
    std::int32_t FindIndexed(std::string_view key, std::uint32_t hash) const;
    std::int32_t FindNode(std::string_view key) const {
        return slots_.empty() ? FindLinear(key, store::EnumerationHash(key))
                              : FindIndexed(key, IndexHash(key));
    }
    std::int32_t Successor(std::int32_t node) const;
    bool Stale(const POSITION& pos) const {
        return pos.node_ < 0 || pos.map_ != id_ || pos.stamp_ != stamp_ ||
               static_cast<std::size_t>(pos.node_) >= nodes_.size();
    }
    void IndexInsert(std::int32_t node, std::uint32_t hash);
    void IndexErase(std::int32_t node);
    void Rehash(std::size_t slotCount);
    void GrowIndexFor(std::size_t count);
    void CompactIfWasteful();

    std::vector<Node> nodes_;
    std::string pool_;         // key bytes (and pooled values), back to back
    std::size_t garbage_ = 0;  // bytes of pool_ no longer referenced
    // Index slot: a node number (or -1) and its key's hash, so that a probe rarely has
    // to look at a node that does not match.
    struct Slot {
        std::int32_t node = -1;
        std::uint32_t hash = 0;
    };
    std::vector<Slot> slots_;  // empty below kLinearLimit
    std::array<std::int32_t, store::kBucketCount> heads_{};
    std::int32_t free_ = -1;  // first free node
    std::size_t count_ = 0;
    const std::uint64_t id_;
    std::uint64_t stamp_ = 0;  // changes whenever a key is added or removed
};

template <class Value>
store::PooledText StringMap<Value>::StoreText(std::string_view text) {
    if (pool_.size() + text.size() > UINT32_MAX) {
        throw std::length_error("StringMap: too much text");
    }
    const store::PooledText ref{static_cast<std::uint32_t>(pool_.size()),
                                static_cast<std::uint32_t>(text.size())};
    pool_.append(text.data(), text.size());  // safe when text lies in pool_
    return ref;
}

template <class Value>
std::int32_t StringMap<Value>::FindLinear(std::string_view key, std::uint32_t order) const {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const Node& n = nodes_[i];
        if (n.live && n.order == order && Text(n.key) == key) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

template <class Value>
std::int32_t StringMap<Value>::FindIndexed(std::string_view key, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (slot.node < 0) {
            return -1;
        }
        if (slot.hash == hash && Text(nodes_[static_cast<std::size_t>(slot.node)].key) == key) {
            return slot.node;
        }
    }
}

template <class Value>
void StringMap<Value>::IndexInsert(std::int32_t node, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].node >= 0) {
        i = (i + 1) & mask;
    }
    slots_[i] = Slot{node, hash};
}

template <class Value>
void StringMap<Value>::IndexErase(std::int32_t node) {
    // Backward-shift deletion keeps every probe sequence unbroken without tombstones.
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = IndexHash(Text(nodes_[static_cast<std::size_t>(node)].key)) & mask;
    while (slots_[i].node != node) {
        i = (i + 1) & mask;
    }
    for (;;) {
        slots_[i] = Slot{};
        std::size_t j = i;
        for (;;) {
            j = (j + 1) & mask;
            if (slots_[j].node < 0) {
                return;
            }
            const std::size_t home = slots_[j].hash & mask;
            const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
            if (!stays) {
                break;
            }
        }
        slots_[i] = slots_[j];
        i = j;
    }
}

template <class Value>
void StringMap<Value>::Rehash(std::size_t slotCount) {
    std::vector<Slot> fresh(slotCount);
    slots_.swap(fresh);
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].live) {
            IndexInsert(static_cast<std::int32_t>(i), IndexHash(Text(nodes_[i].key)));
        }
    }
}

template <class Value>
void StringMap<Value>::GrowIndexFor(std::size_t count) {
    if (count <= kLinearLimit || count * 2 <= slots_.size()) {
        return;
    }
    std::size_t slotCount = 64;
    while (slotCount < count * 2) {
        slotCount *= 2;
    }
    Rehash(slotCount);
}

template <class Value>
void StringMap<Value>::Reserve(std::size_t count, std::size_t textBytes) {
    if (count > nodes_.capacity()) {
        nodes_.reserve(count);
    }
    if (textBytes > 0) {
        pool_.reserve(pool_.size() + textBytes);
    }
    GrowIndexFor(count);
}

template <class Value>
void StringMap<Value>::CompactIfWasteful() {
    if (garbage_ < 1024 || garbage_ * 2 < pool_.size()) {
        return;
    }
    std::string fresh;
    fresh.reserve(pool_.size() - garbage_);
    auto move = [&](store::PooledText& ref) {
        const std::uint32_t offset = static_cast<std::uint32_t>(fresh.size());
        fresh.append(pool_, ref.offset, ref.length);
        ref.offset = offset;
    };
    for (Node& node : nodes_) {
        if (node.live) {
            move(node.key);
            if constexpr (kPooledValues) {
                move(node.value);
            }
        }
    }
    pool_.swap(fresh);
    garbage_ = 0;
}

template <class Value>
Value& StringMap<Value>::SetAt(std::string_view key, Value value) {
    const std::uint32_t order = store::EnumerationHash(key);
    std::uint32_t hash = 0;
    const std::int32_t found =
        slots_.empty() ? FindLinear(key, order) : FindIndexed(key, hash = IndexHash(key));
    if (found >= 0) {
        Node& node = nodes_[static_cast<std::size_t>(found)];
        if constexpr (kPooledValues) {
            garbage_ += node.value.length;
        }
        node.value = std::move(value);
        CompactIfWasteful();
        return nodes_[static_cast<std::size_t>(found)].value;
    }
    if (nodes_.size() >= static_cast<std::size_t>(INT32_MAX) && free_ < 0) {
        throw std::length_error("StringMap: too many keys");
    }
    // Everything that may throw happens before the map changes.
    const bool wasIndexed = !slots_.empty();
    GrowIndexFor(count_ + 1);
    if (!wasIndexed && !slots_.empty()) {
        hash = IndexHash(key);
    }
    const auto bucket = static_cast<std::uint8_t>(order % store::kBucketCount);
    const store::PooledText keyRef = StoreText(key);  // key may lie in the pool
    std::int32_t n = free_;
    if (n >= 0) {
        free_ = nodes_[static_cast<std::size_t>(n)].next;
    } else {
        try {
            nodes_.emplace_back();
        } catch (...) {
            pool_.resize(keyRef.offset);
            throw;
        }
        n = static_cast<std::int32_t>(nodes_.size() - 1);
    }
    Node& node = nodes_[static_cast<std::size_t>(n)];
    node.key = keyRef;
    node.value = std::move(value);
    node.order = order;
    node.bucket = bucket;
    node.live = true;
    node.prev = -1;
    node.next = heads_[bucket];
    if (node.next >= 0) {
        nodes_[static_cast<std::size_t>(node.next)].prev = n;
    }
    heads_[bucket] = n;
    if (!slots_.empty()) {
        IndexInsert(n, hash);
    }
    ++count_;
    ++stamp_;
    return node.value;
}

template <class Value>
bool StringMap<Value>::RemoveKey(std::string_view key) {
    const std::int32_t n = FindNode(key);
    if (n < 0) {
        return false;
    }
    if (!slots_.empty()) {
        IndexErase(n);
    }
    Node& node = nodes_[static_cast<std::size_t>(n)];
    if (node.prev >= 0) {
        nodes_[static_cast<std::size_t>(node.prev)].next = node.next;
    } else {
        heads_[node.bucket] = node.next;
    }
    if (node.next >= 0) {
        nodes_[static_cast<std::size_t>(node.next)].prev = node.prev;
    }
    --count_;
    ++stamp_;
    garbage_ += node.key.length;
    if constexpr (kPooledValues) {
        garbage_ += node.value.length;
    }
    [[maybe_unused]] Value doomed = std::move(node.value);
    node.value = Value{};
    node.key = {};
    node.live = false;
    node.prev = -1;
    node.next = free_;
    free_ = n;
    CompactIfWasteful();
    return true;  // doomed is destroyed last, with the map already consistent
}

template <class Value>
void StringMap<Value>::RemoveAll() {
    std::vector<Node> doomed;
    doomed.swap(nodes_);
    std::string().swap(pool_);
    garbage_ = 0;
    std::vector<Slot>().swap(slots_);
    heads_.fill(-1);
    free_ = -1;
    count_ = 0;
    ++stamp_;
}

template <class Value>
std::int32_t StringMap<Value>::Successor(std::int32_t node) const {
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    if (n.next >= 0) {
        return n.next;
    }
    for (std::uint32_t b = n.bucket + 1u; b < store::kBucketCount; ++b) {
        if (heads_[b] >= 0) {
            return heads_[b];
        }
    }
    return -1;
}

template <class Value>
POSITION StringMap<Value>::GetStartPosition() const {
    for (const std::int32_t head : heads_) {
        if (head >= 0) {
            return POSITION(id_, stamp_, head);
        }
    }
    return POSITION();
}

template <class Value>
bool StringMap<Value>::GetNextAssoc(POSITION& pos, std::string_view& key, Value*& value) {
    if (Stale(pos)) {
        pos = POSITION();
        return false;
    }
    Node& node = nodes_[static_cast<std::size_t>(pos.node_)];
    key = Text(node.key);
    value = &node.value;
    pos.node_ = Successor(pos.node_);
    return true;
}

template <class Value>
bool StringMap<Value>::GetNextAssoc(POSITION& pos, std::string_view& key,
                                    const Value*& value) const {
    Value* v = nullptr;
    const bool got = const_cast<StringMap*>(this)->GetNextAssoc(pos, key, v);
    if (got) {
        value = v;
    }
    return got;
}
