#pragma once
// What a page may reach beyond its own document. The file check is in
// LocalFiles; this is the rest: the browser's settings, Chromium's own
// switches, and a script that takes the connection interfaces away from every
// document that is not a web page.

class QWebEngineProfile;

// Adds the switches the confinement needs to QTWEBENGINE_CHROMIUM_FLAGS. Must
// run before Qt WebEngine starts (the first browser does it); later calls do
// nothing.
void PrepareBrowserProcess();

// The profile's settings and the document-creation script, for every page of
// the profile and every frame they make.
void ConfineProfile(QWebEngineProfile* profile);

// The script itself, for tests that need to name what it removes.
const char* ConfinementScript();
