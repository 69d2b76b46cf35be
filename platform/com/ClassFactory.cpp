#include "com/ClassFactory.h"

namespace com {

IClassFactory* ClassFactory::Create(ServerModule& module, const ClassEntry& entry) {
    auto* factory = new ClassFactory(module, entry);
    factory->refs_ = 1;  // the cache's reference; no lock for it
    return factory;
}

HRESULT ClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        return HandOut<IClassFactory>(this, ppv);
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() {
    const ULONG refs = ++refs_;
    if (refs == 2) {
        module_.Lock();  // a client holds it besides the cache
    }
    return refs;
}

ULONG ClassFactory::Release() {
    const ULONG refs = --refs_;
    if (refs == 1) {
        module_.Unlock();  // only the cache's reference is left
    } else if (refs == 0) {
        delete this;
    }
    return refs;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (outer != nullptr && (riid != IID_IUnknown || entry_.createAggregated == nullptr)) {
        return CLASS_E_NOAGGREGATION;
    }
    return outer != nullptr ? entry_.createAggregated(module_, outer, riid, ppv)
                            : entry_.create(module_, outer, riid, ppv);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        module_.Lock();
    } else {
        module_.Unlock();
    }
    return S_OK;
}

}  // namespace com
