#pragma once
// The spreadsheet template, and anyone's question sheet: one row per question,
// columns found by their header names (分类, 题型, 题干, 选项A…选项H, 答案, 解析,
// 材料编号, 材料, 图片, or the names people use for them: 题目, A, 正确答案 …).
// The same mapping serves every spreadsheet format and CSV.
#include "exchange/Record.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <array>

namespace exchange {

// The user's word on a sheet's columns, by header name: what the column holds
// ("题干", "选项A" … "选项H", "选项" for all of them in one cell, "答案", "解析",
// "分类", "题型", "材料编号", "材料", "图片"), or "不导入". It comes before the names
// the program knows.
using ColumnChoice = QHash<QString, QString>;
// A header cell as its column is known by: trimmed, spaces (ASCII and full-width) removed.
QString HeaderName(const QString& cell);
// What a column can be given, in the order a list shows them.
QStringList ColumnRoles();
// "题干=试题内容,答案=标准答案" (role=header, as examdb import --columns takes
// it). False with `error` on an unknown role or a malformed pair.
bool ParseColumnChoice(const QString& text, ColumnChoice& choice, QString* error);

class TemplateRows {
public:
    // `folder` is where the spreadsheet lies: 图片 names a file in it.
    TemplateRows(ParsedFile& out, const QString& folder, const Limits& limits,
                 const ColumnChoice& choice = {});

    // Each row as read; the first non-blank one is the header. Answers false
    // once the file cannot be read on (a header without 题干, too many rows).
    bool Row(int row, const QStringList& cells);
    // Call after the last row: a file without any question row says so.
    void Finish();

private:
    // Until the header: a row that names a stem column is the header, rows
    // above it (a title) are passed over, a few at most.
    bool header(int row, const QStringList& cells);
    void noHeader();
    QString cell(const QStringList& cells, int column) const;
    // The src of the picture file `name` beside the spreadsheet, or empty with a problem.
    QString loadPicture(int line, const QString& name);
    QString localPictures(int line, QString html);

    // Where a header cell goes: the role chosen for it, or the one its name tells.
    QString roleOf(const QString& name) const;
    ParsedFile& out_;
    QDir folder_;
    Limits limits_;
    ColumnChoice choice_;
    bool haveHeader_ = false;
    enum Column { Category, Type, Stem, Key, Explanation, GroupId, Material, Picture, ColumnCount };
    std::array<int, ColumnCount> col_{};
    std::array<int, 8> optionCol_{};
    int optionsCol_ = -1;  // one column "选项" with all of them
    qint64 textChars_ = 0; // the text of every cell read so far
    int rowsBeforeHeader_ = 0;
    QStringList firstRow_;
};

// Reads a question sheet: .xlsx, .ods, .xls, or CSV in any of its encodings.
ParsedFile ReadTemplateCsv(const QString& path, const Limits& limits, const ColumnChoice& choice = {});
ParsedFile ReadTemplateXlsx(const QString& path, const Limits& limits, const ColumnChoice& choice = {});
ParsedFile ReadTemplateOds(const QString& path, const Limits& limits, const ColumnChoice& choice = {});
ParsedFile ReadTemplateXls(const QString& path, const Limits& limits, const ColumnChoice& choice = {});

} // namespace exchange
