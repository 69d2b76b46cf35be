// Exceptions of the file and archive layer. They are thrown by value and caught by
// reference; what() gives a sentence for the user.
#pragma once

#include <exception>
#include <string>

// Base of the platform's own exceptions.
class CException : public std::exception {
public:
    explicit CException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A failure of CFile: the cause (MFC CFileException::cause values), the OS error
// (errno) and the file it concerns.
class CFileException : public CException {
public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(Cause cause, int osError, std::string fileName);

    Cause m_cause;
    int m_lOsError;
    std::string m_strFileName;

    static Cause CauseFromErrno(int err);
};
