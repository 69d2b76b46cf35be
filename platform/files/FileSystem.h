// File-system calls of the Win32 kind: delete a file, read and set its attributes.
//
// Attributes map to permission bits: a file is read-only when its owner has no write
// bit. Setting FILE_ATTRIBUTE_READONLY removes every write bit; setting attributes
// without it gives the owner the write bit back (so FILE_ATTRIBUTE_ARCHIVE alone
// clears read-only). HIDDEN and SYSTEM have no counterpart here and are ignored.
//
// Results are those of the Win32 calls (TRUE/FALSE, INVALID_FILE_ATTRIBUTES); nothing
// throws. Thread: any.
#pragma once

#include <string>

#include "WinTypes.h"
#include "files/File.h"

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// Removes a file. Fails (FALSE) for a missing file, a folder, and a read-only file,
// as on Windows.
BOOL DeleteFileA(const char* fileName);
// FALSE when the file does not exist or its mode cannot be changed.
BOOL SetFileAttributesA(const char* fileName, DWORD attributes);
// DIRECTORY for a folder, ARCHIVE for a file, with READONLY when the owner cannot
// write it; INVALID_FILE_ATTRIBUTES when nothing exists at the path.
DWORD GetFileAttributesA(const char* fileName);
