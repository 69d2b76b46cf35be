// Values between page scripts and the object runtime.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <cmath>

#include "browser/bridge/BridgeValue.h"

namespace {

using browser::ArgumentToVariant;
using browser::ResultToJson;

TEST(BridgeValueTest, ArgumentsBecomeTheVariantScriptEnginesPass) {
    struct Case {
        QJsonValue value;
        VARTYPE vt;
    };
    const Case cases[] = {
        {QStringLiteral("text"), VT_BSTR},
        {true, VT_BOOL},
        {QJsonValue::Null, VT_NULL},
        {QJsonObject{{"undefined", true}}, VT_EMPTY},
        {7, VT_I4},
        {-2147483648.0, VT_I4},
        {2147483647.0, VT_I4},
        {2147483648.0, VT_R8},
        {1.5, VT_R8},
        {-0.0, VT_I4},
    };
    for (const Case& c : cases) {
        com::Variant v;
        ASSERT_EQ(ArgumentToVariant(c.value, &v), S_OK);
        EXPECT_EQ(v.vt, c.vt) << c.value.toVariant().toString().toStdString();
    }
    com::Variant text;
    ASSERT_EQ(ArgumentToVariant(QStringLiteral("a\u00e9\U0001F600"), &text), S_OK);
    EXPECT_EQ(com::BstrView(text.bstrVal), std::u16string_view(u"a\u00e9\U0001F600"));
    com::Variant number;
    ASSERT_EQ(ArgumentToVariant(-5, &number), S_OK);
    EXPECT_EQ(number.lVal, -5);
    com::Variant refused;
    EXPECT_EQ(ArgumentToVariant(QJsonObject{{"undefined", false}}, &refused), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(refused.vt, VT_EMPTY);
}

TEST(BridgeValueTest, ResultsReachThePageAsJsonOrAreRefused) {
    auto make = [](VARTYPE vt, auto set) {
        auto v = std::make_unique<com::Variant>();
        v->vt = vt;
        set(*v);
        return v;
    };
    LONG referenced = 42;
    struct Case {
        std::unique_ptr<com::Variant> value;
        QJsonValue json;  // Undefined: the page sees undefined
        const char* problem;
    };
    Case cases[] = {
        {make(VT_EMPTY, [](VARIANT&) {}), QJsonValue::Undefined, ""},
        {make(VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }), QJsonValue::Undefined,
         ""},
        {make(VT_NULL, [](VARIANT&) {}), QJsonValue::Null, ""},
        {make(VT_I2, [](VARIANT& v) { v.iVal = -3; }), -3, ""},
        {make(VT_I4, [](VARIANT& v) { v.lVal = 2147483647; }), 2147483647.0, ""},
        {make(VT_INT, [](VARIANT& v) { v.intVal = 12; }), 12, ""},
        {make(VT_R8, [](VARIANT& v) { v.dblVal = 0.25; }), 0.25, ""},
        {make(VT_R8, [](VARIANT& v) { v.dblVal = NAN; }), QJsonObject{{"number", "NaN"}}, ""},
        {make(VT_R8, [](VARIANT& v) { v.dblVal = -INFINITY; }),
         QJsonObject{{"number", "-Infinity"}}, ""},
        {make(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; }), true, ""},
        {make(VT_BSTR, [](VARIANT& v) { v.bstrVal = com::AllocBstr(u"Home"); }), "Home", ""},
        {make(VT_BSTR, [](VARIANT& v) { v.bstrVal = nullptr; }), "", ""},
        {make(VT_I4 | VT_BYREF, [&](VARIANT& v) { v.plVal = &referenced; }), 42, ""},
        {make(VT_DISPATCH, [](VARIANT& v) { v.pdispVal = nullptr; }), QJsonValue::Undefined,
         "returns an object, which the bridge does not pass to pages"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.value->vt);
        QJsonValue json;
        bool present = false;
        EXPECT_EQ(ResultToJson(*c.value, &json, &present).toStdString(), c.problem);
        if (*c.problem == '\0') {
            EXPECT_EQ(present, !c.json.isUndefined());
            if (present) {
                EXPECT_EQ(json, c.json);
            }
        }
    }
}

}  // namespace
