#pragma once
// Questions laid out the usual way in a text or Word document:
//   一、单项选择题            a heading that names the type of what follows
//   分类：来源/科目/专项      (or 【分类】 / "# ") the category of what follows
//   【材料】……                 a shared stem for the questions after it
//   1. 题干
//   A. …  B. …               options, one per line or several on a line
//   答案：B                   (【答案】)
//   解析：……                  (【解析】), may run over several lines
#include "exchange/Record.h"

namespace exchange {

// Lines of plain text (html false) or of a Word document (html true, the
// runs' markup kept) read as questions.
ParsedFile ReadQuestionLines(const std::vector<Text>& lines, const Limits& limits);

// The text of a .txt file, decoded (UTF-8 with or without BOM, or GBK) by the caller.
ParsedFile ReadPlainText(const QString& text, const Limits& limits);

} // namespace exchange
