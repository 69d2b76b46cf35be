// Type libraries held as data: reading them back, and their keys in the registry.
#include <gtest/gtest.h>

#include "RegistryDump.h"
#include "TestEnvironment.h"
#include "com/ModulePath.h"
#include "com/TypeInfo.h"
#include "text/CodePage.h"

namespace {

constexpr GUID kLibId = com::Guid("11111111-2222-3333-4444-555555555555");
constexpr IID kIThing = com::Guid("AAAAAAAA-0000-0000-0000-000000000001");
constexpr IID kIPlain = com::Guid("AAAAAAAA-0000-0000-0000-000000000002");
constexpr CLSID kThing = com::Guid("BBBBBBBB-0000-0000-0000-000000000001");

com::TypeLibDesc Desc() {
    com::FuncDesc add{1,
                      "Add",
                      INVOKE_FUNC,
                      {{"a", VT_I4, PARAMFLAG_FIN},
                       {"b", VT_I4, PARAMFLAG_FIN},
                       {"sum", VT_I4 | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}},
                      "method Add"};
    com::FuncDesc name{2,
                       "Name",
                       INVOKE_PROPERTYGET,
                       {{"pVal", VT_BSTR | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}},
                       "property Name"};
    return {"TestLib",
            kLibId,
            2,
            10,
            0x0409,
            SYS_WIN32,
            "Test 2.10 Type Library",
            0,
            {{TKIND_ENUM, "eColor", GUID_NULL, "", 0, {}, {{"eRed", 1}, {"eBlue", 2}}, {}},
             {TKIND_COCLASS,
              "Thing",
              kThing,
              "Thing Class",
              TYPEFLAG_FCANCREATE,
              {},
              {},
              {{"IThing", IMPLTYPEFLAG_FDEFAULT}}},
             {TKIND_DISPATCH,
              "IThing",
              kIThing,
              "IThing Interface",
              TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION,
              {add, name},
              {},
              {}},
             {TKIND_DISPATCH, "IPlain", kIPlain, "not for scripts", 0, {}, {}, {}}}};
}

com::ComPtr<ITypeLib> Create(const com::TypeLibDesc& desc) {
    com::ComPtr<ITypeLib> lib;
    EXPECT_EQ(com::CreateTypeLib(desc, lib.Receive()), S_OK);
    return lib;
}

std::u16string Wide(const std::string& s) {
    return text::ToWide(s, text::CodePage::Utf8);
}

void Anchor() {}

TEST(TypeLibTest, ReadsBackWhatItWasMadeOf) {
    com::ComPtr<ITypeLib> lib = Create(Desc());
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->GetTypeInfoCount(), 4u);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, kLibId);
    EXPECT_EQ(attr->wMajorVerNum, 2);
    EXPECT_EQ(attr->lcid, 0x0409u);
    lib->ReleaseTLibAttr(attr);
    com::Bstr name, doc;
    ASSERT_EQ(lib->GetDocumentation(-1, name.Receive(), doc.Receive(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), u"TestLib");
    EXPECT_EQ(doc.view(), u"Test 2.10 Type Library");

    // The coclass leads to its default interface.
    com::ComPtr<ITypeInfo> coclass, iface;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(kThing, coclass.Receive()), S_OK);
    HREFTYPE ref = 0;
    int flags = 0;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
    ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, iface.Receive()), S_OK);
    ASSERT_EQ(iface->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(name.view(), u"IThing");
    ASSERT_EQ(iface->GetDocumentation(2, nullptr, doc.Receive(), nullptr, nullptr), S_OK);
    EXPECT_EQ(doc.view(), u"property Name");
    EXPECT_EQ(iface->GetDocumentation(99, name.Receive(), nullptr, nullptr, nullptr),
              TYPE_E_ELEMENTNOTFOUND);

    BSTR names[4] = {};
    UINT count = 0;
    ASSERT_EQ(iface->GetNames(1, names, 4, &count), S_OK);
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(com::BstrView(names[0]), u"Add");
    EXPECT_EQ(com::BstrView(names[3]), u"sum");
    for (BSTR n : names)
        SysFreeString(n);

    // A type info keeps its library alive.
    lib.reset();
    coclass.reset();
    TYPEATTR* typeAttr = nullptr;
    ASSERT_EQ(iface->GetTypeAttr(&typeAttr), S_OK);
    EXPECT_EQ(typeAttr->cFuncs, 2);
    EXPECT_EQ(typeAttr->wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
}

TEST(TypeLibTest, NamesAreFoundIgnoringCase) {
    com::ComPtr<ITypeLib> lib = Create(Desc());
    com::ComPtr<ITypeInfo> iface;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(kIThing, iface.Receive()), S_OK);
    struct Case {
        std::vector<const char16_t*> names;
        HRESULT hr;
        std::vector<MEMBERID> ids;
    } cases[] = {
        {{u"Add"}, S_OK, {1}},
        {{u"aDD", u"B", u"a"}, S_OK, {1, 1, 0}},
        {{u"NAME"}, S_OK, {2}},
        {{u"Add", u"c"}, DISP_E_UNKNOWNNAME, {1, DISPID_UNKNOWN}},
        {{u"Addx", u"a"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN, DISPID_UNKNOWN}},
        {{u""}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
    };
    for (const Case& c : cases) {
        std::vector<std::u16string> storage(c.names.begin(), c.names.end());
        std::vector<LPOLESTR> names;
        for (auto& s : storage)
            names.push_back(s.data());
        std::vector<MEMBERID> ids(names.size(), 1234);
        EXPECT_EQ(iface->GetIDsOfNames(names.data(), static_cast<UINT>(names.size()), ids.data()),
                  c.hr);
        EXPECT_EQ(ids, c.ids);
    }
}

TEST(TypeLibTest, RefusesADescriptionThatContradictsItself) {
    auto missingInterface = Desc();
    missingInterface.types[1].implTypes[0].interfaceName = "IMissing";
    auto twoSameIds = Desc();
    twoSameIds.types[2].funcs[1].memid = 1;
    auto retvalNotLast = Desc();
    std::swap(retvalNotLast.types[2].funcs[0].params[0], retvalNotLast.types[2].funcs[0].params[2]);
    auto retvalByValue = Desc();
    retvalByValue.types[2].funcs[1].params[0].type = VT_BSTR;
    for (const com::TypeLibDesc* bad :
         {&missingInterface, &twoSameIds, &retvalNotLast, &retvalByValue}) {
        ITypeLib* lib = reinterpret_cast<ITypeLib*>(1);
        EXPECT_EQ(com::CreateTypeLib(*bad, &lib), E_INVALIDARG);
        EXPECT_EQ(lib, nullptr);
    }
}

class TypeLibRegistrationTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        com::RegisterTypeLibResource(reinterpret_cast<const void*>(&Anchor), &desc_);
        path_ = com::ModulePathOf(reinterpret_cast<const void*>(&Anchor));
    }
    void TearDown() override {
        com::UnregisterTypeLibResource(reinterpret_cast<const void*>(&Anchor));
        TempEnvironment::TearDown();
    }
    com::TypeLibDesc desc_ = Desc();
    std::string path_;
};

