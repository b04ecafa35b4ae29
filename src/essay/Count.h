#pragma once
// An answer as the 答题纸 holds it: a grid of 25 cells a row. Every Chinese
// character, punctuation mark and full-width symbol takes a cell, two
// half-width digits or letters share one, each paragraph begins with two empty
// cells and ends its last row, and a short first line without closing
// punctuation is a title, centred on a row of its own. The count is the cells
// the answer takes, as a candidate counts it on the sheet.
#include <QString>
#include <QStringList>
#include <vector>

namespace essay {

constexpr int kCellsPerRow = 25;

// The limit a task states: "不超过200字" (max 200), "1000～1200字" or
// "字数在1000至1200之间" (1000..1200), "不少于800字" (min 800). 0 = none.
struct Limit {
    int min = 0;
    int max = 0;
    bool Any() const { return min > 0 || max > 0; }
};
Limit ParseLimit(const QString& taskText);

// One row of the sheet: up to 25 cells, each empty or holding what is written
// in it (a character, or two half-width ones).
struct Row {
    QStringList cells;
    bool title = false;
};

struct Sheet {
    std::vector<Row> rows;
    int cells = 0; // the count: rows × 25, the last row as far as written
    // Where each character of the answer stands: its cell index (row × 25 +
    // column), -1 for what the sheet does not show (line breaks, indent typed).
    std::vector<int> cellOf;
};

Sheet LayOut(const QString& answer);

// The count alone.
int CountCells(const QString& answer);

// How much of the answer fits in `cells` cells: its length in characters.
int FittingPrefix(const QString& answer, int cells);
// The same for an answer already laid out.
int FittingPrefix(const QString& answer, const Sheet& sheet, int cells);

} // namespace essay
