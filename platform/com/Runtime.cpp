#include "com/Runtime.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

#include "com/RegistryText.h"
#include "text/CodePage.h"

namespace {

using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT (*)();

thread_local int t_initCount = 0;
thread_local DWORD t_model = COINIT_APARTMENTTHREADED;
std::atomic<int> g_apartments{0};

struct LoadedServer {
    void* handle;
    DllGetClassObjectFn getClassObject;
    DllCanUnloadNowFn canUnloadNow;  // null: the module is never unloaded
};

// Guards the table; recursive because a module may create objects of other classes
// (through this runtime) while it hands out a class object.
std::recursive_mutex g_serversMutex;
std::map<std::string, LoadedServer>& Servers() {
    static auto* servers = new std::map<std::string, LoadedServer>();
    return *servers;
}

void FreeUnused() {
    std::lock_guard<std::recursive_mutex> lock(g_serversMutex);
    auto& servers = Servers();
    for (auto it = servers.begin(); it != servers.end();) {
        const LoadedServer& s = it->second;
        if (s.canUnloadNow != nullptr && s.canUnloadNow() == S_OK) {
            ::dlclose(s.handle);
            it = servers.erase(it);
        } else {
            ++it;
        }
    }
}

std::string Narrow(LPCOLESTR text) {
    return text::ToNarrow(text);
}

HRESULT LoadServer(const std::string& path, LoadedServer* out) {
    auto& servers = Servers();
    const auto found = servers.find(path);
    if (found != servers.end()) {
        *out = found->second;
        return S_OK;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    }
    LoadedServer server{handle,
                        reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject")),
                        reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"))};
    if (server.getClassObject == nullptr) {
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    servers.emplace(path, server);
    *out = server;
    return S_OK;
}

}  // namespace

HRESULT CoInitialize(void* reserved) {
    return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(void*, DWORD coInit) {
    if (t_initCount > 0) {
        if (coInit != t_model) {
            return RPC_E_CHANGED_MODE;
        }
        ++t_initCount;
        return S_FALSE;
    }
    t_model = coInit;
    t_initCount = 1;
    ++g_apartments;
    return S_OK;
}

void CoUninitialize() {
    if (t_initCount == 0) {
        return;
    }
    if (--t_initCount == 0 && --g_apartments == 0) {
        FreeUnused();
    }
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
    if (progId == nullptr || clsid == nullptr) {
        return E_INVALIDARG;
    }
    std::string name = Narrow(progId);
    std::string text;
    if (com::ReadString(HKEY_CLASSES_ROOT, name + "\\CLSID", nullptr, &text) != ERROR_SUCCESS) {
        std::string current;
        if (com::ReadString(HKEY_CLASSES_ROOT, name + "\\CurVer", nullptr, &current) !=
                ERROR_SUCCESS ||
            com::ReadString(HKEY_CLASSES_ROOT, current + "\\CLSID", nullptr, &text) !=
                ERROR_SUCCESS) {
            return CO_E_CLASSSTRING;
        }
    }
    return com::ParseGuid(text, clsid) ? S_OK : REGDB_E_READREGDB;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
    if (text == nullptr || clsid == nullptr) {
        return E_INVALIDARG;
    }
    const std::string narrow = Narrow(text);
    if (!narrow.empty() && narrow.front() == '{') {
        return com::ParseGuid(narrow, clsid) ? S_OK : CO_E_CLASSSTRING;
    }
    return CLSIDFromProgID(text, clsid);
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD clsctx, void*, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_INVALIDARG;
    }
    *ppv = nullptr;
    if (t_initCount == 0) {
        return CO_E_NOTINITIALIZED;
    }
    if (!(clsctx & CLSCTX_INPROC_SERVER)) {
        return REGDB_E_CLASSNOTREG;  // in-process servers are all this runtime runs
    }
    std::string path;
    if (com::ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + com::FormatGuid(rclsid) + "\\InprocServer32",
                        nullptr, &path) != ERROR_SUCCESS ||
        path.empty()) {
        return REGDB_E_CLASSNOTREG;
    }
    std::lock_guard<std::recursive_mutex> lock(g_serversMutex);
    LoadedServer server{};
    const HRESULT hr = LoadServer(path, &server);
    if (FAILED(hr)) {
        return hr;
    }
    return server.getClassObject(rclsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    com::ComPtr<IClassFactory> factory;
    HRESULT hr =
        CoGetClassObject(rclsid, clsctx, nullptr, IID_IClassFactory, factory.ReceiveVoid());
    if (FAILED(hr)) {
        return hr;
    }
    return factory->CreateInstance(outer, riid, ppv);
}

void CoFreeUnusedLibraries() {
    FreeUnused();
}

HRESULT OleRun(IUnknown* object) {
    if (object == nullptr) {
        return E_INVALIDARG;
    }
    com::ComPtr<IRunnableObject> runnable;
    if (FAILED(object->QueryInterface(IID_IRunnableObject, runnable.ReceiveVoid()))) {
        return S_OK;  // an object that cannot be asked is running
    }
    return runnable->Run(nullptr);
}

HRESULT OleRegGetMiscStatus(REFCLSID clsid, DWORD aspect, DWORD* status) {
    if (status == nullptr) {
        return E_INVALIDARG;
    }
    *status = 0;
    const std::string classKey = "CLSID\\" + com::FormatGuid(clsid);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return REGDB_E_CLASSNOTREG;
    }
    RegCloseKey(key);
    std::string text;
    if (com::ReadString(HKEY_CLASSES_ROOT, classKey + "\\MiscStatus\\" + std::to_string(aspect),
                        nullptr, &text) != ERROR_SUCCESS &&
        com::ReadString(HKEY_CLASSES_ROOT, classKey + "\\MiscStatus", nullptr, &text) !=
            ERROR_SUCCESS) {
        return S_OK;
    }
    *status = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
    return S_OK;
}

namespace com {

std::size_t LoadedServerCount() {
    std::lock_guard<std::recursive_mutex> lock(g_serversMutex);
    return Servers().size();
}

}  // namespace com
