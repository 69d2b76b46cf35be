// The handful of Windows scalar types, handles and error codes that our
// platform calls use, so that code written against them reads like the
// algorithms it implements. Widths are the Windows ones (LONG is 32 bits).
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using LSTATUS = LONG;
using REGSAM = DWORD;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Opaque window handle. Windows of our own are identified by a process-wide id.
struct HWND__;
using HWND = HWND__*;

// A loaded module: nullptr is the program itself; otherwise the handle dlopen gave.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

// Windows system error codes (winerror.h values) returned by the platform calls and
// kept as the last error (system/LastError.h).
constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_PATH_NOT_FOUND = 3;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LSTATUS ERROR_BAD_FORMAT = 11;
constexpr LSTATUS ERROR_WRITE_FAULT = 29;
constexpr LSTATUS ERROR_SHARING_VIOLATION = 32;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
constexpr LSTATUS ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LSTATUS ERROR_INVALID_NAME = 123;
constexpr LSTATUS ERROR_MOD_NOT_FOUND = 126;
constexpr LSTATUS ERROR_PROC_NOT_FOUND = 127;
constexpr LSTATUS ERROR_ALREADY_EXISTS = 183;
constexpr LSTATUS ERROR_FILENAME_EXCED_RANGE = 206;
constexpr LSTATUS ERROR_MORE_DATA = 234;
constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;
constexpr LSTATUS ERROR_BADDB = 1009;
constexpr LSTATUS ERROR_KEY_DELETED = 1018;
constexpr LSTATUS ERROR_NO_ASSOCIATION = 1155;
constexpr LSTATUS ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr LSTATUS ERROR_TIMEOUT = 1460;
