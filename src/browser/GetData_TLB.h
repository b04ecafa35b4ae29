#pragma once
// Declarations of the type library GetData: the dual interface IGetData behind
// window.external in the main browser.
#include "browser/Com.h"

extern const GUID LIBID_GetData;
extern const IID IID_IGetData;
constexpr DISPID DISPID_DoSeaarchData = 201;

class IGetData : public IDispatch {
public:
    // Marks the question whose number ASQL carries as a favourite; returns "ok" or "Error".
    virtual HRESULT DoSeaarchData(const BSTR& ASQL, BSTR* Result) = 0;

protected:
    ~IGetData() = default;
};

// Binds the library's method slots to IGetData; done once, before the first Invoke.
void RegisterGetDataThunks();
