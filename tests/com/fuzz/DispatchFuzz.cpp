// libFuzzer target for what a page hands the dispatch engine: member names, argument
// counts, named arguments, and argument values of every type scripts produce (text,
// numbers, booleans, null, references), converted to the declared types.
//
// Input layout: byte 0 = call flags (low 4 bits) and member (high bits); byte 1 = argument
// count (0-5) and named count; then per argument one type byte and its payload (4 bytes
// for numbers, a length byte and UTF-16 units for text); whatever is left is a name
// looked up with GetIDsOfNames.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "com/Object.h"

namespace {

constexpr IID IID_IProbe = com::Guid("F0000000-0000-0000-0000-000000000001");

struct IProbe : IDispatch {
    virtual HRESULT Join(BSTR a, LONG b, BSTR* result) = 0;
    virtual HRESULT Swap(BSTR* a, LONG* b) = 0;
    virtual HRESULT get_Value(VARIANT* result) = 0;
    virtual HRESULT Mix(LONG a, BSTR b, LONG c, VARIANT* out) = 0;

  protected:
    ~IProbe() = default;
};

com::TypeLibDesc ProbeLib() {
    const USHORT in = PARAMFLAG_FIN, inOut = PARAMFLAG_FIN | PARAMFLAG_FOUT, out = PARAMFLAG_FOUT,
                 ret = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
    const VARTYPE byRef = VT_BYREF;
    std::vector<com::FuncDesc> funcs{
        {1,
         "Join",
         INVOKE_FUNC,
         {{"a", VT_BSTR, in}, {"b", VT_I4, in}, {"r", VT_BSTR | byRef, ret}},
         ""},
        {2, "Swap", INVOKE_FUNC, {{"a", VT_BSTR | byRef, inOut}, {"b", VT_I4 | byRef, out}}, ""},
        {3, "Value", INVOKE_PROPERTYGET, {{"r", VT_VARIANT | byRef, ret}}, ""},
        {4,
         "Mix",
         INVOKE_FUNC,
         {{"a", VT_I4, in}, {"b", VT_BSTR, in}, {"c", VT_INT, in}, {"o", VT_VARIANT | byRef, out}},
         ""},
    };
    return {"ProbeLib",
            com::Guid("F0000000-0000-0000-0000-0000000000FF"),
            1,
            0,
            0,
            SYS_WIN32,
            "",
            0,
            {{TKIND_DISPATCH, "IProbe", IID_IProbe, "", TYPEFLAG_FDUAL, funcs, {}, {}}}};
}

const com::MemberBinding kBindings[] = {
    COM_MEMBER(IProbe, "Join", Join),
    COM_MEMBER(IProbe, "Swap", Swap),
    COM_MEMBER(IProbe, "Value", get_Value),
    COM_MEMBER(IProbe, "Mix", Mix),
};

const com::Dispatcher& ProbeDispatcher() {
    static ITypeInfo* info = [] {
        com::ComPtr<ITypeLib> lib;
        com::CreateTypeLib(ProbeLib(), lib.Receive());
        ITypeInfo* i = nullptr;
        lib->GetTypeInfoOfGuid(IID_IProbe, &i);
        return i;
    }();
    static const com::Dispatcher dispatcher(info, kBindings, "Fuzz.Probe", nullptr);
    return dispatcher;
}

class CProbe : public com::DualImpl<IProbe, &ProbeDispatcher>, public com::ObjectRoot {
  public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv) {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IProbe) {
            return com::HandOut<IProbe>(this, ppv);
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT Join(BSTR a, LONG b, BSTR* result) override {
        std::u16string text(com::BstrView(a));
        text += static_cast<char16_t>(u'0' + (b & 7));
        *result = com::AllocBstr(text);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT Swap(BSTR* a, LONG* b) override {
        const LONG length = static_cast<LONG>(SysStringLen(*a));
        if (!SysReAllocString(a, u"swapped"))
            return E_OUTOFMEMORY;
        *b = length;
        return S_OK;
    }
    HRESULT get_Value(VARIANT* result) override {
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(u"value");
        return S_OK;
    }
    HRESULT Mix(LONG a, BSTR b, LONG c, VARIANT* out) override {
        if (a == 13)
            throw std::runtime_error("thirteen");
        VariantClear(out);
        out->vt = VT_I4;
        out->lVal = static_cast<LONG>(static_cast<std::uint32_t>(a) +
                                      static_cast<std::uint32_t>(c) + SysStringLen(b));
        return S_OK;
    }
};

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t Byte() {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    std::int32_t Number() {
        std::int32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | Byte();
        return v;
    }
    std::u16string Text(std::size_t units) {
        std::u16string s;
        for (std::size_t i = 0; i < units && size >= 2; ++i) {
            const char16_t lo = Byte();
            s.push_back(static_cast<char16_t>(lo | (Byte() << 8)));
        }
        return s;
    }
};

// Storage a by-reference argument points into; lives for one call.
struct Referenced {
    LONG number = 0;
    BSTR text = nullptr;
    VARIANT variant;
    Referenced() { VariantInit(&variant); }
    ~Referenced() {
        SysFreeString(text);
        VariantClear(&variant);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static com::ServerModule module;
    Reader in{data, size};
    const std::uint8_t head = in.Byte();
    const WORD flags = static_cast<WORD>(head & 0x0F);
    const DISPID member = static_cast<DISPID>(head >> 4) - 2;  // -2 .. 13: also unknown ids
    const std::uint8_t counts = in.Byte();
    const UINT argCount = counts % 6;
    const UINT namedCount = (counts >> 4) % 3;

    std::vector<VARIANT> args(argCount);
    std::vector<Referenced> refs(argCount);
    std::vector<DISPID> named(namedCount);
    for (UINT i = 0; i < argCount; ++i) {
        VARIANT& v = args[i];
        VariantInit(&v);
        switch (in.Byte() % 10) {
            case 0:
                break;
            case 1:
                v.vt = VT_NULL;
                break;
            case 2:
                v.vt = VT_I4;
                v.lVal = in.Number();
                break;
            case 3:
                v.vt = VT_I2;
                v.iVal = static_cast<SHORT>(in.Number());
                break;
            case 4: {
                v.vt = VT_R8;
                std::int64_t bits = (static_cast<std::int64_t>(in.Number()) << 32) |
                                    static_cast<std::uint32_t>(in.Number());
                std::memcpy(&v.dblVal, &bits, sizeof bits);
                break;
            }
            case 5:
                v.vt = VT_BOOL;
                v.boolVal = (in.Byte() & 1) ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            case 6: {
                v.vt = VT_BSTR;
                const std::u16string text = in.Text(in.Byte() % 24);
                v.bstrVal = (text.empty() && (in.Byte() & 1)) ? nullptr : com::AllocBstr(text);
                break;
            }
            case 7:
                v.vt = VT_I4 | VT_BYREF;
                refs[i].number = in.Number();
                v.plVal = &refs[i].number;
                break;
            case 8:
                v.vt = VT_BSTR | VT_BYREF;
                refs[i].text = com::AllocBstr(in.Text(in.Byte() % 8));
                v.pbstrVal = &refs[i].text;
                break;
            default:
                v.vt = VT_VARIANT | VT_BYREF;
                refs[i].variant.vt = VT_BSTR;
                refs[i].variant.bstrVal = com::AllocBstr(in.Text(in.Byte() % 8));
                v.pvarVal = &refs[i].variant;
                break;
        }
    }
    for (UINT i = 0; i < namedCount; ++i)
        named[i] = static_cast<DISPID>(in.Byte() % 6) - 1;

    com::ComPtr<IDispatch> probe;
    if (FAILED(com::CreatePlain<CProbe>(module, nullptr, IID_IDispatch, probe.ReceiveVoid()))) {
        return 0;
    }
    std::u16string name = in.Text(in.size / 2);
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    probe->GetIDsOfNames(IID_NULL, names, 1, 0, &id);

    DISPPARAMS params{args.data(), named.data(), argCount, std::min(namedCount, argCount)};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT argErr = 0;
    probe->Invoke(member, IID_NULL, 0, flags, &params, &result, &excep, &argErr);
    VariantClear(&result);
    com::ClearExcepInfo(&excep);
    for (VARIANT& v : args)
        VariantClear(&v);
    return 0;
}
