#pragma once
// One entry point for every format a user can import, chosen by the file's
// extension and, for .txt, by its content.
#include "exchange/Record.h"
#include "exchange/Template.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace exchange {

enum class Format {
    Unknown,
    Xlsx,
    Xls,
    Ods,
    Csv,
    PlainText,
    Docx,
    OtherDocument,
    Pdf,
    MoodleXml,
    Gift,
    Aiken
};

Format FormatOf(const QString& path); // .txt is told apart by ReadImportFile
QString FormatName(Format f);

// `columns`: the user's word on a spreadsheet's columns (see ColumnChoice).
ParsedFile ReadImportFile(const QString& path, const Limits& limits = {}, const ColumnChoice& columns = {});

// A spreadsheet's first `count` rows that hold something (for choosing its
// columns); empty for a file of another kind or one that cannot be read.
std::vector<QStringList> FirstSheetRows(const QString& path, int count, const Limits& limits = {});
// Whether `f` is one of the spreadsheet formats whose columns can be chosen.
bool IsSheet(Format f);

// The file-dialog filter that lists the formats ("名称 (*.a;*.b)|*.a;*.b|…", as TFileDialog takes it).
QString ImportFileFilter();

} // namespace exchange
