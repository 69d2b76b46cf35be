// The standard part of an ActiveX control: its OLE interfaces, of which a control of
// ours really does
//  - its extent (IOleObject, IViewObject2/Ex, IQuickActivate), starting at the natural
//    extent, and persists it as the properties "_cx" and "_cy" (IPersistStreamInit);
//  - its misc-status bits, read from the registry (HKCR\CLSID\{clsid}\MiscStatus);
//  - its class information (IProvideClassInfo, IPersist), no property pages;
//  - IObjectSafety: safe for untrusted callers and data (3) on every interface it has;
//  - drawing through the routine of its class, when the class has one.
// Everything else (in-place activation and windows, advise sinks, data transfer,
// storages, monikers) returns E_NOTIMPL: our containers script controls and do not
// embed them.
//
// Persisted stream layout (little-endian):
//   offset 0  DWORD  0x00010000  layout version
//   offset 4  DWORD  "_cx"       width in HIMETRIC units
//   offset 8  DWORD  "_cy"       height in HIMETRIC units
//
// A control class derives from ControlBase and its dual interface and implements
// InternalQueryInterface: its own interfaces, then QueryControlInterface.
// Thread: the control's apartment only.
#pragma once

#include "com/OleControl.h"

namespace com {

// Draws a control into a device context within bounds (left, top, right, bottom).
using ControlDrawFn = HRESULT (*)(HDC dc, const RECTL& bounds);

struct ControlClass {
    const CLSID* clsid;
    ITypeLib* (*typeLib)();  // the module's type library (not add-ref'ed)
    SIZEL naturalExtent;     // HIMETRIC
    ControlDrawFn draw;      // null: drawing is E_NOTIMPL
};

class ControlBase : public IViewObjectEx,
                    public IOleInPlaceObjectWindowless,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IOleObject,
                    public IPersistStreamInit,
                    public ISpecifyPropertyPages,
                    public IQuickActivate,
                    public IPersistStorage,
                    public IDataObject,
                    public IProvideClassInfo2,
                    public IObjectSafety {
  public:
    static constexpr DWORD kSupportedSafety =
        INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    static constexpr DWORD kStreamVersion = 0x00010000;
    static constexpr ULONG kStreamSize = 12;

    // The class's own interfaces first, then QueryControlInterface.
    virtual HRESULT InternalQueryInterface(REFIID riid, void** ppv) = 0;

    // IViewObject, IViewObject2, IViewObjectEx
    HRESULT Draw(DWORD drawAspect, LONG index, void* aspect, DVTARGETDEVICE* targetDevice,
                 HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                 BOOL (*keepGoing)(ULONG_PTR), ULONG_PTR keepGoingArgument) override;
    HRESULT GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override;
    HRESULT Freeze(DWORD, LONG, void*, DWORD*) override;
    HRESULT Unfreeze(DWORD) override;
    HRESULT SetAdvise(DWORD, DWORD, IAdviseSink*) override;
    HRESULT GetAdvise(DWORD*, DWORD*, IAdviseSink**) override;
    HRESULT GetExtent(DWORD drawAspect, LONG index, DVTARGETDEVICE* targetDevice,
                      LPSIZEL size) override;
    HRESULT GetRect(DWORD, LPRECTL) override;
    HRESULT GetViewStatus(DWORD*) override;
    HRESULT QueryHitPoint(DWORD, const RECTL*, POINTL, LONG, DWORD*) override;
    HRESULT QueryHitRect(DWORD, const RECTL*, const RECTL*, LONG, DWORD*) override;
    HRESULT GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* targetDevice, HDC targetDc,
                             DVEXTENTINFO* extentInfo, LPSIZEL size) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless, IOleInPlaceActiveObject
    HRESULT GetWindow(HWND*) override;
    HRESULT ContextSensitiveHelp(BOOL) override;
    HRESULT InPlaceDeactivate() override;
    HRESULT UIDeactivate() override;
    HRESULT SetObjectRects(const RECTL*, const RECTL*) override;
    HRESULT ReactivateAndUndo() override;
    HRESULT OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override;
    HRESULT GetDropTarget(IDropTarget**) override;
    HRESULT TranslateAccelerator(LPMSG) override;
    HRESULT OnFrameWindowActivate(BOOL) override;
    HRESULT OnDocWindowActivate(BOOL) override;
    HRESULT ResizeBorder(const RECTL*, IOleInPlaceUIWindow*, BOOL) override;
    HRESULT EnableModeless(BOOL) override;

