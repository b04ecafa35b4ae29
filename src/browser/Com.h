#pragma once
// The small part of COM the browser host needs: result codes, GUIDs, the
// interface bases, a variant and the dispatch records. Interfaces are plain
// abstract classes whose method order follows the Windows SDK.
#include <QString>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DISPID = std::int32_t;
using LCID = std::uint32_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using BOOL = int;
using BSTR = QString; // a counted UTF-16 string, as BSTR is

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_NONAMEDARGS = static_cast<HRESULT>(0x80020007);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000B);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = static_cast<HRESULT>(0x8002802B);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = static_cast<HRESULT>(0x80029C4A);
constexpr HRESULT TYPE_E_INVDATAREAD = static_cast<HRESULT>(0x80028018);
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

inline bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline bool FAILED(HRESULT hr) {
    return hr < 0;
}

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0, Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};
    bool operator==(const GUID&) const = default;
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; throws std::invalid_argument on a malformed text.
    static GUID Parse(std::string_view text);
    std::string ToString() const;
};
using IID = GUID;

extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_IOleClientSite;
extern const IID IID_IOleObject;

// An OLE error carrying its HRESULT.
class EOleError : public std::runtime_error {
public:
    EOleError(HRESULT code, const std::string& message) : std::runtime_error(message), Code(code) {}
    HRESULT Code;
};

class IUnknown {
public:
    virtual HRESULT QueryInterface(const IID& riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// Holds one reference to an interface.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr& operator=(const ComPtr& o) {
        ComPtr(o).swap(*this);
        return *this;
    }
    ~ComPtr() { reset(); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    // Takes over a reference the caller already holds (an out-parameter's).
    void attach(T* p) {
        reset();
        p_ = p;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void swap(ComPtr& o) { std::swap(p_, o.p_); }

private:
    T* p_ = nullptr;
};

// The variant types the bridge carries.
enum VARTYPE : WORD { VT_EMPTY = 0, VT_NULL = 1, VT_I4 = 3, VT_R8 = 5, VT_BSTR = 8, VT_BOOL = 11 };

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    std::int32_t lVal = 0;
    double dblVal = 0;
    BSTR bstrVal;
    bool boolVal = false;

    static VARIANT FromString(const QString& s);
    static VARIANT FromInt(std::int32_t v);
    static VARIANT FromDouble(double v);
};

// The automation conversion to a string: numbers in their shortest decimal form.
HRESULT VariantChangeTypeToBstr(const VARIANT& in, BSTR& out);

struct DISPPARAMS {
    std::vector<VARIANT> rgvarg; // arguments in reverse order, as COM passes them
    std::vector<DISPID> rgdispidNamedArgs;
};

struct EXCEPINFO {
    WORD wCode = 0;
    QString bstrSource;
    QString bstrDescription;
    HRESULT scode = 0;
};

class ITypeInfo;

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(unsigned* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(unsigned iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(const IID& riid, const std::vector<QString>& names, LCID lcid,
                                  DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, const IID& riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           unsigned* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};

class IMoniker;
class IOleContainer;

class IOleClientSite : public IUnknown {
public:
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
    virtual HRESULT GetContainer(IOleContainer** ppContainer) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL fShow) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;

protected:
    ~IOleClientSite() = default;
};

// The part of IOleObject the host uses.
class IOleObject : public IUnknown {
public:
    virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;

protected:
    ~IOleObject() = default;
};
