#include "StringMap.h"

#include <atomic>

namespace store::detail {

std::uint64_t NextMapId() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace store::detail
