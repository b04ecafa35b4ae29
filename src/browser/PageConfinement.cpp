#include "browser/PageConfinement.h"

#include <QByteArray>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

void PrepareBrowserProcess() {
    static bool done = false;
    if (done) return;
    done = true;
    // WebRTC may not open UDP of its own (STUN, peers): Qt's request check never
    // sees it.
    constexpr const char* kSwitch = "--force-webrtc-ip-handling-policy=disable_non_proxied_udp";
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains("--force-webrtc-ip-handling-policy")) return;
    if (!flags.isEmpty()) flags += ' ';
    flags += kSwitch;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

const char* ConfinementScript() {
    // A local page (file:, about:, data:, blob:) and every frame it makes lose
    // the interfaces that open connections the request check cannot see
    // (WebSocket handshakes, WebRTC) or that run code elsewhere (workers).
    // Functions are taken before any page script runs, so a page cannot undo it
    // by replacing them. A new frame is cleaned the moment it is reached or
    // inserted, before the page can use its fresh globals. A frame the parser
    // inserts is cleaned only once it is reached through its element: an
    // observer that would see it costs twice the load time of a large page.
    return R"JS((function () {
  'use strict';
  var p = location.protocol;
  if (p === 'http:' || p === 'https:') return;
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
                 ['HTMLObjectElement', ['data']], ['HTMLEmbedElement', ['src']]];
  var frameGetters = [['HTMLIFrameElement', ['contentWindow', 'contentDocument']],
                      ['HTMLFrameElement', ['contentWindow', 'contentDocument']],
                      ['HTMLObjectElement', ['contentWindow', 'contentDocument']]];
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
  function wrapMethod(proto, name, w) {
    var d = getOwn(proto, name);
    if (!d || typeof d.value !== 'function') return;
    var original = d.value;
    d.value = function () {
      try { return apply(original, this, arguments); } finally { scrubFrames(w, 0); }
    };
    try { define(proto, name, d); } catch (e) {}
  }
  function wrapSetter(proto, name, w) {
    var d = getOwn(proto, name);
    if (!d || typeof d.set !== 'function') return;
    var original = d.set;
    d.set = function (v) {
      try { return apply(original, this, [v]); } finally { scrubFrames(w, 0); }
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
        for (var b = 0; b < inserters[a][1].length; b++) wrapMethod(c.prototype, inserters[a][1][b], w);
      }
      for (var s = 0; s < setters.length; s++) {
        var cs = w[setters[s][0]];
        if (!cs) continue;
        for (var t = 0; t < setters[s][1].length; t++) wrapSetter(cs.prototype, setters[s][1][t], w);
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
)JS";
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
    script.setSourceCode(QString::fromUtf8(ConfinementScript()));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    profile->scripts()->insert(script);
}
