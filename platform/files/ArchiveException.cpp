#include "files/ArchiveException.h"

namespace {

std::string DefaultDetail(CArchiveException::Cause cause) {
    switch (cause) {
        case CArchiveException::endOfFile:
            return "the data ends too early";
        case CArchiveException::badIndex:
            return "a tag refers to nothing that was read before it";
        case CArchiveException::badClass:
            return "the class name is wrong";
        case CArchiveException::badSchema:
            return "the class version is wrong";
        case CArchiveException::readOnly:
            return "the archive is open for reading only";
        case CArchiveException::writeOnly:
            return "the archive is open for writing only";
        default:
            return "the data is not valid";
    }
}

std::string Describe(std::uint64_t offset, const std::string& fileName, const std::string& detail) {
    return "Format error at byte " + std::to_string(offset) + " of " +
           (fileName.empty() ? std::string("(unnamed)") : fileName) + ": " + detail + ".";
}

}  // namespace

CArchiveException::CArchiveException(Cause cause, std::uint64_t offset, std::string fileName,
                                     std::string detail)
    : CException(Describe(offset, fileName, detail.empty() ? DefaultDetail(cause) : detail)),
      m_cause(cause),
      m_offset(offset),
      m_strFileName(std::move(fileName)),
      m_strDetail(detail.empty() ? DefaultDetail(cause) : std::move(detail)) {}
