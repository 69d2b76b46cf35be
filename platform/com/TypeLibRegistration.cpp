// LoadTypeLib, RegisterTypeLib, UnRegisterTypeLib and the table of type libraries that
// loaded modules carry.
#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <mutex>

#include "com/ModulePath.h"
#include "com/Registrar.h"
#include "com/RegistryText.h"
#include "com/TypeInfo.h"
#include "text/CaseCompare.h"
#include "text/CodePage.h"

namespace com {
namespace {

std::mutex g_resourcesMutex;
std::map<std::string, const TypeLibDesc*>& Resources() {
    static auto* table = new std::map<std::string, const TypeLibDesc*>();  // outlives unloads
    return *table;
}

std::string Narrow(LPCOLESTR text) {
    return text == nullptr ? std::string() : text::ToNarrow(text, text::CodePage::Utf8);
}

// Text that the registrar writes as it stands.
std::string Literal(const std::string& text) {
    std::string out;
    for (char c : text) {
        out.push_back(c);
        if (c == '%')
            out.push_back('%');
    }
    return out;
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

std::string VersionKey(WORD major, WORD minor) {
    return Hex(major) + "." + Hex(minor);
}

const char* SysKindKey(SYSKIND kind) {
    switch (kind) {
        case SYS_WIN16:
            return "win16";
        case SYS_MAC:
            return "mac";
        case SYS_WIN64:
            return "win64";
        case SYS_WIN32:
            break;
    }
    return "win32";
}

bool IsRegisteredInterface(const TypeDesc& t) {
    return t.kind == TKIND_DISPATCH && (t.flags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
}

std::string ReadDefault(const std::string& path) {
    std::string text;
    ReadString(HKEY_CLASSES_ROOT, path, nullptr, &text);
    return text;
}

// True when the key has subkeys other than those named in except.
bool HasOtherSubkeys(const std::string& path, std::initializer_list<const char*> except) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    bool other = false;
    char name[512];
    for (DWORD i = 0; !other; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        other = true;
        for (const char* e : except) {
            if (text::EqualsNoCase(name, e, text::CodePage::Utf8))
                other = false;
        }
    }
    RegCloseKey(key);
    return other;
}

// Calls visit for each interface of lib that has keys of its own under
// HKCR\Interface (dual or automation interfaces), until visit fails.
template <class Visit>
HRESULT ForEachRegisteredInterface(ITypeLib* lib, Visit visit) {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < lib->GetTypeInfoCount() && SUCCEEDED(hr); ++i) {
        ComPtr<ITypeInfo> info;
        if (FAILED(lib->GetTypeInfo(i, info.Receive())))
            continue;
        const TypeDesc* t = DescOf(info.get());
        if (t != nullptr && IsRegisteredInterface(*t))
            hr = visit(*t);
    }
    return hr;
}

HRESULT DeleteTree(const std::string& path) {
    const LSTATUS status = RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

}  // namespace

void RegisterTypeLibResource(const void* addressInModule, const TypeLibDesc* desc) {
    const std::string path = ModulePathOf(addressInModule);
    std::lock_guard<std::mutex> lock(g_resourcesMutex);
    Resources()[path] = desc;
}

void UnregisterTypeLibResource(const void* addressInModule) {
    const std::string path = ModulePathOf(addressInModule);
    std::lock_guard<std::mutex> lock(g_resourcesMutex);
    Resources().erase(path);
}

}  // namespace com

HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** ppTLib) {
    if (file == nullptr || ppTLib == nullptr) {
        return E_INVALIDARG;
    }
    *ppTLib = nullptr;
    const std::string path = com::Narrow(file);
    const std::string real = com::RealPath(path);
    if (real.empty()) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    auto fromTable = [&](HRESULT* hr) {
        std::lock_guard<std::mutex> lock(com::g_resourcesMutex);
        const auto found = com::Resources().find(real);
        if (found == com::Resources().end())
            return false;
        *hr = com::CreateTypeLib(*found->second, ppTLib);  // a copy: the module may go
        return true;
    };
    HRESULT hr = TYPE_E_CANTLOADLIBRARY;
    if (fromTable(&hr)) {
        return hr;  // the module is loaded (the program itself, possibly)
    }
    // Loading the module runs its static initialisation, which announces its library.
    void* handle = ::dlopen(real.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    fromTable(&hr);
    ::dlclose(handle);
    return hr;
}

HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir) {
    if (lib == nullptr || fullPath == nullptr) {
        return E_INVALIDARG;
    }
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib->GetLibAttr(&attr);
    if (FAILED(hr)) {
        return hr;
    }
    com::Bstr name, doc;
    hr = lib->GetDocumentation(-1, name.Receive(), doc.Receive(), nullptr, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    const std::string path = com::Narrow(fullPath);
    std::string folder = com::Narrow(helpDir);
    if (helpDir == nullptr) {
        folder = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
    }
    const std::string libid = com::FormatGuid(attr->guid);
    const std::string title =
        text::ToNarrow(doc.view().empty() ? name.view() : doc.view(), text::CodePage::Utf8);
    const std::string version = com::VersionKey(attr->wMajorVerNum, attr->wMinorVerNum);

    using com::RegKey;
    using com::RegKeyDesc;
    using com::RegMark;
    const RegKeyDesc lcidKey = RegKey(com::Hex(attr->lcid), std::nullopt,
                                      {RegKey(com::SysKindKey(attr->syskind), com::Literal(path))});
    const RegKeyDesc versionKey = RegKey(version, com::Literal(title),
                                         {RegKey("FLAGS", std::to_string(attr->wLibFlags)),
                                          RegKey("HELPDIR", com::Literal(folder)), lcidKey});
    com::RegScript script{HKEY_CLASSES_ROOT,
                          {RegKey("TypeLib", std::nullopt,
                                  {RegKey(libid, std::nullopt, {versionKey})}, RegMark::NoRemove)}};

    RegKeyDesc interfaces = RegKey("Interface", std::nullopt, {}, RegMark::NoRemove);
    const std::string marshaller = com::FormatGuid(CLSID_PSOAInterface);
    com::ForEachRegisteredInterface(lib, [&](const com::TypeDesc& t) {
        interfaces.children.push_back(
            RegKey(com::FormatGuid(t.guid), t.name,
                   {RegKey("ProxyStubClsid", marshaller), RegKey("ProxyStubClsid32", marshaller),
                    RegKey("TypeLib", libid, {}, RegMark::None, {{"Version", version}})}));
        return S_OK;
    });
    script.keys.push_back(std::move(interfaces));
    lib->ReleaseTLibAttr(attr);
    return com::Registrar().Register(script);
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD majorVersion, WORD minorVersion, LCID lcid,
                          SYSKIND syskind) {
    const std::string libKey = "TypeLib\\" + com::FormatGuid(libid);
    const std::string versionKey = libKey + "\\" + com::VersionKey(majorVersion, minorVersion);
    const std::string lcidKey = versionKey + "\\" + com::Hex(lcid);
    const std::string pathKey = lcidKey + "\\" + com::SysKindKey(syskind);
    const std::string path = com::ReadDefault(pathKey);
    if (path.empty()) {
        return TYPE_E_REGISTRYACCESS;
    }
    com::ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLib(text::ToWide(path, text::CodePage::Utf8).c_str(), lib.Receive());
    if (FAILED(hr)) {
        return hr;
    }
    hr = com::ForEachRegisteredInterface(lib.get(), [&](const com::TypeDesc& t) {
        // An interface key that another library took over since is left to it.
        const std::string key = "Interface\\" + com::FormatGuid(t.guid);
        const bool ours = text::EqualsNoCase(com::ReadDefault(key + "\\TypeLib"),
                                             com::FormatGuid(libid), text::CodePage::Utf8);
        return ours ? com::DeleteTree(key) : S_OK;
    });
    if (SUCCEEDED(hr))
        hr = com::DeleteTree(pathKey);
    if (SUCCEEDED(hr) && !com::HasOtherSubkeys(lcidKey, {}))
        hr = com::DeleteTree(lcidKey);
    if (SUCCEEDED(hr) && !com::HasOtherSubkeys(versionKey, {"FLAGS", "HELPDIR"})) {
        hr = com::DeleteTree(versionKey);
    }
    if (SUCCEEDED(hr) && !com::HasOtherSubkeys(libKey, {}))
        hr = com::DeleteTree(libKey);
    return hr;
}
