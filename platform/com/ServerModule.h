// The frame of an in-process server module: its class table, lock count, class-object
// cache, registration and the answers of its four exports.
//
// A module has one ServerModule (a static). Init fills it when the module loads, Term
// empties it when the module unloads. Objects take one lock each while they live; a
// class object held by a client takes one while held; LockServer(TRUE) takes one.
// CanUnloadNow is S_OK only while the lock count is 0.
//
// Thread: the lock count is atomic and filling the class-object cache is guarded, so
// class objects may be requested from any thread. Init and Term run at load and unload.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "com/Registrar.h"
#include "com/TypeInfo.h"

namespace com {

class ServerModule;

// Creates an object of one class: plain (outer null) or aggregated inside outer, then
// queries it for riid. E_POINTER for a null ppv; E_OUTOFMEMORY when construction fails.
using CreatorFn = HRESULT (*)(ServerModule& module, IUnknown* outer, REFIID riid, void** ppv);

struct ClassEntry {
    const CLSID* clsid;
    CreatorFn create;             // plain instance
    CreatorFn createAggregated;   // null when the class cannot be aggregated
    RegScript (*registration)();  // the class's registration script
};

class ServerModule {
  public:
    ServerModule() = default;
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    // classes must outlive the module. addressInModule is any address inside the
    // module's file; its path becomes %MODULE%. The type library is created from desc.
    HRESULT Init(std::span<const ClassEntry> classes, const void* addressInModule,
                 const TypeLibDesc& typeLib);
    // Releases every cached class object and the type library.
    void Term();

    // The module's file, full path ("" before Init).
    const std::string& Path() const { return path_; }
    ITypeLib* TypeLib() const { return typeLib_; }
    bool IsInitialized() const { return initialized_; }

    LONG Lock() { return ++locks_; }
    LONG Unlock() { return --locks_; }
    LONG LockCount() const { return locks_.load(); }

    // DllGetClassObject: E_POINTER, CLASS_E_CLASSNOTAVAILABLE (*ppv null), or the
    // cached class object queried for riid. E_UNEXPECTED before Init succeeded.
    HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
    // The lock-count half of DllCanUnloadNow.
    HRESULT CanUnloadNow() const { return locks_.load() == 0 ? S_OK : S_FALSE; }
    // Runs each class's script, then registers the type library from the module's
    // file (help folder: the file's folder). Stops at the first failure.
    HRESULT RegisterServer();
    // Removes each class's keys, then the type library's. Stops at the first failure.
    HRESULT UnregisterServer();

  private:
    Registrar MakeRegistrar() const;

    std::span<const ClassEntry> classes_;
    std::unique_ptr<std::atomic<IUnknown*>[]> cache_;  // one slot per class
    std::mutex cacheLock_;
    std::atomic<LONG> locks_{0};
    std::string path_;
    ITypeLib* typeLib_ = nullptr;
    bool initialized_ = false;
};

}  // namespace com
