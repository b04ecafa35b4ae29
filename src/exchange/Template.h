#pragma once
// The spreadsheet template: one row per question, columns found by their
// header names (分类, 题型, 题干, 选项A…选项H, 答案, 解析, 材料编号, 材料, 图片).
// The same mapping serves XLSX and CSV.
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
    bool header(int row, const QStringList& cells);
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
};

// Reads a template spreadsheet: .xlsx, or CSV in any of its encodings.
ParsedFile ReadTemplateCsv(const QString& path, const Limits& limits);
ParsedFile ReadTemplateXlsx(const QString& path, const Limits& limits);

}  // namespace exchange
