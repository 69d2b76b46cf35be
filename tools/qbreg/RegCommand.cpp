#include "RegCommand.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "text/CaseCompare.h"

namespace qbreg {
namespace {

struct Value {
    std::string name;
    DWORD type = 0;
    std::string data;
};

// A key opened for the length of one command.
class OpenKey {
public:
    OpenKey(const KeyPath& key, REGSAM access) {
        status_ = RegOpenKeyExA(key.root, key.path.c_str(), 0, access, &handle_);
    }
    ~OpenKey() {
        if (status_ == ERROR_SUCCESS) {
            RegCloseKey(handle_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    LSTATUS status() const { return status_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
    LSTATUS status_;
};

std::vector<Value> Values(HKEY key) {
    std::vector<Value> values;
    std::vector<char> name(16384);
    std::vector<BYTE> data(1024);
    for (DWORD index = 0;;) {
        DWORD cchName = static_cast<DWORD>(name.size());
        DWORD cbData = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS s =
            RegEnumValueA(key, index, name.data(), &cchName, nullptr, &type, data.data(), &cbData);
        if (s == ERROR_MORE_DATA) {
            data.resize(cbData);
            continue;
        }
        if (s != ERROR_SUCCESS) {
            break;
        }
        values.push_back({std::string(name.data(), cchName), type,
                          std::string(reinterpret_cast<char*>(data.data()), cbData)});
        ++index;
    }
    return values;
}

std::vector<std::string> SubKeys(HKEY key) {
    std::vector<std::string> names;
    std::vector<char> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD cch = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, index, name.data(), &cch, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), cch);
    }
    return names;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(two, sizeof(two), "%02x", static_cast<unsigned char>(bytes[i]));
        if (i != 0) {
            out += ',';
        }
        out += two;
    }
    return out;
}

// Text of a REG_SZ up to its first zero, control bytes shown as \xNN.
std::string Printable(const std::string& data) {
    std::string out;
    for (char c : data) {
        if (c == '\0') {
            break;
        }
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof(esc), "\\x%02x", b);
            out += esc;
        } else {
            out += c;
        }
    }
    return out;
}

DWORD AsDword(const std::string& data) {
    DWORD v = 0;
    std::memcpy(&v, data.data(), std::min<std::size_t>(data.size(), sizeof(v)));
    return v;
}

std::string Shown(const Value& v) {
    switch (v.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return Printable(v.data);
        case REG_DWORD: {
            char buf[16];
            std::snprintf(buf, sizeof(buf), "0x%x", AsDword(v.data));
            return buf;
        }
        default:
            return Hex(v.data);
    }
}

bool Confirm(const std::string& question, std::FILE* out) {
    std::fprintf(out, "%s (Yes/No)? ", question.c_str());
    std::fflush(out);
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::fprintf(out, "\n");
        return false;
    }
    return text::EqualsNoCase(answer, "y", text::CodePage::Utf8) ||
           text::EqualsNoCase(answer, "yes", text::CodePage::Utf8);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "qbreg: %s\n", message.c_str());
    return 1;
}

std::string Describe(LSTATUS s) {
    switch (s) {
        case ERROR_FILE_NOT_FOUND:
            return "not found";
        case ERROR_ACCESS_DENIED:
            return "access denied (the hive cannot be written, or the key has subkeys)";
        case ERROR_BADDB:
            return "the registry hive cannot be used";
        default:
            return "error " + std::to_string(s);
    }
}

void PrintKey(const std::string& full, HKEY key, const ValueName& only, bool recursive,
              std::FILE* out, bool& anyValue) {
    std::fprintf(out, "\n%s\n", full.c_str());
    for (const Value& v : Values(key)) {
        if (only.given && !text::EqualsNoCase(v.name, only.name, text::CodePage::Utf8)) {
            continue;
        }
        anyValue = true;
        std::fprintf(out, "    %s    %s    %s\n", v.name.empty() ? "(Default)" : v.name.c_str(),
                     TypeName(v.type).c_str(), Shown(v).c_str());
    }
    for (const std::string& sub : SubKeys(key)) {
        if (recursive) {
            HKEY child = nullptr;
            if (RegOpenKeyExA(key, sub.c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
                PrintKey(full + "\\" + sub, child, only, recursive, out, anyValue);
                RegCloseKey(child);
            }
        } else if (!only.given) {
            std::fprintf(out, "%s\\%s\n", full.c_str(), sub.c_str());
        }
    }
}

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

// A REG_SZ is written as text when its bytes are printable text with one final zero.
bool IsPlainText(const std::string& data) {
    if (data.empty() || data.back() != '\0') {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b < 0x20 || b == 0x7F) {
            return false;
        }
    }
    return true;
}

