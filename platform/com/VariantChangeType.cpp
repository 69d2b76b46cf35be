// VariantChangeType: the coercions between the types of the scripting interface.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <string>

#include "com/Automation.h"
#include "com/Variant.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualsAsciiNoCase(std::u16string_view s, const char* word) {
    std::size_t i = 0;
    for (; word[i] != 0; ++i) {
        if (i >= s.size())
            return false;
        char16_t c = s[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != static_cast<char16_t>(word[i]))
            return false;
    }
    return i == s.size();
}

// Reads a number written as text. DISP_E_TYPEMISMATCH when it is not one.
HRESULT ParseNumber(std::u16string_view wide, double* out) {
    wide = Trim(wide);
    std::string s;
    s.reserve(wide.size());
    for (char16_t c : wide) {
        if (c > 0x7F)
            return DISP_E_TYPEMISMATCH;
        s.push_back(static_cast<char>(c));
    }
    bool negative = false;
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    if (s.size() - pos > 2 && s[pos] == '&' && (s[pos + 1] == 'H' || s[pos + 1] == 'h')) {
        // &H hex: up to eight digits, read as a 32-bit two's complement number.
        const std::string_view digits(s.data() + pos + 2, s.size() - pos - 2);
        if (digits.size() > 8)
            return DISP_E_OVERFLOW;
        std::uint32_t v = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
        if (ec != std::errc() || end != digits.data() + digits.size())
            return DISP_E_TYPEMISMATCH;
        const double value = static_cast<std::int32_t>(v);
        *out = negative ? -value : value;
        return S_OK;
    }
    if (pos >= s.size() || !((s[pos] >= '0' && s[pos] <= '9') || s[pos] == '.')) {
        return DISP_E_TYPEMISMATCH;  // also refuses "inf", "nan" and a sign alone
    }
    double value = 0;
    const char* first = s.data() + pos;
    const char* last = s.data() + s.size();
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (end != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        return DISP_E_TYPEMISMATCH;
    }
    if (ec == std::errc::result_out_of_range && std::isinf(value)) {
        return DISP_E_OVERFLOW;
    }
    *out = negative ? -value : value;
    return S_OK;
}

std::u16string Widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

std::string FormatDouble(double d) {
    if (d == 0)
        return "0";  // also -0
    char text[40];
    std::snprintf(text, sizeof text, "%.15G", d);
    return text;
}

