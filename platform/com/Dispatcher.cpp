#include "com/Dispatcher.h"

#include <array>
#include <exception>
#include <new>

#include "text/CodePage.h"

namespace com {
namespace {

// Two declared types are the same at the C++ level (IDL long and int are both 32 bits).
bool SameCppType(VARTYPE declared, VARTYPE bound) {
    auto norm = [](VARTYPE t) {
        const VARTYPE base = t & VT_TYPEMASK;
        const VARTYPE same = base == VT_INT ? static_cast<VARTYPE>(VT_I4) : base;
        return static_cast<VARTYPE>(same | (t & VT_BYREF));
    };
    return norm(declared) == norm(bound);
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// Per-call storage for converted arguments and out values, released on every path.
struct CallFrame {
    std::array<VARIANT, Dispatcher::kMaxParams> slots;   // what the member reads
    std::array<VARIANT, Dispatcher::kMaxParams> values;  // owned temporaries
    std::array<VARIANT*, Dispatcher::kMaxParams> writeBack{};
    std::size_t count = 0;

    explicit CallFrame(std::size_t n) : count(n) {
        for (std::size_t i = 0; i < n; ++i) {
            VariantInit(&slots[i]);
            VariantInit(&values[i]);
        }
    }
    ~CallFrame() {
        for (std::size_t i = 0; i < count; ++i) {
            VariantClear(&values[i]);
        }
    }
    // Moves a temporary out (into a caller's VARIANT, freed first when asked).
    void MoveOut(std::size_t i, VARIANT* target) {
        *target = values[i];
        VariantInit(&values[i]);
    }
};

}  // namespace

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        return Trimmed(e.what());
    } catch (...) {
        return "An unexpected error occurred.";
    }
}

Dispatcher::Dispatcher(ITypeInfo* typeInfo, std::span<const MemberBinding> bindings,
                       std::string source, ExceptionDescriber describe)
    : typeInfo_(typeInfo), source_(std::move(source)), describe_(describe) {
    if (typeInfo_ != nullptr) {
        typeInfo_->AddRef();
    }
    const TypeDesc* type = typeInfo_ != nullptr ? DescOf(typeInfo_) : nullptr;
    if (type == nullptr || type->kind != TKIND_DISPATCH) {
        problems_ = "not an interface of a type library made by CreateTypeLib";
        return;
    }
    Verify(*type, bindings);
}

Dispatcher::~Dispatcher() {
    if (typeInfo_ != nullptr) {
        typeInfo_->Release();
    }
}

void Dispatcher::Verify(const TypeDesc& type, std::span<const MemberBinding> bindings) {
    if (bindings.size() != type.funcs.size()) {
        problems_ += type.name + ": " + std::to_string(type.funcs.size()) + " members, " +
                     std::to_string(bindings.size()) + " bindings; ";
    }
    DISPID maxId = 0;
    for (std::size_t i = 0; i < type.funcs.size() && i < bindings.size(); ++i) {
        const FuncDesc& f = type.funcs[i];
        const MemberBinding& b = bindings[i];
        bool ok = f.name == b.name && f.params.size() == b.arity && b.arity <= kMaxParams;
        for (std::size_t p = 0; ok && p < b.arity; ++p) {
            ok = SameCppType(f.params[p].type, b.signature[p]) &&
                 ((f.params[p].type & VT_BYREF) || (f.params[p].type & VT_TYPEMASK) != VT_VARIANT);
        }
        if (!ok) {
            problems_ +=
                type.name + "." + f.name + " is bound to " + b.name + " with another signature; ";
            continue;
        }
        members_.push_back(Member{&f, b.call});
        maxId = std::max(maxId, f.memid);
    }
    if (!problems_.empty()) {
        members_.clear();
        return;
    }
    byId_.assign(static_cast<std::size_t>(maxId) + 1, -1);
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (members_[i].desc->memid >= 0) {
            byId_[static_cast<std::size_t>(members_[i].desc->memid)] = static_cast<int>(i);
        }
    }
}

const Dispatcher::Member* Dispatcher::Find(DISPID id) const {
    if (id >= 0 && static_cast<std::size_t>(id) < byId_.size()) {
        const int index = byId_[static_cast<std::size_t>(id)];
        return index >= 0 ? &members_[static_cast<std::size_t>(index)] : nullptr;
    }
    for (const Member& m : members_) {
        if (m.desc->memid == id)
            return &m;
    }
    return nullptr;
}

HRESULT Dispatcher::GetTypeInfoCount(UINT* pctinfo) const {
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

HRESULT Dispatcher::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) const {
    if (ppTInfo == nullptr)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    if (typeInfo_ == nullptr)
        return E_UNEXPECTED;
    typeInfo_->AddRef();
    *ppTInfo = typeInfo_;
    return S_OK;
}

HRESULT Dispatcher::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                  DISPID* rgDispId) const {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!problems_.empty())
        return E_UNEXPECTED;
    return typeInfo_->GetIDsOfNames(rgszNames, cNames, rgDispId);
}

HRESULT Dispatcher::Fail(const Member& m, HRESULT scode, const std::string& what,
                         EXCEPINFO* excep) const {
    if (excep != nullptr) {
        *excep = EXCEPINFO{};
        excep->scode = scode;
        try {
            excep->bstrSource = AllocBstr(text::ToWide(source_, text::CodePage::Utf8));
            excep->bstrDescription = AllocBstr(text::ToWide(m.desc->name + ": " + what));
        } catch (const std::bad_alloc&) {
            // The caller still learns the failure and its scode, without the texts.
        }
    }
    return DISP_E_EXCEPTION;
}

