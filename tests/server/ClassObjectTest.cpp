// The module's exports, class objects, creation, aggregation and the unload rules, as a
// client in this process meets them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "QBStorage.h"
#include "ServerFixture.h"
#include "com/OleControl.h"
#include "com/Runtime.h"

namespace {

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT (*)();

class ClassObjectTest : public qbtest::ServerTest {
  protected:
    // Loads the module through the registry and returns its exports.
    void Load() {
        com::ComPtr<IClassFactory> factory;
        ASSERT_EQ(CoGetClassObject(CLSID_Passcards, CLSCTX_INPROC_SERVER, nullptr,
                                   IID_IClassFactory, factory.ReceiveVoid()),
                  S_OK);
        getClassObject_ = reinterpret_cast<GetClassObjectFn>(Export("DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(Export("DllCanUnloadNow"));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

TEST_F(ClassObjectTest, ClassObjectsAreFoundByClassAndCached) {
    Load();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject_(CLSID_IDentity, IID_IClassFactory, nullptr), E_POINTER);

    for (const CLSID* clsid : {&CLSID_IDentity, &CLSID_Passcards, &CLSID_IdentityCtr}) {
        com::ComPtr<IClassFactory> first, second;
        com::ComPtr<IUnknown> unknown;
        ASSERT_EQ(getClassObject_(*clsid, IID_IClassFactory, first.ReceiveVoid()), S_OK);
        ASSERT_EQ(getClassObject_(*clsid, IID_IClassFactory, second.ReceiveVoid()), S_OK);
        ASSERT_EQ(getClassObject_(*clsid, IID_IUnknown, unknown.ReceiveVoid()), S_OK);
        EXPECT_EQ(first.get(), second.get()) << "one cached class object per class";
        EXPECT_EQ(static_cast<IUnknown*>(first.get()), unknown.get());
        void* none = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject_(*clsid, IID_IDispatch, &none), E_NOINTERFACE);
        EXPECT_EQ(none, nullptr);
    }
}

TEST_F(ClassObjectTest, CreatesEachClassByProgIdAndByClassId) {
    struct Case {
        const char16_t* name;
        IID defaultInterface;
    } cases[] = {
        {u"QBStorage.IDentity", IID_IIDentity},
        {u"QBStorage.IDentity.1", IID_IIDentity},
        {u"{2A706EC0-52A6-46E8-AE90-221009C59DFD}", IID_IIDentity},
        {u"QBStorage.Passcards", IID_IPasscards},
        {u"QBStorage.Passcards.1", IID_IPasscards},
        {u"{E0E762DF-3A06-4BCF-8EF5-E9B1D22A93BD}", IID_IPasscards},
        {u"QBStorage.IdentityCtr", IID_IIdentityCtr},
        {u"QBStorage.IdentityCtr.1", IID_IIdentityCtr},
        {u"{7B42F47F-7322-4021-92FE-BAA20DE7FBAA}", IID_IIdentityCtr},
    };
    for (const Case& c : cases) {
        com::ComPtr<IDispatch> object = Create(c.name);
        ASSERT_TRUE(object);
        com::ComPtr<IUnknown> viaDefault, identity1, identity2;
        ASSERT_EQ(object->QueryInterface(c.defaultInterface, viaDefault.ReceiveVoid()), S_OK);
        ASSERT_EQ(object->QueryInterface(IID_IUnknown, identity1.ReceiveVoid()), S_OK);
        ASSERT_EQ(viaDefault->QueryInterface(IID_IUnknown, identity2.ReceiveVoid()), S_OK);
        EXPECT_EQ(identity1.get(), identity2.get()) << "one identity";
        EXPECT_EQ(OleRun(object.get()), S_OK) << "running from the start";
        com::ComPtr<IUnknown> none;
        EXPECT_EQ(object->QueryInterface(IID_ISupportErrorInfo, none.ReceiveVoid()), E_NOINTERFACE);
        EXPECT_EQ(object->QueryInterface(IID_IConnectionPointContainer, none.ReceiveVoid()),
                  E_NOINTERFACE);
    }
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"QBStorage.Nothing", &clsid), CO_E_CLASSSTRING);
}

TEST_F(ClassObjectTest, ThreadsGetTheOneClassObjectOfAClass) {
    Load();
    com::ComPtr<IClassFactory> mine;
    ASSERT_EQ(getClassObject_(CLSID_IDentity, IID_IClassFactory, mine.ReceiveVoid()), S_OK);
    // Each thread is an apartment of its own; the class object is shared by all.
    std::vector<std::thread> threads;
    std::atomic<int> same{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            CoInitialize(nullptr);
            for (int i = 0; i < 200; ++i) {
                com::ComPtr<IClassFactory> factory;
                if (CoGetClassObject(CLSID_IDentity, CLSCTX_INPROC_SERVER, nullptr,
                                     IID_IClassFactory, factory.ReceiveVoid()) == S_OK &&
                    factory.get() == mine.get()) {
                    ++same;
                }
            }
            CoUninitialize();
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(same.load(), 800);
    mine.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK) << "every thread gave its lock back";
}

TEST_F(ClassObjectTest, ObjectsAndHeldClassObjectsKeepTheModuleLoaded) {
    Load();
    EXPECT_EQ(canUnloadNow_(), S_OK) << "nothing is alive";

    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(CLSID_IdentityCtr, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a client holds a class object";
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    com::ComPtr<IClassFactory> keep;
    ASSERT_EQ(factory->QueryInterface(IID_IClassFactory, keep.ReceiveVoid()), S_OK);
    factory.reset();
    keep.reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "LockServer(TRUE) is outstanding";
    ASSERT_EQ(getClassObject_(CLSID_IdentityCtr, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);

    com::ComPtr<IUnknown> control;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IIdentityCtr, nullptr), E_POINTER);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITypeLib, control.ReceiveVoid()), E_NOINTERFACE);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IIdentityCtr, control.ReceiveVoid()), S_OK);
    factory.reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "the control and its IDentity object live";

    // Unloading now would pull the code from under the control: the runtime asks first.
    CoFreeUnusedLibraries();
    EXPECT_EQ(com::LoadedServerCount(), 1u);

    control.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK) << "the control released its IDentity object with itself";
}

