#include "browser/PageConfinement.h"
#include "browser/Graphics.h"

#include <QByteArray>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <cstring>
#include <string_view>

void PrepareBrowserProcess() {
    static bool done = false;
    if (done) return;
    done = true;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto add = [&flags](const char* name, const char* value) {
        if (flags.contains(name)) return;
        if (!flags.isEmpty()) flags += ' ';
        flags += name;
        flags += value;
    };
    // WebRTC may not open UDP of its own (STUN, peers): Qt's request check never
    // sees it.
    add("--force-webrtc-ip-handling-policy", "=disable_non_proxied_udp");
    // Every page we show is a local file under one folder: one renderer for all
    // of them instead of one per browser (the four small ones cost ~25 MB each).
    add("--process-per-site", "");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    ChooseBrowserGraphics();
}

QString ConfinementScript() {
    // A local page (file:, about:, data:, blob:) and every frame it makes lose
    // the interfaces that open connections the request check cannot see
    // (WebSocket handshakes, WebRTC) or that run code elsewhere (workers).
    // Functions are taken before any page script runs, so a page cannot undo it
    // by replacing them. A new frame is cleaned the moment it is reached or
    // inserted, before the page can use its fresh globals. A frame the parser
    // inserts is cleaned by the frame watch (FrameWatchScript), which a browser
    // adds only for a page whose text holds frames: watching every page would
    // cost twice the load time of a large one.
    static const QString script = QString::fromUtf8(R"JS((function () {
  'use strict';
  var p = location.protocol;
  if (p === 'http:' || p === 'https:') return;
  // The browser's own policy first: a <meta> in a head of our making, taken
  // out again at once. The policy stays with the document (and every frame it
  // makes) for its life, and the page's own markup is as it was.
  (function () {
    var d = document, e = d.documentElement, h = d.createElement('head'), m = d.createElement('meta');
    m.httpEquiv = 'Content-Security-Policy';
    m.content = "@POLICY@";
    h.appendChild(m);
    (e || d).appendChild(h);
    (e || d).removeChild(h);
  })();
  var apply = Reflect.apply, getOwn = Object.getOwnPropertyDescriptor, define = Object.defineProperty;
  var gone = ['WebSocket', 'WebSocketStream', 'WebTransport', 'RTCPeerConnection', 'webkitRTCPeerConnection',
              'RTCDataChannel', 'RTCIceTransport', 'RTCSctpTransport', 'EventSource', 'Worker', 'SharedWorker',
              'ServiceWorker', 'ServiceWorkerContainer', 'PresentationRequest', 'PresentationConnection'];
  var navGone = ['sendBeacon', 'serviceWorker', 'presentation'];
  var inserters = [['Node', ['appendChild', 'insertBefore', 'replaceChild']],
                   ['Element', ['append', 'prepend', 'after', 'before', 'replaceWith', 'insertAdjacentElement',
                                'insertAdjacentHTML', 'insertAdjacentText', 'replaceChildren']],
                   ['CharacterData', ['after', 'before', 'replaceWith']],
                   ['DocumentType', ['after', 'before', 'replaceWith']],
                   ['Document', ['append', 'prepend', 'replaceChildren', 'write', 'writeln', 'open',
                                 'execCommand', 'importNode', 'adoptNode']],
                   ['DocumentFragment', ['append', 'prepend', 'replaceChildren']],
                   ['Range', ['insertNode', 'surroundContents']]];
  var setters = [['Element', ['innerHTML', 'outerHTML']], ['ShadowRoot', ['innerHTML']],
                 ['HTMLIFrameElement', ['src', 'srcdoc']], ['HTMLFrameElement', ['src']],
                 ['HTMLTableElement', ['caption', 'tHead', 'tFoot']], ['Document', ['body']],
                 ['HTMLObjectElement', ['data']], ['HTMLEmbedElement', ['src']]];
  var frameGetters = [['HTMLIFrameElement', ['contentWindow', 'contentDocument']],
                      ['HTMLFrameElement', ['contentWindow', 'contentDocument']],
                      ['HTMLObjectElement', ['contentWindow', 'contentDocument']]];
  // An inserter taken from a frame's realm may insert into any document of
  // ours: every insertion rescans from the topmost window we can reach.
  var root = window;
  try { if (window.top.document) root = window.top; } catch (e) {}
  var lengthOf = function (w) { return 0; };
  var lengthGetter = getOwn(window, 'length');
  if (lengthGetter && lengthGetter.get) {
    var g = lengthGetter.get;
    lengthOf = function (w) { try { return apply(g, w, []); } catch (e) { return 0; } };
  }
  function removeFrom(w) {
    for (var i = 0; i < gone.length; i++) { try { delete w[gone[i]]; } catch (e) {} }
    try {
      var np = w.Navigator && w.Navigator.prototype;
      for (var j = 0; np && j < navGone.length; j++) { try { delete np[navGone[j]]; } catch (e) {} }
    } catch (e) {}
    try { define(w, 'open', {value: function () { return null; }, writable: false, configurable: false}); } catch (e) {}
  }
  function scrubFrames(w, depth) {
    if (depth > 16) return;
    var n = lengthOf(w);
    for (var i = 0; i < n; i++) {
      var child;
      try { child = w[i]; } catch (e) { continue; }
      scrub(child, depth + 1);
    }
  }
  function wrapMethod(proto, name) {
    var d = getOwn(proto, name);
    if (!d || typeof d.value !== 'function') return;
    var original = d.value;
    d.value = function () {
      try { return apply(original, this, arguments); } finally { scrubFrames(root, 0); }
    };
    try { define(proto, name, d); } catch (e) {}
  }
  function wrapSetter(proto, name) {
    var d = getOwn(proto, name);
    if (!d || typeof d.set !== 'function') return;
    var original = d.set;
    d.set = function (v) {
      try { return apply(original, this, [v]); } finally { scrubFrames(root, 0); }
    };
    try { define(proto, name, d); } catch (e) {}
  }
  function wrapGetter(proto, name) {
    var d = getOwn(proto, name);
    if (!d || typeof d.get !== 'function') return;
    var original = d.get;
    d.get = function () {
      var v = apply(original, this, []);
      try { if (v) scrub(name === 'contentDocument' ? v.defaultView : v, 0); } catch (e) {}
      return v;
    };
    try { define(proto, name, d); } catch (e) {}
  }
  // Cleans each document's window once: the interfaces go, and its own DOM is
  // watched. A frame keeps its window object across navigations, so the key is
  // the document, which a page cannot replace.
  var seen = new WeakSet(), has = WeakSet.prototype.has, add = WeakSet.prototype.add;
  function scrub(w, depth) {
    if (!w) return;
    try {
      var doc = w.document;
      if (apply(has, seen, [doc])) { removeFrom(w); return scrubFrames(w, depth); }
      apply(add, seen, [doc]);
    } catch (e) { return; }
    try {
      removeFrom(w);
      for (var a = 0; a < inserters.length; a++) {
        var c = w[inserters[a][0]];
        if (!c) continue;
        for (var b = 0; b < inserters[a][1].length; b++) wrapMethod(c.prototype, inserters[a][1][b]);
      }
      for (var s = 0; s < setters.length; s++) {
        var cs = w[setters[s][0]];
        if (!cs) continue;
        for (var t = 0; t < setters[s][1].length; t++) wrapSetter(cs.prototype, setters[s][1][t]);
      }
      for (var f = 0; f < frameGetters.length; f++) {
        var cf = w[frameGetters[f][0]];
        if (!cf) continue;
        for (var u = 0; u < frameGetters[f][1].length; u++) wrapGetter(cf.prototype, frameGetters[f][1][u]);
      }
      scrubFrames(w, depth);
    } catch (e) {}
  }
  scrub(window, 0);
})();
)JS")
                                      .replace(QStringLiteral("@POLICY@"), QString::fromLatin1(PagePolicy()));
    return script;
}

