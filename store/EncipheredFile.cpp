#include "EncipheredFile.h"

#include <algorithm>
#include <cstring>

#include "Crypto.h"

CEncipheredFile::CEncipheredFile() : chunk_(std::make_unique<BYTE[]>(kChunk)) {}

CEncipheredFile::~CEncipheredFile() = default;

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

void CEncipheredFile::Reset(std::uint64_t position) {
    chunkAt_ = position;
    used_ = 0;
    filled_ = 0;
    writing_ = false;
}

bool CEncipheredFile::Open(const std::string& fileName, UINT openFlags, CFileException* error) {
    Reset(0);
    return CFile::Open(fileName, openFlags, error);
}

UINT CEncipheredFile::Read(void* buffer, UINT count) {
    if (writing_) {
        FlushWrites();
    }
    auto* out = static_cast<BYTE*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (used_ == filled_) {
            chunkAt_ += filled_;
            used_ = filled_ = 0;
            filled_ = CFile::Read(chunk_.get(), kChunk);
            if (filled_ == 0) {
                break;
            }
            Convert(chunk_.get(), filled_, chunkAt_);
        }
        const UINT n = std::min(count - done, filled_ - used_);
        std::memcpy(out + done, chunk_.get() + used_, n);
        used_ += n;
        done += n;
    }
    return done;
}

void CEncipheredFile::Write(const void* buffer, UINT count) {
    if (!writing_) {
        // Continue where reading stopped (what was read ahead is dropped).
        const std::uint64_t position = chunkAt_ + used_;
        if (filled_ != used_) {
            CFile::Seek(static_cast<std::int64_t>(position), begin);
        }
        Reset(position);
        writing_ = true;
    }
    const auto* in = static_cast<const BYTE*>(buffer);
    while (count > 0) {
        const UINT n = std::min(count, kChunk - used_);
        std::memcpy(chunk_.get() + used_, in, n);
        Convert(chunk_.get() + used_, n, chunkAt_ + used_);
        used_ += n;
        in += n;
        count -= n;
        if (used_ == kChunk) {
            FlushWrites();
        }
    }
}

void CEncipheredFile::FlushWrites() {
    if (used_ > 0) {
        CFile::Write(chunk_.get(), used_);
        chunkAt_ += used_;
        used_ = 0;
    }
    writing_ = false;
    filled_ = 0;
}

std::uint64_t CEncipheredFile::Seek(std::int64_t offset, SeekPosition from) {
    if (writing_) {
        FlushWrites();
    } else if (from == current) {
        // The file itself stands at the end of what was read ahead.
        offset -= static_cast<std::int64_t>(filled_ - used_);
    }
    const std::uint64_t position = CFile::Seek(offset, from);
    Reset(position);
    return position;
}

void CEncipheredFile::Close() {
    if (writing_ && IsOpen()) {
        FlushWrites();
    }
    Reset(0);
    CFile::Close();
}

void CEncipheredFile::Abort() {
    Reset(0);
    CFile::Abort();
}
