#include "browser/ScriptBridge.h"

#include "browser/TypeLib.h"

#include <QFile>
#include <cmath>

namespace {
VARIANT toVariant(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool: {
        VARIANT r;
        r.vt = VT_BOOL;
        r.boolVal = v.toBool();
        return r;
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: {
        // Script numbers arrive as doubles; whole ones travel as integers.
        const double d = v.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 2147483648.0) return VARIANT::FromInt(static_cast<std::int32_t>(d));
        return VARIANT::FromDouble(d);
    }
    default:
        if (v.isNull()) return VARIANT{};
        return VARIANT::FromString(v.toString());
    }
}

QString hex(HRESULT hr) { return QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0')); }
}  // namespace

ScriptBridge::ScriptBridge(IDispatch* dispatch, QObject* parent) : QObject(parent), dispatch_(dispatch) {}

QStringList ScriptBridge::MethodNames() const {
    QStringList names;
    ITypeInfo* info = nullptr;
    if (SUCCEEDED(dispatch_->GetTypeInfo(0, 0, &info)) && info) {
        for (const TFuncDesc& f : info->Functions()) names << f.Name;
        info->Release();
    }
    return names;
}

QString ScriptBridge::PageScript() const {
    QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    channelJs.open(QIODevice::ReadOnly);
    QString js = QString::fromUtf8(channelJs.readAll());
    js += QStringLiteral(
        "\n(function(){\n"
        "  var bridge = null, pending = [];\n"
        "  function call(name, args){ if (bridge) bridge.invoke(name, args); else pending.push([name, args]); }\n"
        "  new QWebChannel(qt.webChannelTransport, function(ch){\n"
        "    bridge = ch.objects.external;\n"
        "    pending.forEach(function(p){ bridge.invoke(p[0], p[1]); }); pending = [];\n"
        "  });\n"
        "  var ext = {};\n");
    for (const QString& name : MethodNames())
        js += QStringLiteral("  ext.%1 = function(){ call('%1', Array.prototype.slice.call(arguments)); };\n").arg(name);
    js += QStringLiteral("  window.external = ext;\n})();\n");
    return js;
}

namespace {
QVariantMap failure(const QString& error) { return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}}; }
}  // namespace

QVariantMap ScriptBridge::invoke(const QString& name, const QVariantList& args) {
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch_->GetIDsOfNames(IID{}, {name}, 0, &id);
    if (FAILED(hr)) return failure(QStringLiteral("GetIDsOfNames ") + name + QStringLiteral(": ") + hex(hr));
    DISPPARAMS params;
    for (auto it = args.rbegin(); it != args.rend(); ++it) params.rgvarg.push_back(toVariant(*it));
    VARIANT result;
    EXCEPINFO excep;
    unsigned argErr = 0;
    hr = dispatch_->Invoke(id, IID{}, 0, DISPATCH_METHOD, &params, &result, &excep, &argErr);
    if (FAILED(hr)) return failure(name + QStringLiteral(": ") + hex(hr));
    BSTR text;
    VariantChangeTypeToBstr(result, text);
    return {{QStringLiteral("ok"), true}, {QStringLiteral("value"), text}};
}
