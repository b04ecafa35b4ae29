#pragma once
// An answer held against a task's 参考要点: each 要点 covered, partly covered
// or missed by the words that matter in it, and an estimated score. Honest and
// simple: words, their usual synonyms in 申论 answers, and how close together
// they stand; never meaning.
#include "essay/Task.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace essay {

enum class Coverage { Covered, Partial, Missed };
QString CoverageName(Coverage c); // 覆盖 / 部分覆盖 / 未覆盖

struct PointResult {
    Coverage coverage = Coverage::Missed;
    double score = 0;
    QStringList keyWords; // what was looked for
    QStringList found;    // what the answer has of them (as written there)
};

struct StructureCheck {
    QString name; // 标题, 开头点题, 主体分段, 结尾, 字数
    bool met = false;
    double score = 0;
};

struct Highlight {
    int begin = 0; // in the answer, UTF-16 units
    int length = 0;
    int point = 0; // the 要点's number
};

struct Judgement {
    std::vector<PointResult> points;       // one per 要点, in order
    std::vector<StructureCheck> structure; // essays only
    std::vector<Highlight> highlights;
    double score = 0;
    double marks = 0;
    int count = 0;       // cells on the sheet
    int scoredChars = 0; // how much of the answer was scored (past the limit is not)
    QString how;         // how the score was reached, in plain Chinese
};

// The words a 要点 is recognised by: its content words (ICU's dictionary
// segmentation, common words dropped), those of its first sentence counted
// twice in the coverage.
QStringList KeyWords(const QString& pointText, QStringList* headline = nullptr);

Judgement Judge(const Task& task, const QString& answer);

} // namespace essay
