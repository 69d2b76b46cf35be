// The object runtime's calls: apartments, creating objects through the registry, and
// unloading server modules that are no longer used.
//
// Apartments: a thread calls CoInitialize before it creates objects and CoUninitialize
// as often when it is done. Objects live on the thread that created them and are
// called only there (apartment threading): this runtime does not marshal calls
// between threads.
//
// Server modules: CoCreateInstance and CoGetClassObject find a class's module in
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 (its default value is the module's
// full path), load it with dlopen once per process and call its DllGetClassObject.
// CoFreeUnusedLibraries unloads every loaded module whose DllCanUnloadNow says S_OK;
// the last CoUninitialize of the process does the same.
//
// Thread: all calls may be made from any thread that has called CoInitialize.
#pragma once

#include "com/Bstr.h"
#include "com/Unknown.h"

constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_ALL = 0x17;

// S_OK for the first call on a thread, S_FALSE for each further one;
// RPC_E_CHANGED_MODE when the thread already chose the other model.
HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD coInit);
void CoUninitialize();

// The class of a ProgID: the default value of HKCR\<progid>\CLSID, or, for a
// version-independent ProgID without one, that of its CurVer. CO_E_CLASSSTRING when
// the ProgID is not registered; REGDB_E_READREGDB when its class id is malformed.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// "{...}" as a class id; a ProgID is tried when the text has no braces.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

// The class object of rclsid from its registered in-process module.
// CO_E_NOTINITIALIZED on a thread without CoInitialize; REGDB_E_CLASSNOTREG when the
// class is not registered for an in-process context in clsctx; the module's own result
// otherwise; HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) when the module does not load;
// CO_E_ERRORINDLL when it lacks DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD clsctx, void* serverInfo, REFIID riid, void** ppv);
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv);
void CoFreeUnusedLibraries();

// Puts an object into its running state: IRunnableObject::Run when it has that
// interface, otherwise it is running already (S_OK).
HRESULT OleRun(IUnknown* object);

// The misc-status bits of a class for a drawing aspect: the default value (decimal text)
// of HKCR\CLSID\{clsid}\MiscStatus\<aspect> when present, else that of MiscStatus,
// else 0.
// REGDB_E_CLASSNOTREG when the class key is missing.
HRESULT OleRegGetMiscStatus(REFCLSID clsid, DWORD aspect, DWORD* status);

namespace com {

// The number of modules the runtime holds loaded (tests).
std::size_t LoadedServerCount();

}  // namespace com
