// The server module as a page gets it: registered by qbregsvr into the test's own hive,
// then created through the registry in this process (CoInitialize, CoCreateInstance).
// At the end every object must be gone and the module unloaded.
#pragma once

#include <string>

#include "TestEnvironment.h"
#include "com/Automation.h"

namespace qbtest {

class ServerTest : public TempEnvironment {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The module's file as registration writes it (symbolic links resolved).
    static std::string ModulePath();
    // Runs qbregsvr with args and the module's path; its exit status.
    int RegSvr(const std::string& args, std::string* out = nullptr);

    // An object created by ProgID or "{CLSID}" text, as its IDispatch; fails the test
    // when creation fails.
    com::ComPtr<IDispatch> Create(const char16_t* progIdOrClsid);
    // An export of the loaded module (loads it if needed; the test holds no handle).
    void* Export(const char* name);

    // Calls a member by name with arguments in script order.
    HRESULT CallByName(IDispatch* object, const char16_t* name, WORD flags,
                       std::vector<VARIANT> args, VARIANT* result = nullptr,
                       EXCEPINFO* excep = nullptr, UINT* argErr = nullptr);
};

// Invokes a member with arguments in script order (first argument first); they are
// handed over reversed, as scripts do, so named[i] names the parameter of the i-th
// argument counted from the last one.
HRESULT InvokeInScriptOrder(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                            VARIANT* result = nullptr, EXCEPINFO* excep = nullptr,
                            UINT* argErr = nullptr, std::vector<DISPID> named = {});

VARIANT I4(LONG value);
// A VARIANT holding a BSTR the caller must free with VariantClear (or a null BSTR).
VARIANT Text(const char16_t* text);

}  // namespace qbtest
