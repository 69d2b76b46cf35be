// The standard class object: creates instances of one class through its creators.
//
// References are counted atomically (class objects may be shared between threads).
// The module's cache holds the first reference; while anyone else holds one too, the
// class object keeps one lock on its module, so the module stays loaded.
#pragma once

#include <atomic>

#include "com/ServerModule.h"

namespace com {

class ClassFactory final : public IClassFactory {
  public:
    // Returns a class object with one reference (the cache's).
    static IClassFactory* Create(ServerModule& module, const ClassEntry& entry);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // CLASS_E_NOAGGREGATION when outer is given with any riid but IID_IUnknown (an
    // aggregated object hands its own identity only to its outer object) or the class
    // cannot be aggregated.
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT LockServer(BOOL lock) override;

  private:
    ClassFactory(ServerModule& module, const ClassEntry& entry) : module_(module), entry_(entry) {}
    ~ClassFactory() = default;

    ServerModule& module_;
    const ClassEntry& entry_;
    std::atomic<ULONG> refs_{0};
};

}  // namespace com
