// IStream: a sequence of bytes that objects save their state into, and a stream in
// memory to hand them.
#pragma once

#include <vector>

#include "com/Unknown.h"

struct STATSTG;  // not used by this runtime's streams

constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;

constexpr HRESULT STG_E_INVALIDFUNCTION = com::detail::Code(0x80030001);
constexpr HRESULT STG_E_READFAULT = com::detail::Code(0x8003001E);

struct ISequentialStream : IUnknown {
    // Reads up to cb bytes; *read (may be null) says how many. Reading at the end is
    // S_OK with 0 bytes.
    virtual HRESULT Read(void* buffer, ULONG cb, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG cb, ULONG* written) = 0;

  protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) = 0;
    virtual HRESULT SetSize(std::uint64_t size) = 0;
    virtual HRESULT CopyTo(IStream* target, std::uint64_t cb, std::uint64_t* read,
                           std::uint64_t* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(std::uint64_t offset, std::uint64_t cb, DWORD lockType) = 0;
    virtual HRESULT UnlockRegion(std::uint64_t offset, std::uint64_t cb, DWORD lockType) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    virtual HRESULT Clone(IStream** stream) = 0;

  protected:
    ~IStream() = default;
};

inline constexpr IID IID_ISequentialStream = com::Guid("0C733A30-2A1C-11CE-ADE5-00AA0044773D");
inline constexpr IID IID_IStream = com::Guid("0000000C-0000-0000-C000-000000000046");

namespace com {

// A new, empty stream in memory with one reference. Seek beyond the end and a write
// there fill the gap with zeros. Thread: one thread at a time.
IStream* CreateMemoryStream();
// The bytes a memory stream holds (null for any other stream).
const std::vector<unsigned char>* MemoryStreamBytes(IStream* stream);

}  // namespace com
