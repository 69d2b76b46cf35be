// The IdentityCtr control's own surface: the interfaces it answers, safety, extent and
// its persistence, misc status from the registry, class information, drawing.
#include <gtest/gtest.h>

#include "QBStorage.h"
#include "ServerFixture.h"
#include "com/OleControl.h"
#include "ui/DeviceContext.h"

namespace {

class ControlTest : public qbtest::ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        control_ = Create(u"QBStorage.IdentityCtr");
        ASSERT_TRUE(control_);
    }
    void TearDown() override {
        control_.reset();
        ServerTest::TearDown();
    }
    template <class I>
    com::ComPtr<I> As(REFIID iid) {
        com::ComPtr<I> p;
        EXPECT_EQ(control_->QueryInterface(iid, p.ReceiveVoid()), S_OK);
        return p;
    }
    com::ComPtr<IDispatch> control_;
};

TEST_F(ControlTest, AnswersTheInterfacesOfAControl) {
    const IID answered[] = {
        IID_IIdentityCtr,
        IID_IDispatch,
        IID_IViewObjectEx,
        IID_IViewObject2,
        IID_IViewObject,
        IID_IOleInPlaceObjectWindowless,
        IID_IOleInPlaceObject,
        IID_IOleWindow,
        IID_IOleInPlaceActiveObject,
        IID_IOleControl,
        IID_IOleObject,
        IID_IPersistStreamInit,
        IID_IPersist,
        IID_ISpecifyPropertyPages,
        IID_IQuickActivate,
        IID_IPersistStorage,
        IID_IDataObject,
        IID_IProvideClassInfo,
        IID_IProvideClassInfo2,
        IID_IObjectSafety,
    };
    com::ComPtr<IUnknown> identity;
    ASSERT_EQ(control_->QueryInterface(IID_IUnknown, identity.ReceiveVoid()), S_OK);
    for (const IID& iid : answered) {
        com::ComPtr<IUnknown> p, back;
        ASSERT_EQ(control_->QueryInterface(iid, p.ReceiveVoid()), S_OK) << com::FormatGuid(iid);
        ASSERT_EQ(p->QueryInterface(IID_IUnknown, back.ReceiveVoid()), S_OK);
        EXPECT_EQ(back.get(), identity.get()) << com::FormatGuid(iid);
    }
    com::ComPtr<IDispatch> identityObject = Create(u"QBStorage.IDentity");
    for (const IID& iid : answered) {
        com::ComPtr<IUnknown> p;
        const bool expected = iid == IID_IDispatch;
        EXPECT_EQ(identityObject->QueryInterface(iid, p.ReceiveVoid()) == S_OK, expected)
            << "IDentity is no control: " << com::FormatGuid(iid);
    }
}

TEST_F(ControlTest, SafeForUntrustedCallersAndDataOnEveryInterface) {
    auto safety = As<IObjectSafety>(IID_IObjectSafety);
    DWORD supported = 99, enabled = 99;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled), E_POINTER);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, nullptr), E_POINTER);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_ITypeLib, &supported, &enabled), E_NOINTERFACE);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(enabled, 0u);
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistStreamInit, &supported, &enabled),
              S_OK);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, 0u) << "nothing is enabled at first";

    struct Step {
        IID iid;
        DWORD mask;
        DWORD options;
        HRESULT hr;
        DWORD enabledAfter;
    } steps[] = {
        {IID_IDispatch, 4, 4, E_FAIL, 0},  // a bit the control does not support
        {IID_IDispatch, 5, 1, E_FAIL, 0},
        {IID_ITypeLib, 1, 1, E_NOINTERFACE, 0},
        {IID_IDispatch, 1, 1, S_OK, 1},
        {IID_IPersist, 2, 3, S_OK, 3},  // only the masked bit changes
        {IID_IDispatch, 1, 0, S_OK, 2},
        {IID_IDispatch, 3, 0, S_OK, 0},
        {IID_IDispatch, 3, 3, S_OK, 3},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(s.iid, s.mask, s.options), s.hr)
            << s.mask << "/" << s.options;
        ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
        EXPECT_EQ(enabled, s.enabledAfter) << s.mask << "/" << s.options;
    }
}

