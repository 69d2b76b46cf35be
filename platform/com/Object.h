// Objects of a server module: reference counting, aggregation, the module lock and
// IDispatch for dual interfaces.
//
// A class T of a module derives from its interfaces (through DualImpl for dual ones)
// and from ObjectRoot, and provides
//     HRESULT InternalQueryInterface(REFIID riid, void** ppv);
// which answers IID_IUnknown (always with the same pointer: the object's identity) and
// each interface of T by handing out static_cast<Interface*>(this) with HandOut, and
// sets *ppv to null and returns E_NOINTERFACE for any other. T leaves IUnknown's three
// functions to the wrappers below:
//   ComObject<T>         a plain instance, counting its own references;
//   AggregatedObject<T>  an instance inside an outer object: its interfaces delegate
//                        IUnknown to the outer object; only its own IUnknown counts.
// Both take one lock on the module before T is constructed and give it back after T is
// destroyed. Reference counts are plain: objects live in one apartment (thread).
#pragma once

#include <new>
#include <utility>

#include "com/Dispatcher.h"
#include "com/ServerModule.h"
#include "files/FileException.h"

namespace com {

class ObjectRoot {
  public:
    // Runs after construction, before the first QueryInterface; a failure destroys the
    // object and becomes the creation's result.
    HRESULT FinalConstruct() { return S_OK; }

  protected:
    ObjectRoot() = default;
    ~ObjectRoot() = default;
};

// IDispatch of a dual interface I, answered by the Dispatcher that dispatcher() returns.
template <class I, const Dispatcher& (*dispatcher)()>
class DualImpl : public I {
  public:
    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        return dispatcher().GetTypeInfoCount(pctinfo);
    }
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
        return dispatcher().GetTypeInfo(iTInfo, lcid, ppTInfo);
    }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override {
        return dispatcher().GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
    }
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        return dispatcher().Invoke(static_cast<I*>(this), dispIdMember, riid, lcid, wFlags, params,
                                   result, excep, argErr);
    }

  protected:
    ~DualImpl() = default;
};

// One lock on the module for as long as it lives; a base constructed before the
// object and destroyed after it.
class ModuleLock {
  protected:
    explicit ModuleLock(ServerModule& module) : module_(module) { module_.Lock(); }
    ~ModuleLock() { module_.Unlock(); }
    ServerModule& module_;
};

template <class T>
class ComObject final : private ModuleLock, public T {
  public:
    explicit ComObject(ServerModule& module) : ModuleLock(module) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr)
            return E_POINTER;
        return this->InternalQueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            refs_ = 1;  // a Release from inside the destructor must not come back here
            delete this;
        }
        return left;
    }

  private:
    ULONG refs_ = 0;
};

template <class T>
class AggregatedObject final : private ModuleLock, public IUnknown {
  public:
    AggregatedObject(ServerModule& module, IUnknown* outer) : ModuleLock(module), inner_(outer) {}

    // The non-delegating IUnknown that only the outer object holds.
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown)
            return HandOut<IUnknown>(this, ppv);
        return inner_.InternalQueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            refs_ = 1;
            delete this;
        }
        return left;
    }
    T& object() { return inner_; }

  private:
    class Contained final : public T {
      public:
        explicit Contained(IUnknown* outer) : outer_(outer) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override {
            return outer_->QueryInterface(riid, ppv);
        }
        ULONG AddRef() override { return outer_->AddRef(); }
        ULONG Release() override { return outer_->Release(); }

      private:
        IUnknown* outer_;  // not counted: the outer object owns us
    };

    ULONG refs_ = 0;
    Contained inner_;
};

namespace detail {
// Runs FinalConstruct and the query of a new object that holds no reference yet;
// the object is destroyed again when nothing took a reference.
template <class Object, class Root>
HRESULT Finish(Object* object, Root& root, REFIID riid, void** ppv) {
    object->AddRef();
    HRESULT hr = root.FinalConstruct();
    if (SUCCEEDED(hr)) {
        hr = object->QueryInterface(riid, ppv);
    }
    object->Release();
    return hr;
}

template <class Object, class... Args>
HRESULT Construct(Object** out, Args&&... args) {
    try {
        *out = new Object(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const CException&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;  // nothing thrown by a constructor leaves the module
    }
    return S_OK;
}
}  // namespace detail

// The creators of a class table entry.
template <class T>
HRESULT CreatePlain(ServerModule& module, IUnknown*, REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    ComObject<T>* object = nullptr;
    const HRESULT hr = detail::Construct(&object, module);
    return FAILED(hr) ? hr : detail::Finish(object, static_cast<T&>(*object), riid, ppv);
}

template <class T>
HRESULT CreateAggregated(ServerModule& module, IUnknown* outer, REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (outer == nullptr)
        return E_INVALIDARG;
    AggregatedObject<T>* object = nullptr;
    const HRESULT hr = detail::Construct(&object, module, outer);
    return FAILED(hr) ? hr : detail::Finish(object, object->object(), riid, ppv);
}

}  // namespace com