HRESULT Dispatcher::Invoke(void* instance, DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                           DISPPARAMS* dp, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) const {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!problems_.empty())
        return E_UNEXPECTED;
    const Member* m = Find(dispIdMember);
    if (m == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    const FuncDesc& f = *m->desc;
    const bool callable = (f.invkind == INVOKE_FUNC && (wFlags & DISPATCH_METHOD)) ||
                          (f.invkind == INVOKE_PROPERTYGET && (wFlags & DISPATCH_PROPERTYGET));
    if (!callable)
        return DISP_E_MEMBERNOTFOUND;
    if (dp == nullptr || (dp->cArgs > 0 && dp->rgvarg == nullptr) || dp->cNamedArgs > dp->cArgs ||
        (dp->cNamedArgs > 0 && dp->rgdispidNamedArgs == nullptr)) {
        return E_INVALIDARG;
    }
    const std::size_t argCount = f.ArgumentCount();
    if (dp->cArgs != argCount)
        return DISP_E_BADPARAMCOUNT;

    // Which rgvarg entry feeds each parameter.
    std::array<int, kMaxParams> source;
    source.fill(-1);
    const UINT positional = dp->cArgs - dp->cNamedArgs;
    for (UINT i = 0; i < positional; ++i) {
        source[i] = static_cast<int>(dp->cArgs - 1 - i);
    }
    for (UINT j = 0; j < dp->cNamedArgs; ++j) {
        const DISPID param = dp->rgdispidNamedArgs[j];
        if (param < 0 || static_cast<std::size_t>(param) >= argCount ||
            source[static_cast<std::size_t>(param)] >= 0) {
            if (puArgErr != nullptr)
                *puArgErr = j;
            return DISP_E_PARAMNOTFOUND;
        }
        source[static_cast<std::size_t>(param)] = static_cast<int>(j);
    }

    CallFrame frame(f.params.size());
    for (std::size_t i = 0; i < f.params.size(); ++i) {
        const ParamDesc& p = f.params[i];
        VARIANT& slot = frame.slots[i];
        VARIANT& value = frame.values[i];
        if (p.flags & PARAMFLAG_FRETVAL) {
            value.vt = p.type & VT_TYPEMASK;
            slot.byref = (value.vt == VT_VARIANT) ? static_cast<void*>(&value) : &value.byref;
            if (value.vt == VT_VARIANT)
                value.vt = VT_EMPTY;
            continue;
        }
        VARIANT& arg = dp->rgvarg[source[i]];
        const UINT argIndex = static_cast<UINT>(source[i]);
        if (!(p.type & VT_BYREF)) {
            if (arg.vt == p.type || (p.type == VT_INT && arg.vt == VT_I4)) {
                slot = arg;  // borrowed: the caller keeps it
                continue;
            }
            const HRESULT hr = VariantChangeType(&value, &arg, 0, p.type);
            if (FAILED(hr)) {
                if (puArgErr != nullptr)
                    *puArgErr = argIndex;
                return hr;
            }
            slot = value;
            continue;
        }
        const VARTYPE pointee = p.type & VT_TYPEMASK;
        const bool pureOut = (p.flags & PARAMFLAG_FOUT) && !(p.flags & PARAMFLAG_FIN);
        if (arg.vt == p.type || (pointee == VT_INT && arg.vt == (VT_I4 | VT_BYREF))) {
            if (arg.byref == nullptr) {
                if (puArgErr != nullptr)
                    *puArgErr = argIndex;
                return DISP_E_TYPEMISMATCH;
            }
            slot.byref = arg.byref;  // the member sees and may replace the caller's value
            continue;
        }
        if (arg.vt != (VT_VARIANT | VT_BYREF) || arg.pvarVal == nullptr) {
            if (puArgErr != nullptr)
                *puArgErr = argIndex;
            return DISP_E_TYPEMISMATCH;
        }
        const HRESULT hr = VariantChangeType(&value, arg.pvarVal, 0, pointee);
        if (FAILED(hr)) {
            if (!pureOut) {
                if (puArgErr != nullptr)
                    *puArgErr = argIndex;
                return hr;
            }
            VariantInit(&value);  // what an [out] parameter held does not matter
            value.vt = pointee;
        }
        slot.byref = &value.byref;
        frame.writeBack[i] = arg.pvarVal;
    }

    HRESULT hr = S_OK;
    try {
        hr = m->call(instance, frame.slots.data());
    } catch (const std::bad_alloc&) {
        return Fail(*m, E_OUTOFMEMORY, "Not enough memory to complete the operation.", pExcepInfo);
    } catch (...) {
        return Fail(*m, E_FAIL, describe_ != nullptr ? describe_() : DescribeCurrentException(),
                    pExcepInfo);
    }
    if (FAILED(hr)) {
        return Fail(*m, hr, DescribeHResult(hr), pExcepInfo);
    }
    for (std::size_t i = 0; i < f.params.size(); ++i) {
        if (frame.writeBack[i] != nullptr) {
            VariantClear(frame.writeBack[i]);
            frame.MoveOut(i, frame.writeBack[i]);
        }
    }
    if (pVarResult != nullptr) {
        VariantInit(pVarResult);
        if (f.HasRetval())
            frame.MoveOut(f.params.size() - 1, pVarResult);
    }
    return S_OK;
}

}  // namespace com
