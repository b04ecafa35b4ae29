#pragma once
// A whole paper: every question of one source (a root category), in the order
// the category tree shows them.
#include <string>
#include <vector>

struct PaperSource {
    int id = 0;
    std::string name;
};

// The sources: the tree's top-level categories, in table order.
std::vector<PaperSource> PaperSources();

// Fills XiaoTiList with every question (a row with a type; untyped rows are
// notes) filed under `source` or below it and
// returns the ORDER BY clause that puts the page in tree order: categories
// depth first as the tree lists them, each category's questions by 小题号.
// XiaoTiList is left empty when the source holds no question.
std::string FillWholePaper(int source);
