#include "browser/ScriptBridge.h"

#include "browser/Log.h"
#include "browser/TypeLib.h"

#include <QTimer>
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
        if (std::floor(d) == d && std::fabs(d) < 2147483648.0)
            return VARIANT::FromInt(static_cast<std::int32_t>(d));
        return VARIANT::FromDouble(d);
    }
    default:
        if (v.isNull()) return VARIANT{};
        return VARIANT::FromString(v.toString());
    }
}

QString hex(HRESULT hr) {
    return QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0'));
}
} // namespace

ScriptBridge::ScriptBridge(IDispatch* dispatch, std::function<bool()> callerAllowed, QObject* parent)
    : QObject(parent), dispatch_(dispatch), callerAllowed_(std::move(callerAllowed)) {}

QStringList ScriptBridge::MethodNames() const {
    QStringList names;
    ITypeInfo* info = nullptr;
    if (SUCCEEDED(dispatch_->GetTypeInfo(0, 0, &info)) && info) {
        for (const TFuncDesc& f : info->Functions())
            names << f.Name;
        info->Release();
    }
    return names;
}

QString ScriptBridge::PageScript() const {
    // The page's own world holds no channel: a call travels as a DOM event with
    // a text detail to the program's world, which alone talks to the program.
    QString js = QStringLiteral("(function(){\n"
                                "  function call(name, args){\n"
                                "    document.dispatchEvent(new CustomEvent('%1', {detail: "
                                "JSON.stringify({name: name, args: args})}));\n"
                                "  }\n"
                                "  var ext = {};\n")
                     .arg(QLatin1String(kCallEvent));
    for (const QString& name : MethodNames())
        js += QStringLiteral("  ext.%1 = function(){ call('%1', Array.prototype.slice.call(arguments)); };\n")
                  .arg(name);
    js += QStringLiteral("  window.external = ext;\n})();\n");
    return js;
}

QString ScriptBridge::ForwarderScript(const QString& objectName) {
    return QStringLiteral("document.addEventListener('%1', function(e){\n"
                          "  var c; try { c = JSON.parse(e.detail); } catch (x) { return; }\n"
                          "  if (!c || typeof c.name !== 'string' || !Array.isArray(c.args)) return;\n"
                          "  quilloraChannel(function(o){ o['%2'].invoke(c.name, c.args); });\n"
                          "}, true);\n")
        .arg(QLatin1String(kCallEvent), objectName);
}

namespace {
QVariantMap failure(const QString& error) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}
} // namespace

namespace {
// More calls than a page makes for its user in one turn.
constexpr qsizetype kMaxQueued = 8;
// Each call shows a box the user must answer: four within five seconds is no
// user's clicking, however slowly a busy machine delivers them.
constexpr int kBurstMs = 5000;
constexpr int kBurstCalls = 3;
} // namespace

QVariantMap ScriptBridge::invoke(const QString& name, const QVariantList& args) {
    if (callerAllowed_ && !callerAllowed_()) {
        qCWarning(lcBrowser) << "window.external refused a call from a page that is not ours:" << name;
        return failure(QStringLiteral("refused"));
    }
    if (muted_) return failure(QStringLiteral("refused"));
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch_->GetIDsOfNames(IID{}, {name}, 0, &id);
    if (FAILED(hr)) return failure(QStringLiteral("GetIDsOfNames ") + name + QStringLiteral(": ") + hex(hr));
    // More calls in a second than a user can make, each answering a box, is a loop too.
    if (!recent_.isValid() || recent_.elapsed() > kBurstMs) {
        recent_.start();
        recentCalls_ = 0;
    }
    if (running_ || queue_.size() >= kMaxQueued || ++recentCalls_ > kBurstCalls) {
        qCWarning(lcBrowser)
            << "the page keeps calling window.external while its last call is open; ignoring it"
               " until it is loaded again";
        muted_ = true;
        // A busy program may receive a looping page's calls in one batch, before
        // the first has run; that first one was the page's own and still runs.
        if (answered_ || running_)
            queue_.clear();
        else if (queue_.size() > 1)
            queue_.resize(1);
        return failure(QStringLiteral("refused"));
    }
    queue_.append(Call{id, name, args});
    if (queue_.size() == 1) QTimer::singleShot(0, this, [this] { runQueued(); });
    return {{QStringLiteral("ok"), true}};
}

void ScriptBridge::PageChanged() {
    muted_ = false;
    answered_ = false;
    recent_.invalidate();
    queue_.clear();
}

void ScriptBridge::runQueued() {
    while (!queue_.isEmpty()) {
        if (muted_ && answered_) {
            queue_.clear();
            break;
        }
        const Call call = queue_.takeFirst();
        // The page may have changed since the call was made.
        if (callerAllowed_ && !callerAllowed_()) continue;
        running_ = true;
        answered_ = true;
        dispatch(call);
        running_ = false;
    }
}

void ScriptBridge::dispatch(const Call& call) {
    DISPPARAMS params;
    for (auto it = call.args.rbegin(); it != call.args.rend(); ++it)
        params.rgvarg.push_back(toVariant(*it));
    VARIANT result;
    EXCEPINFO excep;
    unsigned argErr = 0;
    const HRESULT hr =
        dispatch_->Invoke(call.id, IID{}, 0, DISPATCH_METHOD, &params, &result, &excep, &argErr);
    if (FAILED(hr)) qCWarning(lcBrowser) << "window.external" << call.name << "failed:" << hex(hr);
}
