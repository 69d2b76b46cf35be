// VARIANT: the tagged value that crosses the scripting interface.
//
// vt names the type of the value in the union; VT_BYREF combined with a type means the
// union holds a pointer to a value of that type (the caller keeps the value). A VARIANT
// owns what it holds by value (a BSTR, one reference to an interface) and gives it up
// in VariantClear; a by-reference VARIANT owns nothing.
//
// Types handled by this runtime: VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R8, VT_BSTR,
// VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT (by reference only), VT_UNKNOWN, VT_INT,
// and VT_BYREF forms of each. Anything else is refused with DISP_E_BADVARTYPE.
//
// Thread: a VARIANT belongs to the thread that uses it.
#pragma once

#include "com/Bstr.h"
#include "com/ComTypes.h"
#include "com/HResult.h"

struct IUnknown;
struct IDispatch;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_INT = 22,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        int intVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        LONG* plVal;
        SHORT* piVal;
        int* pintVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
    };
};
using VARIANTARG = VARIANT;

// Flags of VariantChangeType.
constexpr USHORT VARIANT_ALPHABOOL = 0x2;  // booleans become "True"/"False", not "-1"/"0"

void VariantInit(VARIANT* v);
// Frees what v holds and leaves it VT_EMPTY. DISP_E_BADVARTYPE for an unknown type
// (v is then left as it was).
HRESULT VariantClear(VARIANT* v);
// dest (cleared first) becomes an independent copy of src: a new BSTR, one more
// reference. A by-reference src is copied as the reference.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// As VariantCopy, but a by-reference src is copied as the value it points at.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
// v (not cleared: call on an empty VARIANT) holds a script's number the way scripts
// pass numbers: VT_I4 when d is whole and fits a LONG, VT_R8 otherwise.
void VariantFromNumber(VARIANT* v, double d);

// Converts src (by value or by reference) to type vt into dest, which is cleared first
// and may be the same VARIANT as src. Results:
//   DISP_E_TYPEMISMATCH  the value has no meaning as vt ("abc" as a number, VT_NULL
//                        as a string, an object without a default value);
//   DISP_E_OVERFLOW      a number outside the range of vt;
//   DISP_E_BADVARTYPE    a type this runtime does not handle;
//   E_OUTOFMEMORY.
// On failure dest is VT_EMPTY (src is left intact unless it is dest).
// Numbers read from text: blanks around, an optional sign, digits with an optional
// '.' fraction and exponent, or &H hex; fractions round half to even. Numbers written
// as text use the shortest form that reads back (up to 15 significant digits).
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

namespace com {

// A VARIANT that clears itself; for temporaries and results.
struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

}  // namespace com
