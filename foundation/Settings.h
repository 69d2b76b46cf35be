// The master-password record and the other settings under HKLM\SOFTWARE\Quenby.
//
// AppValue (REG_SZ), for a password of n bytes (0..258):
//   bytes 0..n-1  the password enciphered with CCrypto::ConvertBuffer; every byte that
//                 comes out 0 is replaced by the substitute character
//   byte  n       the prompt flag: '?' ask before form filling, '=' do not
//   byte  n+1     0; the stored size is n + 2
// SetChar (REG_DWORD): the substitute character's code, or 0 when none was needed.
// FIRSTRUN (any type): present only until the first start of the program.
//
// Every operation opens the key, works and closes it again; nothing is cached. The
// failures listed with each operation are shown in a message box (caption "Quenby",
// warning icon, OK) before the plain result is returned; nothing throws.
//
// The program's build has all operations; the server module's build lacks IsFirstRun
// and SetPromptFlag (QUENBY_MANAGER_FLAVOUR is 0 there).
#pragma once

#include <string>

#ifndef QUENBY_MANAGER_FLAVOUR
#error "QUENBY_MANAGER_FLAVOUR must be defined by the build (1 program, 0 server module)"
#endif

constexpr int kMaxPasswordLength = 258;

#if QUENBY_MANAGER_FLAVOUR
// True once after installation: FIRSTRUN exists and is deleted by this call.
// Key not openable: "Error in reading from the registry!", false.
bool IsFirstRun();
// Rewrites the last character of a non-empty AppValue to '?' or '='.
// Key not openable: "Error in reading from the registry!".
void SetPromptFlag(bool prompt);
#endif

// AppValue is not empty (an empty password, the flag alone, counts as set).
// Key not openable: "Error in reading from the registry!", false.
bool IsPasswordSet();
// False only when AppValue ends in '='. Key not openable: the reading message, true.
bool GetPromptFlag();
// Stores the record. Refuses with a message and returns false, writing nothing, when
// the password is longer than 258 bytes ("The password is too long! ..."), when no
// substitute character is left ("Please try some other password!") or when the key
// cannot be opened ("Error in writing to the registry!").
bool SavePassword(const std::string& password, bool prompt);
// Compares the entry with the stored password ignoring case (by characters of the
// process's code page). False without a message for a missing record, a record too
// long for the 260-byte buffer or one whose substitute character is not one we use.
// Key not openable: "Error in reading from the registry!", false.
bool CheckPassword(const std::string& entered);

// Replaces the zero bytes of buffer[0..length) by the first candidate of
// "+-_|~S=q38A" that does not occur there and stores it in substitute. True when that
// worked or nothing needed replacing (substitute untouched); false when all eleven
// candidates occur.
bool PickSubstituteChar(unsigned char* buffer, int length, char& substitute);
