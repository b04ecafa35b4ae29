#pragma once
// TNulWBContainer: the program's own client site for a browser control. It
// answers every host question so that the browser keeps its standard
// behaviour, offers no window.external and counts no references.
#include "browser/DocHostUIHandler.h"

class WebBrowser;

class TNulWBContainer : public IOleClientSite, public IDocHostUIHandler {
public:
    // Attaches itself as the browser's client site. A missing browser is a
    // programming error (std::logic_error).
    explicit TNulWBContainer(WebBrowser* browser);
    // Detaches from the browser first.
    virtual ~TNulWBContainer();
    TNulWBContainer(const TNulWBContainer&) = delete;
    TNulWBContainer& operator=(const TNulWBContainer&) = delete;

    WebBrowser* Browser;

    // Sets `site` (this container's own site, or none) on the browser's IOleObject.
    void AttachClientSite(IOleClientSite* site);
    IUnknown* Identity() { return static_cast<IOleClientSite*>(this); }

    // IUnknown
    HRESULT QueryInterface(const IID& riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IOleClientSite
    HRESULT SaveObject() override;
    HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    HRESULT GetContainer(IOleContainer** ppContainer) override;
    HRESULT ShowObject() override;
    HRESULT OnShowWindow(BOOL fShow) override;
    HRESULT RequestNewObjectLayout() override;

    // IDocHostUIHandler
    HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                            IDispatch* pdispReserved) override;
    HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) override;
    HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                   IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) override;
    HRESULT HideUI() override;
    HRESULT UpdateUI() override;
    HRESULT EnableModeless(BOOL fEnable) override;
    HRESULT OnDocWindowActivate(BOOL fActivate) override;
    HRESULT OnFrameWindowActivate(BOOL fActivate) override;
    HRESULT ResizeBorder(const RECT* prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;
    HRESULT TranslateAccelerator(MSG* lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
    HRESULT GetOptionKeyPath(QString* pchKey, DWORD dw) override;
    HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
    HRESULT GetExternal(IDispatch** ppDispatch) override;
    HRESULT TranslateUrl(DWORD dwTranslate, const QString& pchURLIn, QString** ppchURLOut) override;
    HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) override;
};
