#pragma once
// TExternalContainer: the main browser's site, which hands pages the
// scripting object TMyExternal as window.external.
#include "browser/GetData_TLB_Impl.h"
#include "browser/NulContainer.h"

class TExternalContainer : public TNulWBContainer {
public:
    // A type library that cannot be loaded throws EOleError; the container is
    // then detached again and nothing is left attached.
    explicit TExternalContainer(WebBrowser* browser, const QString& typeLibraryPath = ModuleFileName());

    ComPtr<IDispatch> ScriptObject;

    HRESULT GetExternal(IDispatch** ppDispatch) override;
};