    // IOleControl
    HRESULT GetControlInfo(CONTROLINFO*) override;
    HRESULT OnMnemonic(LPMSG) override;
    HRESULT OnAmbientPropertyChange(DISPID) override;
    HRESULT FreezeEvents(BOOL) override;

    // IOleObject
    HRESULT SetClientSite(IOleClientSite*) override;
    HRESULT GetClientSite(IOleClientSite**) override;
    HRESULT SetHostNames(LPCOLESTR, LPCOLESTR) override;
    HRESULT Close(DWORD) override;
    HRESULT SetMoniker(DWORD, IMoniker*) override;
    HRESULT GetMoniker(DWORD, DWORD, IMoniker**) override;
    HRESULT InitFromData(IDataObject*, BOOL, DWORD) override;
    HRESULT GetClipboardData(DWORD, IDataObject**) override;
    HRESULT DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, const RECTL*) override;
    HRESULT EnumVerbs(IEnumOLEVERB**) override;
    HRESULT Update() override;
    HRESULT IsUpToDate() override;
    HRESULT GetUserClassID(CLSID* clsid) override;
    HRESULT GetUserType(DWORD, LPOLESTR*) override;
    HRESULT SetExtent(DWORD drawAspect, SIZEL* size) override;
    HRESULT GetExtent(DWORD drawAspect, SIZEL* size) override;
    HRESULT Advise(IAdviseSink*, DWORD*) override;
    HRESULT Unadvise(DWORD) override;
    HRESULT EnumAdvise(IEnumSTATDATA**) override;
    HRESULT GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT SetColorScheme(LOGPALETTE*) override;

    // IPersist, IPersistStreamInit, IPersistStorage
    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream* stream) override;
    HRESULT Save(IStream* stream, BOOL clearDirty) override;
    HRESULT GetSizeMax(std::uint64_t* size) override;
    HRESULT InitNew() override;
    HRESULT InitNew(IStorage*) override;
    HRESULT Load(IStorage*) override;
    HRESULT Save(IStorage*, BOOL) override;
    HRESULT SaveCompleted(IStorage*) override;
    HRESULT HandsOffStorage() override;

    // ISpecifyPropertyPages, IQuickActivate
    HRESULT GetPages(CAUUID* pages) override;
    HRESULT QuickActivate(QACONTAINER*, QACONTROL*) override;
    HRESULT SetContentExtent(LPSIZEL size) override;
    HRESULT GetContentExtent(LPSIZEL size) override;

    // IDataObject
    HRESULT GetData(FORMATETC*, STGMEDIUM*) override;
    HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override;
    HRESULT QueryGetData(FORMATETC*) override;
    HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override;
    HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
    HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC**) override;
    HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT DUnadvise(DWORD) override;
    HRESULT EnumDAdvise(IEnumSTATDATA**) override;

    // IProvideClassInfo, IProvideClassInfo2
    HRESULT GetClassInfo(ITypeInfo** typeInfo) override;
    HRESULT GetGUID(DWORD guidKind, GUID* guid) override;

    // IObjectSafety
    HRESULT GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) override;
    HRESULT SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) override;

  protected:
    explicit ControlBase(const ControlClass& cls);
    ~ControlBase() = default;

    // Answers the interfaces listed above (and IOleWindow, IPersist); E_NOINTERFACE
    // for any other.
    HRESULT QueryControlInterface(REFIID riid, void** ppv);

  private:
    const ControlClass& class_;
    SIZEL extent_;
    bool dirty_ = false;
    DWORD safety_ = 0;
};

}  // namespace com
