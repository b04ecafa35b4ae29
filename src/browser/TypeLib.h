#pragma once
// Type libraries and type information: enough of OLE Automation to describe a
// dual interface of string methods, look its names up and invoke it late-bound.
#include "browser/Com.h"

#include <QStringList>

#include <functional>
#include <vector>

struct TParamDesc {
    QString Name;
    QString Type; // "BSTR" or "BSTR*"
    bool In = false, Out = false, RetVal = false;
};

struct TFuncDesc {
    QString Name;
    DISPID MemId = 0;
    int VtableSlot = 0;
    std::vector<TParamDesc> Params;
};

constexpr DWORD TYPEFLAG_FDUAL = 0x40;
constexpr DWORD TYPEFLAG_FOLEAUTOMATION = 0x100;
constexpr DWORD TYPEFLAG_FDISPATCHABLE = 0x1000;

class ITypeInfo : public IUnknown {
public:
    virtual const GUID& Guid() const = 0;
    virtual QString Name() const = 0;
    virtual DWORD TypeFlags() const = 0;
    virtual const std::vector<TFuncDesc>& Functions() const = 0;
    // Names are matched without regard to case; unknown names give DISPID_UNKNOWN.
    virtual HRESULT GetIDsOfNames(const std::vector<QString>& names, DISPID* ids) = 0;
    // Calls the member on `instance`, an interface pointer of the described type.
    virtual HRESULT Invoke(void* instance, DISPID memid, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, unsigned* argErr) = 0;

protected:
    ~ITypeInfo() = default;
};

struct TLibAttr {
    GUID Guid;
    LCID Lcid = 0;
    WORD MajorVersion = 0, MinorVersion = 0;
    QString SysKind;
};

class ITypeLib : public IUnknown {
public:
    virtual QString Name() const = 0;
    virtual const TLibAttr& LibAttr() const = 0;
    virtual QStringList ImportedLibraries() const = 0;
    virtual unsigned GetTypeInfoCount() const = 0;
    virtual HRESULT GetTypeInfoOfGuid(const GUID& guid, ITypeInfo** ppTInfo) = 0;

protected:
    ~ITypeLib() = default;
};

// The running executable's own path; its type library is its resource TYPELIB/1.
QString ModuleFileName();

// Loads a type library from an executable (its resource) or a library source
// file. Missing: TYPE_E_CANTLOADLIBRARY; unreadable: TYPE_E_INVDATAREAD.
HRESULT LoadTypeLib(const QString& path, ITypeLib** ppTLib);

HRESULT DispGetIDsOfNames(ITypeInfo* tinfo, const std::vector<QString>& names, DISPID* ids);

// Binds a vtable slot of an interface to the C++ call that serves it: the
// arguments arrive converted to strings, in declaration order.
using TMethodThunk = std::function<HRESULT(void* instance, const std::vector<BSTR>& args, BSTR* result)>;
void RegisterMethodThunk(const IID& iid, int vtableSlot, TMethodThunk thunk);
