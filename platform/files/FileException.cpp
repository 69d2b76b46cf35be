#include "files/FileException.h"

#include <cerrno>
#include <cstring>

namespace {

std::string Describe(CFileException::Cause cause, int osError, const std::string& fileName) {
    std::string what;
    switch (cause) {
        case CFileException::fileNotFound:
            what = "was not found";
            break;
        case CFileException::badPath:
            what = "has a path that does not exist";
            break;
        case CFileException::accessDenied:
            what = "cannot be accessed";
            break;
        case CFileException::diskFull:
            what = "cannot be written: the disk is full";
            break;
        case CFileException::endOfFile:
            what = "ended unexpectedly";
            break;
        default:
            what = "caused an error";
            break;
    }
    std::string text = "The file " + (fileName.empty() ? std::string("(unnamed)") : fileName) +
                       " " + what + ".";
    if (osError != 0) {
        text += std::string(" (") + std::strerror(osError) + ")";
    }
    return text;
}

}  // namespace

CFileException::CFileException(Cause cause, int osError, std::string fileName)
    : CException(Describe(cause, osError, fileName)),
      m_cause(cause),
      m_lOsError(osError),
      m_strFileName(std::move(fileName)) {}

CFileException::Cause CFileException::CauseFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
            return badPath;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return accessDenied;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case ENOSPC:
        case EDQUOT:
            return diskFull;
        case EIO:
            return hardIO;
        default:
            return genericException;
    }
}
