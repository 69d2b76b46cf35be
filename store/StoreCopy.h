// Copying an identity file byte for byte: the copy routine of export and import.
//
// The file is copied unchanged (it stays enciphered) through one 513-byte buffer in
// blocks of 512 bytes. The destination is replaced only whole (SafeReplace): until the
// copy is complete it is as it was, and a failure leaves it so.
//
// Failures are told to the user here, in a message box without owner, caption "Quenby",
// type MB_OK, and the call returns false:
//   the source cannot be opened or read:
//     "Unable to read the file <source>. Nothing was copied."
//   the destination cannot be written (its folder takes no new file, the disk is full):
//     "Unable to write the file <destination>. Nothing was copied."
// Nothing throws except allocation.
//
// Thread: the UI thread (it may show a message box).
#pragma once

#include <string>

namespace store {

constexpr const char* kMessageCaption = "Quenby";

bool CopyStoreFile(const std::string& source, const std::string& destination);

}  // namespace store
