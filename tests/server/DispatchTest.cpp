// The dispatch engine on a small dual interface of the test's own: names, argument
// order and counts, coercion, references, results and failures of members.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ServerFixture.h"
#include "com/Object.h"

namespace {

constexpr IID IID_IEcho = com::Guid("E0000000-0000-0000-0000-000000000001");

struct IEcho : IDispatch {
    virtual HRESULT Echo(BSTR text, BSTR* result) = 0;
    virtual HRESULT Add(LONG a, LONG b, LONG* sum) = 0;
    virtual HRESULT get_Length(LONG* pVal) = 0;
    virtual HRESULT Swap(BSTR* first, BSTR* second) = 0;
    virtual HRESULT Fail() = 0;
    virtual HRESULT Throw(BSTR what) = 0;

  protected:
    ~IEcho() = default;
};

struct NotAStdException {};

com::TypeLibDesc EchoLib() {
    auto in = [](const char* n, VARTYPE t) { return com::ParamDesc{n, t, PARAMFLAG_FIN}; };
    auto inOut = [](const char* n, VARTYPE t) {
        return com::ParamDesc{n, static_cast<VARTYPE>(t | VT_BYREF),
                              static_cast<USHORT>(PARAMFLAG_FIN | PARAMFLAG_FOUT)};
    };
    auto retval = [](const char* n, VARTYPE t) {
        return com::ParamDesc{n, static_cast<VARTYPE>(t | VT_BYREF),
                              static_cast<USHORT>(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)};
    };
    std::vector<com::FuncDesc> funcs{
        {1, "Echo", INVOKE_FUNC, {in("text", VT_BSTR), retval("result", VT_BSTR)}, "method Echo"},
        {2,
         "Add",
         INVOKE_FUNC,
         {in("a", VT_I4), in("b", VT_I4), retval("sum", VT_I4)},
         "method Add"},
        {3, "Length", INVOKE_PROPERTYGET, {retval("pVal", VT_I4)}, "property Length"},
        {4,
         "Swap",
         INVOKE_FUNC,
         {inOut("first", VT_BSTR), inOut("second", VT_BSTR)},
         "method Swap"},
        {5, "Fail", INVOKE_FUNC, {}, "method Fail"},
        {6, "Throw", INVOKE_FUNC, {in("what", VT_BSTR)}, "method Throw"},
    };
    return {"EchoLib",
            com::Guid("E0000000-0000-0000-0000-0000000000FF"),
            1,
            0,
            0,
            SYS_WIN32,
            "",
            0,
            {{TKIND_DISPATCH, "IEcho", IID_IEcho, "", TYPEFLAG_FDUAL, funcs, {}, {}}}};
}

const com::MemberBinding kBindings[] = {
    COM_MEMBER(IEcho, "Echo", Echo),         COM_MEMBER(IEcho, "Add", Add),
    COM_MEMBER(IEcho, "Length", get_Length), COM_MEMBER(IEcho, "Swap", Swap),
    COM_MEMBER(IEcho, "Fail", Fail),         COM_MEMBER(IEcho, "Throw", Throw),
};

std::string DescribeTestException() {
    try {
        throw;
    } catch (const NotAStdException&) {
        return "a failure of the test's own kind";
    } catch (...) {
        return com::DescribeCurrentException();
    }
}

ITypeInfo* EchoTypeInfo() {
    static ITypeInfo* info = [] {
        com::ComPtr<ITypeLib> lib;
        com::CreateTypeLib(EchoLib(), lib.Receive());
        ITypeInfo* i = nullptr;
        lib->GetTypeInfoOfGuid(IID_IEcho, &i);
        return i;
    }();
    return info;
}

const com::Dispatcher& EchoDispatcher() {
    static const com::Dispatcher dispatcher(EchoTypeInfo(), kBindings, "Test.Echo",
                                            &DescribeTestException);
    return dispatcher;
}

class CEcho : public com::DualImpl<IEcho, &EchoDispatcher>, public com::ObjectRoot {
  public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv) {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IEcho) {
            return com::HandOut<IEcho>(this, ppv);
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT Echo(BSTR text, BSTR* result) override {
        length_ = static_cast<LONG>(SysStringLen(text));
        *result = com::AllocBstr(com::BstrView(text));
        return S_OK;
    }
    HRESULT Add(LONG a, LONG b, LONG* sum) override {
        *sum = a + b;
        return S_OK;
    }
    HRESULT get_Length(LONG* pVal) override {
        *pVal = length_;
        return S_OK;
    }
    HRESULT Swap(BSTR* first, BSTR* second) override {
        std::swap(*first, *second);
        return S_OK;
    }
    HRESULT Fail() override { return E_NOTIMPL; }
    HRESULT Throw(BSTR what) override {
        const std::u16string_view w = com::BstrView(what);
        if (w == u"other")
            throw NotAStdException{};
        if (w == u"memory")
            throw std::bad_alloc();
        throw std::runtime_error(std::string(w.begin(), w.end()) + "\n");
    }

  private:
    LONG length_ = -1;
};

class DispatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(EchoDispatcher().Problems().empty()) << EchoDispatcher().Problems();
        ASSERT_EQ(com::CreatePlain<CEcho>(module_, nullptr, IID_IDispatch, echo_.ReceiveVoid()),
                  S_OK);
    }
    void TearDown() override {
        echo_.reset();
        EXPECT_EQ(module_.LockCount(), 0);
    }

    DISPID Id(const char16_t* name) {
        std::u16string n = name;
        LPOLESTR names[] = {n.data()};
        DISPID id = 0;
        EXPECT_EQ(echo_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        return id;
    }

    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr,
                 EXCEPINFO* excep = nullptr, UINT* argErr = nullptr,
                 std::vector<DISPID> named = {}) {
        return qbtest::InvokeInScriptOrder(echo_.get(), id, flags, std::move(args), result, excep,
                                           argErr, std::move(named));
    }

    static VARIANT I4(LONG v) { return qbtest::I4(v); }
    // The test keeps the strings alive in strings_.
    VARIANT Str(const char16_t* text) {
        VARIANT x;
        VariantInit(&x);
        x.vt = VT_BSTR;
        strings_.emplace_back(text != nullptr ? com::Bstr(text) : com::Bstr());
        x.bstrVal = strings_.back().get();
        return x;
    }

    com::ServerModule module_;
    com::ComPtr<IDispatch> echo_;
    std::vector<com::Bstr> strings_;
};