void ExportKey(const std::string& full, HKEY key, std::FILE* f) {
    std::fprintf(f, "\n[%s]\n", full.c_str());
    for (const Value& v : Values(key)) {
        const std::string name = v.name.empty() ? "@" : Quoted(v.name);
        std::string data;
        char buf[32];
        if (v.type == REG_SZ && IsPlainText(v.data)) {
            data = Quoted(v.data.substr(0, v.data.size() - 1));
        } else if (v.type == REG_DWORD && v.data.size() == 4) {
            std::snprintf(buf, sizeof(buf), "dword:%08x", AsDword(v.data));
            data = buf;
        } else {
            std::snprintf(buf, sizeof(buf), "hex(%x):", v.type);
            data = buf + Hex(v.data);
        }
        std::fprintf(f, "%s=%s\n", name.c_str(), data.c_str());
    }
    for (const std::string& sub : SubKeys(key)) {
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, sub.c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
            ExportKey(full + "\\" + sub, child, f);
            RegCloseKey(child);
        }
    }
}

}  // namespace

std::optional<KeyPath> ParseKey(const std::string& text) {
    const std::size_t slash = text.find('\\');
    const std::string root = text.substr(0, slash);
    KeyPath key;
    auto is = [&](const char* name) { return text::EqualsNoCase(root, name, text::CodePage::Utf8); };
    if (is("HKLM") || is("HKEY_LOCAL_MACHINE")) {
        key.root = HKEY_LOCAL_MACHINE;
        key.rootName = "HKEY_LOCAL_MACHINE";
    } else if (is("HKCR") || is("HKEY_CLASSES_ROOT")) {
        key.root = HKEY_CLASSES_ROOT;
        key.rootName = "HKEY_CLASSES_ROOT";
    } else {
        return std::nullopt;
    }
    if (slash != std::string::npos) {
        key.path = text.substr(slash + 1);
        while (!key.path.empty() && key.path.back() == '\\') {
            key.path.pop_back();
        }
    }
    return key;
}

std::string TypeName(DWORD type) {
    switch (type) {
        case REG_NONE:
            return "REG_NONE";
        case REG_SZ:
            return "REG_SZ";
        case REG_EXPAND_SZ:
            return "REG_EXPAND_SZ";
        case REG_BINARY:
            return "REG_BINARY";
        case REG_DWORD:
            return "REG_DWORD";
        default:
            return "REG_0x" + std::to_string(type);
    }
}

int Query(const KeyPath& key, const ValueName& value, bool recursive, std::FILE* out) {
    OpenKey k(key, KEY_READ);
    if (k.status() != ERROR_SUCCESS) {
        return Fail("the key " + key.Full() + " was not found (" + Describe(k.status()) + ").");
    }
    bool anyValue = false;
    PrintKey(key.Full(), k.get(), value, recursive, out, anyValue);
    if (value.given && !anyValue) {
        return Fail("the value " + (value.name.empty() ? std::string("(Default)") : value.name) +
                    " was not found under " + key.Full() + ".");
    }
    return 0;
}

