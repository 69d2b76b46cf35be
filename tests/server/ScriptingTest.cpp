// Calls by name into the loaded module, as a page makes them, and the type library that
// drives them.
#include <gtest/gtest.h>

#include "QBStorage.h"
#include "ServerFixture.h"
#include "com/ModulePath.h"
#include "com/TypeInfo.h"
#include "text/CodePage.h"
#include "ui/ScriptedBackend.h"

namespace {

using qbtest::I4;
using qbtest::Text;

class ScriptingTest : public qbtest::ServerTest {};

TEST_F(ScriptingTest, EveryMemberIsFoundByNameIgnoringCase) {
    const std::vector<std::pair<const char16_t*, std::vector<const char16_t*>>> interfaces = {
        {u"QBStorage.IdentityCtr",
         {u"setkeyvalue",
          u"WRITETOFILE",
          u"GetKeyInfo",
          u"getkeyvalue",
          u"count",
          u"keyvalue",
          u"SetProfile",
          u"keyname",
          u"SetKeyName",
          u"setvalue",
          u"GetValue",
          u"SetCount",
          u"GetMapCount",
          u"RemoveElements",
          u"DeleteIdentity",
          u"GetUserName",
          u"ValidatePassword",
          u"apppath",
          u"ShowHelp",
          u"ShowPasswordGeneratorDlg",
          u"IdentityToBeSelected",
          u"ShowAboutDlg",
          u"ShowErrorMsg",
          u"ShowInformationMsg",
          u"ChangePassword",
          u"export",
          u"IMPORT"}},
        {u"QBStorage.IDentity",
         {u"SetKeyValue", u"GetKeyValue", u"WriteToFile", u"Count", u"GetKeyInfo",
          u"RemoveElements", u"DeleteIdentity", u"ValidatePassword", u"Export", u"Import"}},
        {u"QBStorage.Passcards",
         {u"SetKeyValue", u"GetKeyInfo", u"WriteToFile", u"GetKeyValue", u"Count",
          u"WriteToUndelFile"}},
    };
    for (const auto& [progId, names] : interfaces) {
        com::ComPtr<IDispatch> object = Create(progId);
        ASSERT_TRUE(object);
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::u16string name = names[i];
            LPOLESTR list[] = {name.data()};
            DISPID id = 0;
            EXPECT_EQ(object->GetIDsOfNames(IID_NULL, list, 1, 0, &id), S_OK);
            EXPECT_EQ(id, static_cast<DISPID>(i + 1)) << "dispatch ids count from 1 in order";
        }
        std::u16string unknown = u"Delete";
        LPOLESTR list[] = {unknown.data()};
        DISPID id = 0;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, list, 1, 0, &id), DISP_E_UNKNOWNNAME);
        EXPECT_EQ(id, DISPID_UNKNOWN);
    }
}

