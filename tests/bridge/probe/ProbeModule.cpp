// The probe module: see Probe.h.
#include <stdexcept>
#include <string>

#include "Probe.h"
#include "com/Object.h"
#include "com/OleControl.h"

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

com::ServerModule g_module;
com::Dispatcher* g_dispatcher = nullptr;
std::u16string g_log;
void (*g_nestedLoop)() = nullptr;

const com::Dispatcher& ProbeDispatcher() {
    return *g_dispatcher;
}

void Note(std::u16string_view call) {
    if (!g_log.empty()) {
        g_log += u',';
    }
    g_log += call;
}

template <bool kSafe>
class Probe : public com::DualImpl<IProbe, &ProbeDispatcher>,
              public IObjectSafety,
              public com::ObjectRoot {
  public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv) {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IProbe) {
            return com::HandOut<IProbe>(this, ppv);
        }
        if (riid == IID_IObjectSafety) {
            return com::HandOut<IObjectSafety>(this, ppv);
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT get_Greeting(BSTR* pVal) override {
        Note(u"Greeting");
        *pVal = com::AllocBstr(u"Hello from the probe");
        return S_OK;
    }
    HRESULT Join(BSTR text, LONG times, BSTR* result) override {
        Note(u"Join");
        if (times < 0) {
            return E_INVALIDARG;
        }
        std::u16string joined;
        for (LONG i = 0; i < times; ++i) {
            joined += (i > 0 ? u"|" : u"");
            joined += com::BstrView(text);
        }
        *result = com::AllocBstr(joined);
        return S_OK;
    }
    HRESULT Half(double value, VARIANT* result) override {
        Note(u"Half");
        result->vt = VT_R8;
        result->dblVal = value / 2;
        return S_OK;
    }
    HRESULT Fail(BSTR why) override {
        Note(u"Fail");
        std::string text;
        for (const char16_t c : com::BstrView(why)) {
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
        throw std::runtime_error(text);
    }
    HRESULT Nested() override {
        Note(u"Nested>");
        if (g_nestedLoop != nullptr) {
            g_nestedLoop();
        }
        Note(u"Nested<");
        return S_OK;
    }
    HRESULT get_Log(BSTR* pVal) override {
        *pVal = com::AllocBstr(g_log);
        return S_OK;
    }
    HRESULT Measure(BSTR text, LONG* length, BSTR* tail) override {
        Note(u"Measure");
        *length = static_cast<LONG>(com::BstrView(text).size());
        std::u16string joined(com::BstrView(*tail));
        joined += com::BstrView(text);
        SysFreeString(*tail);
        *tail = com::AllocBstr(joined);
        return S_OK;
    }

    // IObjectSafety: the unsafe probe supports no safety option at all.
    HRESULT GetInterfaceSafetyOptions(REFIID, DWORD* supported, DWORD* enabled) override {
        *supported = kSafe ? INTERFACESAFE_FOR_UNTRUSTED_CALLER : 0;
        *enabled = enabled_;
        return S_OK;
    }
    HRESULT SetInterfaceSafetyOptions(REFIID, DWORD mask, DWORD enabled) override {
        if (!kSafe || (mask & ~INTERFACESAFE_FOR_UNTRUSTED_CALLER) != 0) {
            return E_FAIL;
        }
        enabled_ = (enabled_ & ~mask) | (enabled & mask);
        return S_OK;
    }

  private:
    DWORD enabled_ = 0;
};

com::TypeLibDesc ProbeLib() {
    auto in = [](const char* n, VARTYPE t) { return com::ParamDesc{n, t, PARAMFLAG_FIN}; };
    auto out = [](const char* n, VARTYPE t) {
        return com::ParamDesc{n, static_cast<VARTYPE>(t | VT_BYREF), PARAMFLAG_FOUT};
    };
    auto inOut = [](const char* n, VARTYPE t) {
        return com::ParamDesc{n, static_cast<VARTYPE>(t | VT_BYREF),
                              static_cast<USHORT>(PARAMFLAG_FIN | PARAMFLAG_FOUT)};
    };
    auto retval = [](const char* n, VARTYPE t) {
        return com::ParamDesc{n, static_cast<VARTYPE>(t | VT_BYREF),
                              static_cast<USHORT>(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)};
    };
    std::vector<com::FuncDesc> funcs{
        {1, "Greeting", INVOKE_PROPERTYGET, {retval("pVal", VT_BSTR)}, "property Greeting"},
        {2,
         "Join",
         INVOKE_FUNC,
         {in("text", VT_BSTR), in("times", VT_I4), retval("result", VT_BSTR)},
         "method Join"},
        {3, "Half", INVOKE_FUNC, {in("value", VT_R8), retval("result", VT_VARIANT)}, "method Half"},
        {4, "Fail", INVOKE_FUNC, {in("why", VT_BSTR)}, "method Fail"},
        {5, "Nested", INVOKE_FUNC, {}, "method Nested"},
        {6, "Log", INVOKE_PROPERTYGET, {retval("pVal", VT_BSTR)}, "property Log"},
        {7,
         "Measure",
         INVOKE_FUNC,
         {in("text", VT_BSTR), out("length", VT_I4), inOut("tail", VT_BSTR)},
         "method Measure"},
    };
    const WORD dual = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
    return {"ProbeLib",
            LIBID_ProbeLib,
            1,
            0,
            0x0409,
            SYS_WIN32,
            "Bridge probe",
            0,
            {{TKIND_DISPATCH, "IProbe", IID_IProbe, "IProbe Interface", dual, funcs, {}, {}},
             {TKIND_COCLASS,
              "Probe",
              CLSID_Probe,
              "Probe Class",
              TYPEFLAG_FCANCREATE,
              {},
              {},
              {{"IProbe", IMPLTYPEFLAG_FDEFAULT}}},
             {TKIND_COCLASS,
              "Unsafe",
              CLSID_UnsafeProbe,
              "Unsafe Class",
              TYPEFLAG_FCANCREATE,
              {},
              {},
              {{"IProbe", IMPLTYPEFLAG_FDEFAULT}}}}};
}

const com::TypeLibDesc& ProbeLibDesc() {
    static const com::TypeLibDesc desc = ProbeLib();
    return desc;
}

const com::MemberBinding kBindings[] = {
    COM_MEMBER(IProbe, "Greeting", get_Greeting),
    COM_MEMBER(IProbe, "Join", Join),
    COM_MEMBER(IProbe, "Half", Half),
    COM_MEMBER(IProbe, "Fail", Fail),
    COM_MEMBER(IProbe, "Nested", Nested),
    COM_MEMBER(IProbe, "Log", get_Log),
    COM_MEMBER(IProbe, "Measure", Measure),
};

// Invisible at run time (OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST), as
// the server's control is.
constexpr const char* kMiscStatus = "132096";

com::RegScript Script(const char* name, const CLSID& clsid) {
    using com::RegKey;
    const std::string progId = std::string("QBBridgeTest.") + name;
    const std::string id = com::FormatGuid(clsid);
    return com::RegScript{
        HKEY_CLASSES_ROOT,
        {RegKey(progId, std::string(name) + " Class", {RegKey("CLSID", id)}),
         RegKey("CLSID", std::nullopt,
                {RegKey(id, std::string(name) + " Class",
                        {RegKey("ProgID", progId),
                         RegKey("InprocServer32", "%MODULE%", {}, com::RegMark::None,
                                {{"ThreadingModel", "Apartment"}}),
                         RegKey("MiscStatus", "0", {RegKey("1", kMiscStatus)})},
                        com::RegMark::ForceRemove)},
                com::RegMark::NoRemove)}};
}
com::RegScript ProbeScript() {
    return Script("Probe", CLSID_Probe);
}
com::RegScript UnsafeScript() {
    return Script("Unsafe", CLSID_UnsafeProbe);
}

const com::ClassEntry kClasses[] = {
    {&CLSID_Probe, &com::CreatePlain<Probe<true>>, nullptr, &ProbeScript},
    {&CLSID_UnsafeProbe, &com::CreatePlain<Probe<false>>, nullptr, &UnsafeScript},
};

struct ModuleLifetime {
    ModuleLifetime() {
        com::RegisterTypeLibResource(&g_module, &ProbeLibDesc());
        g_module.Init(kClasses, &g_module, ProbeLibDesc());
        com::ComPtr<ITypeInfo> info;
        g_module.TypeLib()->GetTypeInfoOfGuid(IID_IProbe, info.Receive());
        g_dispatcher = new com::Dispatcher(info.get(), kBindings, "QBBridgeTest.Probe", nullptr);
    }
    ~ModuleLifetime() {
        g_module.Term();
        delete g_dispatcher;
        com::UnregisterTypeLibResource(&g_module);
    }
};
const ModuleLifetime g_lifetime;

}  // namespace

PROBE_EXPORT HRESULT DllCanUnloadNow() {
    return g_module.CanUnloadNow();
}
PROBE_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return g_module.GetClassObject(rclsid, riid, ppv);
}
PROBE_EXPORT HRESULT DllRegisterServer() {
    return g_module.RegisterServer();
}
PROBE_EXPORT HRESULT DllUnregisterServer() {
    return g_module.UnregisterServer();
}
PROBE_EXPORT void ProbeSetNestedLoop(void (*loop)()) {
    g_nestedLoop = loop;
}
