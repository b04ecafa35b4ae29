#include "browser/GetData_TLB_Impl.h"

#include "browser/Log.h"
#include "store/DataModule.h"

namespace {
QString& errorInfo() {
    static QString text;
    return text;
}
} // namespace

TMyExternal::TMyExternal(const QString& libraryPath) {
    RegisterGetDataThunks();
    ComPtr<ITypeLib> lib;
    ITypeLib* raw = nullptr;
    HRESULT hr = LoadTypeLib(libraryPath, &raw);
    if (FAILED(hr)) throw EOleError(hr, "无法加载类型库 '" + libraryPath.toStdString() + "'。");
    lib.attach(raw);
    ITypeInfo* info = nullptr;
    hr = lib->GetTypeInfoOfGuid(IID_IGetData, &info);
    if (FAILED(hr)) throw EOleError(hr, "类型库中找不到 IGetData。");
    typeInfo_.attach(info);
}

HRESULT TMyExternal::QueryInterface(const IID& riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IGetData) {
        *ppv = static_cast<IGetData*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG TMyExternal::AddRef() {
    return ++refs_;
}

ULONG TMyExternal::Release() {
    const ULONG r = --refs_;
    if (r == 0) delete this;
    return r;
}

HRESULT TMyExternal::GetTypeInfoCount(unsigned* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

HRESULT TMyExternal::GetTypeInfo(unsigned iTInfo, LCID, ITypeInfo** ppTInfo) {
    if (!ppTInfo) return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0) return DISP_E_BADINDEX;
    *ppTInfo = typeInfo_.get();
    typeInfo_->AddRef();
    return S_OK;
}

HRESULT TMyExternal::GetIDsOfNames(const IID&, const std::vector<QString>& names, LCID, DISPID* rgDispId) {
    return DispGetIDsOfNames(typeInfo_.get(), names, rgDispId);
}

HRESULT TMyExternal::Invoke(DISPID dispIdMember, const IID&, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                            VARIANT* pVarResult, EXCEPINFO* pExcepInfo, unsigned* puArgErr) {
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) wFlags = 12;
    return typeInfo_->Invoke(static_cast<IGetData*>(this), dispIdMember, wFlags, pDispParams, pVarResult,
                             pExcepInfo, puArgErr);
}

HRESULT TMyExternal::DoSeaarchData(const BSTR& ASQL, BSTR* Result) {
    // Nothing may escape into the browser: failures become HRESULTs.
    try {
        if (!Result) return E_POINTER;
        Result->clear();
        if (!DataModule1) throw std::runtime_error("数据库未连接。");
        std::string out;
        DataModule1->SCBT(ASQL.toStdString(), out);
        *Result = QString::fromStdString(out);
        return S_OK;
    } catch (const EOleError& e) {
        qCWarning(lcBrowser) << "DoSeaarchData failed:" << e.what();
        errorInfo() = QString::fromUtf8(e.what());
        return e.Code < 0 ? e.Code : E_UNEXPECTED;
    } catch (const std::exception& e) {
        qCWarning(lcBrowser) << "DoSeaarchData failed:" << e.what();
        errorInfo() = QString::fromUtf8(e.what());
        return E_UNEXPECTED;
    } catch (...) {
        errorInfo() = QStringLiteral("未知错误");
        return E_UNEXPECTED;
    }
}

QString TMyExternal::LastErrorInfo() {
    return errorInfo();
}
