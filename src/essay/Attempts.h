#pragma once
// Every attempt at a writing task, kept in 申论作答 of the bank: saved as it is
// typed, so a crash loses at most the last seconds.
#include <QString>
#include <optional>
#include <vector>

class AdoConnection;

namespace essay {

struct Attempt {
    long long id = 0;
    int task = 0;    // 小题号
    QString started; // "yyyy-MM-dd HH:mm:ss"
    QString saved;
    int seconds = 0; // time spent writing
    QString text;
    int count = 0;               // cells on the sheet
    std::optional<double> score; // set once submitted (or at time-up)
    double marks = 0;
};

void CreateEssayTable(AdoConnection& connection);

// A new attempt at `task` (of `kind`: 归纳概括 …, kept for the statistics), started now; its id.
long long StartAttempt(AdoConnection& connection, int task, double marks, const QString& kind);

// Writes what the attempt holds now (text, count, seconds, score).
void SaveAttempt(AdoConnection& connection, const Attempt& attempt);

// The attempts at a task, the newest first; every attempt with task 0.
std::vector<Attempt> ReadAttempts(AdoConnection& connection, int task = 0);

QString NowText();

} // namespace essay