int Add(const KeyPath& key, const ValueName& value, const std::string& type,
        const std::optional<std::string>& data, bool force, std::FILE* out) {
    std::string bytes;
    DWORD code = REG_SZ;
    if (type == "REG_SZ") {
        bytes = data.value_or("");
        bytes.push_back('\0');
    } else if (type == "REG_DWORD") {
        const std::string d = data.value_or("0");
        char* end = nullptr;
        errno = 0;
        const unsigned long long v = std::strtoull(d.c_str(), &end, 0);
        if (d.empty() || *end != '\0' || errno != 0 || v > 0xFFFFFFFFull || d[0] == '-') {
            return Fail("\"" + d + "\" is not a REG_DWORD value (give a number from 0 to 4294967295, or 0x...).");
        }
        const auto dw = static_cast<DWORD>(v);
        bytes.assign(reinterpret_cast<const char*>(&dw), sizeof(dw));
        code = REG_DWORD;
    } else {
        return Fail("unsupported type " + type + " (use REG_SZ or REG_DWORD).");
    }
    HKEY handle = nullptr;
    const LSTATUS created = RegCreateKeyExA(key.root, key.path.c_str(), 0, nullptr, 0,
                                            KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    if (created != ERROR_SUCCESS) {
        return Fail("the key " + key.Full() + " cannot be created (" + Describe(created) + ").");
    }
    int status = 0;
    if (value.given) {
        const bool exists = RegQueryValueExA(handle, value.name.c_str(), nullptr, nullptr, nullptr,
                                             nullptr) == ERROR_SUCCESS;
        if (exists && !force &&
            !Confirm("Value " + (value.name.empty() ? std::string("(Default)") : value.name) +
                         " exists, overwrite",
                     out)) {
            status = Fail("the operation was cancelled; nothing was changed.");
        } else {
            const LSTATUS s = RegSetValueExA(handle, value.name.c_str(), 0, code,
                                             reinterpret_cast<const BYTE*>(bytes.data()),
                                             static_cast<DWORD>(bytes.size()));
            if (s != ERROR_SUCCESS) {
                status = Fail("the value cannot be written (" + Describe(s) + ").");
            }
        }
    }
    RegCloseKey(handle);
    if (status == 0) {
        std::fprintf(out, "The operation completed successfully.\n");
    }
    return status;
}

int Delete(const KeyPath& key, const ValueName& value, bool allValues, bool force,
           std::FILE* out) {
    OpenKey k(key, KEY_ALL_ACCESS);
    if (k.status() != ERROR_SUCCESS) {
        return Fail("the key " + key.Full() + " was not found (" + Describe(k.status()) + ").");
    }
    if (!value.given && !allValues && key.path.empty()) {
        return Fail("a root key cannot be deleted.");
    }
    const std::string what = value.given
                                 ? "the registry value " +
                                       (value.name.empty() ? std::string("(Default)") : value.name)
                             : allValues ? "all values under " + key.Full()
                                         : "the registry key " + key.Full();
    if (!force && !Confirm("Permanently delete " + what, out)) {
        return Fail("the operation was cancelled; nothing was deleted.");
    }
    LSTATUS s = ERROR_SUCCESS;
    if (value.given) {
        s = RegDeleteValueA(k.get(), value.name.c_str());
    } else if (allValues) {
        for (const Value& v : Values(k.get())) {
            if (const LSTATUS d = RegDeleteValueA(k.get(), v.name.c_str()); d != ERROR_SUCCESS) {
                s = d;
            }
        }
    } else {
        s = RegDeleteTreeA(key.root, key.path.c_str());
    }
    if (s != ERROR_SUCCESS) {
        return Fail("cannot delete " + what + " (" + Describe(s) + ").");
    }
    std::fprintf(out, "The operation completed successfully.\n");
    return 0;
}

int Export(const KeyPath& key, const std::string& file, std::FILE* out) {
    OpenKey k(key, KEY_READ);
    if (k.status() != ERROR_SUCCESS) {
        return Fail("the key " + key.Full() + " was not found (" + Describe(k.status()) + ").");
    }
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (f == nullptr) {
        return Fail("cannot write " + file + ": " + std::strerror(errno) + ".");
    }
    std::fprintf(f, "; Quenby registry export of %s\n", key.Full().c_str());
    std::fprintf(f, "; REG_SZ \"text\" (with its final zero), REG_DWORD dword:, other bytes hex(type):\n");
    ExportKey(key.Full(), k.get(), f);
    if (std::fclose(f) != 0) {
        return Fail("cannot write " + file + ": " + std::strerror(errno) + ".");
    }
    std::fprintf(out, "The operation completed successfully.\n");
    return 0;
}

}  // namespace qbreg
