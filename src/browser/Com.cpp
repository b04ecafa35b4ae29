#include "browser/Com.h"

#include <cstdio>

const IID IID_IUnknown = GUID::Parse("{00000000-0000-0000-C000-000000000046}");
const IID IID_IDispatch = GUID::Parse("{00020400-0000-0000-C000-000000000046}");
const IID IID_IOleClientSite = GUID::Parse("{00000118-0000-0000-C000-000000000046}");
const IID IID_IOleObject = GUID::Parse("{00000112-0000-0000-C000-000000000046}");

GUID GUID::Parse(std::string_view t) {
    if (t.size() != 38 || t.front() != '{' || t.back() != '}' || t[9] != '-' || t[14] != '-' ||
        t[19] != '-' || t[24] != '-')
        throw std::invalid_argument("not a GUID: " + std::string(t));
    auto hex = [&](size_t at, size_t n) {
        std::uint64_t v = 0;
        for (size_t i = at; i < at + n; ++i) {
            const char c = t[i];
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
            if (d < 0) throw std::invalid_argument("not a GUID: " + std::string(t));
            v = v * 16 + static_cast<std::uint64_t>(d);
        }
        return v;
    };
    GUID g;
    g.Data1 = static_cast<std::uint32_t>(hex(1, 8));
    g.Data2 = static_cast<std::uint16_t>(hex(10, 4));
    g.Data3 = static_cast<std::uint16_t>(hex(15, 4));
    g.Data4[0] = static_cast<std::uint8_t>(hex(20, 2));
    g.Data4[1] = static_cast<std::uint8_t>(hex(22, 2));
    for (size_t i = 0; i < 6; ++i)
        g.Data4[2 + i] = static_cast<std::uint8_t>(hex(25 + 2 * i, 2));
    return g;
}

std::string GUID::ToString() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Data1, Data2, Data3,
                  Data4[0], Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6], Data4[7]);
    return buf;
}

VARIANT VARIANT::FromString(const QString& s) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = s;
    return v;
}

VARIANT VARIANT::FromInt(std::int32_t i) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = i;
    return v;
}

VARIANT VARIANT::FromDouble(double d) {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = d;
    return v;
}

HRESULT VariantChangeTypeToBstr(const VARIANT& in, BSTR& out) {
    switch (in.vt) {
    case VT_BSTR:
        out = in.bstrVal;
        return S_OK;
    case VT_I4:
        out = QString::number(in.lVal);
        return S_OK;
    case VT_R8:
        out = QString::number(in.dblVal, 'g', 15);
        return S_OK;
    case VT_BOOL:
        out = in.boolVal ? QStringLiteral("True") : QStringLiteral("False");
        return S_OK;
    case VT_EMPTY:
        out.clear();
        return S_OK;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}
