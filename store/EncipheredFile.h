// CEncipheredFile: a CFile whose bytes on disk are in the file cipher's enciphered form
// while its callers read and write plain bytes. Byte p of the file (counted from its
// start) is XORed with key byte (p % 512) % 54, exactly as CCrypto::ConvertFile does,
// so a file written here is what ConvertFile makes of the plain bytes, and ConvertFile
// deciphers it again.
//
// This keeps a store's plaintext in memory only: a store archive streams through a
// CArchive over this file, and no plaintext copy ever touches the disk.
//
// Any position and length is handled (the key follows the file position); a CArchive
// reads and writes whole buffers, which the cipher handles block by block.
// Ownership and thread: as CFile. Read and Write throw as CFile does.
#pragma once

#include <vector>

#include "files/File.h"

class CEncipheredFile : public CFile {
  public:
    UINT Read(void* buffer, UINT count) override;
    // Enciphers a copy; the caller's buffer is left as it is.
    void Write(const void* buffer, UINT count) override;

    // Converts count bytes that sit at file offset `offset` (both directions).
    static void Convert(BYTE* data, std::size_t count, std::uint64_t offset);

  private:
    std::vector<BYTE> scratch_;
};
