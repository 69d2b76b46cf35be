#include "Settings.h"

#include <array>
#include <cstring>

#include "Crypto.h"
#include "SettingsKey.h"
#include "text/CaseCompare.h"
#include "ui/MessageBox.h"

namespace {

constexpr const char* kReadError = "Error in reading from the registry!";
constexpr const char* kWriteError = "Error in writing to the registry!";
constexpr const char* kNoSubstitute = "Please try some other password!";
constexpr const char* kTooLong =
    "The password is too long! Please use a password of at most 258 characters.";

constexpr std::array<char, 11> kCandidates = {'+', '-', '_', '|', '~', 'S', '=', 'q', '3', '8', 'A'};

void Warn(const char* text) { MessageBoxA(nullptr, text, "Quenby", MB_ICONWARNING); }

bool IsCandidate(DWORD code) {
    for (char c : kCandidates) {
        if (static_cast<DWORD>(static_cast<LONG>(c)) == code) {
            return true;
        }
    }
    return false;
}

}  // namespace

#if QUENBY_MANAGER_FLAVOUR
bool IsFirstRun() {
    settings::Key key(settings::kSettingsKey);
    if (!key.IsOpen()) {
        Warn(kReadError);
        return false;
    }
    if (!key.HasValue("FIRSTRUN")) {
        return false;
    }
    RegDeleteValueA(key.handle(), "FIRSTRUN");
    return true;
}

void SetPromptFlag(bool prompt) {
    settings::Key key(settings::kSettingsKey);
    if (!key.IsOpen()) {
        Warn(kReadError);
        return;
    }
    std::string record = key.ReadString("AppValue");
    if (record.empty()) {
        return;
    }
    record.back() = prompt ? '?' : '=';
    RegSetValueExA(key.handle(), "AppValue", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(record.c_str()),
                   static_cast<DWORD>(record.size() + 1));
}
#endif

bool IsPasswordSet() {
    settings::Key key(settings::kSettingsKey);
    if (!key.IsOpen()) {
        Warn(kReadError);
        return false;
    }
    return !key.ReadString("AppValue").empty();
}

bool GetPromptFlag() {
    settings::Key key(settings::kSettingsKey);
    if (!key.IsOpen()) {
        Warn(kReadError);
        return true;
    }
    const std::string record = key.ReadString("AppValue");
    return record.empty() || record.back() != '=';
}

bool PickSubstituteChar(unsigned char* buffer, int length, char& substitute) {
    if (buffer == nullptr || length <= 0 || std::memchr(buffer, 0, static_cast<std::size_t>(length)) == nullptr) {
        return true;
    }
    for (char candidate : kCandidates) {
        if (std::memchr(buffer, static_cast<unsigned char>(candidate),
                        static_cast<std::size_t>(length)) != nullptr) {
            continue;
        }
        for (int i = 0; i < length; ++i) {
            if (buffer[i] == 0) {
                buffer[i] = static_cast<unsigned char>(candidate);
            }
        }
        substitute = candidate;
        return true;
    }
    return false;
}

bool SavePassword(const std::string& password, bool prompt) {
    // The record holds 258 password bytes, the flag and the terminating zero.
    if (password.size() > static_cast<std::size_t>(kMaxPasswordLength)) {
        Warn(kTooLong);
        return false;
    }
    std::array<unsigned char, 260> buffer{};
    std::memcpy(buffer.data(), password.data(), password.size());
    const int n = static_cast<int>(std::strlen(password.c_str()));
    char substitute = 0;
    if (n != 0) {
        CCrypto crypto;
        crypto.ConvertBuffer(buffer.data(), static_cast<short>(n));
        if (!PickSubstituteChar(buffer.data(), n, substitute)) {
            Warn(kNoSubstitute);
            return false;
        }
    }
    settings::Key key(settings::kSettingsKey);
    if (!key.IsOpen()) {
        Warn(kWriteError);
        return false;
    }
    buffer[static_cast<std::size_t>(n)] = prompt ? '?' : '=';
    const DWORD setChar = static_cast<DWORD>(static_cast<LONG>(substitute));
    RegSetValueExA(key.handle(), "SetChar", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&setChar),
                   sizeof(setChar));
    const auto size = static_cast<DWORD>(std::strlen(reinterpret_cast<char*>(buffer.data())) + 1);
    RegSetValueExA(key.handle(), "AppValue", 0, REG_SZ, buffer.data(), size);
    return true;
}

bool CheckPassword(const std::string& entered) {
    std::string record;
    DWORD setChar = 0;
    {
        settings::Key key(settings::kSettingsKey);
        if (!key.IsOpen()) {
            Warn(kReadError);
            return false;
        }
        if (!key.HasValue("AppValue")) {
            return false;
        }
        bool fits = true;
        record = key.ReadString("AppValue", &fits);
        if (!fits) {
            return false;  // longer than any record we write; never read past the buffer
        }
        DWORD size = sizeof(setChar);
        if (RegQueryValueExA(key.handle(), "SetChar", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&setChar), &size) != ERROR_SUCCESS) {
            return false;
        }
    }
    if (!record.empty()) {
        record.pop_back();  // the prompt flag
    }
    if (record.empty()) {
        return true;
    }
    // A substitute we never write could turn password bytes into zeros at random.
    if (setChar != 0 && !IsCandidate(setChar)) {
        return false;
    }
    const auto low = static_cast<char>(setChar & 0xFF);
    if (low != 0) {
        for (char& c : record) {
            if (c == low) {
                c = '\0';
            }
        }
    }
    CCrypto crypto;
    crypto.ConvertBuffer(reinterpret_cast<unsigned char*>(record.data()),
                         static_cast<short>(record.size()));
    const std::string stored(record.c_str());
    return text::EqualsNoCase(stored, entered);
}
