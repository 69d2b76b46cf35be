// IUnknown and IClassFactory: the base of every interface, and the class object that
// creates instances of one class.
//
// Interfaces are abstract structs whose virtual functions form the function table in
// declaration order. An interface pointer is released with Release, never deleted.
// Reference counting rules: every interface pointer handed out (a QueryInterface
// result, an [out] parameter) carries one reference that its receiver releases.
#pragma once

#include "com/ComTypes.h"
#include "com/Guid.h"
#include "com/HResult.h"

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    // Creates an instance (aggregated inside outer when outer is not null) and
    // queries it for riid.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppvObject) = 0;
    // TRUE keeps the server loaded until a matching FALSE.
    virtual HRESULT LockServer(BOOL lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// Created objects can be asked to run (OleRun); ours never need to, so this is the
// whole contract the runtime relies on.
struct IRunnableObject : IUnknown {
    virtual HRESULT GetRunningClass(CLSID* clsid) = 0;
    virtual HRESULT Run(void* bindContext) = 0;
    virtual BOOL IsRunning() = 0;
    virtual HRESULT LockRunning(BOOL lock, BOOL lastUnlockCloses) = 0;
    virtual HRESULT SetContainedObject(BOOL contained) = 0;

  protected:
    ~IRunnableObject() = default;
};

inline constexpr IID IID_IUnknown = com::Guid("00000000-0000-0000-C000-000000000046");
inline constexpr IID IID_IClassFactory = com::Guid("00000001-0000-0000-C000-000000000046");
inline constexpr IID IID_IRunnableObject = com::Guid("00000126-0000-0000-C000-000000000046");

namespace com {

// Hands p out through ppv with one added reference; always S_OK.
template <class I>
HRESULT HandOut(I* p, void** ppv) {
    p->AddRef();
    *ppv = p;
    return S_OK;
}

// AddRef and Release for an object of the runtime itself (one that holds no module
// lock): the last Release deletes the Derived object. Count is ULONG for an object used
// on one thread, std::atomic<ULONG> for one that threads share. An object starts with
// no reference; its creator hands out the first.
template <class Derived, class Interface, class Count = ULONG>
class RefCounted : public Interface {
  public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

  protected:
    RefCounted() = default;
    ~RefCounted() = default;

  private:
    Count refs_{0};
};

// Owns one reference to an interface and releases it. Move-only.
template <class I>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    void reset() {
        if (p_ != nullptr) {
            I* p = p_;
            p_ = nullptr;
            p->Release();
        }
    }
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // The address to receive an interface pointer into (releases what is held).
    I** Receive() {
        reset();
        return &p_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    I* Detach() {
        I* p = p_;
        p_ = nullptr;
        return p;
    }

  private:
    I* p_ = nullptr;
};

}  // namespace com
