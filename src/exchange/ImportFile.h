#pragma once
// One entry point for every format a user can import, chosen by the file's
// extension and, for .txt, by its content.
#include "exchange/Record.h"

#include <QString>

namespace exchange {

enum class Format { Unknown, Xlsx, Xls, Ods, Csv, PlainText, Docx, OtherDocument, Pdf, MoodleXml, Gift, Aiken };

Format FormatOf(const QString& path);  // .txt is told apart by ReadImportFile
QString FormatName(Format f);

ParsedFile ReadImportFile(const QString& path, const Limits& limits = {});

// The file-dialog filter that lists the formats ("名称 (*.a;*.b)|*.a;*.b|…", as TFileDialog takes it).
QString ImportFileFilter();

}  // namespace exchange
