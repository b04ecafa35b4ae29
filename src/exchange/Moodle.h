#pragma once
// Moodle XML quizzes: choice, true/false, essay and description questions with
// their categories and embedded pictures. Other question types are skipped
// with a problem each.
#include "exchange/Record.h"

namespace exchange {

// Reads the file as UTF-8; a DTD, nesting past limits.maxXmlDepth or more
// than limits.maxRecords questions stop the reading with a fatal problem.
ParsedFile ReadMoodleXml(const QByteArray& bytes, const Limits& limits);

} // namespace exchange
