#pragma once
// A writing task as the bank holds it: its text (with its marks and word
// limit) and its 参考要点 (numbered paragraphs of the explanation, each with
// its points when given).
#include "essay/Count.h"

#include <QString>
#include <vector>

namespace essay {

struct KeyPoint {
    int number = 0;
    QString text;      // without its number and points
    double points = 0; // as given, or the task's marks split evenly
};

struct Task {
    int id = 0;
    QString text;     // plain text of the task
    double marks = 0; // "（15分）"; when absent, the 要点' points, or 100
    Limit limit;
    bool essay = false; // 文章论述: structure is scored besides the 要点
    QString kind;       // 归纳概括, 综合分析, 提出对策, 贯彻执行, 文章论述
    std::vector<KeyPoint> points;
};

// Plain text of a page fragment: tags out, paragraphs and breaks as lines,
// the common entities decoded.
QString PlainText(const QString& html);

Task ReadTask(int id, const QString& taskHtml, const QString& explanationHtml);

// The kind of task from its wording.
QString TaskKind(const QString& taskText, bool essay);

} // namespace essay
