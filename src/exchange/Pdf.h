#pragma once
// The text of a PDF paper as lines, for the text formats' parser: words put
// into lines by their positions, a page of two columns read column by column,
// running heads and feet and page numbers dropped, a line that wraps joined to
// the next, and what is drawn between the lines (a figure, a chart) as a
// picture of its own line.
#include "exchange/Record.h"

#include <vector>

namespace exchange {

// One Text (HTML) per line. False with `error` (plain Chinese) when the file
// cannot be read, is locked, or has no text (a scan).
bool ReadPdfLines(const QString& path, const Limits& limits, std::vector<Text>& lines, Pictures& pictures,
                  QString* error);

} // namespace exchange
