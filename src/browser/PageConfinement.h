#pragma once
// What a page may reach beyond its own document. The file check is in
// LocalFiles; this is the rest: the browser's settings, Chromium's own
// switches, a content security policy the browser enforces on every document
// that is not a web page, and a script that takes away what no policy covers
// (WebRTC).

#include <QByteArray>
#include <QString>

class QWebEngineProfile;

// Adds the switches the confinement and the process model need to
// QTWEBENGINE_CHROMIUM_FLAGS. Must run before Qt WebEngine starts (the first
// browser does it); later calls do nothing.
void PrepareBrowserProcess();

// The profile's settings and the document-creation script, for every page of
// the profile and every frame they make.
void ConfineProfile(QWebEngineProfile* profile);

// The script itself: it gives the document the policy below, then takes the
// interfaces away.
QString ConfinementScript();

// The content security policy every local document is given.
const char* PagePolicy();

// Whether a page's text holds frame markup (<iframe, <frame), letter case ignored.
bool HasFrameMarkup(const QByteArray& html);

// The document-creation script a browser adds for a page that holds frames.
const char* FrameWatchScript();
