#pragma once
// The rows of an Excel workbook's first worksheet, one by one, so that a
// large sheet never sits in memory (only its shared strings do).
#include "exchange/Record.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace exchange {

// Calls `onRow` for every row that holds a value, in the sheet's order: `row`
// as Excel numbers it (from 1), `cells` from column A on, a missing cell
// empty and trailing empty cells left off. Texts keep their line breaks;
// numbers are their text as stored ("1", "0.5"), booleans TRUE / FALSE,
// errors their code ("#N/A"). `onRow` returning false ends the reading, which
// is no error. False with `error` (plain Chinese) when the file cannot be
// read; rows passed before stay passed.
bool ReadXlsxRows(const QString& path, const Limits& limits,
                  const std::function<bool(int row, const QStringList& cells)>& onRow, QString* error);

} // namespace exchange