TEST_F(ScriptingTest, CallsReachTheMembersOnlyWithTheirDeclaredArguments) {
    ui::ScriptedBackend ui;
    ui::ScopedBackend installed(ui);
    com::ComPtr<IDispatch> control = Create(u"QBStorage.IdentityCtr");
    ASSERT_TRUE(control);
    const WORD method = DISPATCH_METHOD;
    struct Case {
        const char* label;
        const char16_t* name;
        WORD flags;
        std::vector<VARIANT> args;
        HRESULT hr;
        UINT argErr;
        VARTYPE result;  // of a call that gets through
    };
    std::vector<Case> cases = {
        {"property read", u"Count", DISPATCH_PROPERTYGET, {}, S_OK, 99, VT_I4},
        {"\"5\" read as 5", u"SetCount", method, {Text(u"5")}, S_OK, 99, VT_EMPTY},
        {"null string", u"SetValue", method, {Text(nullptr)}, S_OK, 99, VT_EMPTY},
        {"number as text", u"SetKeyName", method, {I4(12)}, S_OK, 99, VT_EMPTY},
        {"\"2\" as an int", u"ShowErrorMsg", method, {Text(u"m"), Text(u"2")}, S_OK, 99, VT_INT},
        {"retval is not passed", u"GetKeyInfo", method, {Text(u"Home"), I4(1)}, S_OK, 99, VT_I4},
        {"text that is no number",
         u"SetCount",
         method,
         {Text(u"five")},
         DISP_E_TYPEMISMATCH,
         0,
         VT_EMPTY},
        {"second argument at fault",
         u"GetKeyInfo",
         method,
         {Text(u"Home"), Text(u"x")},
         DISP_E_TYPEMISMATCH,
         0,
         VT_EMPTY},
        {"too few", u"GetKeyInfo", method, {Text(u"Home")}, DISP_E_BADPARAMCOUNT, 99, VT_EMPTY},
        {"too many", u"SetCount", method, {I4(1), I4(2)}, DISP_E_BADPARAMCOUNT, 99, VT_EMPTY},
        {"the retval given too",
         u"GetKeyInfo",
         method,
         {Text(u"Home"), I4(1), I4(0)},
         DISP_E_BADPARAMCOUNT,
         99,
         VT_EMPTY},
        {"properties are read-only",
         u"AppPath",
         DISPATCH_PROPERTYPUT,
         {Text(u"/x")},
         DISP_E_MEMBERNOTFOUND,
         99,
         VT_EMPTY},
        {"unknown name", u"Frobnicate", method, {}, DISP_E_UNKNOWNNAME, 99, VT_EMPTY},
    };
    for (Case& c : cases) {
        EXCEPINFO excep{};
        com::Variant result;
        UINT argErr = 99;
        EXPECT_EQ(CallByName(control.get(), c.name, c.flags, c.args, &result, &excep, &argErr),
                  c.hr)
            << c.label;
        EXPECT_EQ(argErr, c.argErr) << c.label;
        EXPECT_EQ(result.vt, c.result) << c.label;
        com::ClearExcepInfo(&excep);
        for (VARIANT& v : c.args)
            VariantClear(&v);
    }
    // What the converted arguments came to.
    com::Variant count, name, value;
    ASSERT_EQ(CallByName(control.get(), u"GetMapCount", DISPATCH_METHOD, {}, &count), S_OK);
    EXPECT_EQ(count.lVal, 5);
    ASSERT_EQ(CallByName(control.get(), u"KeyName", DISPATCH_PROPERTYGET, {}, &name), S_OK);
    EXPECT_EQ(com::BstrView(name.bstrVal), u"12");
    ASSERT_EQ(CallByName(control.get(), u"GetValue", DISPATCH_METHOD, {}, &value), S_OK);
    EXPECT_EQ(com::BstrView(value.bstrVal), u"");
    EXPECT_EQ(ui.Lines(), std::vector<std::string>{"MessageBox \"Quenby\" 0x2044 \"m\" -> Yes"});
}

TEST_F(ScriptingTest, DeclaredOutParametersAreArgumentsOfTheirOwn) {
    // IIDentity.GetKeyValue declares its name as [out] before the file type: a script
    // passes both, the first by reference.
    com::ComPtr<IDispatch> identity = Create(u"QBStorage.IDentity");
    ASSERT_TRUE(identity);
    VARIANT fileType = Text(u"identity");
    EXPECT_EQ(CallByName(identity.get(), u"GetKeyValue", DISPATCH_METHOD, {fileType}),
              DISP_E_BADPARAMCOUNT);
    UINT argErr = 99;
    EXPECT_EQ(CallByName(identity.get(), u"GetKeyValue", DISPATCH_METHOD, {fileType, fileType},
                         nullptr, nullptr, &argErr),
              DISP_E_TYPEMISMATCH)
        << "a value where a reference is declared";
    EXPECT_EQ(argErr, 1u);
    com::Variant name;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_VARIANT | VT_BYREF;
    byRef.pvarVal = &name;
    EXPECT_EQ(CallByName(identity.get(), u"GetKeyValue", DISPATCH_METHOD, {byRef, fileType}), S_OK);
    EXPECT_EQ(name.vt, VT_BSTR) << "the name comes back through the reference";
    VariantClear(&fileType);
}

