#pragma once
// TMyExternal: the scripting object pages reach as window.external.
#include "browser/GetData_TLB.h"
#include "browser/TypeLib.h"

class TMyExternal final : public IGetData {
public:
    // Loads the type library from `libraryPath` (the executable by default) and
    // keeps the type information of IGetData. A failure throws EOleError.
    explicit TMyExternal(const QString& libraryPath = ModuleFileName());

    HRESULT QueryInterface(const IID& riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetTypeInfoCount(unsigned* pctinfo) override;
    HRESULT GetTypeInfo(unsigned iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(const IID& riid, const std::vector<QString>& names, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, const IID& riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, unsigned* puArgErr) override;

    HRESULT DoSeaarchData(const BSTR& ASQL, BSTR* Result) override;

    // The last failure turned into an HRESULT, as the thread's error information.
    static QString LastErrorInfo();

private:
    ~TMyExternal() = default;
    ULONG refs_ = 0;
    ComPtr<ITypeInfo> typeInfo_;
};
