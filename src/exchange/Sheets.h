#pragma once
// The rows of the other spreadsheets people keep: OpenDocument (.ods) and the
// old Excel format (.xls). Same contract as ReadXlsxRows: the first sheet,
// `row` from 1, `cells` from the first column on, a missing cell empty,
// trailing empty cells left off; numbers as the sheet shows them (.ods) or as
// their shortest text (.xls). False with `error` (plain Chinese) when the file
// cannot be read.
#include "exchange/Record.h"

#include <QStringList>
#include <functional>

namespace exchange {

// A worksheet's bounds, as Excel and LibreOffice have them.
constexpr int kMaxSheetColumns = 16384; // A … XFD
constexpr int kMaxSheetRows = 1048576;

using RowSink = std::function<bool(int row, const QStringList& cells)>;

bool ReadOdsRows(const QString& path, const Limits& limits, const RowSink& onRow, QString* error);
bool ReadXlsRows(const QString& path, const Limits& limits, const RowSink& onRow, QString* error);

} // namespace exchange
