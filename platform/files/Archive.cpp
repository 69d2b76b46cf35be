#include "files/Archive.h"

#include <algorithm>

CArchive::CArchive(CFile* file, UINT mode, UINT bufferSize)
    : file_(file),
      loading_((mode & load) != 0),
      size_(bufferSize == 0 ? kDefaultBufferSize : bufferSize),
      storage_(new BYTE[size_]),
      buf_(storage_.get()),
      cur_(buf_),
      lim_(buf_),
      end_(loading_ ? buf_ : buf_ + size_) {
    if (loading_) {
        length_ = file_->GetLength();
    }
}

CArchive::~CArchive() = default;

std::uint64_t CArchive::BytesRemaining() const {
    const std::uint64_t pos = GetPosition();
    return length_ > pos ? length_ - pos : 0;
}

bool CArchive::AtEnd() {
    RequireLoading();
    return cur_ == lim_ && !Fill();
}

void CArchive::RequireLoading() const {
    if (closed_) {
        throw CArchiveException(CArchiveException::genericException, GetPosition(), FileName(),
                                "the archive is closed");
    }
    if (!loading_) {
        throw CArchiveException(CArchiveException::writeOnly, GetPosition(), FileName());
    }
}

void CArchive::RequireStoring() const {
    if (closed_) {
        throw CArchiveException(CArchiveException::genericException, GetPosition(), FileName(),
                                "the archive is closed");
    }
    if (loading_) {
        throw CArchiveException(CArchiveException::readOnly, GetPosition(), FileName());
    }
}

bool CArchive::Fill() {
    base_ += static_cast<std::uint64_t>(lim_ - buf_);
    cur_ = lim_ = buf_;
    const UINT n = file_->Read(buf_, size_);
    lim_ = buf_ + n;
    return n > 0;
}

void CArchive::ThrowEnd(std::uint64_t offset, const char* what) const {
    throw CArchiveException(CArchiveException::endOfFile, offset, FileName(), what);
}

UINT CArchive::Read(void* buffer, UINT count) {
    RequireLoading();
    auto* out = static_cast<BYTE*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (cur_ == lim_ && !Fill()) {
            break;
        }
        const UINT n = std::min<UINT>(count - done, static_cast<UINT>(lim_ - cur_));
        std::memcpy(out + done, cur_, n);
        cur_ += n;
        done += n;
    }
    return done;
}

void CArchive::ReadExact(void* buffer, std::size_t count) {
    RequireLoading();
    const std::uint64_t offset = GetPosition();
    auto* out = static_cast<BYTE*>(buffer);
    while (count > 0) {
        if (cur_ == lim_ && !Fill()) {
            ThrowEnd(offset, "the data ends too early");
        }
        const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(lim_ - cur_));
        std::memcpy(out, cur_, n);
        cur_ += n;
        out += n;
        count -= n;
    }
}

DWORD CArchive::ReadCountSlow() {
    const std::uint64_t offset = GetPosition();
    try {
        const WORD w = ReadWord();
        return w != 0xFFFF ? w : ReadDword();
    } catch (const CArchiveException& e) {
        if (e.m_cause != CArchiveException::endOfFile) {
            throw;
        }
        ThrowEnd(offset, "the data ends inside a count");
    }
}

std::uint64_t CArchive::ReadStringLength(std::uint64_t& offset) {
    offset = GetPosition();
    std::uint64_t n = 0;
    try {
        n = ReadByte();
        if (n == 0xFF) {
            const WORD w = ReadWord();
            if (w == 0xFFFE) {
                throw CArchiveException(CArchiveException::genericException, offset, FileName(),
                                        "a string of 16-bit characters, which stores never hold");
            }
            n = w != 0xFFFF ? w : ReadDword();
        }
    } catch (const CArchiveException& e) {
        if (e.m_cause != CArchiveException::endOfFile) {
            throw;
        }
        ThrowEnd(offset, "the data ends inside a string length");
    }
    // Checked before anything is allocated: the length comes from the file.
    if (n > BytesRemaining()) {
        throw CArchiveException(
            CArchiveException::endOfFile, offset, FileName(),
            "a string of " + std::to_string(n) + " bytes runs past the end of the data");
    }
    return n;
}

void CArchive::AppendStringBytes(std::string& out, std::uint64_t n, std::uint64_t offset) {
    if (static_cast<std::uint64_t>(lim_ - cur_) >= n) {
        out.append(reinterpret_cast<const char*>(cur_), static_cast<std::size_t>(n));
        cur_ += n;
        return;
    }
    const std::size_t old = out.size();
    out.resize(old + static_cast<std::size_t>(n));
    try {
        ReadExact(out.data() + old, static_cast<std::size_t>(n));
    } catch (const CArchiveException&) {
        out.resize(old);
        // The file shrank while it was read.
        ThrowEnd(offset, "a string runs past the end of the data");
    }
}

void CArchive::ReadStringAppendSlow(std::string& out) {
    std::uint64_t offset = 0;
    const std::uint64_t n = ReadStringLength(offset);
    AppendStringBytes(out, n, offset);
}

void CArchive::WriteWord(WORD value) {
    const BYTE b[2] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)};
    Write(b, 2);
}

void CArchive::WriteDword(DWORD value) {
    const BYTE b[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                       static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    Write(b, 4);
}

void CArchive::WriteCount(std::uint64_t count) {
    if (count < 0xFFFF) {
        WriteWord(static_cast<WORD>(count));
        return;
    }
    if (count > 0xFFFFFFFFu) {
        throw CArchiveException(CArchiveException::genericException, GetPosition(), FileName(),
                                "a count too large for the format");
    }
    WriteWord(0xFFFF);
    WriteDword(static_cast<DWORD>(count));
}

void CArchive::WriteStringSlow(std::string_view value) {
    const std::uint64_t n = value.size();
    if (n < 0xFF) {
        WriteByte(static_cast<BYTE>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(static_cast<WORD>(n));
    } else if (n < 0xFFFFFFFFu) {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDword(static_cast<DWORD>(n));
    } else {
        throw CArchiveException(CArchiveException::genericException, GetPosition(), FileName(),
                                "a string too long for the format");
    }
    Write(value.data(), value.size());
}

void CArchive::Flush() {
    RequireStoring();
    if (cur_ > buf_) {
        const auto n = static_cast<UINT>(cur_ - buf_);
        file_->Write(buf_, n);
        base_ += n;
        cur_ = buf_;
    }
}

void CArchive::Close() {
    if (closed_) {
        return;
    }
    if (!loading_) {
        Flush();
    }
    Abort();
}

void CArchive::Abort() {
    closed_ = true;
    cur_ = lim_ = end_ = buf_;
}
