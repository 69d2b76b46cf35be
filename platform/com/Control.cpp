#include "com/Control.h"

#include <climits>

#include "com/Runtime.h"

namespace com {
namespace {

// The persisted properties, in stream order.
struct PersistedProperty {
    const char* name;
    LONG SIZEL::*field;
};
constexpr PersistedProperty kProperties[] = {{"_cx", &SIZEL::cx}, {"_cy", &SIZEL::cy}};

void PutDword(unsigned char* p, DWORD v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
DWORD GetDword(const unsigned char* p) {
    DWORD v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

}  // namespace

ControlBase::ControlBase(const ControlClass& cls) : class_(cls), extent_(cls.naturalExtent) {}

HRESULT ControlBase::QueryControlInterface(REFIID riid, void** ppv) {
    if (riid == IID_IViewObjectEx)
        return HandOut<IViewObjectEx>(this, ppv);
    if (riid == IID_IViewObject2)
        return HandOut<IViewObject2>(this, ppv);
    if (riid == IID_IViewObject)
        return HandOut<IViewObject>(this, ppv);
    if (riid == IID_IOleInPlaceObjectWindowless)
        return HandOut<IOleInPlaceObjectWindowless>(this, ppv);
    if (riid == IID_IOleInPlaceObject)
        return HandOut<IOleInPlaceObject>(this, ppv);
    if (riid == IID_IOleWindow) {
        return HandOut<IOleWindow>(static_cast<IOleInPlaceObjectWindowless*>(this), ppv);
    }
    if (riid == IID_IOleInPlaceActiveObject)
        return HandOut<IOleInPlaceActiveObject>(this, ppv);
    if (riid == IID_IOleControl)
        return HandOut<IOleControl>(this, ppv);
    if (riid == IID_IOleObject)
        return HandOut<IOleObject>(this, ppv);
    if (riid == IID_IPersistStreamInit)
        return HandOut<IPersistStreamInit>(this, ppv);
    if (riid == IID_IPersist) {
        return HandOut<IPersist>(static_cast<IPersistStreamInit*>(this), ppv);
    }
    if (riid == IID_ISpecifyPropertyPages)
        return HandOut<ISpecifyPropertyPages>(this, ppv);
    if (riid == IID_IQuickActivate)
        return HandOut<IQuickActivate>(this, ppv);
    if (riid == IID_IPersistStorage)
        return HandOut<IPersistStorage>(this, ppv);
    if (riid == IID_IDataObject)
        return HandOut<IDataObject>(this, ppv);
    if (riid == IID_IProvideClassInfo)
        return HandOut<IProvideClassInfo>(this, ppv);
    if (riid == IID_IProvideClassInfo2)
        return HandOut<IProvideClassInfo2>(this, ppv);
    if (riid == IID_IObjectSafety)
        return HandOut<IObjectSafety>(this, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// --- drawing and extent ---

HRESULT ControlBase::Draw(DWORD drawAspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                          LPCRECTL bounds, LPCRECTL, BOOL (*)(ULONG_PTR), ULONG_PTR) {
    if (drawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (bounds == nullptr)
        return E_INVALIDARG;
    if (class_.draw == nullptr)
        return E_NOTIMPL;
    return class_.draw(drawDc, *bounds);
}

HRESULT ControlBase::GetExtent(DWORD drawAspect, SIZEL* size) {
    if (size == nullptr)
        return E_POINTER;
    if (drawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
}

HRESULT ControlBase::SetExtent(DWORD drawAspect, SIZEL* size) {
    if (size == nullptr)
        return E_POINTER;
    if (drawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (size->cx < 0 || size->cy < 0)
        return E_INVALIDARG;
    if (size->cx != extent_.cx || size->cy != extent_.cy) {
        extent_ = *size;
        dirty_ = true;
    }
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD drawAspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(drawAspect, size);
}

HRESULT ControlBase::GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*, HDC,
                                      DVEXTENTINFO* extentInfo, LPSIZEL size) {
    if (extentInfo == nullptr || size == nullptr)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT || extentInfo->dwExtentMode != DVEXTENT_CONTENT)
        return E_FAIL;
    *size = class_.naturalExtent;
    return S_OK;
}

HRESULT ControlBase::SetContentExtent(LPSIZEL size) {
    return SetExtent(DVASPECT_CONTENT, size);
}
HRESULT ControlBase::GetContentExtent(LPSIZEL size) {
    return GetExtent(DVASPECT_CONTENT, size);
}

HRESULT ControlBase::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (status == nullptr)
        return E_POINTER;
    return OleRegGetMiscStatus(*class_.clsid, aspect, status);
}

// --- persistence ---

HRESULT ControlBase::GetClassID(CLSID* clsid) {
    if (clsid == nullptr)
        return E_POINTER;
    *clsid = *class_.clsid;
    return S_OK;
}

HRESULT ControlBase::GetUserClassID(CLSID* clsid) {
    return GetClassID(clsid);
}

HRESULT ControlBase::IsDirty() {
    return dirty_ ? S_OK : S_FALSE;
}

HRESULT ControlBase::InitNew() {
    return S_OK;
}

HRESULT ControlBase::Load(IStream* stream) {
    if (stream == nullptr)
        return E_POINTER;
    unsigned char bytes[kStreamSize];
    ULONG read = 0;
    const HRESULT hr = stream->Read(bytes, kStreamSize, &read);
    if (FAILED(hr))
        return hr;
    if (read != kStreamSize)
        return STG_E_READFAULT;
    if (GetDword(bytes) != kStreamVersion)
        return E_FAIL;
    SIZEL loaded{};
    for (std::size_t i = 0; i < std::size(kProperties); ++i) {
        const DWORD value = GetDword(bytes + 4 + 4 * i);
        if (value > static_cast<DWORD>(INT32_MAX))
            return E_FAIL;  // not an extent of ours
        loaded.*kProperties[i].field = static_cast<LONG>(value);
    }
    extent_ = loaded;
    dirty_ = false;
    return S_OK;
}

HRESULT ControlBase::Save(IStream* stream, BOOL clearDirty) {
    if (stream == nullptr)
        return E_POINTER;
    unsigned char bytes[kStreamSize];
    PutDword(bytes, kStreamVersion);
    for (std::size_t i = 0; i < std::size(kProperties); ++i) {
        PutDword(bytes + 4 + 4 * i, static_cast<DWORD>(extent_.*kProperties[i].field));
    }
    ULONG written = 0;
    const HRESULT hr = stream->Write(bytes, kStreamSize, &written);
    if (FAILED(hr))
        return hr;
    if (written != kStreamSize)
        return E_FAIL;
    if (clearDirty)
        dirty_ = false;
    return S_OK;
}

HRESULT ControlBase::GetSizeMax(std::uint64_t* size) {
    if (size == nullptr)
        return E_POINTER;
    *size = kStreamSize;
    return S_OK;
}

// --- class information, property pages, safety ---

HRESULT ControlBase::GetClassInfo(ITypeInfo** typeInfo) {
    if (typeInfo == nullptr)
        return E_POINTER;
    *typeInfo = nullptr;
    ITypeLib* lib = class_.typeLib != nullptr ? class_.typeLib() : nullptr;
    return lib != nullptr ? lib->GetTypeInfoOfGuid(*class_.clsid, typeInfo) : E_UNEXPECTED;
}

HRESULT ControlBase::GetGUID(DWORD, GUID* guid) {
    if (guid == nullptr)
        return E_POINTER;
    *guid = GUID_NULL;
    return E_INVALIDARG;  // the control has no outgoing (event) interface
}

HRESULT ControlBase::GetPages(CAUUID* pages) {
    if (pages == nullptr)
        return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    return S_OK;
}

HRESULT ControlBase::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) {
    if (supported == nullptr || enabled == nullptr)
        return E_POINTER;
    IUnknown* probe = nullptr;
    const HRESULT hr = InternalQueryInterface(riid, reinterpret_cast<void**>(&probe));
    if (FAILED(hr)) {
        *supported = 0;
        *enabled = 0;
        return hr;
    }
    probe->Release();
    *supported = kSupportedSafety;
    *enabled = safety_;
    return S_OK;
}

HRESULT ControlBase::SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) {
    IUnknown* probe = nullptr;
    if (FAILED(InternalQueryInterface(riid, reinterpret_cast<void**>(&probe)))) {
        return E_NOINTERFACE;
    }
    probe->Release();
    if (mask & ~kSupportedSafety)
        return E_FAIL;
    safety_ = (safety_ & ~mask) | (enabled & mask);
    return S_OK;
}

// --- the rest of the control machinery: not something our containers use ---

HRESULT ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Unfreeze(DWORD) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetAdvise(DWORD, DWORD, IAdviseSink*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetAdvise(DWORD*, DWORD*, IAdviseSink**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetRect(DWORD, LPRECTL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetViewStatus(DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::QueryHitPoint(DWORD, const RECTL*, POINTL, LONG, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::QueryHitRect(DWORD, const RECTL*, const RECTL*, LONG, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetWindow(HWND*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::InPlaceDeactivate() {
    return E_NOTIMPL;
}
HRESULT ControlBase::UIDeactivate() {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetObjectRects(const RECTL*, const RECTL*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::ReactivateAndUndo() {
    return E_NOTIMPL;
}
HRESULT ControlBase::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetDropTarget(IDropTarget**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::TranslateAccelerator(LPMSG) {
    return E_NOTIMPL;
}
HRESULT ControlBase::OnFrameWindowActivate(BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::OnDocWindowActivate(BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::ResizeBorder(const RECTL*, IOleInPlaceUIWindow*, BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::EnableModeless(BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetControlInfo(CONTROLINFO*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::OnMnemonic(LPMSG) {
    return E_NOTIMPL;
}
HRESULT ControlBase::OnAmbientPropertyChange(DISPID) {
    return E_NOTIMPL;
}
HRESULT ControlBase::FreezeEvents(BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetClientSite(IOleClientSite*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetClientSite(IOleClientSite**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Close(DWORD) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetMoniker(DWORD, DWORD, IMoniker**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetClipboardData(DWORD, IDataObject**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, const RECTL*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::EnumVerbs(IEnumOLEVERB**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Update() {
    return E_NOTIMPL;
}
HRESULT ControlBase::IsUpToDate() {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetUserType(DWORD, LPOLESTR*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Advise(IAdviseSink*, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Unadvise(DWORD) {
    return E_NOTIMPL;
}
HRESULT ControlBase::EnumAdvise(IEnumSTATDATA**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::InitNew(IStorage*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Load(IStorage*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Save(IStorage*, BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SaveCompleted(IStorage*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::HandsOffStorage() {
    return E_NOTIMPL;
}
HRESULT ControlBase::QuickActivate(QACONTAINER*, QACONTROL*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetData(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::QueryGetData(FORMATETC*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}
HRESULT ControlBase::EnumFormatEtc(DWORD, IEnumFORMATETC**) {
    return E_NOTIMPL;
}
HRESULT ControlBase::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::DUnadvise(DWORD) {
    return E_NOTIMPL;
}
HRESULT ControlBase::EnumDAdvise(IEnumSTATDATA**) {
    return E_NOTIMPL;
}

}  // namespace com
