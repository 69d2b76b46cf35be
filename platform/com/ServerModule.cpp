#include "com/ServerModule.h"

#include "com/ClassFactory.h"
#include "com/ModulePath.h"
#include "text/CodePage.h"

namespace com {
namespace {

std::u16string Wide(const std::string& utf8) {
    return text::ToWide(utf8, text::CodePage::Utf8);
}

}  // namespace

HRESULT ServerModule::Init(std::span<const ClassEntry> classes, const void* addressInModule,
                           const TypeLibDesc& typeLib) {
    if (initialized_) {
        return S_OK;
    }
    path_ = ModulePathOf(addressInModule);
    const HRESULT hr = CreateTypeLib(typeLib, &typeLib_);
    if (FAILED(hr)) {
        return hr;
    }
    classes_ = classes;
    cache_ = std::make_unique<std::atomic<IUnknown*>[]>(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i) {
        cache_[i] = nullptr;
    }
    initialized_ = true;
    return S_OK;
}

void ServerModule::Term() {
    if (!initialized_) {
        return;
    }
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        if (IUnknown* cached = cache_[i].exchange(nullptr)) {
            cached->Release();
        }
    }
    if (typeLib_ != nullptr) {
        typeLib_->Release();
        typeLib_ = nullptr;
    }
    initialized_ = false;
}

HRESULT ServerModule::GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!initialized_) {
        return E_UNEXPECTED;
    }
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        if (*classes_[i].clsid != rclsid) {
            continue;
        }
        IUnknown* cached = cache_[i].load();
        if (cached == nullptr) {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cached = cache_[i].load();
            if (cached == nullptr) {
                try {
                    cached = ClassFactory::Create(*this, classes_[i]);
                } catch (const std::bad_alloc&) {
                    return E_OUTOFMEMORY;
                }
                cache_[i].store(cached);
            }
        }
        return cached->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

Registrar ServerModule::MakeRegistrar() const {
    Registrar registrar;
    registrar.AddReplacement("MODULE", path_);
    return registrar;
}

HRESULT ServerModule::RegisterServer() {
    if (!initialized_) {
        return E_UNEXPECTED;
    }
    const Registrar registrar = MakeRegistrar();
    for (const ClassEntry& entry : classes_) {
        const HRESULT hr = registrar.Register(entry.registration());
        if (FAILED(hr)) {
            return hr;
        }
    }
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLib(Wide(path_).c_str(), lib.Receive());
    if (FAILED(hr)) {
        return hr;
    }
    const std::string folder = path_.substr(0, path_.rfind('/'));
    return RegisterTypeLib(lib.get(), Wide(path_).c_str(), Wide(folder).c_str());
}

HRESULT ServerModule::UnregisterServer() {
    if (!initialized_) {
        return E_UNEXPECTED;
    }
    const Registrar registrar = MakeRegistrar();
    for (const ClassEntry& entry : classes_) {
        const HRESULT hr = registrar.Unregister(entry.registration());
        if (FAILED(hr)) {
            return hr;
        }
    }
    TLIBATTR* attr = nullptr;
    HRESULT hr = typeLib_->GetLibAttr(&attr);
    if (FAILED(hr)) {
        return hr;
    }
    hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                           attr->syskind);
    typeLib_->ReleaseTLibAttr(attr);
    return hr;
}

}  // namespace com