TEST_F(ControlTest, ExtentStartsAtTwoInchesAndIsPersisted) {
    auto object = As<IOleObject>(IID_IOleObject);
    auto view = As<IViewObject2>(IID_IViewObject2);
    auto persist = As<IPersistStreamInit>(IID_IPersistStreamInit);
    SIZEL size{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 5080);
    EXPECT_EQ(size.cy, 5080);
    EXPECT_EQ(object->GetExtent(4, &size), DV_E_DVASPECT);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    SIZEL wanted{2540, 1270};
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &size), S_OK);
    EXPECT_EQ(size.cx, 2540);
    EXPECT_EQ(size.cy, 1270);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    com::ComPtr<IStream> stream;
    *stream.Receive() = com::CreateMemoryStream();
    std::uint64_t max = 0;
    ASSERT_EQ(persist->GetSizeMax(&max), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    const std::vector<unsigned char> expected = {0x00, 0x00, 0x01, 0x00,   // layout version
                                                 0xEC, 0x09, 0x00, 0x00,   // _cx = 2540
                                                 0xF6, 0x04, 0x00, 0x00};  // _cy = 1270
    EXPECT_EQ(*com::MemoryStreamBytes(stream.get()), expected);
    EXPECT_EQ(max, expected.size());

    // A new control takes the saved extent; a stream that is cut short changes nothing.
    com::ComPtr<IDispatch> other = Create(u"QBStorage.IdentityCtr");
    com::ComPtr<IPersistStreamInit> otherPersist;
    com::ComPtr<IOleObject> otherObject;
    ASSERT_EQ(other->QueryInterface(IID_IPersistStreamInit, otherPersist.ReceiveVoid()), S_OK);
    ASSERT_EQ(other->QueryInterface(IID_IOleObject, otherObject.ReceiveVoid()), S_OK);
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(otherPersist->Load(stream.get()), S_OK);
    ASSERT_EQ(otherObject->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 2540);
    EXPECT_EQ(size.cy, 1270);

    com::ComPtr<IStream> cut;
    *cut.Receive() = com::CreateMemoryStream();
    cut->Write(expected.data(), 10, nullptr);
    cut->Seek(0, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(cut.get()), STG_E_READFAULT);
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 2540) << "unchanged";

    auto quick = As<IQuickActivate>(IID_IQuickActivate);
    SIZEL content{};
    ASSERT_EQ(quick->GetContentExtent(&content), S_OK);
    EXPECT_EQ(content.cx, 2540);
    DVEXTENTINFO info{sizeof(DVEXTENTINFO), DVEXTENT_CONTENT, {0, 0}};
    auto viewEx = As<IViewObjectEx>(IID_IViewObjectEx);
    ASSERT_EQ(viewEx->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
    EXPECT_EQ(size.cx, 5080);
    EXPECT_EQ(size.cy, 5080);
}

TEST_F(ControlTest, MiscStatusComesFromTheRegistry) {
    auto object = As<IOleObject>(IID_IOleObject);
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 132497u);
    EXPECT_EQ(status, OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
                          OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
                          OLEMISC_RECOMPOSEONRESIZE);
    ASSERT_EQ(object->GetMiscStatus(2, &status), S_OK);
    EXPECT_EQ(status, 0u) << "an aspect without a key of its own takes MiscStatus itself";
    SetString("SOFTWARE\\Classes\\CLSID\\{7B42F47F-7322-4021-92FE-BAA20DE7FBAA}\\MiscStatus\\1", "",
              "1024");
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 1024u) << "read afresh";
}

TEST_F(ControlTest, DescribesItsClassAndHasNoPropertyPages) {
    auto classInfo = As<IProvideClassInfo2>(IID_IProvideClassInfo2);
    com::ComPtr<ITypeInfo> info;
    ASSERT_EQ(classInfo->GetClassInfo(info.Receive()), S_OK);
    com::Bstr name, doc;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, name.Receive(), doc.Receive(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(name.view(), u"IdentityCtr");
    EXPECT_EQ(doc.view(), u"IdentityCtr Class");
    GUID events = CLSID_IdentityCtr;
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), E_INVALIDARG)
        << "the control fires no events";

    CLSID clsid{};
    ASSERT_EQ(As<IPersist>(IID_IPersist)->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_IdentityCtr);
    CAUUID pages{5, reinterpret_cast<GUID*>(1)};
    ASSERT_EQ(As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages)->GetPages(&pages), S_OK);
    EXPECT_EQ(pages.cElems, 0u);
    EXPECT_EQ(pages.pElems, nullptr);
}

TEST_F(ControlTest, DrawsItsNameInTheMiddleOfItsBounds) {
    auto view = As<IViewObject>(IID_IViewObject);
    const struct {
        RECTL bounds;
        std::vector<std::string> calls;
    } cases[] = {
        {{0, 0, 101, 51},
         {"Rectangle(0, 0, 101, 51)", "SetTextAlign(0x1E)",
          "TextOut(50, 25, \"ATL 3.0 : IdentityCtr\") align 0x1E"}},
        {{-101, -51, 0, 0},
         {"Rectangle(-101, -51, 0, 0)", "SetTextAlign(0x1E)",
          "TextOut(-50, -25, \"ATL 3.0 : IdentityCtr\") align 0x1E"}},
    };
    for (const auto& c : cases) {
        ui::RecordingDeviceContext dc;
        EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, &dc, &c.bounds,
                             nullptr, nullptr, 0),
                  S_OK);
        EXPECT_EQ(dc.calls(), c.calls);
    }
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &cases[0].bounds,
                         nullptr, nullptr, 0),
              E_INVALIDARG)
        << "no device context to draw into";
}

TEST_F(ControlTest, WhatTheControlDoesNotDoItSays) {
    auto view = As<IViewObject>(IID_IViewObject);
    const RECTL bounds{0, 0, 101, 51};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, 0),
              E_INVALIDARG);
    EXPECT_EQ(view->Draw(2, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr, nullptr, 0),
              DV_E_DVASPECT);
    HWND window = nullptr;
    EXPECT_EQ(As<IOleWindow>(IID_IOleWindow)->GetWindow(&window), E_NOTIMPL);
    EXPECT_EQ(As<IOleObject>(IID_IOleObject)->DoVerb(-5, nullptr, nullptr, 0, nullptr, &bounds),
              E_NOTIMPL);
    EXPECT_EQ(As<IPersistStorage>(IID_IPersistStorage)->HandsOffStorage(), E_NOTIMPL);
    EXPECT_EQ(As<IDataObject>(IID_IDataObject)->DUnadvise(1), E_NOTIMPL);
}

}  // namespace
