#pragma once
// The wrong-question notebook's cards in the bank: one row of 复习卡片 per
// question, one row of 复习记录 per rating given.
#include "review/Fsrs.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class AdoConnection;

namespace review {

// Now, in days since 1970-01-01 (UTC); tests put their own clock in.
double NowDays();
std::function<double()> SetNowForTests(std::function<double()> now);
// A day number as the tables store it: local 'yyyy-MM-dd HH:mm:ss'.
std::string TimeText(double days);
double DaysOfText(const std::string& text);

// Both tables and their indexes, when missing (one transaction of the caller's).
void CreateReviewTables(AdoConnection& connection);

// The cards the bank holds for `ids`; a question without one is not in the map.
std::unordered_map<int, fsrs::Card> ReadCards(AdoConnection& connection, const std::vector<int>& ids);

struct Rated {
    int id = 0;
    fsrs::Rating rating = fsrs::Rating::Again;
};
// Rates each question at `now` in one transaction, all or nothing: its card
// rescheduled (made when new) and the rating recorded. Throws on failure,
// having undone everything.
void RateQuestions(AdoConnection& connection, const std::vector<Rated>& ratings, double now);

} // namespace review