// The value of src as a number (src is by value and not VT_DISPATCH).
HRESULT NumberOf(const VARIANT& src, double* out) {
    switch (src.vt) {
        case VT_EMPTY:
            *out = 0;
            return S_OK;
        case VT_I2:
            *out = src.iVal;
            return S_OK;
        case VT_I4:
            *out = src.lVal;
            return S_OK;
        case VT_INT:
            *out = src.intVal;
            return S_OK;
        case VT_R8:
            *out = src.dblVal;
            return S_OK;
        case VT_BOOL:
            *out = src.boolVal != 0 ? -1 : 0;
            return S_OK;
        case VT_BSTR:
            return ParseNumber(com::BstrView(src.bstrVal), out);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToInteger(double value, double low, double high, double* out) {
    if (std::isnan(value))
        return DISP_E_OVERFLOW;
    const double rounded = std::nearbyint(value);  // the default mode rounds half to even
    if (rounded < low || rounded > high)
        return DISP_E_OVERFLOW;
    *out = rounded;
    return S_OK;
}

HRESULT ToText(const VARIANT& src, USHORT flags, std::u16string* out) {
    double n = 0;
    switch (src.vt) {
        case VT_EMPTY:
            out->clear();
            return S_OK;
        case VT_BOOL:
            if (flags & VARIANT_ALPHABOOL) {
                *out = src.boolVal != 0 ? u"True" : u"False";
            } else {
                *out = src.boolVal != 0 ? u"-1" : u"0";
            }
            return S_OK;
        case VT_R8:
            *out = Widen(FormatDouble(src.dblVal));
            return S_OK;
        case VT_I2:
        case VT_I4:
        case VT_INT:
            NumberOf(src, &n);  // exact: every 32-bit integer is a double
            *out = Widen(std::to_string(static_cast<long long>(n)));
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

// src is by value and not VT_DISPATCH unless vt is an interface type.
HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* dest) {
    VariantInit(dest);
    if (src.vt == vt) {
        return VariantCopy(dest, &src);
    }
    double n = 0;
    HRESULT hr = S_OK;
    switch (vt) {
        case VT_EMPTY:
            return S_OK;
        case VT_I2:
            if (FAILED(hr = NumberOf(src, &n)) || FAILED(hr = ToInteger(n, -32768, 32767, &n)))
                return hr;
            dest->iVal = static_cast<SHORT>(n);
            break;
        case VT_I4:
        case VT_INT:
            if (FAILED(hr = NumberOf(src, &n)) ||
                FAILED(hr = ToInteger(n, -2147483648.0, 2147483647.0, &n))) {
                return hr;
            }
            dest->lVal = static_cast<LONG>(n);
            break;
        case VT_R8:
            if (FAILED(hr = NumberOf(src, &n)))
                return hr;
            dest->dblVal = n;
            break;
        case VT_BOOL:
            if (src.vt == VT_BSTR) {
                const std::u16string_view text = Trim(com::BstrView(src.bstrVal));
                if (EqualsAsciiNoCase(text, "true")) {
                    dest->boolVal = VARIANT_TRUE;
                    break;
                }
                if (EqualsAsciiNoCase(text, "false")) {
                    dest->boolVal = VARIANT_FALSE;
                    break;
                }
            }
            if (FAILED(hr = NumberOf(src, &n)))
                return hr;
            dest->boolVal = n != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_BSTR: {
            std::u16string text;
            if (FAILED(hr = ToText(src, flags, &text)))
                return hr;
            dest->bstrVal = com::AllocBstr(text);
            if (dest->bstrVal == nullptr)
                return E_OUTOFMEMORY;
            break;
        }
        case VT_DISPATCH:
            if (src.vt != VT_UNKNOWN)
                return DISP_E_TYPEMISMATCH;
            dest->pdispVal = nullptr;
            if (src.punkVal != nullptr &&
                FAILED(src.punkVal->QueryInterface(IID_IDispatch,
                                                   reinterpret_cast<void**>(&dest->pdispVal)))) {
                return DISP_E_TYPEMISMATCH;
            }
            break;
        case VT_UNKNOWN:
            if (src.vt != VT_DISPATCH)
                return DISP_E_TYPEMISMATCH;
            dest->punkVal = nullptr;
            if (src.pdispVal != nullptr &&
                FAILED(src.pdispVal->QueryInterface(IID_IUnknown,
                                                    reinterpret_cast<void**>(&dest->punkVal)))) {
                return DISP_E_TYPEMISMATCH;
            }
            break;
        case VT_NULL:
        case VT_ERROR:
            return DISP_E_TYPEMISMATCH;
        default:
            return DISP_E_BADVARTYPE;
    }
    dest->vt = vt;
    return S_OK;
}

// The default value (DISPID_VALUE) of an object, for coercing it to a plain type.
HRESULT DefaultValueOf(IDispatch* object, VARIANT* out) {
    if (object == nullptr)
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const HRESULT hr = object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT,
                                      DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
    if (FAILED(hr) || out->vt == VT_DISPATCH || out->vt == VT_UNKNOWN || (out->vt & VT_BYREF)) {
        VariantClear(out);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

bool IsTarget(VARTYPE vt) {
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_INT:
        case VT_R8:
        case VT_BOOL:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_ERROR:
            return true;
        default:
            return false;
    }
}

}  // namespace

namespace {

HRESULT ChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
    if (!IsTarget(vt)) {
        return DISP_E_BADVARTYPE;
    }
    com::Variant value;
    HRESULT hr = VariantCopyInd(&value, src);
    if (FAILED(hr)) {
        return hr;
    }
    if (value.vt == VT_DISPATCH && vt != VT_DISPATCH && vt != VT_UNKNOWN) {
        com::Variant fallback;
        if (FAILED(hr = DefaultValueOf(value.pdispVal, &fallback))) {
            VariantClear(dest);
            return hr;
        }
        VariantClear(&value);
        static_cast<VARIANT&>(value) = fallback;  // the default value moves over
        VariantInit(&fallback);
    }
    com::Variant result;
    hr = Convert(value, flags, vt, &result);
    VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *dest = result;
    VariantInit(&result);
    return S_OK;
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
    if (dest == nullptr || src == nullptr) {
        return E_INVALIDARG;
    }
    try {
        return ChangeType(dest, src, flags, vt);
    } catch (const std::bad_alloc&) {
        VariantClear(dest);
        return E_OUTOFMEMORY;
    }
}
