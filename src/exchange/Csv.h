#pragma once
// CSV as spreadsheets save it: UTF-8 with or without a BOM, or GBK (told
// apart by whether the bytes are valid UTF-8), comma or tab separated,
// quoted fields with doubled quotes and line breaks inside.
#include "exchange/Record.h"

#include <QStringList>
#include <functional>

namespace exchange {

// The bytes of a file to import, within limits.maxFileBytes; otherwise false
// with the reason added to `out` as a fatal problem.
bool ReadImportBytes(const QString& path, const Limits& limits, QByteArray* bytes, ParsedFile& out);

// The text of CSV bytes, with the encoding detected.
QString DecodeSpreadsheetText(const QByteArray& bytes);

// Calls onRow for each row (1-based, as a spreadsheet numbers them) until it
// answers false. Blank rows are skipped.
void ReadCsvRows(const QString& text, const std::function<bool(int row, const QStringList& cells)>& onRow);

} // namespace exchange
