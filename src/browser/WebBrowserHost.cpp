// WebBrowser as an embedded control: its automation object with IOleObject,
// and how it consults the client site it is given.
#include "browser/BrowserPage.h"
#include "browser/DocHostUIHandler.h"
#include "browser/LocalFiles.h"
#include "browser/Log.h"
#include "browser/PageConfinement.h"
#include "browser/ScriptBridge.h"
#include "browser/WebBrowser.h"

#include <QChildEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QTimer>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <algorithm>

// The control's default interface; it answers IOleObject for its browser.
class WebBrowser::Automation final : public IOleObject {
public:
    explicit Automation(WebBrowser* b) : browser_(b) {}
    HRESULT QueryInterface(const IID& riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!(riid == IID_IUnknown) && !(riid == IID_IOleObject)) return E_NOINTERFACE;
        *ppv = static_cast<IOleObject*>(this);
        return S_OK;
    }
    // Owned by its browser control.
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT SetClientSite(IOleClientSite* site) override {
        browser_->setClientSite(site);
        return S_OK;
    }
    HRESULT GetClientSite(IOleClientSite** pp) override {
        if (!pp) return E_POINTER;
        *pp = browser_->site_;
        if (*pp) (*pp)->AddRef();
        return S_OK;
    }

private:
    WebBrowser* browser_;
};

// Chromium's switches must be in place before the first browser starts it.
WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView((PrepareBrowserProcess(), parent)) {
    InstallLocalFileResolver();
    setPage(new BrowserPage(this));
    // Every page is written to the same file, and a browser brings an address it
    // shows again back to where it was scrolled: a new page opens at its top.
    // Actions inside a page run as scripts and keep their place.
    QWebEngineScript top;
    top.setName(QStringLiteral("quillora top"));
    top.setSourceCode(QStringLiteral("history.scrollRestoration = 'manual';"));
    top.setInjectionPoint(QWebEngineScript::DocumentCreation);
    top.setWorldId(kObserverWorld);
    top.setRunsOnSubFrames(false);
    page()->scripts().insert(top);
    connect(this, &QWebEngineView::loadStarted, this, [this] {
        loading_ = true;
        startGuard_->stop();
    });
    connect(this, &QWebEngineView::loadFinished, this, [this] { loadEnded(); });
    staleCheck_ = new QTimer(this);
    staleCheck_->setInterval(50);
    connect(staleCheck_, &QTimer::timeout, this, [this] { checkStaleLoad(); });
    startGuard_ = new QTimer(this);
    startGuard_->setSingleShot(true);
    startGuard_->setInterval(10000);
    connect(startGuard_, &QTimer::timeout, this, [this] { noLoadStarted(); });
}

WebBrowser::~WebBrowser() {
    alive_.reset();
    if (site_) site_->Release();
}

IUnknown* WebBrowser::DefaultInterface() {
    if (!automation_) automation_ = std::make_unique<Automation>(this);
    return automation_.get();
}

IDocHostUIHandler* WebBrowser::hostHandler() const {
    if (!site_) return nullptr;
    IDocHostUIHandler* h = nullptr;
    if (FAILED(site_->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&h)))) return nullptr;
    if (h) h->Release(); // the site outlives this call
    return h;
}

void WebBrowser::setClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    if (IDocHostUIHandler* h = hostHandler()) {
        DOCHOSTUIINFO info;
        h->GetHostInfo(&info); // no flags are honoured beyond the browser's defaults
    }
    RefreshExternal();
}

void WebBrowser::ensureChannel() {
    if (channel_) return;
    channel_ = new QWebChannel(this);
    page()->setWebChannel(channel_, kObserverWorld);
}

