// VARIANT lifetime and the coercions a script's arguments go through.
#include <gtest/gtest.h>

#include <string>

#include "com/Automation.h"

namespace {

com::Variant* Str(com::Variant* v, const char16_t* text) {
    v->vt = VT_BSTR;
    v->bstrVal = text != nullptr ? SysAllocString(text) : nullptr;
    return v;
}

// An object whose default value (DISPID_VALUE) is the text "12"; counts references.
struct DefaultValueObject final : IDispatch {
    ULONG refs = 1;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            return com::HandOut<IDispatch>(this, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(u"12");
        return S_OK;
    }
};

TEST(VariantChangeTypeTest, TextToNumbers) {
    struct Case {
        const char16_t* text;
        VARTYPE to;
        HRESULT hr;
        double value;
    } cases[] = {
        {u"5", VT_I4, S_OK, 5},
        {u" 7 ", VT_I4, S_OK, 7},
        {u"-12", VT_INT, S_OK, -12},
        {u"+3", VT_I2, S_OK, 3},
        {u"2.5", VT_I4, S_OK, 2},  // half to even
        {u"3.5", VT_I4, S_OK, 4},
        {u"1e3", VT_I4, S_OK, 1000},
        {u"&HFF", VT_I4, S_OK, 255},
        {u"2147483647", VT_I4, S_OK, 2147483647.0},
        {u"2147483648", VT_I4, DISP_E_OVERFLOW, 0},
        {u"40000", VT_I2, DISP_E_OVERFLOW, 0},
        {u"0.25", VT_R8, S_OK, 0.25},
        {u"abc", VT_I4, DISP_E_TYPEMISMATCH, 0},
        {u"5x", VT_I4, DISP_E_TYPEMISMATCH, 0},
        {u"", VT_I4, DISP_E_TYPEMISMATCH, 0},
        {nullptr, VT_I4, DISP_E_TYPEMISMATCH, 0},  // a null BSTR is the empty text
        {u"inf", VT_R8, DISP_E_TYPEMISMATCH, 0},
        {u"-", VT_I4, DISP_E_TYPEMISMATCH, 0},
        {u"\u0665", VT_I4, DISP_E_TYPEMISMATCH, 0},  // digits of other scripts are not read
        {u"True", VT_BOOL, S_OK, -1},
        {u"false", VT_BOOL, S_OK, 0},
        {u"0", VT_BOOL, S_OK, 0},
        {u"yes", VT_BOOL, DISP_E_TYPEMISMATCH, 0},
    };
    for (const Case& c : cases) {
        const std::u16string shown = c.text != nullptr ? c.text : u"(null)";
        const std::string label(shown.begin(), shown.end());
        com::Variant src, dest;
        Str(&src, c.text);
        EXPECT_EQ(VariantChangeType(&dest, &src, 0, c.to), c.hr) << label;
        if (c.hr != S_OK) {
            EXPECT_EQ(dest.vt, VT_EMPTY) << label;
            continue;
        }
        EXPECT_EQ(dest.vt, c.to) << label;
        switch (c.to) {
            case VT_I2:
                EXPECT_EQ(dest.iVal, c.value) << label;
                break;
            case VT_I4:
            case VT_INT:
                EXPECT_EQ(dest.lVal, c.value) << label;
                break;
            case VT_R8:
                EXPECT_EQ(dest.dblVal, c.value) << label;
                break;
            case VT_BOOL:
                EXPECT_EQ(dest.boolVal, c.value) << label;
                break;
            default:
                FAIL() << label;
        }
    }
}

TEST(VariantChangeTypeTest, ValuesToText) {
    struct Case {
        VARTYPE from;
        double value;
        USHORT flags;
        const char16_t* text;
    } cases[] = {
        {VT_EMPTY, 0, 0, u""},
        {VT_I4, 42, 0, u"42"},
        {VT_I2, -7, 0, u"-7"},
        {VT_R8, 0.1, 0, u"0.1"},
        {VT_R8, 1e21, 0, u"1E+21"},
        {VT_R8, -0.0, 0, u"0"},
        {VT_BOOL, -1, 0, u"-1"},
        {VT_BOOL, -1, VARIANT_ALPHABOOL, u"True"},
        {VT_BOOL, 0, VARIANT_ALPHABOOL, u"False"},
    };
    for (const Case& c : cases) {
        com::Variant src, dest;
        src.vt = c.from;
        if (c.from == VT_I4)
            src.lVal = static_cast<LONG>(c.value);
        if (c.from == VT_I2)
            src.iVal = static_cast<SHORT>(c.value);
        if (c.from == VT_R8)
            src.dblVal = c.value;
        if (c.from == VT_BOOL)
            src.boolVal = static_cast<VARIANT_BOOL>(c.value);
        ASSERT_EQ(VariantChangeType(&dest, &src, c.flags, VT_BSTR), S_OK) << c.from;
        ASSERT_EQ(dest.vt, VT_BSTR);
        EXPECT_NE(dest.bstrVal, nullptr) << "an empty result is an empty string, not null";
        EXPECT_EQ(com::BstrView(dest.bstrVal), std::u16string_view(c.text)) << c.from;
    }
}

TEST(VariantChangeTypeTest, RefusesWhatHasNoMeaning) {
    com::Variant null, dest;
    null.vt = VT_NULL;
    EXPECT_EQ(VariantChangeType(&dest, &null, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantChangeType(&dest, &null, 0, VT_I4), DISP_E_TYPEMISMATCH);

    com::Variant big;
    big.vt = VT_R8;
    big.dblVal = 1e10;
    EXPECT_EQ(VariantChangeType(&dest, &big, 0, VT_I4), DISP_E_OVERFLOW);

    com::Variant odd;
    odd.vt = 0x55;  // a type the runtime does not know
    EXPECT_EQ(VariantChangeType(&dest, &odd, 0, VT_I4), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantChangeType(&dest, &big, 0, 0x55), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
    odd.vt = VT_EMPTY;
}

TEST(VariantChangeTypeTest, ReadsThroughReferencesAndInPlace) {
    LONG number = 9;
    com::Variant ref, dest;
    ref.vt = VT_I4 | VT_BYREF;
    ref.plVal = &number;
    ASSERT_EQ(VariantChangeType(&dest, &ref, 0, VT_BSTR), S_OK);
    EXPECT_EQ(com::BstrView(dest.bstrVal), u"9");

    com::Variant inner;
    Str(&inner, u"31");
    com::Variant byVariant;
    byVariant.vt = VT_VARIANT | VT_BYREF;
    byVariant.pvarVal = &inner;
    ASSERT_EQ(VariantChangeType(&dest, &byVariant, 0, VT_I4), S_OK);
    EXPECT_EQ(dest.lVal, 31);

    // dest and src may be one VARIANT: the text is replaced by the number.
    ASSERT_EQ(VariantChangeType(&inner, &inner, 0, VT_I4), S_OK);
    EXPECT_EQ(inner.vt, VT_I4);
    EXPECT_EQ(inner.lVal, 31);
}

TEST(VariantChangeTypeTest, ObjectsGiveTheirDefaultValueAndAreCounted) {
    DefaultValueObject object;
    {
        com::Variant holder, dest;
        holder.vt = VT_DISPATCH;
        holder.pdispVal = &object;
        object.AddRef();
        ASSERT_EQ(VariantChangeType(&dest, &holder, 0, VT_I4), S_OK);
        EXPECT_EQ(dest.lVal, 12);
        ASSERT_EQ(VariantChangeType(&dest, &holder, 0, VT_UNKNOWN), S_OK);
        EXPECT_EQ(object.refs, 3u);

        com::Variant copy;
        ASSERT_EQ(VariantCopy(&copy, &holder), S_OK);
        EXPECT_EQ(object.refs, 4u);
    }
    EXPECT_EQ(object.refs, 1u) << "every VARIANT gave its reference back";

    com::Variant nothing, dest;
    nothing.vt = VT_DISPATCH;
    nothing.pdispVal = nullptr;
    EXPECT_EQ(VariantChangeType(&dest, &nothing, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
}

TEST(VariantTest, CopiesAreIndependent) {
    com::Variant a, b;
    Str(&a, u"value");
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    EXPECT_EQ(com::BstrView(b.bstrVal), u"value");
    ASSERT_EQ(VariantClear(&a), S_OK);
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_EQ(com::BstrView(b.bstrVal), u"value");

    com::Variant ref, value;
    ref.vt = VT_BSTR | VT_BYREF;
    ref.pbstrVal = &b.bstrVal;
    ASSERT_EQ(VariantCopyInd(&value, &ref), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_NE(value.bstrVal, b.bstrVal);
    EXPECT_EQ(VariantCopy(&value, &ref), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR | VT_BYREF) << "VariantCopy keeps the reference";
}

}  // namespace