TEST_F(ClassObjectTest, AControlIsMadeEvenWhenItsIdentityObjectCannotBe) {
    // IDentity's module cannot be found: the control is still constructed.
    SetString("SOFTWARE\\Classes\\CLSID\\{2A706EC0-52A6-46E8-AE90-221009C59DFD}\\InprocServer32",
              "", Path("gone/QBStorage.so"));
    com::ComPtr<IDispatch> control = Create(u"QBStorage.IdentityCtr");
    ASSERT_TRUE(control);
    com::ComPtr<IDispatch> identity;
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"QBStorage.IDentity", &clsid), S_OK);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               identity.ReceiveVoid()),
              HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
}

// An outer object that aggregates an IDentity: it answers IIDentity through the inner
// object and counts its own references.
struct Outer final : IUnknown {
    ULONG refs = 1;
    IUnknown* inner = nullptr;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown)
            return com::HandOut<IUnknown>(this, ppv);
        return inner->QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
};

TEST_F(ClassObjectTest, EveryClassCanBeAggregated) {
    for (const CLSID* clsid : {&CLSID_IDentity, &CLSID_Passcards, &CLSID_IdentityCtr}) {
        Outer outer;
        com::ComPtr<IUnknown> refused;
        EXPECT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   refused.ReceiveVoid()),
                  CLASS_E_NOAGGREGATION)
            << "an aggregated object gives its own identity only to its outer object";
        ASSERT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&outer.inner)),
                  S_OK);
        EXPECT_EQ(outer.refs, 1u) << "the inner object holds no reference on its outer one";

        com::ComPtr<IDispatch> dispatch;
        ASSERT_EQ(outer.QueryInterface(IID_IDispatch, dispatch.ReceiveVoid()), S_OK);
        EXPECT_EQ(outer.refs, 2u) << "references to inner interfaces count on the outer object";
        com::ComPtr<IUnknown> identity;
        ASSERT_EQ(dispatch->QueryInterface(IID_IUnknown, identity.ReceiveVoid()), S_OK);
        EXPECT_EQ(identity.get(), static_cast<IUnknown*>(&outer)) << "the aggregate's identity";
        identity.reset();
        dispatch.reset();
        EXPECT_EQ(outer.refs, 1u);
        outer.inner->Release();
    }
}

TEST_F(ClassObjectTest, NoObjectsWithoutAnApartment) {
    CoUninitialize();
    com::ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_IDentity, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.ReceiveVoid()),
              CO_E_NOTINITIALIZED);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(CLSID_IDentity, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               object.ReceiveVoid()),
              REGDB_E_CLASSNOTREG)
        << "only in-process servers are run";
}

TEST_F(ClassObjectTest, VersionBlockIsReadable) {
    Load();
    using VersionValueFn = DWORD (*)(const char*, char*, DWORD);
    auto value = reinterpret_cast<VersionValueFn>(Export("ModuleVersionValue"));
    ASSERT_NE(value, nullptr);
    struct Case {
        const char* subBlock;
        const char* text;
    } cases[] = {
        {"\\FixedFileInfo\\FileVersion", "1.0.0.1"},
        {"\\FixedFileInfo\\ProductVersion", "1.0.0.1"},
        {"\\FixedFileInfo\\FileType", "VFT_DLL"},
        {"\\VarFileInfo\\Translation", "040904B0"},
        {"\\StringFileInfo\\040904B0\\FileVersion", "1, 0, 0, 1"},
        {"\\StringFileInfo\\040904B0\\ProductVersion", "1, 0, 0, 1"},
        {"\\StringFileInfo\\040904B0\\FileDescription", "QBStorage Module"},
        {"\\StringFileInfo\\040904B0\\ProductName", "QBStorage Module"},
        {"\\StringFileInfo\\040904B0\\InternalName", "QBStorage"},
        {"\\stringfileinfo\\040904b0\\originalfilename", "QBStorage.DLL"},
    };
    for (const Case& c : cases) {
        char buffer[64] = "";
        EXPECT_EQ(value(c.subBlock, buffer, sizeof buffer), std::strlen(c.text) + 1) << c.subBlock;
        EXPECT_STREQ(buffer, c.text) << c.subBlock;
    }
    char small[4] = "xxx";
    EXPECT_EQ(value("\\FixedFileInfo\\FileType", small, sizeof small), 8u);
    EXPECT_STREQ(small, "VFT") << "cut to the buffer, still terminated";
    EXPECT_EQ(value("\\StringFileInfo\\040904B0\\Comments", small, sizeof small), 0u);
    EXPECT_STREQ(small, "");
}

}  // namespace
