#include "com/Variant.h"

#include "com/Automation.h"

#include <cmath>
#include <limits>

namespace {

bool IsKnownType(VARTYPE vt) {
    switch (vt & VT_TYPEMASK) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R8:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_INT:
            return (vt & ~(VT_TYPEMASK | VT_BYREF)) == 0 &&
                   !((vt & VT_BYREF) &&
                     ((vt & VT_TYPEMASK) == VT_EMPTY || (vt & VT_TYPEMASK) == VT_NULL));
        case VT_VARIANT:
            return vt == (VT_VARIANT | VT_BYREF);
        default:
            return false;
    }
}

// Copies the value held by src (not by reference) into dest, taking a new reference
// or string copy; dest is assumed free.
HRESULT CopyValue(VARIANT* dest, const VARIANT& src) {
    *dest = src;
    switch (src.vt) {
        case VT_BSTR:
            if (src.bstrVal != nullptr) {
                dest->bstrVal = com::AllocBstr(com::BstrView(src.bstrVal));
                if (dest->bstrVal == nullptr) {
                    VariantInit(dest);
                    return E_OUTOFMEMORY;
                }
            }
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            if (src.punkVal != nullptr) {
                src.punkVal->AddRef();
            }
            break;
        default:
            break;
    }
    return S_OK;
}

}  // namespace

void VariantInit(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->byref = nullptr;
    v->dblVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (v == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsKnownType(v->vt)) {
        return DISP_E_BADVARTYPE;
    }
    if (v->vt == VT_BSTR) {
        SysFreeString(v->bstrVal);
    } else if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal != nullptr) {
        v->punkVal->Release();
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (dest == nullptr || src == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsKnownType(src->vt)) {
        return DISP_E_BADVARTYPE;
    }
    if (dest == src) {
        return S_OK;
    }
    const HRESULT hr = VariantClear(dest);
    if (FAILED(hr)) {
        return hr;
    }
    return CopyValue(dest, *src);
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
    if (dest == nullptr || src == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsKnownType(src->vt)) {
        return DISP_E_BADVARTYPE;
    }
    if (!(src->vt & VT_BYREF)) {
        return VariantCopy(dest, src);
    }
    if (src->byref == nullptr) {
        return E_INVALIDARG;
    }
    VARIANT value;
    VariantInit(&value);
    const VARTYPE type = src->vt & VT_TYPEMASK;
    switch (type) {
        case VT_VARIANT:
            if (src->pvarVal->vt & VT_BYREF) {
                return E_INVALIDARG;  // a reference to a reference is not a value
            }
            value = *src->pvarVal;
            break;
        case VT_I2:
            value.iVal = *src->piVal;
            break;
        case VT_I4:
            value.lVal = *src->plVal;
            break;
        case VT_INT:
            value.intVal = *src->pintVal;
            break;
        case VT_R8:
            value.dblVal = *src->pdblVal;
            break;
        case VT_BOOL:
            value.boolVal = *src->pboolVal;
            break;
        case VT_ERROR:
            value.scode = *src->pscode;
            break;
        case VT_BSTR:
            value.bstrVal = *src->pbstrVal;
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            value.punkVal = *src->ppunkVal;
            break;
        default:
            return DISP_E_BADVARTYPE;
    }
    if (type != VT_VARIANT) {
        value.vt = type;
    }
    if (!IsKnownType(value.vt)) {
        return DISP_E_BADVARTYPE;
    }
    // The referenced value may live inside dest (dest == src->pvarVal): copy first.
    VARIANT copy;
    const HRESULT hr = CopyValue(&copy, value);
    if (FAILED(hr)) {
        return hr;
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

namespace com {

void ClearExcepInfo(EXCEPINFO* info) {
    if (info == nullptr) {
        return;
    }
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    *info = EXCEPINFO{};
}

}  // namespace com

void VariantFromNumber(VARIANT* v, double d) {
    if (std::trunc(d) == d && d >= std::numeric_limits<LONG>::min() &&
        d <= std::numeric_limits<LONG>::max()) {
        v->vt = VT_I4;
        v->lVal = static_cast<LONG>(d);
    } else {
        v->vt = VT_R8;
        v->dblVal = d;
    }
}
