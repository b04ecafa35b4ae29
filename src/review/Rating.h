#pragma once
// How a graded page's answers rate the review cards of its questions.
#include "review/Fsrs.h"

#include <optional>
#include <string>
#include <vector>

namespace review {

// One question of the graded page, in the page's order.
struct AnswerFacts {
    bool answered = false;
    bool right = false;
    std::string type;     // its question type, whose answers set the average time
    int seconds = 0;      // spent on it in a timed paper; 0 when not known
    bool hasCard = false; // already in the notebook
};

struct PaperFacts {
    bool timed = false;
    bool ranOut = false; // graded at time-up
};

// The rating each answer earns, or none when it tells nothing. Wrong: Again.
// Right: Good, or Easy when a timed answer took under half its type's average;
// only for a question already in the notebook. Blank: Again on a paper whose
// time ran out, when before its last answer; else none.
std::vector<std::optional<fsrs::Rating>> RateAnswers(const std::vector<AnswerFacts>& answers,
                                                     const PaperFacts& paper);

} // namespace review
