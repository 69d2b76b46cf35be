// CArchiveException: a byte stream that does not follow the layout its reader expects
// (cut short, an unknown tag, a wrong class name or schema). It names the file and the
// byte offset, counted from the start of the archive, of the first byte of the element
// that is malformed or cut short, so a person can find the fault with a hex viewer.
//
// Thrown by value, caught by reference (or as CException).
#pragma once

#include <cstdint>
#include <string>

#include "files/FileException.h"

class CArchiveException : public CException {
  public:
    // The MFC CArchiveException::cause values.
    enum Cause {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
        bufferFull = 8,
    };

    // detail says what is wrong, as a phrase ("the class name is not CMapStringToString");
    // when empty, a phrase for the cause is used.
    CArchiveException(Cause cause, std::uint64_t offset, std::string fileName,
                      std::string detail = {});

    Cause m_cause;
    std::uint64_t m_offset;
    std::string m_strFileName;
    std::string m_strDetail;
};
