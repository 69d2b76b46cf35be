#include "StoreCopy.h"

#include <memory>

#include "SafeReplace.h"
#include "files/File.h"
#include "ui/MessageBox.h"

namespace store {
namespace {

constexpr UINT kBlock = 512;

bool Refuse(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), kMessageCaption, MB_OK);
    return false;
}

}  // namespace

bool CopyStoreFile(const std::string& source, const std::string& destination) {
    const std::string cannotRead = "Unable to read the file " + source + ". Nothing was copied.";
    const std::string cannotWrite =
        "Unable to write the file " + destination + ". Nothing was copied.";
    CFile in;
    if (!in.Open(source, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        return Refuse(cannotRead);
    }
    std::unique_ptr<SafeReplace> replace;
    CFile out;
    try {
        replace = std::make_unique<SafeReplace>(destination);
        if (!out.Open(replace->TempPath(), CFile::modeCreate | CFile::modeWrite)) {
            return Refuse(cannotWrite);
        }
    } catch (const CFileException&) {
        return Refuse(cannotWrite);
    }
    auto buffer = std::make_unique<unsigned char[]>(kBlock + 1);
    for (;;) {
        UINT got = 0;
        try {
            got = in.Read(buffer.get(), kBlock);
        } catch (const CFileException&) {
            return Refuse(cannotRead);
        }
        if (got == 0) {
            break;
        }
        try {
            out.Write(buffer.get(), got);
        } catch (const CFileException&) {
            return Refuse(cannotWrite);
        }
    }
    try {
        out.Close();
        replace->Commit();
    } catch (const CFileException&) {
        return Refuse(cannotWrite);
    }
    return true;
}

}  // namespace store
