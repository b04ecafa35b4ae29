#pragma once
#include <QString>
#include <QUrl>

// What a page may read from the disk. Bank texts are written into our pages
// unescaped, so a page's scripts are anyone's: every local file request goes
// through one check, whatever page or browser makes it.

// Installs, once per process, the profile-wide request check: a file: request
// is served only when it names a regular file inside the working folder's css/
// or images/ (letter case ignored, as the pages expect: they link "main.css";
// the file is Main.css); anything else, a folder included, is refused.
void InstallLocalFileResolver();

// The existing path that matches `path` when letter case is ignored, or the
// path itself when nothing (or more than the path) matches.
QString ResolvePathIgnoringCase(const QString& path);

// Whether `path`, by its letters alone (dot segments cleaned, case ignored),
// lies in css/ or images/ of AppFolder(): nothing on the disk is asked.
bool UnderOurFolders(const QString& path);

// The canonical path (case resolved, links and dot segments followed) of a
// regular file inside css/ or images/ of AppFolder(); empty when `path` names
// anything else.
QString AllowedLocalFile(const QString& path);

// Whether `url` is our question page, css/Question.html of the working folder.
bool IsOwnQuestionPage(const QUrl& url);
