#pragma once
// GIFT text files: choice (one or several right answers), true/false, essay
// and description questions, with $CATEGORY: lines. Matching, numeric and
// short-answer questions are skipped with a problem each.
#include "exchange/Record.h"

namespace exchange {

ParsedFile ReadGift(const QByteArray& bytes, const Limits& limits);

} // namespace exchange
