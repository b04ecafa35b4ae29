#include "browser/TypeLib.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <map>

namespace {

// Shared reference counting for the library objects below.
template <class Base> class Counted : public Base {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG r = --refs_;
        if (r == 0) delete this;
        return r;
    }

protected:
    virtual ~Counted() = default;

private:
    ULONG refs_ = 0;
};

std::map<std::pair<std::string, int>, TMethodThunk>& thunks() {
    static std::map<std::pair<std::string, int>, TMethodThunk> m;
    return m;
}

class TypeInfo final : public Counted<ITypeInfo> {
public:
    GUID guid;
    QString name;
    DWORD flags = 0;
    std::vector<TFuncDesc> functions;

    HRESULT QueryInterface(const IID& riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!(riid == IID_IUnknown)) return E_NOINTERFACE;
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    const GUID& Guid() const override { return guid; }
    QString Name() const override { return name; }
    DWORD TypeFlags() const override { return flags; }
    const std::vector<TFuncDesc>& Functions() const override { return functions; }

    HRESULT GetIDsOfNames(const std::vector<QString>& names, DISPID* ids) override {
        if (names.empty()) return S_OK;
        const TFuncDesc* f = find(names[0]);
        HRESULT hr = S_OK;
        ids[0] = f ? f->MemId : DISPID_UNKNOWN;
        if (!f) hr = DISP_E_UNKNOWNNAME;
        for (size_t i = 1; i < names.size(); ++i) { // parameter names of that member
            ids[i] = DISPID_UNKNOWN;
            if (!f) continue;
            for (size_t p = 0; p < f->Params.size(); ++p)
                if (f->Params[p].Name.compare(names[i], Qt::CaseInsensitive) == 0)
                    ids[i] = static_cast<DISPID>(p);
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }

    HRESULT Invoke(void* instance, DISPID memid, WORD wFlags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, unsigned* argErr) override {
        const TFuncDesc* f = nullptr;
        for (const TFuncDesc& fd : functions)
            if (fd.MemId == memid) f = &fd;
        if (!f || !(wFlags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        if (params && !params->rgdispidNamedArgs.empty()) return DISP_E_NONAMEDARGS;
        std::vector<const TParamDesc*> ins;
        for (const TParamDesc& p : f->Params)
            if (!p.RetVal) ins.push_back(&p);
        const size_t given = params ? params->rgvarg.size() : 0;
        if (given != ins.size()) return DISP_E_BADPARAMCOUNT;
        std::vector<BSTR> args(given);
        for (size_t i = 0; i < given; ++i) {
            // COM passes the arguments last first.
            if (FAILED(VariantChangeTypeToBstr(params->rgvarg[given - 1 - i], args[i]))) {
                if (argErr) *argErr = static_cast<unsigned>(given - 1 - i);
                return DISP_E_TYPEMISMATCH;
            }
        }
        auto it = thunks().find({guid.ToString(), f->VtableSlot});
        if (it == thunks().end()) return DISP_E_MEMBERNOTFOUND;
        BSTR out;
        const HRESULT hr = it->second(instance, args, &out);
        if (FAILED(hr)) {
            if (excepInfo) {
                excepInfo->scode = hr;
                excepInfo->bstrSource = name;
            }
            return DISP_E_EXCEPTION;
        }
        if (result) *result = VARIANT::FromString(out);
        return hr;
    }

private:
    const TFuncDesc* find(const QString& n) const {
        for (const TFuncDesc& f : functions)
            if (f.Name.compare(n, Qt::CaseInsensitive) == 0) return &f;
        return nullptr;
    }
};

class TypeLib final : public Counted<ITypeLib> {
public:
    QString name;
    TLibAttr attr;
    QStringList imports;
    std::vector<ComPtr<TypeInfo>> infos;

    HRESULT QueryInterface(const IID& riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!(riid == IID_IUnknown)) return E_NOINTERFACE;
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    QString Name() const override { return name; }
    const TLibAttr& LibAttr() const override { return attr; }
    QStringList ImportedLibraries() const override { return imports; }
    unsigned GetTypeInfoCount() const override { return static_cast<unsigned>(infos.size()); }
    HRESULT GetTypeInfoOfGuid(const GUID& g, ITypeInfo** pp) override {
        if (!pp) return E_POINTER;
        *pp = nullptr;
        for (const auto& i : infos)
            if (i->guid == g) {
                *pp = i.get();
                i->AddRef();
                return S_OK;
            }
        return TYPE_E_ELEMENTNOTFOUND;
    }
};

// key=value words after the leading ones.
QString option(const QStringList& words, const QString& key) {
    for (const QString& w : words)
        if (w.startsWith(key + u'=')) return w.mid(key.size() + 1);
    return {};
}

bool parse(const QString& text, TypeLib& lib) {
    TypeInfo* current = nullptr;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList w = line.split(QRegularExpression(QStringLiteral("\\s+")));
        try {
            if (w[0] == u"library" && w.size() >= 3) {
                lib.name = w[1];
                lib.attr.Guid = GUID::Parse(w[2].toStdString());
                const QStringList v = option(w, QStringLiteral("version")).split(u'.');
                lib.attr.MajorVersion = static_cast<WORD>(v.value(0).toUInt());
                lib.attr.MinorVersion = static_cast<WORD>(v.value(1).toUInt());
                lib.attr.Lcid = option(w, QStringLiteral("lcid")).toUInt();
                lib.attr.SysKind = option(w, QStringLiteral("syskind"));
                if (!option(w, QStringLiteral("importlib")).isEmpty())
                    lib.imports << option(w, QStringLiteral("importlib"));
            } else if (w[0] == u"interface" && w.size() >= 3) {
                auto* info = new TypeInfo;
                lib.infos.emplace_back(info);
                current = info;
                info->name = w[1];
                info->guid = GUID::Parse(w[2].toStdString());
                bool ok = false;
                info->flags = option(w, QStringLiteral("flags")).toUInt(&ok, 0);
                if (!ok || option(w, QStringLiteral("base")) != u"IDispatch") return false;
            } else if (w[0] == u"method" && w.size() >= 2 && current) {
                TFuncDesc f;
                f.Name = w[1];
                bool ok1 = false, ok2 = false;
                f.MemId = option(w, QStringLiteral("dispid")).toInt(&ok1);
                f.VtableSlot = option(w, QStringLiteral("slot")).toInt(&ok2);
                if (!ok1 || !ok2 || option(w, QStringLiteral("invoke")) != u"func") return false;
                current->functions.push_back(f);
            } else if (w[0] == u"param" && w.size() >= 4 && current && !current->functions.empty()) {
                TParamDesc p;
                p.Name = w[1];
                p.Type = w[2];
                if (p.Type != u"BSTR" && p.Type != u"BSTR*") return false; // the only kind this host carries
                const QStringList dirs = w[3].split(u',');
                p.In = dirs.contains(QStringLiteral("in"));
                p.Out = dirs.contains(QStringLiteral("out"));
                p.RetVal = dirs.contains(QStringLiteral("retval"));
                current->functions.back().Params.push_back(p);
            } else {
                return false;
            }
        } catch (const std::invalid_argument&) {
            return false;
        }
    }
    return !lib.name.isEmpty() && !lib.infos.empty();
}

} // namespace

QString ModuleFileName() {
    return QCoreApplication::applicationFilePath();
}

HRESULT LoadTypeLib(const QString& path, ITypeLib** ppTLib) {
    if (!ppTLib) return E_POINTER;
    *ppTLib = nullptr;
    // The executable carries its library as a resource; any other path is a library source file.
    const QString source = !path.isEmpty() && path == ModuleFileName() ? QStringLiteral(":/TYPELIB/1") : path;
    QFile f(source);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) return TYPE_E_CANTLOADLIBRARY;
    auto* lib = new TypeLib;
    ComPtr<TypeLib> hold(lib);
    if (!parse(QString::fromUtf8(f.readAll()), *lib)) return TYPE_E_INVDATAREAD;
    *ppTLib = lib;
    lib->AddRef();
    return S_OK;
}

HRESULT DispGetIDsOfNames(ITypeInfo* tinfo, const std::vector<QString>& names, DISPID* ids) {
    if (!tinfo) return E_POINTER;
    return tinfo->GetIDsOfNames(names, ids);
}

void RegisterMethodThunk(const IID& iid, int vtableSlot, TMethodThunk thunk) {
    thunks()[{iid.ToString(), vtableSlot}] = std::move(thunk);
}
