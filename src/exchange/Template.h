#pragma once
// The spreadsheet template, and anyone's question sheet: one row per question,
// columns found by their header names (分类, 题型, 题干, 选项A…选项H, 答案, 解析,
// 材料编号, 材料, 图片, or the names people use for them: 题目, A, 正确答案 …).
// The same mapping serves every spreadsheet format and CSV.
#include "exchange/Record.h"

#include <QDir>
#include <QStringList>
#include <array>

namespace exchange {

class TemplateRows {
public:
    // `folder` is where the spreadsheet lies: 图片 names a file in it.
    TemplateRows(ParsedFile& out, const QString& folder, const Limits& limits);

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

    ParsedFile& out_;
    QDir folder_;
    Limits limits_;
    bool haveHeader_ = false;
    enum Column { Category, Type, Stem, Key, Explanation, GroupId, Material, Picture, ColumnCount };
    std::array<int, ColumnCount> col_{};
    std::array<int, 8> optionCol_{};
    int optionsCol_ = -1;  // one column "选项" with all of them
    int rowsBeforeHeader_ = 0;
    QStringList firstRow_;
};

// Reads a question sheet: .xlsx, .ods, .xls, or CSV in any of its encodings.
ParsedFile ReadTemplateCsv(const QString& path, const Limits& limits);
ParsedFile ReadTemplateXlsx(const QString& path, const Limits& limits);
ParsedFile ReadTemplateOds(const QString& path, const Limits& limits);
ParsedFile ReadTemplateXls(const QString& path, const Limits& limits);

}  // namespace exchange
