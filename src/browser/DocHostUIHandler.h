#pragma once
// The MSHTML host interface, with the method order and IID of the Windows SDK.
#include "browser/Com.h"

struct DOCHOSTUIINFO {
    ULONG cbSize = sizeof(DOCHOSTUIINFO);
    DWORD dwFlags = 0;
    DWORD dwDoubleClick = 0;
    QString pchHostCss;
    QString pchHostNS;
};

struct POINT {
    int x = 0, y = 0;
};
struct RECT {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct MSG {
    DWORD message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class IOleInPlaceActiveObject;
class IOleCommandTarget;
class IOleInPlaceFrame;
class IOleInPlaceUIWindow;
class IDropTarget;
class IDataObject;

extern const IID IID_IDocHostUIHandler;

class IDocHostUIHandler : public IUnknown {
public:
    virtual HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                    IDispatch* pdispReserved) = 0;
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) = 0;
    virtual HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                           IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                           IOleInPlaceUIWindow* pDoc) = 0;
    virtual HRESULT HideUI() = 0;
    virtual HRESULT UpdateUI() = 0;
    virtual HRESULT EnableModeless(BOOL fEnable) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT ResizeBorder(const RECT* prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                 BOOL fFrameWindow) = 0;
    virtual HRESULT TranslateAccelerator(MSG* lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) = 0;
    virtual HRESULT GetOptionKeyPath(QString* pchKey, DWORD dw) = 0;
    virtual HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) = 0;
    virtual HRESULT GetExternal(IDispatch** ppDispatch) = 0;
    virtual HRESULT TranslateUrl(DWORD dwTranslate, const QString& pchURLIn, QString** ppchURLOut) = 0;
    virtual HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) = 0;

protected:
    ~IDocHostUIHandler() = default;
};
