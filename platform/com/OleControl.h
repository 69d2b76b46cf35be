// The interfaces of an ActiveX control: what a container uses to size, draw, persist,
// activate and script-check a control.
//
// Structures that only pass through (messages, palettes, target devices, formats,
// storage media, container descriptions) are opaque here: this runtime never looks
// inside them. Rectangles are RECTL.
#pragma once

#include "com/Stream.h"
#include "com/TypeInfo.h"

// Opaque things a container hands a control.
struct tagMSG;
using LPMSG = tagMSG*;
struct tagLOGPALETTE;
using LOGPALETTE = tagLOGPALETTE;
struct tagDVTARGETDEVICE;
using DVTARGETDEVICE = tagDVTARGETDEVICE;
struct tagFORMATETC;
using FORMATETC = tagFORMATETC;
struct tagSTGMEDIUM;
using STGMEDIUM = tagSTGMEDIUM;
struct tagCONTROLINFO;
using CONTROLINFO = tagCONTROLINFO;
struct tagQACONTAINER;
using QACONTAINER = tagQACONTAINER;
struct tagQACONTROL;
using QACONTROL = tagQACONTROL;
struct IOleClientSite;
struct IAdviseSink;
struct IMoniker;
struct IStorage;
struct IDataObject;
struct IEnumOLEVERB;
struct IEnumFORMATETC;
struct IEnumSTATDATA;
struct IDropTarget;
struct IOleInPlaceUIWindow;

struct CAUUID {
    ULONG cElems;
    GUID* pElems;
};

struct DVEXTENTINFO {
    ULONG cb;
    DWORD dwExtentMode;
    SIZEL sizelProposed;
};

constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD DVEXTENT_CONTENT = 0;

constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x1;
constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x10;
constexpr DWORD OLEMISC_INSIDEOUT = 0x80;
constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x100;
constexpr DWORD OLEMISC_INVISIBLEATRUNTIME = 0x400;
constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;

constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_CALLER = 0x1;
constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_DATA = 0x2;

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct IOleWindow : IUnknown {
    virtual HRESULT GetWindow(HWND* window) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL enterMode) = 0;

  protected:
    ~IOleWindow() = default;
};

struct IOleInPlaceObject : IOleWindow {
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(const RECTL* position, const RECTL* clip) = 0;
    virtual HRESULT ReactivateAndUndo() = 0;

  protected:
    ~IOleInPlaceObject() = default;
};

struct IOleInPlaceObjectWindowless : IOleInPlaceObject {
    virtual HRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
    virtual HRESULT GetDropTarget(IDropTarget** dropTarget) = 0;

  protected:
    ~IOleInPlaceObjectWindowless() = default;
};

struct IOleInPlaceActiveObject : IOleWindow {
    virtual HRESULT TranslateAccelerator(LPMSG msg) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL activate) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL activate) = 0;
    virtual HRESULT ResizeBorder(const RECTL* border, IOleInPlaceUIWindow* uiWindow,
                                 BOOL frameWindow) = 0;
    virtual HRESULT EnableModeless(BOOL enable) = 0;

  protected:
    ~IOleInPlaceActiveObject() = default;
};

struct IOleControl : IUnknown {
    virtual HRESULT GetControlInfo(CONTROLINFO* info) = 0;
    virtual HRESULT OnMnemonic(LPMSG msg) = 0;
    virtual HRESULT OnAmbientPropertyChange(DISPID dispId) = 0;
    virtual HRESULT FreezeEvents(BOOL freeze) = 0;

  protected:
    ~IOleControl() = default;
};

struct IOleObject : IUnknown {
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    virtual HRESULT SetHostNames(LPCOLESTR containerApp, LPCOLESTR containerObject) = 0;
    virtual HRESULT Close(DWORD saveOption) = 0;
    virtual HRESULT SetMoniker(DWORD whichMoniker, IMoniker* moniker) = 0;
    virtual HRESULT GetMoniker(DWORD assign, DWORD whichMoniker, IMoniker** moniker) = 0;
    virtual HRESULT InitFromData(IDataObject* data, BOOL creation, DWORD reserved) = 0;
    virtual HRESULT GetClipboardData(DWORD reserved, IDataObject** data) = 0;
    virtual HRESULT DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                           const RECTL* position) = 0;
    virtual HRESULT EnumVerbs(IEnumOLEVERB** verbs) = 0;
    virtual HRESULT Update() = 0;
    virtual HRESULT IsUpToDate() = 0;
    virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
    virtual HRESULT GetUserType(DWORD form, LPOLESTR* userType) = 0;
    virtual HRESULT SetExtent(DWORD drawAspect, SIZEL* size) = 0;
    virtual HRESULT GetExtent(DWORD drawAspect, SIZEL* size) = 0;
    virtual HRESULT Advise(IAdviseSink* sink, DWORD* connection) = 0;
    virtual HRESULT Unadvise(DWORD connection) = 0;
    virtual HRESULT EnumAdvise(IEnumSTATDATA** advise) = 0;
    virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;
    virtual HRESULT SetColorScheme(LOGPALETTE* palette) = 0;

  protected:
    ~IOleObject() = default;
};

