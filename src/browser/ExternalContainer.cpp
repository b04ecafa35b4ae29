#include "browser/ExternalContainer.h"

#include "browser/WebBrowser.h"

TExternalContainer::TExternalContainer(WebBrowser* browser, const QString& typeLibraryPath)
    : TNulWBContainer(browser) {
    try {
        ScriptObject = ComPtr<IDispatch>(new TMyExternal(typeLibraryPath));
    } catch (...) {
        AttachClientSite(nullptr);
        throw;
    }
    // The site was attached before the object existed: let the browser ask for it now.
    Browser->RefreshExternal();
}

HRESULT TExternalContainer::GetExternal(IDispatch** ppDispatch) {
    if (!ppDispatch) return E_POINTER;
    *ppDispatch = nullptr;
    if (!ScriptObject) return E_FAIL;
    *ppDispatch = ScriptObject.get();
    ScriptObject->AddRef();
    return S_OK;
}
