#include "com/Registrar.h"

namespace com {
namespace {

HRESULT FromStatus(LSTATUS status) {
    return HRESULT_FROM_WIN32(status);
}

LSTATUS SetString(HKEY key, const char* name, const std::string& data) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
}

bool HasSubkeys(HKEY key) {
    char name[512];
    DWORD size = sizeof name;
    return RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

HRESULT RegisterKey(HKEY parent, const RegKeyDesc& desc) {
    if (desc.mark == RegMark::ForceRemove) {
        const LSTATUS status = RegDeleteTreeA(parent, desc.name.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            return FromStatus(status);
        }
    }
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExA(parent, desc.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                     nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        return FromStatus(status);
    }
    HRESULT hr = S_OK;
    if (desc.value) {
        status = SetString(key, nullptr, *desc.value);
        hr = FromStatus(status);
    }
    for (std::size_t i = 0; SUCCEEDED(hr) && i < desc.values.size(); ++i) {
        hr = FromStatus(SetString(key, desc.values[i].name.c_str(), desc.values[i].data));
    }
    for (std::size_t i = 0; SUCCEEDED(hr) && i < desc.children.size(); ++i) {
        hr = RegisterKey(key, desc.children[i]);
    }
    RegCloseKey(key);
    return hr;
}

HRESULT UnregisterKey(HKEY parent, const RegKeyDesc& desc) {
    if (desc.mark == RegMark::ForceRemove) {
        const LSTATUS status = RegDeleteTreeA(parent, desc.name.c_str());
        return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
    }
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExA(parent, desc.name.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return S_OK;  // nothing of it is there
    }
    if (status != ERROR_SUCCESS) {
        return FromStatus(status);
    }
    HRESULT hr = S_OK;
    for (auto it = desc.children.rbegin(); SUCCEEDED(hr) && it != desc.children.rend(); ++it) {
        hr = UnregisterKey(key, *it);
    }
    for (std::size_t i = 0; SUCCEEDED(hr) && i < desc.values.size(); ++i) {
        status = RegDeleteValueA(key, desc.values[i].name.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            hr = FromStatus(status);
        }
    }
    const bool keep = desc.mark == RegMark::NoRemove || HasSubkeys(key);
    RegCloseKey(key);
    if (SUCCEEDED(hr) && !keep) {
        status = RegDeleteKeyA(parent, desc.name.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            hr = FromStatus(status);
        }
    }
    return hr;
}

}  // namespace

RegKeyDesc RegKey(std::string name, std::optional<std::string> value,
                  std::vector<RegKeyDesc> children, RegMark mark,
                  std::vector<RegValueDesc> values) {
    return RegKeyDesc{mark, std::move(name), std::move(value), std::move(values),
                      std::move(children)};
}

void Registrar::AddReplacement(const std::string& name, const std::string& value) {
    replacements_[name] = value;
}

HRESULT Registrar::Expand(const std::string& text, std::string* out) const {
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out->push_back(text[i]);
            continue;
        }
        const std::size_t end = text.find('%', i + 1);
        if (end == std::string::npos) {
            return E_INVALIDARG;
        }
        if (end == i + 1) {
            out->push_back('%');
        } else {
            const auto found = replacements_.find(text.substr(i + 1, end - i - 1));
            if (found == replacements_.end()) {
                return E_INVALIDARG;
            }
            out->append(found->second);
        }
        i = end;
    }
    return S_OK;
}

HRESULT Registrar::Expand(const RegKeyDesc& key, RegKeyDesc* out) const {
    out->mark = key.mark;
    HRESULT hr = Expand(key.name, &out->name);
    if (SUCCEEDED(hr) && key.value) {
        out->value.emplace();
        hr = Expand(*key.value, &*out->value);
    }
    for (std::size_t i = 0; SUCCEEDED(hr) && i < key.values.size(); ++i) {
        out->values.emplace_back();
        hr = Expand(key.values[i].name, &out->values.back().name);
        if (SUCCEEDED(hr)) {
            hr = Expand(key.values[i].data, &out->values.back().data);
        }
    }
    for (std::size_t i = 0; SUCCEEDED(hr) && i < key.children.size(); ++i) {
        out->children.emplace_back();
        hr = Expand(key.children[i], &out->children.back());
    }
    return hr;
}

HRESULT Registrar::Expand(const RegScript& script, RegScript* out) const {
    out->root = script.root;
    for (const RegKeyDesc& key : script.keys) {
        out->keys.emplace_back();
        const HRESULT hr = Expand(key, &out->keys.back());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

HRESULT Registrar::Register(const RegScript& script) const {
    RegScript expanded;
    HRESULT hr = Expand(script, &expanded);
    for (std::size_t i = 0; SUCCEEDED(hr) && i < expanded.keys.size(); ++i) {
        hr = RegisterKey(expanded.root, expanded.keys[i]);
    }
    return hr;
}

HRESULT Registrar::Unregister(const RegScript& script) const {
    RegScript expanded;
    HRESULT hr = Expand(script, &expanded);
    for (auto it = expanded.keys.rbegin(); SUCCEEDED(hr) && it != expanded.keys.rend(); ++it) {
        hr = UnregisterKey(expanded.root, *it);
    }
    return hr;
}

}  // namespace com
