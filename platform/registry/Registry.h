// The registry: Reg*-style calls over one hive file (SQLite).
//
// Hive file: $QUENBY_REGISTRY if set, else ${XDG_DATA_HOME:-$HOME/.local/share}/quenby/registry.db,
// created with mode 0600 on first use. Roots are HKEY_LOCAL_MACHINE and
// HKEY_CLASSES_ROOT (an alias of HKLM\SOFTWARE\Classes). Key and value names compare
// ignoring case by character; value data keeps exactly the bytes and size written.
//
// Every call is one SQLite transaction, so two processes sharing the hive lose
// nothing; a hive busy in another process is waited for, not failed. A hive that is
// corrupt or unreadable makes every open fail with ERROR_FILE_NOT_FOUND, as a missing
// key does (HiveProblem() tells what is wrong). A hive that cannot be written makes
// an open that asks for KEY_WRITE fail with ERROR_ACCESS_DENIED.
//
// Handles: an HKEY returned by an open or create belongs to the caller until
// RegCloseKey. Predefined roots need no closing. Operations on a handle whose key
// was deleted meanwhile return ERROR_KEY_DELETED.
//
// Thread: all calls are safe from any thread (one connection per process, serialised).
#pragma once

#include <string>

#include "WinTypes.h"

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// Access rights (winnt.h values).
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens an existing key. subKey may be null or empty (a new handle to hKey itself).
LSTATUS RegOpenKeyExA(HKEY hKey, const char* subKey, DWORD options, REGSAM samDesired,
                      HKEY* result);
// Opens a key, creating it and any missing parents. disposition may be null.
LSTATUS RegCreateKeyExA(HKEY hKey, const char* subKey, DWORD reserved, char* className,
                        DWORD options, REGSAM samDesired, void* security, HKEY* result,
                        DWORD* disposition);
LSTATUS RegCloseKey(HKEY hKey);

// Reads a value (valueName null or "" is the key's default value). With data null
// only *type and *cbData are filled. With a buffer too small, *cbData gets the size
// needed and ERROR_MORE_DATA comes back; the buffer is not written.
LSTATUS RegQueryValueExA(HKEY hKey, const char* valueName, DWORD* reserved, DWORD* type,
                         BYTE* data, DWORD* cbData);
// Stores exactly cbData bytes of data under valueName with the given type.
LSTATUS RegSetValueExA(HKEY hKey, const char* valueName, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD cbData);
LSTATUS RegDeleteValueA(HKEY hKey, const char* valueName);

// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some).
LSTATUS RegDeleteKeyA(HKEY hKey, const char* subKey);
// Deletes subKey with everything below it; with subKey null, everything below hKey
// (its values and subkeys) but not hKey itself.
LSTATUS RegDeleteTreeA(HKEY hKey, const char* subKey);

// Enumerates subkeys and values by index, in name order (case-insensitive).
// ERROR_NO_MORE_ITEMS past the end. *cchName is the buffer size in, the length out.
LSTATUS RegEnumKeyExA(HKEY hKey, DWORD index, char* name, DWORD* cchName, DWORD* reserved,
                      char* className, DWORD* cchClass, void* lastWriteTime);
LSTATUS RegEnumValueA(HKEY hKey, DWORD index, char* valueName, DWORD* cchValueName,
                      DWORD* reserved, DWORD* type, BYTE* data, DWORD* cbData);

namespace registry {

// The hive file this process uses now.
std::string HivePath();
// Closes the connection so that the next call opens the hive named by the
// environment again (tests point QUENBY_REGISTRY at a fresh file per test). Open
// handles become invalid.
void ResetHive();
// Empty when the hive opens and reads fine; otherwise a sentence saying what is wrong
// with it (unreadable, not a hive, corrupt), for tools to show.
std::string HiveProblem();

}  // namespace registry
