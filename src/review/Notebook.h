#pragma once
// What the wrong-question notebook shows: its cards with their question,
// type and subject, the counts by type and subject, and the due queue.
#include <string>
#include <vector>

class AdoConnection;

namespace review {

struct NotebookCard {
    int id = 0;
    int group = 0; // 大题号
    std::string text, type, subject;
    int state = 0;
    std::string due;         // as stored: local 'yyyy-MM-dd HH:mm:ss'
    double intervalDays = 0; // from the last rating to the due time
    int lapses = 0;
};

// The cards whose question still exists, oldest due first, at most `limit`.
// The subject is the category below the question's source (the top of the tree).
std::vector<NotebookCard> ReadNotebook(AdoConnection& connection, int limit);

struct StandingCounts {
    std::string type, subject;
    int due = 0, overdue = 0, learning = 0, mastered = 0, total = 0;
};
// Per type and subject (subjects of one name counted together), in order of
// name, over every card: counted by the database, not read card by card.
// Overdue: due before today began; due: due by today's end; learning: FSRS's
// learning or relearning, not due; mastered: not due, an interval past 60 days.
std::vector<StandingCounts> CountStandings(AdoConnection& connection, double now);

// The questions of the next review: the cards due by today's end, oldest
// first, at most `limit`, each with the other rows of its group.
std::vector<int> DueQueue(AdoConnection& connection, double now, int limit);

void RemoveCard(AdoConnection& connection, int id);

constexpr int kDefaultDailyLimit = 50;
// The daily limit a user set (系统参数 "错题复习每日题数"), else 50.
int DailyLimit(AdoConnection& connection);
void SetDailyLimit(AdoConnection& connection, int limit);

} // namespace review
