#pragma once
// Every imported text ends as HTML the pages can show safely: marked HTML is
// parsed by a real HTML parser and rebuilt from an allow-list; plain text is
// escaped and its line breaks become <br>.
#include "exchange/Record.h"

#include <QString>

namespace exchange {

// Rebuilds `html` from the allowed elements and attributes only. Pictures are
// kept only when their src is "../images/bank/<sha>.<ext>" of a picture in
// `pictures` (the ones this import brought in); everything else is dropped.
QString SanitizeHtml(const QString& html, const Pictures& pictures);

// Plain text as HTML: &, <, >, " escaped; CR LF, CR and LF become <br>.
QString PlainToHtml(const QString& text);

// The text as the bank stores it: sanitized when marked HTML, escaped when plain.
QString ToBankHtml(const Text& text, const Pictures& pictures);

} // namespace exchange
