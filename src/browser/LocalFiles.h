#pragma once
#include <QString>

// Local file requests are resolved without regard to letter case, as the
// pages expect (the question page links "main.css"; the file is Main.css).
void InstallLocalFileResolver();

// The existing path that matches `path` when letter case is ignored, or the
// path itself when nothing (or more than the path) matches.
QString ResolvePathIgnoringCase(const QString& path);
