// CArchive: a buffered byte stream over an open CFile, in store mode (writing) or
// load mode (reading), with the little-endian integers, escaped counts and
// length-prefixed 8-bit strings of the archive layout.
//
// Layout of the composite elements (integers little-endian, unsigned):
//
//   Count   n <  0xFFFF          WORD n
//           n >= 0xFFFF          WORD 0xFFFF, DWORD n
//   String  n <  0xFF            BYTE n                            then n bytes
//           n <  0xFFFE          BYTE 0xFF, WORD n                 then n bytes
//           n <  0xFFFFFFFF      BYTE 0xFF, WORD 0xFFFF, DWORD n   then n bytes
//           BYTE 0xFF, WORD 0xFFFE marks a string of 16-bit characters; our archives
//           hold 8-bit text only, so it is never written and is refused when read.
//
// Buffer: every byte passes through one buffer of bufferSize bytes (4096 unless told):
// a store archive writes its file in blocks of that size, a load archive reads so.
//
// Loading trusts no length: a string's length is checked against the bytes the file
// still holds (its length when the archive was made, less the position) before
// anything is allocated, so a forged length is a format error, not an allocation.
//
// Positions and offsets count bytes from where the archive started (the file's start
// for the archives we make).
//
// Errors: a load that runs out of data or meets a refused element throws
// CArchiveException with the offset of that element; CFileException from the file
// passes through unchanged. Calling a load operation on a store archive (or the other
// way round) throws CArchiveException readOnly/writeOnly.
//
// Close() flushes a store archive; it does not close the file. Destroying a store
// archive without Close() drops what is still buffered and never throws: a failed save
// is abandoned, not half-completed.
//
// Ownership: the file is borrowed and must stay open while the archive is used.
// Thread: one archive, one thread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "WinTypes.h"
#include "files/ArchiveException.h"
#include "files/File.h"

class CArchive {
  public:
    enum Mode : UINT { store = 0, load = 1 };
    static constexpr UINT kDefaultBufferSize = 4096;

    // A load archive takes the file's length now (throws CFileException if it cannot).
    CArchive(CFile* file, UINT mode, UINT bufferSize = kDefaultBufferSize);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return loading_; }
    bool IsStoring() const { return !loading_; }
    CFile* GetFile() const { return file_; }
    const std::string& FileName() const { return file_->GetFilePath(); }

    // Bytes read or written through the archive so far.
    std::uint64_t GetPosition() const { return base_ + static_cast<std::uint64_t>(cur_ - buf_); }
    // Load: bytes of the file after the position (0 when the file shrank meanwhile).
    std::uint64_t BytesRemaining() const;
    // Load: true when every byte of the file has been read.
    bool AtEnd();

    // Load: up to count bytes; returns how many were read (fewer only at the end).
    UINT Read(void* buffer, UINT count);
    // Load: exactly count bytes, or CArchiveException endOfFile at the current offset.
    void ReadExact(void* buffer, std::size_t count);
    BYTE ReadByte();
    WORD ReadWord();
    DWORD ReadDword();
    DWORD ReadCount() {
        if (lim_ - cur_ >= 2 && !(cur_[0] == 0xFF && cur_[1] == 0xFF)) {
            return ReadWord();  // the common case, inline
        }
        return ReadCountSlow();
    }
    // Replaces out with the next String (see the layout above).
    void ReadString(std::string& out) {
        out.clear();
        ReadStringAppend(out);
    }
    // Appends the next String to out (several strings collected in one buffer).
    void ReadStringAppend(std::string& out) {
        // The common case, inline: a short string that lies whole in the buffer (and
        // so, whole in the file).
        if (cur_ < lim_ && *cur_ < 0xFF && static_cast<std::size_t>(lim_ - cur_) > *cur_) {
            const std::size_t n = *cur_;
            out.append(reinterpret_cast<const char*>(cur_ + 1), n);
            cur_ += 1 + n;
            return;
        }
        ReadStringAppendSlow(out);
    }

    void Write(const void* buffer, std::size_t count);
    void WriteByte(BYTE value) { Write(&value, 1); }
    void WriteWord(WORD value);
    void WriteDword(DWORD value);
    void WriteCount(std::uint64_t count);
    // Throws CArchiveException genericException for a string of 0xFFFFFFFF bytes or more.
    void WriteString(std::string_view value) {
        // The common case, inline: a short string that fits in the buffer.
        if (value.size() < 0xFF && cur_ <= end_ &&
            static_cast<std::size_t>(end_ - cur_) > value.size()) {
            *cur_++ = static_cast<BYTE>(value.size());
            std::memcpy(cur_, value.data(), value.size());
            cur_ += value.size();
            return;
        }
        WriteStringSlow(value);
    }

    // Store: writes the buffered bytes to the file.
    void Flush();
    // Store: flushes; load: nothing more to do. The archive cannot be used afterwards.
    void Close();
    // Drops the buffer without writing it; never throws.
    void Abort();

  private:
    void RequireLoading() const;
    void RequireStoring() const;
    // Load: refills the buffer; returns false at the end of the file.
    bool Fill();
    [[noreturn]] void ThrowEnd(std::uint64_t offset, const char* what) const;
    DWORD ReadCountSlow();
    void WriteStringSlow(std::string_view value);
    void ReadStringAppendSlow(std::string& out);
    // Reads a String's length prefix (offset: where it starts) and checks it.
    std::uint64_t ReadStringLength(std::uint64_t& offset);
    void AppendStringBytes(std::string& out, std::uint64_t n, std::uint64_t offset);

    CFile* file_;
    bool loading_;
    bool closed_ = false;
    UINT size_;
    std::unique_ptr<BYTE[]> storage_;
    BYTE* buf_;
    BYTE* cur_;               // next byte to read or write
    BYTE* lim_;               // load: end of the valid data; store: buf_, so no read fast path runs
    BYTE* end_;               // store: end of the buffer; load: buf_, so no write fast path runs
    std::uint64_t base_ = 0;  // archive offset of buf_[0]
    std::uint64_t length_ = 0;  // load: file length when the archive was made
};

inline BYTE CArchive::ReadByte() {
    if (cur_ < lim_) {
        return *cur_++;
    }
    BYTE b = 0;
    ReadExact(&b, 1);
    return b;
}

inline WORD CArchive::ReadWord() {
    if (lim_ - cur_ >= 2) {
        const WORD w = static_cast<WORD>(cur_[0] | (cur_[1] << 8));
        cur_ += 2;
        return w;
    }
    BYTE b[2] = {};
    ReadExact(b, 2);
    return static_cast<WORD>(b[0] | (b[1] << 8));
}

inline DWORD CArchive::ReadDword() {
    BYTE b[4] = {};
    if (lim_ - cur_ >= 4) {
        std::memcpy(b, cur_, 4);
        cur_ += 4;
    } else {
        ReadExact(b, 4);
    }
    return static_cast<DWORD>(b[0]) | static_cast<DWORD>(b[1]) << 8 |
           static_cast<DWORD>(b[2]) << 16 | static_cast<DWORD>(b[3]) << 24;
}

inline void CArchive::Write(const void* buffer, std::size_t count) {
    if (static_cast<std::size_t>(end_ - cur_) >= count && cur_ <= end_) {
        std::memcpy(cur_, buffer, count);
        cur_ += count;
        return;
    }
    RequireStoring();
    const auto* in = static_cast<const BYTE*>(buffer);
    while (count > 0) {
        if (cur_ == end_) {
            Flush();
        }
        const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(end_ - cur_));
        std::memcpy(cur_, in, n);
        cur_ += n;
        in += n;
        count -= n;
    }
}
