// CEncipheredFile: a CFile whose bytes on disk are in the file cipher's enciphered form
// while its callers read and write plain bytes. Byte p of the file (counted from its
// start) is XORed with key byte (p % 512) % 54, exactly as CCrypto::ConvertFile does,
// so a file written here is what ConvertFile makes of the plain bytes, and ConvertFile
// deciphers it again.
//
// This keeps a store's plaintext in memory only: a store archive streams through a
// CArchive over this file, and no plaintext copy ever touches the disk.
//
// The file is used sequentially from where Open or Seek left it; it reads ahead and
// writes behind in chunks of kChunk bytes (a whole number of cipher blocks), so a
// CArchive's 4096-byte transfers cost one system call per chunk. Close (or Seek)
// writes what is buffered; Abort and destruction drop it. GetLength counts only what
// has reached the file.
//
// Ownership and thread: as CFile. Read, Write, Seek and Close throw as CFile does.
#pragma once

#include <cstdint>
#include <memory>

#include "files/File.h"

class CEncipheredFile : public CFile {
  public:
    static constexpr UINT kChunk = 64 * 1024;

    CEncipheredFile();
    ~CEncipheredFile() override;

    bool Open(const std::string& fileName, UINT openFlags,
              CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
    void Close() override;
    void Abort() override;

    // Converts count bytes that sit at file offset `offset` (both directions).
    static void Convert(BYTE* data, std::size_t count, std::uint64_t offset);

  private:
    void FlushWrites();
    void Reset(std::uint64_t position);

    std::unique_ptr<BYTE[]> chunk_;
    std::uint64_t chunkAt_ = 0;  // file offset of chunk_[0]
    UINT used_ = 0;              // reading: bytes consumed; writing: bytes buffered
    UINT filled_ = 0;            // reading: valid bytes in chunk_
    bool writing_ = false;
};
