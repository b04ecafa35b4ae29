#pragma once
// Aiken text files: a question's lines, its options "A. …" or "A) …" and a
// line "ANSWER: A"; a blank line between questions.
#include "exchange/Record.h"

namespace exchange {

ParsedFile ReadAiken(const QByteArray& bytes, const Limits& limits);

} // namespace exchange
