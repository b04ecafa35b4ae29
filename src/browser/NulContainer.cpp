#include "browser/NulContainer.h"

#include "browser/Log.h"
#include "browser/WebBrowser.h"

#include <stdexcept>

const IID IID_IDocHostUIHandler = GUID::Parse("{BD3F23C0-D43E-11CF-893B-00AA00BDCE1A}");

TNulWBContainer::TNulWBContainer(WebBrowser* browser) : Browser(browser) {
    if (!browser) throw std::logic_error("TNulWBContainer: a browser control is required");
    AttachClientSite(this);
}

TNulWBContainer::~TNulWBContainer() {
    try {
        AttachClientSite(nullptr);
    } catch (const std::exception& e) {
        // A destructor may not throw; the browser had no site to take back.
        qCDebug(lcBrowser) << "detaching the container's site:" << e.what();
    }
}

void TNulWBContainer::AttachClientSite(IOleClientSite* site) {
    if (site && site != static_cast<IOleClientSite*>(this))
        throw std::logic_error("TNulWBContainer: only the container's own site can be attached");
    IUnknown* automation = Browser->DefaultInterface();
    IOleObject* ole = nullptr;
    if (!automation || FAILED(automation->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole))) ||
        !ole)
        throw std::runtime_error("Browser's Default interface does not support IOleObject");
    ole->SetClientSite(site); // its result is not examined
    ole->Release();
}

HRESULT TNulWBContainer::QueryInterface(const IID& riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown)
        *ppv = Identity();
    else if (riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IDocHostUIHandler)
        *ppv = static_cast<IDocHostUIHandler*>(this);
    else
        return E_NOINTERFACE;
    return S_OK;
}

// The owner creates and destroys the container; handing out pointers never keeps it alive.
ULONG TNulWBContainer::AddRef() {
    return 0xFFFFFFFF;
}
ULONG TNulWBContainer::Release() {
    return 0xFFFFFFFF;
}

HRESULT TNulWBContainer::SaveObject() {
    return S_OK;
}
HRESULT TNulWBContainer::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}
HRESULT TNulWBContainer::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
}
HRESULT TNulWBContainer::ShowObject() {
    return S_OK;
}
HRESULT TNulWBContainer::OnShowWindow(BOOL) {
    return S_OK;
}
HRESULT TNulWBContainer::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

HRESULT TNulWBContainer::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
    return S_FALSE;
}
HRESULT TNulWBContainer::GetHostInfo(DOCHOSTUIINFO*) {
    return S_OK;
}
HRESULT TNulWBContainer::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                IOleInPlaceUIWindow*) {
    return S_OK;
}
HRESULT TNulWBContainer::HideUI() {
    return S_OK;
}
HRESULT TNulWBContainer::UpdateUI() {
    return S_OK;
}
HRESULT TNulWBContainer::EnableModeless(BOOL) {
    return S_OK;
}
HRESULT TNulWBContainer::OnDocWindowActivate(BOOL) {
    return S_OK;
}
HRESULT TNulWBContainer::OnFrameWindowActivate(BOOL) {
    return S_OK;
}
HRESULT TNulWBContainer::ResizeBorder(const RECT*, IOleInPlaceUIWindow*, BOOL) {
    return S_FALSE;
}
HRESULT TNulWBContainer::TranslateAccelerator(MSG*, const GUID*, DWORD) {
    return S_FALSE;
}
HRESULT TNulWBContainer::GetOptionKeyPath(QString*, DWORD) {
    return E_FAIL;
}
HRESULT TNulWBContainer::GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget) {
    if (ppDropTarget) *ppDropTarget = nullptr;
    return E_FAIL;
}
HRESULT TNulWBContainer::GetExternal(IDispatch** ppDispatch) {
    if (ppDispatch) *ppDispatch = nullptr;
    return E_FAIL;
}
HRESULT TNulWBContainer::TranslateUrl(DWORD, const QString&, QString**) {
    return E_FAIL;
}
HRESULT TNulWBContainer::FilterDataObject(IDataObject*, IDataObject** ppDORet) {
    if (ppDORet) *ppDORet = nullptr;
    return S_FALSE;
}
