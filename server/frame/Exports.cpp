// The exports of QBStorage.so (its load and unload: ServerModule.cpp).
//
// Exported (all else is hidden): DllCanUnloadNow, DllGetClassObject, DllRegisterServer,
// DllUnregisterServer, and ModuleVersionValue (the version block, see VersionInfo.h).
#include <cstring>

#include "QBStorageModule.h"
#include "ServerUiModule.h"
#include "VersionInfo.h"

#define QB_EXPORT extern "C" __attribute__((visibility("default")))

QB_EXPORT HRESULT DllCanUnloadNow() {
    QB_MANAGE_STATE();
    return QBStorageModule().CanUnloadNow();
}

QB_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return QBStorageModule().GetClassObject(rclsid, riid, ppv);
}

QB_EXPORT HRESULT DllRegisterServer() {
    return QBStorageModule().RegisterServer();
}

QB_EXPORT HRESULT DllUnregisterServer() {
    return QBStorageModule().UnregisterServer();
}

// Copies the value of a version sub-block into buffer (size bytes, always terminated
// when size > 0) and returns the bytes it needs with its terminator; 0 when the
// sub-block does not exist.
QB_EXPORT DWORD ModuleVersionValue(const char* subBlock, char* buffer, DWORD size) {
    const char* value = subBlock != nullptr ? VersionValue(subBlock) : nullptr;
    if (value == nullptr) {
        if (buffer != nullptr && size > 0)
            buffer[0] = '\0';
        return 0;
    }
    const std::size_t needed = std::strlen(value) + 1;
    if (buffer != nullptr && size > 0) {
        const std::size_t n = needed <= size ? needed - 1 : size - 1;
        std::memcpy(buffer, value, n);
        buffer[n] = '\0';
    }
    return static_cast<DWORD>(needed);
}
