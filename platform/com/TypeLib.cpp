// ITypeLib and ITypeInfo over a copied TypeLibDesc.
#include <atomic>
#include <memory>

#include "com/NameIndex.h"
#include "com/TypeInfo.h"
#include "text/CodePage.h"

namespace com {
namespace {

BSTR Text(const std::string& utf8) {
    return AllocBstr(text::ToWide(utf8, text::CodePage::Utf8));
}

class TypeLib;

class TypeInfo final : public ITypeInfo {
  public:
    TypeInfo(TypeLib& lib, UINT index, const TypeDesc& desc, std::vector<HREFTYPE> implRefs,
             const TypeLibDesc& libDesc);

    const TypeDesc& desc() const { return desc_; }

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) override {
        if (ppTypeAttr == nullptr)
            return E_INVALIDARG;
        *ppTypeAttr = &attr_;
        return S_OK;
    }
    void ReleaseTypeAttr(TYPEATTR*) override {}
    HRESULT GetFuncDesc(UINT index, const FUNCDESC** ppFuncDesc) override {
        if (ppFuncDesc == nullptr)
            return E_INVALIDARG;
        if (index >= desc_.funcs.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *ppFuncDesc = &desc_.funcs[index];
        return S_OK;
    }
    void ReleaseFuncDesc(const FUNCDESC*) override {}
    HRESULT GetVarDesc(UINT index, const VARDESC** ppVarDesc) override {
        if (ppVarDesc == nullptr)
            return E_INVALIDARG;
        if (index >= desc_.values.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *ppVarDesc = &desc_.values[index];
        return S_OK;
    }
    void ReleaseVarDesc(const VARDESC*) override {}
    HRESULT GetNames(MEMBERID memid, BSTR* names, UINT max, UINT* count) override;
    HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override {
        if (pRefType == nullptr)
            return E_INVALIDARG;
        if (index >= implRefs_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *pRefType = implRefs_[index];
        return S_OK;
    }
    HRESULT GetImplTypeFlags(UINT index, int* flags) override {
        if (flags == nullptr)
            return E_INVALIDARG;
        if (index >= desc_.implTypes.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *flags = desc_.implTypes[index].flags;
        return S_OK;
    }
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override;
    HRESULT Invoke(void* instance, MEMBERID memid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excep, UINT* argErr) override {
        if (instance == nullptr)
            return E_INVALIDARG;
        if (desc_.kind != TKIND_DISPATCH)
            return E_NOTIMPL;
        // Every interface of ours is dual: the instance is an IDispatch whose Invoke is
        // driven by this very description.
        return static_cast<IDispatch*>(instance)->Invoke(memid, IID_NULL, LOCALE_USER_DEFAULT,
                                                         flags, params, result, excep, argErr);
    }
    HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* doc, DWORD* helpContext,
                             BSTR* helpFile) override;
    HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** ppTInfo) override;
    HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override;

  private:
    const FuncDesc* Find(MEMBERID memid) const {
        for (const FuncDesc& f : desc_.funcs) {
            if (f.memid == memid)
                return &f;
        }
        return nullptr;
    }

    TypeLib& lib_;
    UINT index_;
    const TypeDesc& desc_;
    std::vector<HREFTYPE> implRefs_;
    NameIndex names_;
    std::vector<NameIndex> paramNames_;
    TYPEATTR attr_;
};

// A server module keeps one type library for all its objects, on whatever thread they
// live, so its count is atomic.
class TypeLib final : public RefCounted<TypeLib, ITypeLib, std::atomic<ULONG>> {
  public:
    explicit TypeLib(TypeLibDesc desc) : desc_(std::move(desc)) {
        attr_ = TLIBATTR{desc_.libid,        desc_.lcid,         desc_.syskind,
                         desc_.majorVersion, desc_.minorVersion, desc_.libFlags};
    }

    // Builds the type infos; E_INVALIDARG when the description contradicts itself.
    HRESULT Build() {
        for (std::size_t i = 0; i < desc_.types.size(); ++i) {
            const TypeDesc& t = desc_.types[i];
            std::vector<HREFTYPE> refs;
            for (const ImplTypeDesc& impl : t.implTypes) {
                const int ref = IndexOfInterface(impl.interfaceName);
                if (ref < 0)
                    return E_INVALIDARG;
                refs.push_back(static_cast<HREFTYPE>(ref));
            }
            for (std::size_t a = 0; a < t.funcs.size(); ++a) {
                const FuncDesc& f = t.funcs[a];
                for (std::size_t b = 0; b < a; ++b) {
                    if (t.funcs[b].memid == f.memid)
                        return E_INVALIDARG;
                }
                for (std::size_t p = 0; p < f.params.size(); ++p) {
                    const ParamDesc& param = f.params[p];
                    const bool retval = (param.flags & PARAMFLAG_FRETVAL) != 0;
                    if (retval && (p + 1 != f.params.size() || !(param.type & VT_BYREF))) {
                        return E_INVALIDARG;
                    }
                }
            }
            infos_.push_back(
                std::make_unique<TypeInfo>(*this, static_cast<UINT>(i), t, std::move(refs), desc_));
        }
        return S_OK;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeLib)
            return HandOut(this, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    UINT GetTypeInfoCount() override { return static_cast<UINT>(infos_.size()); }
    HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override {
        if (ppTInfo == nullptr)
            return E_INVALIDARG;
        *ppTInfo = nullptr;
        if (index >= infos_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        return HandOut<ITypeInfo>(infos_[index].get(), reinterpret_cast<void**>(ppTInfo));
    }
    HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) override {
        if (kind == nullptr)
            return E_INVALIDARG;
        if (index >= infos_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *kind = desc_.types[index].kind;
        return S_OK;
    }
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTInfo) override {
        if (ppTInfo == nullptr)
            return E_INVALIDARG;
        *ppTInfo = nullptr;
        for (std::size_t i = 0; guid != GUID_NULL && i < infos_.size(); ++i) {
            if (desc_.types[i].guid == guid)
                return GetTypeInfo(static_cast<UINT>(i), ppTInfo);
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) override {
        if (ppTLibAttr == nullptr)
            return E_INVALIDARG;
        *ppTLibAttr = &attr_;
        return S_OK;
    }
    void ReleaseTLibAttr(TLIBATTR*) override {}
    HRESULT GetDocumentation(int index, BSTR* name, BSTR* doc, DWORD* helpContext,
                             BSTR* helpFile) override {
        if (index == -1) {
            return Document(desc_.name, desc_.helpString, name, doc, helpContext, helpFile);
        }
        if (index < 0 || static_cast<std::size_t>(index) >= desc_.types.size()) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        const TypeDesc& t = desc_.types[static_cast<std::size_t>(index)];
        return Document(t.name, t.helpString, name, doc, helpContext, helpFile);
    }

    static HRESULT Document(const std::string& n, const std::string& d, BSTR* name, BSTR* doc,
                            DWORD* helpContext, BSTR* helpFile) {
        if (name != nullptr && (*name = Text(n)) == nullptr)
            return E_OUTOFMEMORY;
        if (doc != nullptr && (*doc = Text(d)) == nullptr) {
            if (name != nullptr) {
                SysFreeString(*name);
                *name = nullptr;
            }
            return E_OUTOFMEMORY;
        }
        if (helpContext != nullptr)
            *helpContext = 0;
        if (helpFile != nullptr)
            *helpFile = nullptr;
        return S_OK;
    }

  private:
    friend class RefCounted<TypeLib, ITypeLib,
                            std::atomic<ULONG>>;  // deletes it with the last reference
    ~TypeLib() = default;

    int IndexOfInterface(const std::string& name) const {
        for (std::size_t i = 0; i < desc_.types.size(); ++i) {
            if (desc_.types[i].kind == TKIND_DISPATCH && desc_.types[i].name == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    TypeLibDesc desc_;
    std::vector<std::unique_ptr<TypeInfo>> infos_;
    TLIBATTR attr_;
};

TypeInfo::TypeInfo(TypeLib& lib, UINT index, const TypeDesc& desc, std::vector<HREFTYPE> implRefs,
                   const TypeLibDesc& libDesc)
    : lib_(lib), index_(index), desc_(desc), implRefs_(std::move(implRefs)) {
    std::vector<std::string> memberNames;
    for (const FuncDesc& f : desc_.funcs) {
        memberNames.push_back(f.name);
        std::vector<std::string> params;
        for (const ParamDesc& p : f.params)
            params.push_back(p.name);
        paramNames_.emplace_back(params);
    }
    names_ = NameIndex(memberNames);
    attr_ = TYPEATTR{desc_.guid,
                     libDesc.lcid,
                     desc_.kind,
                     static_cast<WORD>(desc_.funcs.size()),
                     static_cast<WORD>(desc_.values.size()),
                     static_cast<WORD>(desc_.implTypes.size()),
                     desc_.flags,
                     libDesc.majorVersion,
                     libDesc.minorVersion};
}

HRESULT TypeInfo::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ITypeInfo)
        return HandOut(this, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// A type info lives exactly as long as its library.
ULONG TypeInfo::AddRef() {
    return lib_.AddRef();
}
ULONG TypeInfo::Release() {
    return lib_.Release();
}

HRESULT TypeInfo::GetNames(MEMBERID memid, BSTR* names, UINT max, UINT* count) {
    if (names == nullptr || count == nullptr)
        return E_INVALIDARG;
    *count = 0;
    const FuncDesc* f = Find(memid);
    if (f == nullptr)
        return TYPE_E_ELEMENTNOTFOUND;
    std::vector<const std::string*> all{&f->name};
    for (const ParamDesc& p : f->params)
        all.push_back(&p.name);
    for (const std::string* n : all) {
        if (*count >= max)
            break;
        names[*count] = Text(*n);
        if (names[*count] == nullptr) {
            while (*count > 0)
                SysFreeString(names[--*count]);
            return E_OUTOFMEMORY;
        }
        ++*count;
    }
    return S_OK;
}

HRESULT TypeInfo::GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) {
    if (names == nullptr || ids == nullptr || count == 0)
        return E_INVALIDARG;
    auto view = [](LPOLESTR s) {
        return s == nullptr ? std::u16string_view() : std::u16string_view(s);
    };
    const int member = names[0] == nullptr ? -1 : names_.Find(view(names[0]));
    if (member < 0) {
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    ids[0] = desc_.funcs[static_cast<std::size_t>(member)].memid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const int param = names[i] == nullptr
                              ? -1
                              : paramNames_[static_cast<std::size_t>(member)].Find(view(names[i]));
        ids[i] = param;
        if (param < 0) {
            ids[i] = DISPID_UNKNOWN;
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

HRESULT TypeInfo::GetDocumentation(MEMBERID memid, BSTR* name, BSTR* doc, DWORD* helpContext,
                                   BSTR* helpFile) {
    if (memid == MEMBERID_NIL) {
        return TypeLib::Document(desc_.name, desc_.helpString, name, doc, helpContext, helpFile);
    }
    const FuncDesc* f = Find(memid);
    if (f == nullptr)
        return TYPE_E_ELEMENTNOTFOUND;
    return TypeLib::Document(f->name, f->helpString, name, doc, helpContext, helpFile);
}

HRESULT TypeInfo::GetRefTypeInfo(HREFTYPE ref, ITypeInfo** ppTInfo) {
    return lib_.GetTypeInfo(ref, ppTInfo);
}

HRESULT TypeInfo::GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) {
    if (ppTLib == nullptr)
        return E_INVALIDARG;
    lib_.AddRef();
    *ppTLib = &lib_;
    if (pIndex != nullptr)
        *pIndex = index_;
    return S_OK;
}

}  // namespace

HRESULT CreateTypeLib(const TypeLibDesc& desc, ITypeLib** ppTLib) {
    if (ppTLib == nullptr)
        return E_INVALIDARG;
    *ppTLib = nullptr;
    TypeLib* lib = nullptr;
    try {
        lib = new TypeLib(desc);
        lib->AddRef();
        const HRESULT hr = lib->Build();
        if (FAILED(hr)) {
            lib->Release();
            return hr;
        }
    } catch (const std::bad_alloc&) {
        if (lib != nullptr)
            lib->Release();
        return E_OUTOFMEMORY;
    }
    *ppTLib = lib;
    return S_OK;
}

const TypeDesc* DescOf(ITypeInfo* typeInfo) {
    auto* info = dynamic_cast<TypeInfo*>(typeInfo);
    return info != nullptr ? &info->desc() : nullptr;
}

}  // namespace com
