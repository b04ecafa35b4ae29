#pragma once
// The paragraphs of a Word document as lines, for the text formats' parser.
#include "exchange/Record.h"

#include <QString>
#include <vector>

namespace exchange {

// One Text (HTML) per paragraph of word/document.xml, table cells' paragraphs
// included; an empty paragraph gives an empty line. Kept: bold, subscript and
// superscript, line breaks (<br>), tabs as a space, automatic numbering as
// Word draws it ("1.", "A、"), and inline pictures as <img src> of pictures
// added to `pictures`. A picture that cannot be read is left out of its line
// and counted in `picturesLeftOut`. False with `error` (plain Chinese) when
// the file cannot be read.
bool ReadDocxLines(const QString& path, const Limits& limits, std::vector<Text>& lines, Pictures& pictures,
                   QString* error, int* picturesLeftOut = nullptr);

} // namespace exchange
