#include "EncipheredFile.h"

#include <algorithm>
#include <cstring>

#include "Crypto.h"

void CEncipheredFile::Convert(BYTE* data, std::size_t count, std::uint64_t offset) {
    constexpr std::size_t kBlock = CCrypto::kBlockSize;
    CCrypto crypto;
    while (count > 0) {
        const std::size_t inBlock = static_cast<std::size_t>(offset % kBlock);
        const std::size_t n = std::min(count, kBlock - inBlock);
        if (inBlock == 0) {
            crypto.ConvertBuffer(data, static_cast<short>(n));
        } else {
            // The key index restarts at every block: convert the piece at its place in one.
            unsigned char block[kBlock] = {};
            std::memcpy(block + inBlock, data, n);
            crypto.ConvertBuffer(block, static_cast<short>(inBlock + n));
            std::memcpy(data, block + inBlock, n);
        }
        data += n;
        count -= n;
        offset += n;
    }
}

UINT CEncipheredFile::Read(void* buffer, UINT count) {
    const std::uint64_t offset = Seek(0, current);
    const UINT n = CFile::Read(buffer, count);
    Convert(static_cast<BYTE*>(buffer), n, offset);
    return n;
}

void CEncipheredFile::Write(const void* buffer, UINT count) {
    const std::uint64_t offset = Seek(0, current);
    scratch_.assign(static_cast<const BYTE*>(buffer), static_cast<const BYTE*>(buffer) + count);
    Convert(scratch_.data(), scratch_.size(), offset);
    CFile::Write(scratch_.data(), count);
}
