#include "Crypto.h"

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "files/File.h"

namespace {

constexpr int kMaxBuffer = 32767;  // the largest length ConvertBuffer can be given

// The key repeated over the longest buffer, so that conversion is one XOR per byte
// with no modulo in the loop.
struct KeyStream {
    std::array<unsigned char, kMaxBuffer> bytes{};
    constexpr KeyStream() {
        for (int i = 0; i < kMaxBuffer; ++i) {
            bytes[static_cast<std::size_t>(i)] =
                static_cast<unsigned char>(CCrypto::kKey[i % CCrypto::kKeyLength]);
        }
    }
};
constexpr KeyStream kStream{};

// Bytes read per system call: a whole number of cipher blocks, fixed, so memory use
// does not depend on the file. The key still restarts at every 512-byte block.
constexpr std::uint32_t kChunk = 128 * CCrypto::kBlockSize;

bool SameFile(const CFile& source, const std::string& destination) {
    struct stat src {};
    struct stat dst {};
    return ::fstat(source.Descriptor(), &src) == 0 && ::stat(destination.c_str(), &dst) == 0 &&
           src.st_dev == dst.st_dev && src.st_ino == dst.st_ino;
}

// XORs n bytes with the key stream, 32 at a time as vector XORs. Built twice, for
// AVX2 and for plain x86-64 (SSE2), and the loader picks the one the processor runs;
// the key stream never aliases the caller's buffer.
__attribute__((target_clones("avx2", "default"))) void XorKeyStream(unsigned char* __restrict out,
                                                                   std::size_t n) {
    using Vec = unsigned char __attribute__((vector_size(32)));
    const unsigned char* __restrict key = kStream.bytes.data();
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        Vec a, b, k, l;
        std::memcpy(&a, out + i, 32);
        std::memcpy(&b, out + i + 32, 32);
        std::memcpy(&k, key + i, 32);
        std::memcpy(&l, key + i + 32, 32);
        a ^= k;
        b ^= l;
        std::memcpy(out + i, &a, 32);
        std::memcpy(out + i + 32, &b, 32);
    }
    for (; i < n; ++i) {
        out[i] ^= key[i];
    }
}

}  // namespace

void CCrypto::ConvertBuffer(unsigned char* buffer, short length) {
    if (buffer == nullptr || length <= 0) {
        return;
    }
    XorKeyStream(buffer, static_cast<std::size_t>(length));
}

void CCrypto::ConvertFile(const std::string& source, const std::string& destination) {
    if (source.find("vssver.scc") != std::string::npos) {
        return;
    }
    CFile in;
    if (!in.Open(source, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        throw CryptException("Error opening Source file!\n");
    }
    // Converting a file onto itself would truncate it before it is read.
    if (SameFile(in, destination)) {
        throw CryptException("Error opening Destination file!\n");
    }
    CFile out;
    if (!out.Open(destination, CFile::modeWrite | CFile::shareDenyNone | CFile::modeCreate |
                                   CFile::typeBinary)) {
        throw CryptException("Error opening Destination file!\n");
    }
    {
        auto buffer = std::make_unique<unsigned char[]>(kChunk);
        // The length is taken once, as a signed 32-bit count.
        const auto length = static_cast<std::int32_t>(static_cast<std::uint32_t>(in.GetLength()));
        if (length > 0) {
            // Never read past the block in which the length ends, as a block-by-block
            // reader would not.
            const std::uint64_t limit =
                (static_cast<std::uint64_t>(length) + kBlockSize - 1) / kBlockSize * kBlockSize;
            std::uint64_t total = 0;
            while (total < static_cast<std::uint64_t>(length)) {
                const auto want = static_cast<UINT>(std::min<std::uint64_t>(kChunk, limit - total));
                const UINT got = in.Read(buffer.get(), want);
                if (got == 0) {
                    break;  // the source shrank: end with what was there
                }
                for (UINT at = 0; at < got; at += kBlockSize) {
                    ConvertBuffer(buffer.get() + at,
                                  static_cast<short>(std::min<UINT>(kBlockSize, got - at)));
                }
                out.Write(buffer.get(), got);
                total += got;
                if (got < want) {
                    break;  // end of file reached early; blocks must stay aligned
                }
            }
        }
    }
    out.Close();
    in.Close();
}
