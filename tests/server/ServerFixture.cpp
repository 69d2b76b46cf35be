#include "ServerFixture.h"

#include <dlfcn.h>

#include "com/ModulePath.h"
#include "com/Runtime.h"

namespace qbtest {

std::string ServerTest::ModulePath() {
    return com::RealPath(Tool("QBStorage.so"));
}

void ServerTest::SetUp() {
    TempEnvironment::SetUp();
    std::string out;
    ASSERT_EQ(RegSvr("/s", &out), 0) << out;
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
}

void ServerTest::TearDown() {
    CoFreeUnusedLibraries();
    EXPECT_EQ(com::LoadedServerCount(), 0u) << "an object of the module is still alive";
    CoUninitialize();
    void* stillLoaded = ::dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(stillLoaded, nullptr) << "the module is still loaded";
    if (stillLoaded != nullptr) {
        ::dlclose(stillLoaded);
    }
    TempEnvironment::TearDown();
}

int ServerTest::RegSvr(const std::string& args, std::string* out) {
    registry::ResetHive();  // the tool writes the hive from another process
    const int status = qbtest::Run(Tool("qbregsvr") + " " + args + " '" + ModulePath() + "'", out);
    registry::ResetHive();
    return status;
}

com::ComPtr<IDispatch> ServerTest::Create(const char16_t* progIdOrClsid) {
    CLSID clsid{};
    com::ComPtr<IDispatch> object;
    EXPECT_EQ(CLSIDFromString(progIdOrClsid, &clsid), S_OK);
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()),
        S_OK);
    return object;
}

void* ServerTest::Export(const char* name) {
    void* handle = ::dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        ADD_FAILURE() << "the module is not loaded";
        return nullptr;
    }
    void* symbol = ::dlsym(handle, name);
    ::dlclose(handle);  // the runtime keeps its own reference
    return symbol;
}

HRESULT ServerTest::CallByName(IDispatch* object, const char16_t* name, WORD flags,
                               std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* excep,
                               UINT* argErr) {
    std::u16string member = name;
    LPOLESTR names[] = {member.data()};
    DISPID id = 0;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        return hr;
    }
    return InvokeInScriptOrder(object, id, flags, std::move(args), result, excep, argErr);
}

HRESULT InvokeInScriptOrder(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                            VARIANT* result, EXCEPINFO* excep, UINT* argErr,
                            std::vector<DISPID> named) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), named.data(), static_cast<UINT>(reversed.size()),
                      static_cast<UINT>(named.size())};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, excep, argErr);
}

VARIANT I4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Text(const char16_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

}  // namespace qbtest
