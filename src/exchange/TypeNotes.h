#pragma once
// The instructions and points of the types an export uses, in 题型说明.csv
// beside the exported file, so that an import into a bank without those types
// makes them as they were instead of with a stand-in text and one point.
#include <QString>
#include <map>

class AdoConnection;

namespace exchange {

struct TypeNote {
    QString text; // 类型说明, shown after the type's name
    double points = 1;
};
using TypeNotes = std::map<QString, TypeNote>;

inline const char* kTypeNotesFile = "题型说明.csv";

// The notes of `types` as 类型说明 holds them, written to `path` (UTF-8 with
// a BOM, one type a row after the header 题型,类型说明,分数). False with
// `error` set when the file cannot be written.
bool WriteTypeNotes(AdoConnection& connection, const QStringList& types, const QString& path, QString* error);

// The notes beside an import file; none when there is no such file or it is
// not one of ours. Instructions are kept as plain text.
TypeNotes ReadTypeNotesBeside(const QString& importPath);

} // namespace exchange