// The type library as text: one line per type and per member.
std::string TypeName(VARTYPE vt) {
    std::string name;
    switch (vt & VT_TYPEMASK) {
        case VT_BSTR:
            name = "BSTR";
            break;
        case VT_I4:
            name = "long";
            break;
        case VT_INT:
            name = "int";
            break;
        case VT_VARIANT:
            name = "VARIANT";
            break;
        default:
            name = "?" + std::to_string(vt);
    }
    return (vt & VT_BYREF) ? name + "*" : name;
}

std::string Direction(USHORT flags) {
    std::string d;
    if (flags & PARAMFLAG_FIN)
        d += "in,";
    if (flags & PARAMFLAG_FOUT)
        d += "out,";
    if (flags & PARAMFLAG_FRETVAL)
        d += "retval,";
    return d.empty() ? "" : "[" + d.substr(0, d.size() - 1) + "] ";
}

std::string Render(ITypeLib* lib) {
    std::string out;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        com::ComPtr<ITypeInfo> info;
        lib->GetTypeInfo(i, info.Receive());
        const com::TypeDesc* t = com::DescOf(info.get());
        out += std::to_string(t->kind) + " " + t->name + " " + com::FormatGuid(t->guid) + " \"" +
               t->helpString + "\" flags " + std::to_string(t->flags) + "\n";
        for (const auto& v : t->values)
            out += "  " + v.name + " = " + std::to_string(v.value) + "\n";
        for (const auto& impl : t->implTypes) {
            out += "  implements " + impl.interfaceName + " flags " + std::to_string(impl.flags) +
                   "\n";
        }
        for (const auto& f : t->funcs) {
            out += "  " + std::to_string(f.memid) +
                   (f.invkind == INVOKE_FUNC ? " method " : " get ") + f.name + "(";
            for (std::size_t p = 0; p < f.params.size(); ++p) {
                out += (p ? ", " : "") + Direction(f.params[p].flags) + TypeName(f.params[p].type) +
                       " " + f.params[p].name;
            }
            out += ") \"" + f.helpString + "\"\n";
        }
    }
    return out;
}

TEST_F(ScriptingTest, TypeLibraryCarriesEveryMember) {
    com::ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLib(text::ToWide(ModulePath(), text::CodePage::Utf8).c_str(), lib.Receive()),
              S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, LIBID_QBSTORAGELib);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0x0409u);
    EXPECT_EQ(attr->syskind, SYS_WIN32);
    EXPECT_EQ(attr->wLibFlags, 0);
    lib->ReleaseTLibAttr(attr);
    com::Bstr name, doc;
    ASSERT_EQ(lib->GetDocumentation(-1, name.Receive(), doc.Receive(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), u"QBSTORAGELib");
    EXPECT_EQ(doc.view(), u"QBStorage 1.0 Type Library");
    EXPECT_EQ(Render(lib.get()), qbtest::ReadFile(QB_TEST_DATA "/typelib.txt"));
}

TEST_F(ScriptingTest, ObjectsDescribeThemselves) {
    com::ComPtr<IDispatch> control = Create(u"QBStorage.IdentityCtr");
    ASSERT_TRUE(control);
    com::ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, 0, info.Receive()), S_OK);
    com::Bstr name, doc;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, name.Receive(), doc.Receive(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(name.view(), u"IIdentityCtr");
    EXPECT_EQ(doc.view(), u"IIdentityCtr Interface");
    ASSERT_EQ(info->GetDocumentation(5, name.Receive(), doc.Receive(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), u"Count");
    EXPECT_EQ(doc.view(), u"property Count");
    // A type info stays valid after the object that gave it is gone.
    control.reset();
    ASSERT_EQ(info->GetDocumentation(23, name.Receive(), doc.Receive(), nullptr, nullptr), S_OK);
    EXPECT_EQ(doc.view(), u"method ShowErrorMsg");
}

}  // namespace
