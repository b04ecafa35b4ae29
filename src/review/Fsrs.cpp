#include "review/Fsrs.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace fsrs {
namespace {
constexpr double kDecay = -0.5;
constexpr double kFactor = 19.0 / 81.0;
const auto& w = kDefaultWeights;

int g(Rating r) {
    return static_cast<int>(r);
}
double clampDifficulty(double d) {
    return std::clamp(d, 1.0, 10.0);
}
double minStability(double s) {
    return std::max(s, 0.01);
}
} // namespace

double Retrievability(double elapsedDays, double stability) {
    return std::pow(1 + kFactor * std::max(elapsedDays, 0.0) / stability, kDecay);
}

double InitialStability(Rating r) {
    return w[static_cast<size_t>(g(r) - 1)];
}

double InitialDifficulty(Rating r) {
    return clampDifficulty(w[4] - std::exp(w[5] * (g(r) - 1)) + 1);
}

double NextDifficulty(double difficulty, Rating r) {
    const double delta = -w[6] * (g(r) - 3);
    const double damped = difficulty + delta * (10 - difficulty) / 9;
    // Mean reversion towards the difficulty of a first Easy.
    return clampDifficulty(w[7] * InitialDifficulty(Rating::Easy) + (1 - w[7]) * damped);
}

double RecallStability(double difficulty, double stability, double retrievability, Rating r) {
    const double hard = r == Rating::Hard ? w[15] : 1, easy = r == Rating::Easy ? w[16] : 1;
    return minStability(stability * (1 + std::exp(w[8]) * (11 - difficulty) * std::pow(stability, -w[9]) *
                                             (std::exp((1 - retrievability) * w[10]) - 1) * hard * easy));
}

double ForgetStability(double difficulty, double stability, double retrievability) {
    const double longTerm = w[11] * std::pow(difficulty, -w[12]) * (std::pow(stability + 1, w[13]) - 1) *
                            std::exp((1 - retrievability) * w[14]);
    const double shortTerm = stability / std::exp(w[17] * w[18]);
    return minStability(std::min(longTerm, shortTerm));
}

double SameDayStability(double stability, Rating r) {
    return minStability(stability * std::exp(w[17] * (g(r) - 3 + w[18])));
}

int IntervalDays(double stability) {
    const double days = stability / kFactor * (std::pow(kRetention, 1 / kDecay) - 1);
    return std::clamp(static_cast<int>(std::lround(days)), 1, kMaxIntervalDays);
}

namespace {
// The step logic of the (re)learning states, shared by both.
void stepOn(Card& c, Rating r, double now, std::span<const double> steps) {
    const size_t at = std::min(static_cast<size_t>(std::max(c.step, 0)), steps.size() - 1);
    switch (r) {
    case Rating::Again:
        c.step = 0;
        c.due = now + steps[0];
        return;
    case Rating::Hard:
        if (at != 0)
            c.due = now + steps[at];
        else if (steps.size() >= 2)
            c.due = now + (steps[0] + steps[1]) / 2;
        else
            c.due = now + steps[0] * 1.5;
        return;
    case Rating::Good:
        if (at + 1 >= steps.size()) break;
        c.step = static_cast<int>(at + 1);
        c.due = now + steps[at + 1];
        return;
    case Rating::Easy:
        break;
    }
    c.state = State::Review;
    c.step = 0;
    c.due = now + IntervalDays(c.stability);
}
} // namespace

Card Review(Card c, Rating r, double now) {
    const double elapsed = c.lastReview > 0 ? now - c.lastReview : 0;
    if (c.state == State::New) {
        c.stability = InitialStability(r);
        c.difficulty = InitialDifficulty(r);
        c.state = State::Learning;
        c.step = 0;
    } else {
        // A rating on the day of the last one uses the same-day formula.
        if (elapsed < 1)
            c.stability = SameDayStability(c.stability, r);
        else {
            const double rec = Retrievability(elapsed, c.stability);
            c.stability = r == Rating::Again ? ForgetStability(c.difficulty, c.stability, rec)
                                             : RecallStability(c.difficulty, c.stability, rec, r);
        }
        c.difficulty = NextDifficulty(c.difficulty, r);
    }
    ++c.reps;
    c.lastReview = now;

    if (c.state == State::Learning)
        stepOn(c, r, now, kLearningSteps);
    else if (c.state == State::Relearning)
        stepOn(c, r, now, kRelearningSteps);
    else if (r == Rating::Again) {
        ++c.lapses;
        c.state = State::Relearning;
        c.step = 0;
        c.due = now + kRelearningSteps[0];
    } else {
        c.due = now + IntervalDays(c.stability);
    }
    return c;
}

} // namespace fsrs