struct IViewObject : IUnknown {
    virtual HRESULT Draw(DWORD drawAspect, LONG index, void* aspect, DVTARGETDEVICE* targetDevice,
                         HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                         BOOL (*keepGoing)(ULONG_PTR), ULONG_PTR keepGoingArgument) = 0;
    virtual HRESULT GetColorSet(DWORD drawAspect, LONG index, void* aspect,
                                DVTARGETDEVICE* targetDevice, HDC targetDc,
                                LOGPALETTE** colorSet) = 0;
    virtual HRESULT Freeze(DWORD drawAspect, LONG index, void* aspect, DWORD* freeze) = 0;
    virtual HRESULT Unfreeze(DWORD freeze) = 0;
    virtual HRESULT SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) = 0;
    virtual HRESULT GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) = 0;

  protected:
    ~IViewObject() = default;
};

struct IViewObject2 : IViewObject {
    virtual HRESULT GetExtent(DWORD drawAspect, LONG index, DVTARGETDEVICE* targetDevice,
                              LPSIZEL size) = 0;

  protected:
    ~IViewObject2() = default;
};

struct IViewObjectEx : IViewObject2 {
    virtual HRESULT GetRect(DWORD aspect, LPRECTL rect) = 0;
    virtual HRESULT GetViewStatus(DWORD* status) = 0;
    virtual HRESULT QueryHitPoint(DWORD aspect, const RECTL* bounds, POINTL location,
                                  LONG closeHint, DWORD* hitResult) = 0;
    virtual HRESULT QueryHitRect(DWORD aspect, const RECTL* bounds, const RECTL* location,
                                 LONG closeHint, DWORD* hitResult) = 0;
    virtual HRESULT GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* targetDevice,
                                     HDC targetDc, DVEXTENTINFO* extentInfo, LPSIZEL size) = 0;

  protected:
    ~IViewObjectEx() = default;
};

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* clsid) = 0;

  protected:
    ~IPersist() = default;
};

struct IPersistStreamInit : IPersist {
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT GetSizeMax(std::uint64_t* size) = 0;
    virtual HRESULT InitNew() = 0;

  protected:
    ~IPersistStreamInit() = default;
};

struct IPersistStorage : IPersist {
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT InitNew(IStorage* storage) = 0;
    virtual HRESULT Load(IStorage* storage) = 0;
    virtual HRESULT Save(IStorage* storage, BOOL sameAsLoad) = 0;
    virtual HRESULT SaveCompleted(IStorage* storage) = 0;
    virtual HRESULT HandsOffStorage() = 0;

  protected:
    ~IPersistStorage() = default;
};

struct ISpecifyPropertyPages : IUnknown {
    virtual HRESULT GetPages(CAUUID* pages) = 0;

  protected:
    ~ISpecifyPropertyPages() = default;
};

struct IQuickActivate : IUnknown {
    virtual HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control) = 0;
    virtual HRESULT SetContentExtent(LPSIZEL size) = 0;
    virtual HRESULT GetContentExtent(LPSIZEL size) = 0;

  protected:
    ~IQuickActivate() = default;
};

struct IDataObject : IUnknown {
    virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT QueryGetData(FORMATETC* format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
    virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;
    virtual HRESULT DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink,
                            DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** advise) = 0;

  protected:
    ~IDataObject() = default;
};

struct IProvideClassInfo : IUnknown {
    virtual HRESULT GetClassInfo(ITypeInfo** typeInfo) = 0;

  protected:
    ~IProvideClassInfo() = default;
};

struct IProvideClassInfo2 : IProvideClassInfo {
    virtual HRESULT GetGUID(DWORD guidKind, GUID* guid) = 0;

  protected:
    ~IProvideClassInfo2() = default;
};

struct IObjectSafety : IUnknown {
    virtual HRESULT GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) = 0;
    virtual HRESULT SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) = 0;

  protected:
    ~IObjectSafety() = default;
};

inline constexpr IID IID_IOleWindow = com::Guid("00000114-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceObject = com::Guid("00000113-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceObjectWindowless =
    com::Guid("1C2056CC-5EF4-101B-8BC8-00AA003E3B29");
inline constexpr IID IID_IOleInPlaceActiveObject =
    com::Guid("00000117-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleControl = com::Guid("B196B288-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IOleObject = com::Guid("00000112-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObject = com::Guid("0000010D-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObject2 = com::Guid("00000127-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObjectEx = com::Guid("3AF24292-0C96-11CE-A0CF-00AA00600AB8");
inline constexpr IID IID_IPersist = com::Guid("0000010C-0000-0000-C000-000000000046");
inline constexpr IID IID_IPersistStreamInit = com::Guid("7FD52380-4E07-101B-AE2D-08002B2EC713");
inline constexpr IID IID_IPersistStorage = com::Guid("0000010A-0000-0000-C000-000000000046");
inline constexpr IID IID_ISpecifyPropertyPages = com::Guid("B196B28B-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IQuickActivate = com::Guid("CF51ED10-62FE-11CF-BF86-00A0C9034836");
inline constexpr IID IID_IDataObject = com::Guid("0000010E-0000-0000-C000-000000000046");
inline constexpr IID IID_IProvideClassInfo = com::Guid("B196B283-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IProvideClassInfo2 = com::Guid("A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851");
inline constexpr IID IID_IObjectSafety = com::Guid("CB5BDC81-93C1-11CF-8F20-00805F2CD064");
// Interfaces a control of ours never answers (no rich errors, no events).
inline constexpr IID IID_ISupportErrorInfo = com::Guid("DF0B3D60-548F-101B-8E65-08002B2EC713");
inline constexpr IID IID_IConnectionPointContainer =
    com::Guid("B196B284-BAB4-101A-B69C-00AA00341D07");
