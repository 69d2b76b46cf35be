// The hash that fixes the enumeration order of every string map of the store, and
// through it the order in which scripts see identities, passcards and fields.
//
// hash = 0; for each byte b: hash = hash * 33 + (b as a signed 8-bit number), mod 2^32.
// The key's bucket is hash % 17. Examples: "Home" 2712041 (bucket 14), "Work" 3251267
// (bucket 0), "Office" 3216443276 (bucket 11), "A" 65 (bucket 14), "" 0 (bucket 0).
#pragma once

#include <cstdint>
#include <string_view>

namespace store {

constexpr std::uint32_t kBucketCount = 17;

constexpr std::uint32_t EnumerationHash(std::string_view key) {
    std::uint32_t hash = 0;
    for (const char c : key) {
        const auto signedByte = static_cast<std::int32_t>(static_cast<signed char>(c));
        hash = hash * 33u + static_cast<std::uint32_t>(signedByte);
    }
    return hash;
}

constexpr std::uint32_t BucketOf(std::string_view key) {
    return EnumerationHash(key) % kBucketCount;
}

}  // namespace store