void ConfineProfile(QWebEngineProfile* profile) {
    QWebEngineSettings* s = profile->settings();
    // Local pages read local files only through the request check; the web is
    // out of their reach, and nothing hands an unknown scheme to the desktop.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    QWebEngineScript script;
    script.setName(QStringLiteral("confinement"));
    script.setSourceCode(ConfinementScript());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    profile->scripts()->insert(script);
}

namespace {
// What the browser enforces on every local page, frames included: no
// connection of any kind (fetch, XHR, WebSocket, WebTransport, EventSource,
// beacons), no worker, no plugin, frames only of local pages, and nothing
// loaded from elsewhere. Inline scripts and styles are the pages' own way.
constexpr char kPolicy[] =
    "default-src 'self' 'unsafe-inline' 'unsafe-eval' data: blob:; connect-src 'none'; worker-src 'none'; "
    "object-src 'none'; frame-src 'self'; base-uri 'self'; form-action 'self'";

// Frames the parser makes are reachable by window[n] or their name before a
// script of ours could touch them. On a page whose text has any, an observer
// cleans each as it is inserted, which is before the next page script runs
// (the parser empties the microtask queue first). It reads the frame getters
// the confinement script has wrapped, so it must come after it.
constexpr char kFrameWatch[] =
    "(function(){var p=location.protocol;if(p==='http:'||p==='https:')return;"
    "var g=Object.getOwnPropertyDescriptor(HTMLIFrameElement.prototype,'contentWindow').get,"
    "h=Object.getOwnPropertyDescriptor(HTMLFrameElement.prototype,'contentWindow').get,"
    "q=Document.prototype.querySelectorAll,d=document;"
    "new MutationObserver(function(){var f=q.call(d,'iframe,frame');"
    "for(var i=0;i<f.length;i++){try{(f[i].tagName==='FRAME'?h:g).call(f[i]);}catch(e){}}})"
    ".observe(d,{childList:true,subtree:true});})();";

bool lowerIs(const char* p, const char* end, std::string_view word) {
    if (end - p < static_cast<std::ptrdiff_t>(word.size())) return false;
    for (char c : word) {
        const char h = *p++;
        if ((h >= 'A' && h <= 'Z' ? h + 32 : h) != c) return false;
    }
    return true;
}

} // namespace

const char* PagePolicy() {
    return kPolicy;
}

const char* FrameWatchScript() {
    return kFrameWatch;
}

bool HasFrameMarkup(const QByteArray& html) {
    const char* p = html.constData();
    const char* end = p + html.size();
    while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p))))) {
        ++p;
        if (lowerIs(p, end, "iframe") || lowerIs(p, end, "frame")) return true;
    }
    return false;
}