TEST_F(DispatchTest, FindsMembersAndParametersIgnoringCase) {
    EXPECT_EQ(Id(u"add"), 2);
    EXPECT_EQ(Id(u"LENGTH"), 3);
    std::u16string member = u"aDd", param = u"B", unknown = u"Subtract";
    LPOLESTR names[] = {member.data(), param.data()};
    DISPID ids[2] = {};
    EXPECT_EQ(echo_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 1);
    names[0] = unknown.data();
    EXPECT_EQ(echo_->GetIDsOfNames(IID_NULL, names, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(echo_->GetIDsOfNames(IID_IEcho, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchTest, CallsWithArgumentsInScriptOrderAndConvertsThem) {
    struct Case {
        const char* label;
        DISPID id;
        WORD flags;
        std::vector<VARIANT> args;
        std::vector<DISPID> named;
        HRESULT hr;
        LONG sum;
        UINT argErr;
    };
    const WORD method = DISPATCH_METHOD;
    const std::vector<Case> cases = {
        {"two numbers", 2, method, {I4(2), I4(3)}, {}, S_OK, 5, 99},
        {"\"5\" is read as 5", 2, method, {Str(u" 5"), I4(3)}, {}, S_OK, 8, 99},
        {"call as a property too",
         2,
         method | DISPATCH_PROPERTYGET,
         {I4(1), I4(1)},
         {},
         S_OK,
         2,
         99},
        {"text that is no number", 2, method, {Str(u"x"), I4(3)}, {}, DISP_E_TYPEMISMATCH, 0, 1},
        {"second argument at fault", 2, method, {I4(3), Str(u"")}, {}, DISP_E_TYPEMISMATCH, 0, 0},
        {"out of range", 2, method, {Str(u"3000000000"), I4(3)}, {}, DISP_E_OVERFLOW, 0, 1},
        {"one too few", 2, method, {I4(2)}, {}, DISP_E_BADPARAMCOUNT, 0, 99},
        {"one too many", 2, method, {I4(2), I4(3), I4(4)}, {}, DISP_E_BADPARAMCOUNT, 0, 99},
        {"named b", 2, method, {I4(1), I4(10)}, {1}, S_OK, 11, 99},
        {"named a and b", 2, method, {I4(7), I4(10)}, {1, 0}, S_OK, 17, 99},
        {"unknown parameter", 2, method, {I4(1), I4(10)}, {5}, DISP_E_PARAMNOTFOUND, 0, 0},
        {"named twice", 2, method, {I4(1), I4(10)}, {0, 0}, DISP_E_PARAMNOTFOUND, 0, 1},
        {"no such member", 99, method, {}, {}, DISP_E_MEMBERNOTFOUND, 0, 99},
        {"a property is no method", 3, method, {}, {}, DISP_E_MEMBERNOTFOUND, 0, 99},
        {"properties are read-only",
         3,
         DISPATCH_PROPERTYPUT,
         {I4(1)},
         {},
         DISP_E_MEMBERNOTFOUND,
         0,
         99},
        {"a method is no property",
         2,
         DISPATCH_PROPERTYGET,
         {I4(1), I4(1)},
         {},
         DISP_E_MEMBERNOTFOUND,
         0,
         99},
    };
    for (const Case& c : cases) {
        com::Variant result;
        UINT argErr = 99;
        EXPECT_EQ(Call(c.id, c.flags, c.args, &result, nullptr, &argErr, c.named), c.hr) << c.label;
        EXPECT_EQ(argErr, c.argErr) << c.label;
        if (c.hr == S_OK) {
            EXPECT_EQ(result.vt, VT_I4) << c.label;
            EXPECT_EQ(result.lVal, c.sum) << c.label;
        } else {
            EXPECT_EQ(result.vt, VT_EMPTY) << c.label;
        }
    }
}

TEST_F(DispatchTest, ANullStringIsTheEmptyString) {
    com::Variant result;
    ASSERT_EQ(Call(1, DISPATCH_METHOD, {Str(nullptr)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_NE(result.bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(result.bstrVal), 0u);
    com::Variant length;
    ASSERT_EQ(Call(3, DISPATCH_PROPERTYGET, {}, &length), S_OK);
    EXPECT_EQ(length.lVal, 0);

    // A number given for a string arrives as its text; a result nobody wants is freed.
    ASSERT_EQ(Call(1, DISPATCH_METHOD, {I4(42)}, nullptr), S_OK);
    ASSERT_EQ(Call(3, DISPATCH_PROPERTYGET, {}, &length), S_OK);
    EXPECT_EQ(length.lVal, 2);
}

TEST_F(DispatchTest, PointerParametersTakeReferences) {
    BSTR first = SysAllocString(u"one");
    BSTR second = SysAllocString(u"two");
    VARIANT a, b;
    VariantInit(&a);
    VariantInit(&b);
    a.vt = b.vt = VT_BSTR | VT_BYREF;
    a.pbstrVal = &first;
    b.pbstrVal = &second;
    ASSERT_EQ(Call(4, DISPATCH_METHOD, {a, b}), S_OK);
    EXPECT_EQ(com::BstrView(first), u"two");
    EXPECT_EQ(com::BstrView(second), u"one");
    SysFreeString(first);
    SysFreeString(second);

    // A script's variables come as references to VARIANTs: converted, then written back.
    com::Variant number, text;
    number.vt = VT_I4;
    number.lVal = 7;
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(u"seven");
    VARIANT ra, rb;
    VariantInit(&ra);
    VariantInit(&rb);
    ra.vt = rb.vt = VT_VARIANT | VT_BYREF;
    ra.pvarVal = &number;
    rb.pvarVal = &text;
    ASSERT_EQ(Call(4, DISPATCH_METHOD, {ra, rb}), S_OK);
    ASSERT_EQ(number.vt, VT_BSTR);
    EXPECT_EQ(com::BstrView(number.bstrVal), u"seven");
    ASSERT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(com::BstrView(text.bstrVal), u"7");

    UINT argErr = 99;
    EXPECT_EQ(Call(4, DISPATCH_METHOD, {Str(u"x"), ra}, nullptr, nullptr, &argErr),
              DISP_E_TYPEMISMATCH)
        << "a value where a reference is declared";
    EXPECT_EQ(argErr, 1u);
}

TEST_F(DispatchTest, FailuresOfMembersBecomeExceptionsAndTheObjectStaysUsable) {
    struct Case {
        DISPID id;
        std::vector<VARIANT> args;
        SCODE scode;
        const char16_t* description;
    } cases[] = {
        {5, {}, E_NOTIMPL, u"Fail: Not implemented."},
        {6, {Str(u"the disk is full")}, E_FAIL, u"Throw: the disk is full"},
        {6, {Str(u"other")}, E_FAIL, u"Throw: a failure of the test's own kind"},
        {6,
         {Str(u"memory")},
         E_OUTOFMEMORY,
         u"Throw: Not enough memory to complete the operation."},
    };
    for (const Case& c : cases) {
        EXCEPINFO excep{};
        com::Variant result;
        EXPECT_EQ(Call(c.id, DISPATCH_METHOD, c.args, &result, &excep), DISP_E_EXCEPTION);
        EXPECT_EQ(excep.scode, c.scode);
        EXPECT_EQ(com::BstrView(excep.bstrDescription), c.description);
        EXPECT_EQ(com::BstrView(excep.bstrSource), u"Test.Echo");
        EXPECT_EQ(result.vt, VT_EMPTY);
        com::ClearExcepInfo(&excep);

        com::Variant sum;
        ASSERT_EQ(Call(2, DISPATCH_METHOD, {I4(20), I4(22)}, &sum), S_OK) << "still usable";
        EXPECT_EQ(sum.lVal, 42);
    }
    EXPECT_EQ(Call(5, DISPATCH_METHOD, {}), DISP_E_EXCEPTION) << "EXCEPINFO is optional";
}

TEST_F(DispatchTest, TypeInfoDescribesAndCallsTheInterface) {
    UINT count = 0;
    ASSERT_EQ(echo_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    com::ComPtr<ITypeInfo> info;
    EXPECT_EQ(echo_->GetTypeInfo(1, 0, info.Receive()), DISP_E_BADINDEX);
    ASSERT_EQ(echo_->GetTypeInfo(0, 0, info.Receive()), S_OK);
    VARIANT args[2] = {I4(4), I4(3)};
    DISPPARAMS params{args, nullptr, 2, 0};
    com::Variant result;
    com::ComPtr<IEcho> echo;
    ASSERT_EQ(echo_->QueryInterface(IID_IEcho, echo.ReceiveVoid()), S_OK);
    ASSERT_EQ(info->Invoke(echo.get(), 2, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.lVal, 7);
}

TEST(DispatcherTest, BindingsThatDoNotMatchTheLibraryAreRefusedWhole) {
    const com::MemberBinding swapped[] = {
        COM_MEMBER(IEcho, "Add", Add),           COM_MEMBER(IEcho, "Echo", Echo),
        COM_MEMBER(IEcho, "Length", get_Length), COM_MEMBER(IEcho, "Swap", Swap),
        COM_MEMBER(IEcho, "Fail", Fail),         COM_MEMBER(IEcho, "Throw", Throw),
    };
    const com::Dispatcher wrongOrder(EchoTypeInfo(), swapped, "Test.Echo", nullptr);
    EXPECT_NE(wrongOrder.Problems().find("IEcho.Echo"), std::string::npos) << wrongOrder.Problems();
    const com::Dispatcher tooFew(EchoTypeInfo(), std::span(kBindings).first(5), "Test.Echo",
                                 nullptr);
    EXPECT_FALSE(tooFew.Problems().empty());
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(wrongOrder.Invoke(nullptr, 5, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                                nullptr),
              E_UNEXPECTED);
}

}  // namespace
