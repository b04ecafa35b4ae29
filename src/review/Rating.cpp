#include "review/Rating.h"

#include <cstddef>
#include <unordered_map>
#include <utility>

namespace review {

std::vector<std::optional<fsrs::Rating>> RateAnswers(const std::vector<AnswerFacts>& answers,
                                                     const PaperFacts& paper) {
    // Each type's seconds and how many answers they went on.
    std::unordered_map<std::string, std::pair<long long, int>> typeTime;
    if (paper.timed)
        for (const AnswerFacts& a : answers)
            if (a.seconds > 0) {
                typeTime[a.type].first += a.seconds;
                ++typeTime[a.type].second;
            }
    const auto quick = [&](const AnswerFacts& a) {
        const auto it = typeTime.find(a.type);
        if (it == typeTime.end() || a.seconds <= 0) return false;
        const auto [total, count] = it->second;
        return a.seconds * 2LL * count < total;
    };
    // On a paper whose time ran out, a blank before the last answer was
    // skipped; the blanks after it were never reached and tell nothing.
    std::size_t reached = 0; // one past the last answer
    for (std::size_t k = 0; k < answers.size(); ++k)
        if (answers[k].answered) reached = k + 1;

    std::vector<std::optional<fsrs::Rating>> ratings(answers.size());
    for (std::size_t k = 0; k < answers.size(); ++k) {
        const AnswerFacts& a = answers[k];
        if (!a.answered) {
            if (paper.timed && paper.ranOut && k < reached) ratings[k] = fsrs::Rating::Again;
        } else if (!a.right) {
            ratings[k] = fsrs::Rating::Again;
        } else if (a.hasCard) {
            // A right answer keeps a card going; it does not start one.
            ratings[k] = quick(a) ? fsrs::Rating::Easy : fsrs::Rating::Good;
        }
    }
    return ratings;
}

} // namespace review