TEST_F(TypeLibRegistrationTest, WritesTheKeysWindowsWrites) {
    com::ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLib(Wide(path_).c_str(), lib.Receive()), S_OK) << path_;
    ASSERT_EQ(RegisterTypeLib(lib.get(), Wide(path_).c_str(), u"/help dir"), S_OK);
    const std::string libKey = "TypeLib\\{11111111-2222-3333-4444-555555555555}";
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, ""),
              "Interface\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001} @=IThing\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\ProxyStubClsid\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\ProxyStubClsid @="
              "{00020424-0000-0000-C000-000000000046}\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\ProxyStubClsid32\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\ProxyStubClsid32 @="
              "{00020424-0000-0000-C000-000000000046}\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\TypeLib\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\TypeLib @="
              "{11111111-2222-3333-4444-555555555555}\n"
              "Interface\\{AAAAAAAA-0000-0000-0000-000000000001}\\TypeLib Version=2.a\n"
              "TypeLib\n" +
                  libKey + "\n" + libKey + "\\2.a\n" + libKey + "\\2.a @=Test 2.10 Type Library\n" +
                  libKey + "\\2.a\\409\n" + libKey + "\\2.a\\409\\win32\n" + libKey +
                  "\\2.a\\409\\win32 @=" + path_ + "\n" + libKey + "\\2.a\\FLAGS\n" + libKey +
                  "\\2.a\\FLAGS @=0\n" + libKey + "\\2.a\\HELPDIR\n" + libKey +
                  "\\2.a\\HELPDIR @=/help dir\n");
}

TEST_F(TypeLibRegistrationTest, UnregisteringRemovesItsKeysAndLeavesOthers) {
    com::ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLib(Wide(path_).c_str(), lib.Receive()), S_OK);
    EXPECT_EQ(UnRegisterTypeLib(kLibId, 2, 10, 0x0409, SYS_WIN32), TYPE_E_REGISTRYACCESS)
        << "not registered yet";
    ASSERT_EQ(RegisterTypeLib(lib.get(), Wide(path_).c_str(), nullptr), S_OK);
    // Another version of the library stays registered.
    SetString("SOFTWARE\\Classes\\TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0\\0\\win32",
              "", "/old/lib.so");
    ASSERT_EQ(UnRegisterTypeLib(kLibId, 2, 10, 0x0409, SYS_WIN32), S_OK);
    EXPECT_EQ(qbtest::DumpKey(HKEY_CLASSES_ROOT, ""),
              "Interface\n"
              "TypeLib\n"
              "TypeLib\\{11111111-2222-3333-4444-555555555555}\n"
              "TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0\n"
              "TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0\\0\n"
              "TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0\\0\\win32\n"
              "TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0\\0\\win32 @=/old/lib.so\n");
}

TEST_F(TypeLibRegistrationTest, AFileWithoutALibraryDoesNotLoad) {
    com::ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadTypeLib(Wide(Path("missing.so")).c_str(), lib.Receive()), TYPE_E_CANTLOADLIBRARY);
    qbtest::WriteFile(Path("junk.so"), "not a module");
    EXPECT_EQ(LoadTypeLib(Wide(Path("junk.so")).c_str(), lib.Receive()), TYPE_E_CANTLOADLIBRARY);
    EXPECT_EQ(LoadTypeLib(Wide(qbtest::Tool("libqbplatform.so")).c_str(), lib.Receive()),
              TYPE_E_CANTLOADLIBRARY);
    EXPECT_FALSE(lib);
}

}  // namespace
