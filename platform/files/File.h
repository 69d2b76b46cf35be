// CFile: an open file with the MFC open modes that our callers use.
//
// Open modes (flags may be or-ed): modeRead 0, modeWrite 1, modeReadWrite 2;
// shareCompat 0, shareExclusive 0x10, shareDenyWrite 0x20, shareDenyRead 0x30,
// shareDenyNone 0x40 (sharing flags are accepted; Linux has no mandatory sharing);
// modeCreate 0x1000 (create, truncating unless modeNoTruncate 0x2000);
// typeText 0x4000 and typeBinary 0x8000 (no text translation is ever done).
//
// Files we create get mode 0600: they may hold a user's data. A file without its
// owner's write bit is read-only: opening it for writing fails with accessDenied
// even for root, as it does on Windows.
//
// Errors: Open returns false (and fills the optional exception); Read, Write, Seek,
// GetLength and Close throw CFileException. A short write (disk full) throws.
// Open, Read, Write, Seek, Close and Abort are virtual, as in MFC, so that a file that
// transforms or buffers its bytes (CEncipheredFile in the store) can stand wherever a
// CFile is used.
// Ownership: the object owns its descriptor and closes it when destroyed (silently).
// Thread: one object, one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "WinTypes.h"
#include "files/FileException.h"

class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual bool Open(const std::string& fileName, UINT openFlags, CFileException* error = nullptr);
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual UINT Read(void* buffer, UINT count);
    // Writes all count bytes or throws.
    virtual void Write(const void* buffer, UINT count);
    std::uint64_t GetLength() const;
    virtual std::uint64_t Seek(std::int64_t offset, SeekPosition from);
    // Flushes and closes; throws when the system reports an error on close.
    virtual void Close();
    // Closes without reporting errors (destructor, clean-up paths).
    virtual void Abort();

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    const std::string& GetFilePath() const { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

// Windows file attributes mapped to permission bits.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

namespace files {

// Test seam: while a hook is set, every CFile::Write asks it first, with the path of
// the file; a true answer makes that write fail as on a full disk (CFileException
// diskFull, nothing of it written). Lets tests interrupt a save at any write.
// Process-wide and unsynchronised: set it, run the calls under test, clear it (pass {}).
using WriteFaultHook = std::function<bool(const std::string& path)>;
void SetWriteFaultHookForTesting(WriteFaultHook hook);

}  // namespace files