void WebBrowser::setObserverPart(const QString& name, const QString& script) {
    ensureChannel();
    auto it = std::find_if(observerParts_.begin(), observerParts_.end(),
                           [&](const auto& p) { return p.first == name; });
    if (it != observerParts_.end()) {
        if (script.isEmpty())
            observerParts_.erase(it);
        else
            it->second = script;
    } else if (!script.isEmpty()) {
        observerParts_.append({name, script});
    }
    if (observerScript_) page()->scripts().remove(*observerScript_);
    // One script, so the client is made before any part asks for it.
    QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    channelJs.open(QIODevice::ReadOnly);
    QString js = QString::fromUtf8(channelJs.readAll());
    js += QStringLiteral(
        "\nvar quilloraChannel = (function(){\n"
        "  var objects = null, waiting = [];\n"
        "  new QWebChannel(qt.webChannelTransport, function(ch){\n"
        "    objects = ch.objects; waiting.forEach(function(f){ f(objects); }); waiting = [];\n"
        "  });\n"
        "  return function(f){ if (objects) f(objects); else waiting.push(f); };\n"
        "})();\n");
    for (const auto& part : observerParts_)
        js += QStringLiteral("(function(){\n%1\n})();\n").arg(part.second);
    observerScript_ = std::make_unique<QWebEngineScript>();
    observerScript_->setName(QStringLiteral("quillora observers"));
    observerScript_->setSourceCode(js);
    observerScript_->setInjectionPoint(QWebEngineScript::DocumentCreation);
    observerScript_->setWorldId(kObserverWorld);
    observerScript_->setRunsOnSubFrames(false);
    page()->scripts().insert(*observerScript_);
}

void WebBrowser::AddObserver(const QString& name, QObject* object, const QString& script) {
    ensureChannel();
    channel_->registerObject(name, object);
    setObserverPart(name, script);
}

void WebBrowser::RunInObserverWorld(const QString& script) {
    page()->runJavaScript(script, kObserverWorld);
}

void WebBrowser::RefreshExternal() {
    // Drop what a previous site offered.
    if (externalScript_) {
        page()->scripts().remove(*externalScript_);
        externalScript_.reset();
    }
    if (external_) {
        channel_->deregisterObject(external_);
        setObserverPart(QStringLiteral("external"), {});
        delete external_;
        external_ = nullptr;
    }
    IDocHostUIHandler* h = hostHandler();
    IDispatch* dispatch = nullptr;
    if (!h || FAILED(h->GetExternal(&dispatch)) || !dispatch) return;
    ComPtr<IDispatch> hold;
    hold.attach(dispatch);
    ensureChannel();
    // Only our question page may use the program's object; the check is made
    // where each call arrives, against the page shown then.
    auto* bridge = new ScriptBridge(
        dispatch, [this] { return IsOwnQuestionPage(page()->url()); }, this);
    external_ = bridge;
    connect(this, &QWebEngineView::loadStarted, bridge, [bridge] { bridge->PageChanged(); });
    channel_->registerObject(QStringLiteral("external"), bridge);
    setObserverPart(QStringLiteral("external"), ScriptBridge::ForwarderScript(QStringLiteral("external")));
    externalScript_ = std::make_unique<QWebEngineScript>();
    externalScript_->setName(QStringLiteral("window.external"));
    externalScript_->setSourceCode(bridge->PageScript());
    externalScript_->setInjectionPoint(QWebEngineScript::DocumentCreation);
    externalScript_->setWorldId(QWebEngineScript::MainWorld);
    externalScript_->setRunsOnSubFrames(false);
    page()->scripts().insert(*externalScript_);
}

bool WebBrowser::HasExternal() const {
    return external_ != nullptr;
}

void WebBrowser::contextMenuEvent(QContextMenuEvent* e) {
    // S_OK: the host showed its own menu; anything else: the browser's standard one.
    if (IDocHostUIHandler* h = hostHandler()) {
        POINT pt{e->globalPos().x(), e->globalPos().y()};
        if (h->ShowContextMenu(0, &pt, nullptr, nullptr) == S_OK) return;
    }
    QWebEngineView::contextMenuEvent(e);
}

void WebBrowser::childEvent(QChildEvent* e) {
    // Keys reach the page through the view's render child: watch it for accelerators.
    if (e->added() && e->child()->isWidgetType()) e->child()->installEventFilter(this);
    QWebEngineView::childEvent(e);
}

bool WebBrowser::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (IDocHostUIHandler* h = hostHandler()) {
            MSG msg{static_cast<DWORD>(e->type()), static_cast<std::uintptr_t>(key->key()),
                    static_cast<std::intptr_t>(key->modifiers())};
            if (h->TranslateAccelerator(&msg, nullptr, 0) == S_OK) return true; // the host took the key
        }
    }
    return QWebEngineView::eventFilter(watched, e);
}
